#include "search/qbPageCharset.h"

#include "platform/qbTextFile.h"

#include <QByteArrayView>
#include <QStringDecoder>

namespace qbSearch {

namespace {

bool EndsTagName(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '/' || c == '>';
}

qsizetype FindBodyTag(QByteArrayView bytes) {
    for (qsizetype at = bytes.indexOf('<'); at >= 0 && at + 5 < bytes.size();
         at = bytes.indexOf('<', at + 1)) {
        if (QByteArrayView(bytes.data() + at + 1, 4).compare("body", Qt::CaseInsensitive) == 0 &&
            EndsTagName(bytes[at + 5]))
            return at;
    }
    return -1;
}

// The declaration reader stops at the body tag; handing it just the head spares it lower-casing
// the whole page. Anything unusual before the body (a comment, an XML declaration) gets it all.
QByteArray Head(const QByteArray& bytes) {
    const qsizetype body = FindBodyTag(bytes);
    if (body < 0 || bytes.startsWith("<?xml") || QByteArrayView(bytes).first(body).contains("<!--"))
        return bytes;
    return QByteArray::fromRawData(bytes.constData(), body + 6);
}

bool IsAscii(QByteArrayView bytes) {
    for (const char c : bytes) {
        if (uchar(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

QByteArray PageCharset(const QByteArray& bytes) {
    const QByteArray head = Head(bytes);
    if (qbText::DeclaresCharset(head))
        return qbText::DeclaredCharset(head);
    if (QByteArrayView(bytes).isValidUtf8() && !IsAscii(bytes))
        return "UTF-8";
    return qbText::DefaultCharset;
}

QString DecodePage(const QByteArray& bytes, const QByteArray& charset) {
    return qbText::Decode(bytes, charset);
}

} // namespace qbSearch
