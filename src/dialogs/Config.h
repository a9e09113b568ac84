#pragma once

#include "library/qbDialogFrame.h"

#include <QString>

class QLabel;
class QPushButton;
class TKfFolderDialog;
class TqbNoteInfo;

// "환경설정": chooses the data directory. Confirming writes it; the caller then reloads the
// library from it.
class TfrmConfig : public TqbDialogFrame {
    Q_OBJECT
public:
    explicit TfrmConfig(TqbNoteInfo& noteInfo, QWidget* parent = nullptr);

    QLabel* pnlDirData = nullptr;
    QPushButton* btnDirData = nullptr;
    TKfFolderDialog* dlgFolder = nullptr;

    QString DirData() const { return FDirData; }
    void SetDirData(const QString& path);
    // Browses for a folder; one that cannot serve as the data directory is refused with a
    // message and the shown one stays.
    void btnDirDataClick();
    // Writes "DirData", even unchanged, and closes as accepted; a failed write keeps the
    // dialog open.
    void btnConfirmClick();

private:
    void frmQbNoCaptionCreate();

    TqbNoteInfo& m_noteInfo;
    QString FDirData;
};
