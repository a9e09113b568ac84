#pragma once

#include "platform/qbMailHandoff.h"

#include <QString>

// What the mail dialog hands over and what it says, apart from the dialog.
namespace NoteToMailRules {

inline const QString SubjectPrefix = QStringLiteral("qbNivora-");
inline const QString DefaultBody = QStringLiteral("저의 자료입니다.");
inline const QString MsgNoAddress = QStringLiteral("메일 주소를 넣어 주세요.");
inline const QString MsgSending = QStringLiteral("메일로 전송 중입니다.");
inline const QString MsgNotSent = QStringLiteral("메일을 보내지 못했습니다.");

// The message for the open note: the subject after the selected node's caption, the memo's
// lines joined by CR LF, the name as typed and the address without surrounding blanks.
TqbMailMessage BuildMessage(const QString& nodeCaption, const QString& recipientName,
                            const QString& address, const QString& memoText,
                            const QString& notePath);

// The box text for a hand-off that did not happen; empty for one that did.
QString FailureText(const TqbMailResult& result, const TqbMailMessage& message,
                    int timeLimitMs = qbMail::DefaultTimeLimitMs);

} // namespace NoteToMailRules
