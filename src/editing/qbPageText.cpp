#include "editing/qbPageText.h"

#include <QFileInfo>

#include <limits>

namespace qbDhtml {

QString WithLineEnds(const QString& html, QStringView lineEnd) {
    QString out;
    out.reserve(html.size() + html.size() / 16 + 2);
    for (qsizetype i = 0; i < html.size(); ++i) {
        const QChar c = html[i];
        if (c == u'\r') {
            out += lineEnd;
            if (i + 1 < html.size() && html[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += lineEnd;
        } else {
            out += c;
        }
    }
    if (!out.isEmpty() && !out.endsWith(lineEnd))
        out += lineEnd;
    return out;
}

QString PageTextToSave(const QString& serialized, QStringView lineEnd) {
    // Parsing turns every line end into a line feed, so a carriage return here is the
    // document's own character, in text or an attribute, never in a script or style.
    QString text = serialized;
    text.replace(u'\r', QLatin1String("&#13;"));
    const qsizetype bodyEnd = text.lastIndexOf(QLatin1String("</body>"), -1, Qt::CaseInsensitive);
    if (bodyEnd > 0 && text[bodyEnd - 1] == u'\n')
        text.remove(bodyEnd - 1, 1);
    return WithLineEnds(text, lineEnd);
}

qsizetype DataAddressLength(const QByteArray& utf8Page) {
    // The address as the engine makes it: "data:" + type + "," + the percent-encoded bytes.
    static const qsizetype prefix = qsizetype(sizeof("data:text/html;charset=UTF-8,") - 1);
    qsizetype escaped = 0;
    for (const char c : utf8Page) {
        const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (!unreserved)
            ++escaped;
    }
    return prefix + utf8Page.size() + 2 * escaped;
}

int PageWaitMs(int baseMs, qsizetype documentChars) {
    const qint64 extra = qint64(documentChars) * 5000 / 1000000;
    return int(qMin<qint64>(qint64(baseMs) + extra, std::numeric_limits<int>::max()));
}

QString PrintFileName(const QString& notePath, const QString& lastFile) {
    const QFileInfo note(notePath);
    const QString folder = lastFile.isEmpty() ? note.absolutePath() : QFileInfo(lastFile).absolutePath();
    return folder + u'/' + note.completeBaseName() + QStringLiteral(".pdf");
}

} // namespace qbDhtml
