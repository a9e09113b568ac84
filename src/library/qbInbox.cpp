#include "library/qbInbox.h"

#include "platform/qbError.h"
#include "platform/qbPageCodec.h"
#include "platform/qbTextFile.h"

#include <QDir>
#include <QIODevice>
#include <algorithm>

namespace {


QByteArray Bytes(const QString& html, const QByteArray& page) {
    return qbPageCodec::BytesForPage(html, page, qbPageCodec::Charset(page));
}

} // namespace

namespace qbInbox {

QString PathOf(const QString& root, const QString& noteExt) {
    return QDir(root).filePath(NoteName + noteExt);
}

QByteArray Appended(const QByteArray& page, const QString& text, const QDateTime& when) {
    const QByteArray charset = qbPageCodec::Charset(page).toUpper();
    if (charset.startsWith("UTF-16") || charset.startsWith("UTF-32"))
        throw EqbError(QStringLiteral("받은 메모의 문자 인코딩(%1)에는 덧붙일 수 없습니다.")
                           .arg(QString::fromLatin1(charset)));
    QStringList lines = QString(text)
                            .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                            .replace(u'\r', u'\n')
                            .split(u'\n');
    for (QString& line : lines)
        line = line.toHtmlEscaped();
    const QByteArray lineEnd = qbPageCodec::LineEndOf(page);
    const QString html = QStringLiteral("<p><b>%1</b><br>%2</p>")
                             .arg(when.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                  lines.join(QStringLiteral("<br>")));
    const QByteArray paragraph = Bytes(html, page) + lineEnd;

    const qsizetype bodyEnd = page.toLower().lastIndexOf("</body");
    if (bodyEnd < 0) {
        const bool lineEnded = page.isEmpty() || page.endsWith('\n') || page.endsWith('\r');
        return page + (lineEnded ? QByteArray() : lineEnd) + paragraph;
    }
    // On a line of its own before the body's end, which keeps its indent.
    qsizetype lineStart = bodyEnd;
    while (lineStart > 0 && (page[lineStart - 1] == ' ' || page[lineStart - 1] == '\t'))
        --lineStart;
    const bool ownLine =
        lineStart == 0 || page[lineStart - 1] == '\n' || page[lineStart - 1] == '\r';
    const qsizetype at = ownLine ? lineStart : bodyEnd;
    return page.left(at) + paragraph + page.mid(at);
}

std::optional<QString> CaptureText(const QStringList& arguments, QIODevice& in) {
    const qsizetype at = arguments.indexOf(QStringLiteral("--capture"));
    if (at < 0)
        return std::nullopt;
    if (at + 1 >= arguments.size())
        return QString();
    if (arguments[at + 1] != u'-')
        return arguments[at + 1];
    QString text = QString::fromUtf8(in.readAll());
    if (text.endsWith(u'\n'))
        text.chop(text.endsWith(QStringLiteral("\r\n")) ? 2 : 1);
    return text;
}

} // namespace qbInbox
