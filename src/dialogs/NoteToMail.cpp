#include "dialogs/NoteToMail.h"

#include "controls/qbImageLists.h"
#include "dialogs/NoteToMailRules.h"
#include "dialogs/qbWarningBox.h"
#include "library/qbNameRules.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace NoteToMailRules;

TfrmNoteToMail::TfrmNoteToMail(const QString& nodeCaption, const QString& notePath,
                               TqbMailSender sender, QWidget* parent)
    : TqbDialogFrame(parent), m_nodeCaption(nodeCaption), m_notePath(notePath),
      m_sender(sender ? std::move(sender) : TqbMailSender([](const TqbMailMessage& message) {
          return qbMail::Send(message);
      })) {
    frmQbNoCaptionCreate();
}

void TfrmNoteToMail::frmQbNoCaptionCreate() {
    FrameCreate();
    setObjectName(QStringLiteral("frmNoteToMail"));
    setWindowTitle(QStringLiteral("메일 전송"));
    setWindowIcon(qbImgs16(qbImg::SendMail));
    setFixedSize(406, 189);

    const auto label = [this](const QString& text, int left, int top) {
        auto* l = new QLabel(text, this);
        l->move(left, top);
        l->adjustSize();
    };
    label(QStringLiteral("받는분 이름:"), 8, 30);
    edtName = new QLineEdit(this);
    edtName->setObjectName(QStringLiteral("edtName"));
    edtName->setGeometry(85, 25, 185, 21);
    label(QStringLiteral("메일 주소:"), 20, 53);
    edtMailAddress = new QLineEdit(this);
    edtMailAddress->setObjectName(QStringLiteral("edtMailAddress"));
    edtMailAddress->setGeometry(85, 50, 315, 21);
    label(QStringLiteral("내용:"), 50, 78);
    memBody = new QPlainTextEdit(DefaultBody, this);
    memBody->setObjectName(QStringLiteral("memBody"));
    memBody->setGeometry(85, 75, 315, 67);
    memBody->setTabChangesFocus(true);
    // Any input method of the desktop will do for Korean text.
    for (QWidget* edit : {static_cast<QWidget*>(edtName), static_cast<QWidget*>(edtMailAddress),
                          static_cast<QWidget*>(memBody)})
        edit->setAttribute(Qt::WA_InputMethodEnabled, true);

    labMsg = new QLabel(this);
    labMsg->setObjectName(QStringLiteral("labMsg"));
    labMsg->setGeometry(5, 150, 231, 31);
    labMsg->setWordWrap(true);
    QFont font(QStringLiteral("굴림체"));
    font.setPixelSize(12);
    labMsg->setFont(font);
    SetMessageColour(QColor(255, 0, 0));
    labMsg->hide();

    btnConfirm->setGeometry(245, 155, 75, 25);
    btnCancel->setGeometry(325, 155, 75, 25);
    connect(btnConfirm, &QPushButton::clicked, this, &TfrmNoteToMail::btnConfirmClick);

    setTabOrder(edtName, edtMailAddress);
    setTabOrder(edtMailAddress, memBody);
    setTabOrder(memBody, btnConfirm);
    setTabOrder(btnConfirm, btnCancel);
    edtName->clear();
    edtMailAddress->clear();
    edtName->setFocus();
}

void TfrmNoteToMail::SetMessageColour(const QColor& colour) {
    QPalette palette = labMsg->palette();
    palette.setColor(QPalette::WindowText, colour);
    labMsg->setPalette(palette);
}

void TfrmNoteToMail::ShowWarning(const QString& text) {
    SetMessageColour(QColor(255, 0, 0));
    labMsg->setText(text);
    labMsg->show();
    edtMailAddress->setFocus();
}

TqbMailMessage TfrmNoteToMail::MailMessage() const {
    return BuildMessage(m_nodeCaption, edtName->text(), edtMailAddress->text(),
                        memBody->toPlainText(), m_notePath);
}

TqbMailResult TfrmNoteToMail::SendMail() {
    return m_sender(MailMessage());
}

void TfrmNoteToMail::btnConfirmClick() {
    if (qbNameRules::TrimName(edtMailAddress->text()).isEmpty()) {
        ShowWarning(MsgNoAddress);
        return;
    }
    SetMessageColour(QColor(0, 0, 128));
    labMsg->setText(MsgSending);
    labMsg->show();
    btnConfirm->setEnabled(false);
    labMsg->repaint();

    const TqbMailResult result = SendMail();
    if (result.Ok()) {
        accept();
        return;
    }
    labMsg->hide();
    btnConfirm->setEnabled(true);
    qbShowWarningBox(this, FailureText(result, MailMessage()));
}
