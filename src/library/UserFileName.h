#pragma once

#include "frames/BlueDialog.h"

#include <QString>

class QFrame;
class QLabel;
class QLineEdit;

// "이름 등록/변경": the name of a new folder, or the new name of a folder or a note.
class TfrmUserFileName : public TfrmBlueDialog {
    Q_OBJECT
public:
    explicit TfrmUserFileName(QWidget* parent = nullptr);

    QLabel* labMsg = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* edtName = nullptr;
    QFrame* Bevel1 = nullptr;

    bool FolderMode = false;
    bool CheckExisting = true;
    QString BasePath; // ends with "/"
    QString NoteExt = QStringLiteral(".htm");

    void SetFolderMode(bool folder);
    // Validates; closes as confirmed only for an acceptable name.
    void btnConfirmClick();
    // The trimmed name; what the caller reads after a confirmed close.
    QString Name() const;

private:
    void frmQbNoCaptionCreate();
    void ShowMessage(const QString& text);
};
