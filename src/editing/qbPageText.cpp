#include "editing/qbPageText.h"

#include "platform/qbTextFile.h"

namespace qbDhtml {

QString WithCrLf(const QString& html) {
    QString out;
    out.reserve(html.size() + html.size() / 16);
    for (qsizetype i = 0; i < html.size(); ++i) {
        const QChar c = html[i];
        if (c == u'\r') {
            out += QStringLiteral("\r\n");
            if (i + 1 < html.size() && html[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += QStringLiteral("\r\n");
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

bool StartsWithBom(const QByteArray& bytes) {
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
           bytes.startsWith("\xFE\xFF");
}

} // namespace

QByteArray PageBytes(const QString& html, const QByteArray& charset) {
    const QByteArray defaultCharset = qbText::DefaultCharset;
    const QByteArray name = charset.toLower();
    if (name.isEmpty() || name == defaultCharset.toLower())
        return qbText::Encode(html, defaultCharset);

    QByteArray bytes = qbText::Encode(html, charset);
    if (StartsWithBom(bytes))
        return bytes;
    // A UTF-16 page is found only by its mark: its bytes hide any META from the browser.
    if (name.startsWith("utf-16"))
        return (name.endsWith("be") ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE")) + bytes;
    if (qbText::DeclaredCharset(bytes).toLower() == name)
        return bytes;
    if (name == "utf-8")
        return QByteArray("\xEF\xBB\xBF") + bytes;
    return qbText::Encode(html, defaultCharset);
}

} // namespace qbDhtml
