#include "search/qbPageCharset.h"

#include "platform/qbPageCodec.h"
#include "platform/qbTextFile.h"

#include <QByteArrayView>

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

// The declaration reader stops at the body tag, so the bytes up to it decide. Anything unusual
// before the body (a comment, an XML declaration) makes the whole page the head.
QByteArrayView Head(const QByteArray& bytes) {
    const qsizetype body = FindBodyTag(bytes);
    if (body < 0 || bytes.startsWith("<?xml") || QByteArrayView(bytes).first(body).contains("<!--"))
        return bytes;
    return QByteArrayView(bytes).first(body + 6);
}

// The codec's own reading of a declaration.
QByteArray Declared(QByteArrayView head) {
    const QByteArray bytes = QByteArray::fromRawData(head.data(), head.size());
    return qbText::DeclaresCharset(bytes) ? qbText::DeclaredCharset(bytes) : QByteArray();
}

} // namespace

namespace qbSearch {

QByteArray PageCharset(const QByteArray& bytes) {
    return qbPageCodec::Charset(bytes);
}

QString DecodePage(const QByteArray& bytes, const QByteArray& charset) {
    return qbPageCodec::Decode(bytes, charset);
}

void WritePage(const QString& path, const QString& text, const QByteArray& charset) {
    qbPageCodec::Write(path, text, charset);
}

} // namespace qbSearch

QByteArray TqbPageCharsets::Of(const QByteArray& bytes) {
    const QByteArrayView head = Head(bytes);
    // A whole page as the head is not worth keeping.
    if (head.size() == bytes.size())
        return qbSearch::PageCharset(bytes);
    if (head != QByteArrayView(m_head)) {
        m_head = head.toByteArray();
        m_declared = Declared(head);
    }
    return m_declared.isEmpty() ? qbSearch::PageCharset(bytes) : m_declared;
}
