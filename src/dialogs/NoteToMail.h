#pragma once

#include "library/qbDialogFrame.h"
#include "platform/qbMailHandoff.h"

#include <QString>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

// Hands a message over to the mail program; qbMail::Send unless a test puts its own.
using TqbMailSender = std::function<TqbMailResult(const TqbMailMessage&)>;

// "메일 전송": sends the open note's file as an attachment through the desktop's mail program.
class TfrmNoteToMail : public TqbDialogFrame {
    Q_OBJECT
public:
    // nodeCaption: the caption of the tree's selected node; notePath: the open note's file,
    // attached as it is on disk.
    TfrmNoteToMail(const QString& nodeCaption, const QString& notePath, TqbMailSender sender = {},
                   QWidget* parent = nullptr);

    QLineEdit* edtName = nullptr;
    QLineEdit* edtMailAddress = nullptr;
    QPlainTextEdit* memBody = nullptr;
    QLabel* labMsg = nullptr;

    // Validates and hands over. Closes as accepted once the mail program took the message;
    // otherwise the dialog stays open with what the user typed.
    void btnConfirmClick();
    void ShowWarning(const QString& text);
    TqbMailMessage MailMessage() const;
    TqbMailResult SendMail();

private:
    void frmQbNoCaptionCreate();
    void SetMessageColour(const QColor& colour);

    QString m_nodeCaption;
    QString m_notePath;
    TqbMailSender m_sender;
};
