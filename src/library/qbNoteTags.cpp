#include "library/qbNoteTags.h"

#include "platform/qbError.h"
#include "platform/qbPageCodec.h"
#include "platform/qbTextFile.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <optional>

namespace qbNoteTags {

namespace {

const QByteArray MetaName = "keywords";
const QByteArray ByteOrderMark = "\xEF\xBB\xBF";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool StartsAt(const QByteArray& page, qsizetype at, QByteArrayView text) {
    return page.mid(at, text.size()).compare(text, Qt::CaseInsensitive) == 0;
}

struct TAttribute {
    QByteArray Name; // lower case
    qsizetype ValueStart = -1;
    qsizetype ValueEnd = -1;
    bool Quoted = false;
};

struct TTag {
    QByteArray Name;    // lower case
    qsizetype End = -1; // past its ">"
    qsizetype LastAttributeEnd = -1;
    QList<TAttribute> Attributes;
};

// The tag whose "<" is at `at`; its end is the page's end when it is never closed.
TTag ReadTag(const QByteArray& page, qsizetype at) {
    TTag tag;
    const qsizetype n = page.size();
    qsizetype p = at + 1;
    while (p < n && !IsSpace(page[p]) && page[p] != '>' && page[p] != '/')
        ++p;
    tag.Name = page.mid(at + 1, p - at - 1).toLower();
    tag.LastAttributeEnd = p;
    while (p < n) {
        while (p < n && (IsSpace(page[p]) || page[p] == '/'))
            ++p;
        if (p >= n || page[p] == '>')
            break;
        TAttribute attribute;
        const qsizetype nameStart = p;
        while (p < n && !IsSpace(page[p]) && page[p] != '=' && page[p] != '>' && page[p] != '/')
            ++p;
        attribute.Name = page.mid(nameStart, p - nameStart).toLower();
        qsizetype q = p;
        while (q < n && IsSpace(page[q]))
            ++q;
        if (q < n && page[q] == '=') {
            ++q;
            while (q < n && IsSpace(page[q]))
                ++q;
            if (q < n && (page[q] == '"' || page[q] == '\'')) {
                const qsizetype close = page.indexOf(page[q], q + 1);
                attribute.Quoted = true;
                attribute.ValueStart = q + 1;
                attribute.ValueEnd = close < 0 ? n : close;
                p = close < 0 ? n : close + 1;
            } else {
                attribute.ValueStart = q;
                while (q < n && !IsSpace(page[q]) && page[q] != '>')
                    ++q;
                attribute.ValueEnd = q;
                p = q;
            }
        }
        tag.LastAttributeEnd = p;
        tag.Attributes.append(attribute);
    }
    tag.End = p < n ? p + 1 : n;
    return tag;
}

const TAttribute* Find(const TTag& tag, QByteArrayView name) {
    for (const TAttribute& attribute : tag.Attributes)
        if (attribute.Name == name)
            return &attribute;
    return nullptr;
}

struct TKeywords {
    qsizetype Start = -1;
    TTag Tag;
};

// Where the head's parts are, up to the body.
struct THead {
    qsizetype StartAfter = 0; // past a byte-order mark, an XML declaration or a doctype
    qsizetype HtmlEnd = -1;
    qsizetype HeadEnd = -1;
    qsizetype HeadClose = -1;
    std::optional<TKeywords> Keywords;
};

THead ScanHead(const QByteArray& page) {
    THead head;
    if (page.startsWith(ByteOrderMark))
        head.StartAfter = 3;
    const QByteArray lower = page.toLower();
    const qsizetype n = page.size();
    qsizetype i = 0;
    while ((i = page.indexOf('<', i)) >= 0) {
        if (StartsAt(page, i, "<!--")) {
            const qsizetype close = page.indexOf("-->", i + 4);
            i = close < 0 ? n : close + 3;
            continue;
        }
        if (StartsAt(page, i, "<!") || StartsAt(page, i, "<?")) {
            const qsizetype close = page.indexOf('>', i);
            i = close < 0 ? n : close + 1;
            if (head.HtmlEnd < 0 && head.HeadEnd < 0)
                head.StartAfter = i;
            continue;
        }
        if (StartsAt(page, i, "</")) {
            const TTag tag = ReadTag(page, i + 1);
            if (tag.Name == "head") {
                head.HeadClose = i;
                break;
            }
            if (tag.Name == "html")
                break;
            i = tag.End;
            continue;
        }
        const TTag tag = ReadTag(page, i);
        if (tag.Name == "body")
            break;
        if (tag.Name == "html")
            head.HtmlEnd = tag.End;
        else if (tag.Name == "head")
            head.HeadEnd = tag.End;
        else if (tag.Name == "meta" && !head.Keywords) {
            const TAttribute* name = Find(tag, "name");
            if (name && page.mid(name->ValueStart, name->ValueEnd - name->ValueStart)
                                .trimmed()
                                .compare(MetaName, Qt::CaseInsensitive) == 0)
                head.Keywords = TKeywords{i, tag};
        } else if (tag.Name == "title" || tag.Name == "style" || tag.Name == "script") {
            // Their text is not markup.
            const qsizetype close = lower.indexOf("</" + tag.Name, tag.End);
            i = close < 0 ? n : close;
            continue;
        }
        i = tag.End;
    }
    return head;
}

bool IsUnicodeWide(const QByteArray& charset) {
    const QByteArray upper = charset.toUpper();
    return upper.startsWith("UTF-16") || upper.startsWith("UTF-32");
}

// The tags as the content attribute's bytes in the page's charset; a page of ASCII alone keeps
// to ASCII, so that nothing new has to be guessed about its charset.
QByteArray ContentBytes(const QStringList& tags, const QByteArray& page,
                        const QByteArray& charset) {
    const QString text = Join(tags).toHtmlEscaped().replace(u'\'', QStringLiteral("&#39;"));
    return qbPageCodec::BytesForPage(text, page, charset);
}


// Where the line holding `at` starts, when nothing but blanks stand before it on that line.
std::optional<qsizetype> BlankLineStart(const QByteArray& page, qsizetype at) {
    qsizetype p = at;
    while (p > 0 && (page[p - 1] == ' ' || page[p - 1] == '\t'))
        --p;
    if (p == 0 || page[p - 1] == '\n' || page[p - 1] == '\r')
        return p;
    return std::nullopt;
}

QByteArray Removed(QByteArray page, qsizetype start, qsizetype end) {
    // A meta alone on its line goes with its line.
    if (const std::optional<qsizetype> lineStart = BlankLineStart(page, start)) {
        qsizetype lineEnd = end;
        while (lineEnd < page.size() && (page[lineEnd] == ' ' || page[lineEnd] == '\t'))
            ++lineEnd;
        if (page.mid(lineEnd, 2) == "\r\n")
            return page.remove(*lineStart, lineEnd + 2 - *lineStart);
        if (lineEnd < page.size() && (page[lineEnd] == '\n' || page[lineEnd] == '\r'))
            return page.remove(*lineStart, lineEnd + 1 - *lineStart);
    }
    return page.remove(start, end - start);
}

} // namespace

QStringList Split(const QString& text) {
    QStringList tags;
    QSet<QString> seen;
    for (QString tag : text.split(u',')) {
        tag = tag.trimmed();
        if (tag.startsWith(u'#'))
            tag = tag.mid(1).trimmed();
        const QString key = tag.toCaseFolded();
        if (!tag.isEmpty() && !seen.contains(key)) {
            seen.insert(key);
            tags.append(tag);
        }
    }
    return tags;
}

QString Join(const QStringList& tags) {
    return tags.join(QStringLiteral(", "));
}

QStringList Read(const QByteArray& page) {
    const QByteArray charset = qbPageCodec::Charset(page);
    if (IsUnicodeWide(charset))
        return {};
    const THead head = ScanHead(page);
    if (!head.Keywords)
        return {};
    const TAttribute* content = Find(head.Keywords->Tag, "content");
    if (!content || content->ValueStart < 0)
        return {};
    const QByteArray value = page.mid(content->ValueStart, content->ValueEnd - content->ValueStart);
    return Split(qbText::DecodeReferences(qbPageCodec::Decode(value, charset)));
}

QByteArray Write(const QByteArray& page, const QStringList& tags) {
    const QByteArray charset = qbPageCodec::Charset(page);
    if (IsUnicodeWide(charset))
        throw EqbError(QStringLiteral("이 노트는 %1 문자 집합이라 태그를 달 수 없습니다.")
                           .arg(QString::fromLatin1(charset)));
    const THead head = ScanHead(page);
    const QByteArray value = ContentBytes(tags, page, charset);
    QByteArray result = page;
    if (head.Keywords) {
        const TTag& tag = head.Keywords->Tag;
        if (tags.isEmpty())
            return Removed(result, head.Keywords->Start, tag.End);
        const TAttribute* content = Find(tag, "content");
        if (!content || content->ValueStart < 0) {
            const qsizetype at = content ? content->ValueEnd : tag.LastAttributeEnd;
            const QByteArray added = content ? "=\"" + value + '"' : " content=\"" + value + '"';
            return result.insert(at, added);
        }
        if (content->Quoted)
            return result.replace(content->ValueStart, content->ValueEnd - content->ValueStart,
                                  value);
        return result.replace(content->ValueStart, content->ValueEnd - content->ValueStart,
                              '"' + value + '"');
    }
    if (tags.isEmpty())
        return result;
    const QByteArray meta = "<meta name=\"keywords\" content=\"" + value + "\">";
    const QByteArray lineEnd = qbPageCodec::LineEndOf(page);
    if (head.HeadClose >= 0) {
        if (const std::optional<qsizetype> lineStart = BlankLineStart(page, head.HeadClose))
            return result.insert(*lineStart, meta + lineEnd);
        return result.insert(head.HeadClose, meta);
    }
    if (head.HeadEnd >= 0)
        return result.insert(head.HeadEnd, lineEnd + meta);
    const QByteArray newHead = "<head>" + meta + "</head>";
    if (head.HtmlEnd >= 0)
        return result.insert(head.HtmlEnd, lineEnd + newHead);
    if (head.StartAfter > (page.startsWith(ByteOrderMark) ? 3 : 0))
        return result.insert(head.StartAfter, lineEnd + newHead);
    return result.insert(head.StartAfter, newHead + lineEnd);
}

} // namespace qbNoteTags
