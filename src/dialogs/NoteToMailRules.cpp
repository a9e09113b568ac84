#include "dialogs/NoteToMailRules.h"

#include "library/qbNameRules.h"

#include <QDir>

namespace NoteToMailRules {

TqbMailMessage BuildMessage(const QString& nodeCaption, const QString& recipientName,
                            const QString& address, const QString& memoText,
                            const QString& notePath) {
    TqbMailMessage message;
    message.Subject = SubjectPrefix + nodeCaption;
    QString body = memoText;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    message.Body = body.replace(u'\r', u'\n');
    message.RecipientName = recipientName;
    // A command-line address with blanks around it is not an address any more.
    message.Address = qbNameRules::TrimName(address);
    message.AttachmentPath = notePath;
    return message;
}

QString OutputExcerpt(const QString& output) {
    QStringList lines;
    for (const QString& line : output.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            lines << (trimmed.size() > OutputLineLength
                          ? trimmed.left(OutputLineLength - 1) + QStringLiteral("…")
                          : trimmed);
    }
    if (lines.size() > OutputLines)
        lines = lines.mid(0, OutputLines - 2) << QStringLiteral("…") << lines.last();
    return lines.join(u'\n');
}

QString FailureText(const TqbMailResult& result, const TqbMailMessage& message, int timeLimitMs) {
    QString reason;
    switch (result.Status) {
    case TqbMailStatus::HandedOver:
        return {};
    case TqbMailStatus::NoProgram:
        reason = QStringLiteral("메일 프로그램을 부르는 xdg-email이 없습니다.\n"
                                "xdg-utils 꾸러미를 설치해 주세요.");
        break;
    case TqbMailStatus::NoHandler:
        reason = QStringLiteral("메일을 받아 줄 메일 프로그램이 설정되어 있지 않습니다.");
        break;
    case TqbMailStatus::AddressRefused:
        reason = QStringLiteral("메일 주소 \"%1\"을(를) 메일 프로그램에 넘길 수 없습니다.")
                     .arg(message.Address);
        break;
    case TqbMailStatus::AttachmentMissing:
        reason = QStringLiteral("첨부할 노트 파일을 읽을 수 없습니다.\n%1")
                     .arg(QDir::toNativeSeparators(message.AttachmentPath));
        break;
    case TqbMailStatus::Failed:
        reason = QStringLiteral("메일 프로그램이 오류로 끝났습니다. (코드 %1)").arg(result.ExitCode);
        break;
    case TqbMailStatus::TimedOut:
        reason = QStringLiteral("메일 프로그램이 %1초 안에 응답하지 않았습니다.\n"
                                "메일 작성 창이 늦게 열릴 수도 있습니다.")
                     .arg(timeLimitMs / 1000);
        break;
    case TqbMailStatus::TooLong:
        reason = QStringLiteral("내용이 너무 길어 메일 프로그램에 넘길 수 없습니다. 내용을 줄여 "
                                "주세요. (한 번에 %1KB까지, 한글 한 글자는 9바이트로 셉니다)")
                     .arg((qbMail::LongestArgument + 1) / 1024);
        break;
    }
    QString text = MsgNotSent + u'\n' + reason;
    if (const QString excerpt = OutputExcerpt(result.ErrorOutput); !excerpt.isEmpty())
        text += QStringLiteral("\n\n") + excerpt;
    return text;
}

} // namespace NoteToMailRules
