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

// How much of the mail program's own message the box shows.
inline constexpr int OutputLines = 4;
inline constexpr int OutputLineLength = 100;

// The message for the open note: the subject after the selected node's caption, the memo's
// lines joined by LF (xdg-email makes each line break CR LF itself), the name as typed and the address without surrounding blanks.
TqbMailMessage BuildMessage(const QString& nodeCaption, const QString& recipientName,
                            const QString& address, const QString& memoText,
                            const QString& notePath);

// A few lines of a tool's message for a box: blank lines dropped, each line cut to
// OutputLineLength characters; of a longer message the first lines, "…" and its last line,
// which is where xdg-utils says what went wrong.
QString OutputExcerpt(const QString& output);

// The box text for a hand-off that did not happen, one sentence and an excerpt of what the mail
// program said; empty for one that did.
QString FailureText(const TqbMailResult& result, const TqbMailMessage& message,
                    int timeLimitMs = qbMail::DefaultTimeLimitMs);

} // namespace NoteToMailRules
