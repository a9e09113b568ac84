#pragma once

#include "frames/BlueDialog.h"

#include <QString>

class QLabel;
class QLineEdit;
class QListWidget;

// "이름 등록/변경" for a new note: its name and the template it starts from.
class TfrmNewNoteName : public TfrmBlueDialog {
    Q_OBJECT
public:
    // templateDir ends with "/"; its "*.htm" files are the templates.
    explicit TfrmNewNoteName(const QString& templateDir, QWidget* parent = nullptr);

    QListWidget* lstTemplate = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* edtName = nullptr;
    QLabel* labMsg = nullptr;

    QString BasePath; // ends with "/"
    QString NoteExt = QStringLiteral(".htm");

    // BasePath := base, and the first free default name into edtName.
    void ProposeName(const QString& base);
    void btnConfirmClick();
    void lstTemplateDblClick();
    QString Name() const;
    // The selected item's caption; empty when no template is selected.
    QString SelectedTemplate() const;

    static inline const QColor MessageColor = QColor(0x80, 0, 0); // maroon

private:
    void frmQbNoCaptionCreate();
    void FillTemplates();
    void ShowMessage(const QString& text);

    QString m_templateDir;
};
