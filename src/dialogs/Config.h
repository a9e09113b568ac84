#pragma once

#include "frames/BlueDialog.h"
#include "platform/qbGlobalKey.h"

#include <QKeySequence>
#include <QString>
#include <functional>

class QKeySequenceEdit;
class TKfFolderDialog;
class TqbColorPanel;
class TqbNoteInfo;

// Puts a changed quick capture key to work and stores it; says how that went, and throws
// EqbError when the setting cannot be written.
using TApplyCaptureKey = std::function<TqbGlobalKey::TOutcome(const QKeySequence&)>;

// "환경설정": chooses the data directory and the quick capture key. Confirming writes them; the
// caller then reloads the library from the directory.
class TfrmConfig : public TfrmBlueDialog {
    Q_OBJECT
public:
    explicit TfrmConfig(TqbNoteInfo& noteInfo, QWidget* parent = nullptr);

    TqbColorPanel* pnlDirData = nullptr;
    TqbGradiButton* btnDirData = nullptr;
    TqbGradiButton* btnDefaultDir = nullptr; // "기본 위치": the program's own library
    TKfFolderDialog* dlgFolder = nullptr;
    TqbGradiColors* ColorsBrown = nullptr;
    QKeySequenceEdit* edtCaptureKey = nullptr;
    TqbGradiButton* btnNoCaptureKey = nullptr; // "지우기": no key

    // The key shown, and how a changed one is put to work at OK; without it the key stays.
    void SetCaptureKey(const QKeySequence& key, TApplyCaptureKey apply);

    QString DirData() const { return FDirData; }
    void SetDirData(const QString& path);
    // Browses for a folder; one that cannot serve as the data directory is refused with a
    // message and the shown one stays.
    void btnDirDataClick();
    void btnDefaultDirClick();
    // Puts a changed key to work, then writes "DirData", even unchanged, and closes as
    // accepted. A key another program holds, or a failed write, keeps the dialog open; a
    // refused key is shown back as it was.
    void btnConfirmClick();

private:
    void frmQbNoCaptionCreate();
    // Shows the folder as the data directory, or says why it cannot be one.
    void ChooseDirData(const QString& path);

    // A key is one combination: what the edit waits for after the first is dropped.
    void KeepFirstCombination();
    bool ApplyCaptureKey();

    TqbNoteInfo& m_noteInfo;
    QString FDirData;
    QKeySequence m_captureKey;
    TApplyCaptureKey m_applyCaptureKey;
};
