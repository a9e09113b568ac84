#pragma once

#include "frames/BlueDialog.h"

#include <QString>

class TKfFolderDialog;
class TqbColorPanel;
class TqbNoteInfo;

// "환경설정": chooses the data directory. Confirming writes it; the caller then reloads the
// library from it.
class TfrmConfig : public TfrmBlueDialog {
    Q_OBJECT
public:
    explicit TfrmConfig(TqbNoteInfo& noteInfo, QWidget* parent = nullptr);

    TqbColorPanel* pnlDirData = nullptr;
    TqbGradiButton* btnDirData = nullptr;
    TqbGradiButton* btnDefaultDir = nullptr; // "기본 위치": the program's own library
    TKfFolderDialog* dlgFolder = nullptr;
    TqbGradiColors* ColorsBrown = nullptr;

    QString DirData() const { return FDirData; }
    void SetDirData(const QString& path);
    // Browses for a folder; one that cannot serve as the data directory is refused with a
    // message and the shown one stays.
    void btnDirDataClick();
    void btnDefaultDirClick();
    // Writes "DirData", even unchanged, and closes as accepted; a failed write keeps the
    // dialog open.
    void btnConfirmClick();

private:
    void frmQbNoCaptionCreate();
    // Shows the folder as the data directory, or says why it cannot be one.
    void ChooseDirData(const QString& path);

    TqbNoteInfo& m_noteInfo;
    QString FDirData;
};
