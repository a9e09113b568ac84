#include "library/UserFileName.h"

#include "library/qbNameRules.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TfrmUserFileName::TfrmUserFileName(QWidget* parent) : TfrmBlueDialog(parent) {
    frmQbNoCaptionCreate();
}

void TfrmUserFileName::frmQbNoCaptionCreate() {
    setObjectName("frmUserFileName");
    setWindowTitle(QStringLiteral("이름 등록/변경"));
    SetClientSize(331, 127);

    labMsg = new QLabel(Client());
    labMsg->setObjectName("labMsg");
    labMsg->setGeometry(10, 26, 311, 13);
    labMsg->setMinimumHeight(16);
    labMsg->resize(311, 16);

    Label1 = new QLabel(QStringLiteral("이름:"), Client());
    Label1->setObjectName("Label1");
    Label1->move(10, 55);
    Label1->adjustSize();

    edtName = new QLineEdit(Client());
    edtName->setObjectName("edtName");
    edtName->setGeometry(45, 53, 273, 20);
    edtName->setMinimumHeight(22);
    // Any input method of the desktop will do for Korean text.
    edtName->setAttribute(Qt::WA_InputMethodEnabled, true);
    edtName->clear();

    Bevel1 = new QFrame(Client());
    Bevel1->setObjectName("Bevel1");
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(10, 80, 311, 4);

    btnConfirm->setGeometry(160, 90, 75, 25);
    btnCancel->setGeometry(240, 90, 75, 25);
    connect(btnConfirm, &QPushButton::clicked, this, &TfrmUserFileName::btnConfirmClick);

    CheckExisting = true;
    edtName->setFocus();
}

void TfrmUserFileName::SetFolderMode(bool folder) {
    FolderMode = folder;
    labMsg->setText(folder ? qbNameRules::PromptFolder : qbNameRules::PromptNote);
}

QString TfrmUserFileName::Name() const {
    return qbNameRules::TrimName(edtName->text());
}

void TfrmUserFileName::ShowMessage(const QString& text) {
    // Red from the first refusal on, for the rest of the dialog's life.
    QPalette palette = labMsg->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    labMsg->setPalette(palette);
    labMsg->setText(text);
    edtName->setFocus();
}

void TfrmUserFileName::btnConfirmClick() {
    const QString fault = qbNameRules::UserFileNameFault(BasePath, edtName->text(), FolderMode,
                                                         CheckExisting, NoteExt);
    if (!fault.isEmpty()) {
        ShowMessage(fault);
        return;
    }
    accept();
}
