#include "platform/qbMailHandoff.h"

#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>

namespace qbMail {

QString RecipientArgument(const QString& name, const QString& address) {
    if (name.isEmpty())
        return address;
    QString quoted = name;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + quoted + QStringLiteral("\" <") + address + u'>';
}

QStringList Arguments(const TqbMailMessage& message) {
    // Qt hands arguments over in UTF-8 whatever the locale; without --utf8 xdg-email would run
    // them through iconv from the locale's charset and lose the Korean text under a C locale.
    QStringList args{QStringLiteral("--utf8")};
    if (!message.Subject.isEmpty())
        args << QStringLiteral("--subject") << message.Subject;
    if (!message.Body.isEmpty())
        args << QStringLiteral("--body") << message.Body;
    if (!message.AttachmentPath.isEmpty())
        args << QStringLiteral("--attach") << message.AttachmentPath;
    args << RecipientArgument(message.RecipientName, message.Address);
    return args;
}

// What xdg-email's url_encode makes of one text: its shell drops the last line breaks, and the
// lines left are joined with %0D%0A.
static qsizetype EncodedLength(const QString& text) {
    QByteArray bytes = text.toUtf8();
    while (bytes.endsWith('\n'))
        bytes.chop(1);
    qsizetype length = 0;
    for (const char c : std::as_const(bytes)) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || QByteArrayView("@.-\\/").contains(c);
        length += c == '\n' ? 6 : plain ? 1 : 3;
    }
    return length;
}

qsizetype MailtoLength(const TqbMailMessage& message) {
    const auto field = [](const char* name, const QString& text) -> qsizetype {
        return text.isEmpty() ? 0 : qstrlen(name) + 2 + EncodedLength(text); // "&name="
    };
    return qstrlen("mailto:") +
           EncodedLength(RecipientArgument(message.RecipientName, message.Address)) +
           field("subject", message.Subject) + field("body", message.Body) +
           field("attach", message.AttachmentPath);
}

static TqbMailStatus StatusOfExitCode(int code) {
    // xdg-utils' exit codes.
    switch (code) {
    case 0: return TqbMailStatus::HandedOver;
    case 1: return TqbMailStatus::AddressRefused;
    case 2:
    case 5: return TqbMailStatus::AttachmentMissing;
    case 3: return TqbMailStatus::NoHandler;
    default: return TqbMailStatus::Failed;
    }
}

TqbMailResult Send(const TqbMailMessage& message, int timeLimitMs) {
    TqbMailResult result;
    // Refused by the system before anything starts, or by the mail program's start inside
    // xdg-email, where it would read as a mere failure.
    if (MailtoLength(message) > LongestArgument) {
        result.Status = TqbMailStatus::TooLong;
        return result;
    }
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty()) {
        result.Status = TqbMailStatus::NoProgram;
        return result;
    }

    QProcess process;
    process.setProgram(program);
    process.setArguments(Arguments(message));
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    // A file, not a pipe: a mail program started by xdg-email inherits the error stream and
    // must not die of a closed pipe once we stop reading.
    QTemporaryFile errorFile;
    if (errorFile.open())
        process.setStandardErrorFile(errorFile.fileName());
    else
        process.setStandardErrorFile(QProcess::nullDevice());

    QEventLoop loop;
    bool done = false;
    const auto finish = [&] {
        done = true;
        loop.quit();
    };
    QObject::connect(&process, &QProcess::finished, &loop, finish);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish();
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);

    process.start();
    limit.start(timeLimitMs);
    // The window keeps painting while the mail program starts, but takes no input.
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (process.error() == QProcess::FailedToStart) {
        result.Status = TqbMailStatus::NoProgram;
        result.ErrorOutput = process.errorString();
        return result;
    }
    if (process.state() != QProcess::NotRunning) {
        // Only xdg-email itself goes: a mail program it started keeps running.
        process.kill();
        process.waitForFinished(5000);
        result.Status = TqbMailStatus::TimedOut;
        return result;
    }
    result.ErrorOutput = QString::fromLocal8Bit(errorFile.readAll()).trimmed();
    if (process.exitStatus() == QProcess::CrashExit) {
        result.Status = TqbMailStatus::Failed;
        result.ExitCode = -1;
        return result;
    }
    result.ExitCode = process.exitCode();
    result.Status = StatusOfExitCode(result.ExitCode);
    return result;
}

} // namespace qbMail
