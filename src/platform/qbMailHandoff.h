#pragma once

#include <QString>
#include <QStringList>

// One message with one recipient and one attachment, handed to the desktop's mail program
// through xdg-email. The mail program shows its own compose window; nothing is sent from here.
struct TqbMailMessage {
    QString Subject;
    QString Body;
    QString RecipientName; // may be empty
    QString Address;
    QString AttachmentPath; // empty: no attachment
};

enum class TqbMailStatus {
    HandedOver,
    NoProgram,         // xdg-email is not installed or cannot be started
    NoHandler,         // no mail program is set up for mailto: addresses
    AddressRefused,    // xdg-email refused the arguments; ours are always well formed but the address
    AttachmentMissing, // the attachment vanished or cannot be read
    Failed,            // the mail program reported a failure (see ExitCode)
    TimedOut,          // the time limit passed; the mail program may still show up
    TooLong,           // the mail address xdg-email would make exceeds what one argument may hold
};

struct TqbMailResult {
    TqbMailStatus Status = TqbMailStatus::Failed;
    int ExitCode = 0;
    QString ErrorOutput; // what xdg-email wrote to its error stream, trimmed
    bool Ok() const { return Status == TqbMailStatus::HandedOver; }
};

namespace qbMail {

inline constexpr int DefaultTimeLimitMs = 30000;
// The system takes no single argument longer than this (Linux: 32 pages less the closing NUL).
// xdg-email hands everything on as one mailto: address, so that address must fit.
inline constexpr qsizetype LongestArgument = 32 * 4096 - 1;

// "Name" <address>, or the address alone when there is no name. The name is always quoted so
// that neither a leading "-" nor an "@" in it can be taken for something else.
QString RecipientArgument(const QString& name, const QString& address);

// The arguments for xdg-email. Empty texts are left out: xdg-email refuses an empty --body.
QStringList Arguments(const TqbMailMessage& message);

// The length of the mailto: address xdg-email makes of the message: its text in UTF-8 with
// every byte but letters, digits and "@.-\\/" as %XX, and each line break as %0D%0A.
qsizetype MailtoLength(const TqbMailMessage& message);

// Runs xdg-email (found on PATH) and waits for it, painting but taking no user input, at most
// timeLimitMs. Never reports a failure as handed over.
TqbMailResult Send(const TqbMailMessage& message, int timeLimitMs = DefaultTimeLimitMs);

} // namespace qbMail
