#include "search/qbSearchText.h"

#include "platform/qbError.h"
#include "platform/qbTextFile.h"

#include <QDir>
#include <QFile>
#include <algorithm>

namespace {

bool IsBlankOrControl(QChar c) {
    return c.unicode() <= u' ' || c.category() == QChar::Other_Control;
}

void FoldAsciiCaseInto(QStringView text, QString& folded) {
    folded.resize(text.size());
    char16_t* out = reinterpret_cast<char16_t*>(folded.data());
    const char16_t* in = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = (in[i] >= u'A' && in[i] <= u'Z') ? char16_t(in[i] + (u'a' - u'A')) : in[i];
}

} // namespace

namespace qbSearch {

QString MakeSearchText(const QString& entered) {
    qsizetype begin = 0;
    qsizetype end = entered.size();
    while (begin < end && IsBlankOrControl(entered.at(begin)))
        ++begin;
    while (end > begin && IsBlankOrControl(entered.at(end - 1)))
        --end;
    return FoldAsciiCase(QStringView(entered).sliced(begin, end - begin));
}

QString FoldAsciiCase(QStringView text) {
    QString folded;
    FoldAsciiCaseInto(text, folded);
    return folded;
}

QString HighlightMatches(const QString& line, const QString& searchText) {
    if (searchText.isEmpty())
        return line;
    const QString folded = FoldAsciiCase(line);
    qsizetype at = folded.indexOf(searchText);
    if (at < 0)
        return line;
    QString marked;
    marked.reserve(line.size() + 8 * (HighlightOpen.size() + HighlightClose.size()));
    qsizetype from = 0;
    const qsizetype n = searchText.size();
    while (at >= 0) {
        marked += QStringView(line).sliced(from, at - from);
        marked += HighlightOpen;
        marked += QStringView(line).sliced(at, n);
        marked += HighlightClose;
        from = at + n;
        at = folded.indexOf(searchText, from);
    }
    marked += QStringView(line).sliced(from);
    return marked;
}

void WriteMarkedCopy(const QString& source, const QString& target, const QString& searchText) {
    const QByteArray bytes = qbText::ReadFileBytes(source);
    const QByteArray charset = qbText::DeclaredCharset(bytes);
    QStringList lines = qbText::SplitLines(qbText::Decode(bytes, charset));
    for (QString& line : lines)
        line = HighlightMatches(line, searchText);
    qbText::WriteFileBytes(target, qbText::Encode(qbText::JoinLines(lines), charset));
}

} // namespace qbSearch

namespace {

// Charsets in which an ASCII character is always its own single byte and no byte of another
// character decodes to ASCII: a page without the needle's bytes cannot hold the needle.
bool AsciiTransparent(const QByteArray& charset) {
    return charset == qbText::DefaultCharset || charset == "UTF-8" || charset == "windows-1252";
}

char FoldByte(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

} // namespace

// Horspool over bytes with A to Z folded: the needle is folded already.
TqbFoldedByteSearch::TqbFoldedByteSearch(const QByteArray& needle) : m_needle(needle) {
    const qsizetype n = needle.size();
    m_skip.fill(n);
    for (qsizetype i = 0; i + 1 < n; ++i) {
        const uchar c = uchar(needle[i]);
        m_skip[c] = n - 1 - i;
        if (c >= 'a' && c <= 'z')
            m_skip[c - ('a' - 'A')] = n - 1 - i;
    }
}

bool TqbFoldedByteSearch::FoundIn(QByteArrayView bytes) const {
    return IndexIn(bytes) >= 0;
}

qsizetype TqbFoldedByteSearch::IndexIn(QByteArrayView bytes) const {
    const qsizetype n = m_needle.size();
    if (n == 0 || bytes.size() < n)
        return n == 0 ? 0 : -1;
    const char* text = bytes.data();
    const char* needle = m_needle.constData();
    const uchar last = uchar(needle[n - 1]);
    for (qsizetype at = 0; at <= bytes.size() - n;) {
        const char tail = text[at + n - 1];
        if (uchar(FoldByte(tail)) == last) {
            qsizetype i = n - 2;
            while (i >= 0 && FoldByte(text[at + i]) == needle[i])
                --i;
            if (i < 0)
                return at;
        }
        at += m_skip[uchar(tail)];
    }
    return -1;
}

namespace {

bool EndsTagName(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '/' || c == '>';
}

// The declaration reader stops at the body tag; handing it just the head spares it lower-casing
// the whole page. Anything unusual before the body (a comment, an XML declaration) gets it all.
QByteArray CharsetHead(const QByteArray& bytes, const TqbFoldedByteSearch& bodyTag) {
    const qsizetype body = bodyTag.IndexIn(bytes);
    if (body < 0 || body + 5 >= bytes.size() || !EndsTagName(bytes[body + 5]) ||
        bytes.startsWith("<?xml") || QByteArrayView(bytes).first(body).contains("<!--"))
        return bytes;
    return QByteArray::fromRawData(bytes.constData(), body + 6);
}

} // namespace

TqbTextFinder::TqbTextFinder(const QString& searchText)
    : m_searchText(searchText), m_matcher(searchText, Qt::CaseSensitive), m_bodyTag("<body") {
    const bool ascii = std::all_of(searchText.begin(), searchText.end(),
                                   [](QChar c) { return c.unicode() < 0x80; });
    if (ascii)
        m_asciiNeedle.emplace(searchText.toLatin1());
}

bool TqbTextFinder::FileContainsText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EqbError(QStringLiteral("파일을 읽을 수 없습니다: %1\n%2")
                           .arg(QDir::toNativeSeparators(path), file.errorString()));
    m_bytes.resize(file.size());
    const qint64 got = file.read(m_bytes.data(), m_bytes.size());
    if (got < 0 || file.error() != QFileDevice::NoError)
        throw EqbError(QStringLiteral("파일을 읽는 중 오류가 났습니다: %1\n%2")
                           .arg(QDir::toNativeSeparators(path), file.errorString()));
    m_bytes.truncate(got);
    return BytesContainText(m_bytes);
}

bool TqbTextFinder::BytesContainText(const QByteArray& bytes) {
    // A line never holds a line end, so a text with one is on no line.
    if (m_searchText.isEmpty() || m_searchText.contains(u'\r') || m_searchText.contains(u'\n'))
        return false;
    const QByteArray charset = qbText::DeclaredCharset(CharsetHead(bytes, m_bodyTag));
    if (m_asciiNeedle && AsciiTransparent(charset) && !m_asciiNeedle->FoundIn(bytes))
        return false;
    // The needle's bytes may be the second halves of Korean characters: only the decoded text
    // decides.
    return TextContains(qbText::Decode(bytes, charset));
}

bool TqbTextFinder::TextContains(const QString& text) {
    // Without line ends in the needle, a hit in the whole text lies on one line.
    FoldAsciiCaseInto(text, m_folded);
    return m_matcher.indexIn(m_folded) >= 0;
}

bool FileContainsText(const QString& path, const QString& searchText) {
    TqbTextFinder finder(searchText);
    return finder.FileContainsText(path);
}
