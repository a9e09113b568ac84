#include "library/qbChangeMarks.h"

#include "library/qbLineDiff.h"
#include "library/qbNoteMerge.h"

#include <QList>
#include <QStringList>

namespace qbChangeMarks {

namespace {

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Elements a mark would not show on, or that hold no text a reader sees.
bool Unmarkable(QByteArray name) {
    name = name.toLower();
    for (const char* skipped : {"html", "head", "title", "meta", "link", "style", "script", "body"})
        if (name == skipped)
            return true;
    return false;
}

QList<QByteArray> Lines(const QByteArray& laid) {
    QList<QByteArray> lines;
    for (qsizetype at = 0; at < laid.size();) {
        qsizetype end = laid.indexOf('\n', at);
        end = end < 0 ? laid.size() : end + 1;
        lines << laid.mid(at, end - at);
        at = end;
    }
    return lines;
}

qsizetype SkipSpace(const QByteArray& line, qsizetype at) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r'))
        ++at;
    return at;
}

// The block's first tag gets the attribute; text before any tag gets a span of its own. Tags
// that show nothing ("<body>" before the first paragraph) are passed over.
QByteArray MarkLine(const QByteArray& line) {
    qsizetype at = SkipSpace(line, 0);
    while (at + 1 < line.size() && line[at] == '<' && IsNameChar(line[at + 1])) {
        qsizetype end = at + 1;
        while (end < line.size() && IsNameChar(line[end]))
            ++end;
        if (!Unmarkable(line.mid(at + 1, end - at - 1)))
            return line.left(end) + ' ' + Attribute + line.mid(end);
        const qsizetype close = line.indexOf('>', end);
        if (close < 0)
            return line;
        at = SkipSpace(line, close + 1);
    }
    qsizetype text = line.indexOf('<', at);
    if (text < 0)
        text = line.size();
    // The layout's own break stays outside the span.
    while (text > at && (line[text - 1] == '\n' || line[text - 1] == '\x01'))
        --text;
    if (text == at)
        return line;
    return line.left(at) + "<span " + Attribute + '>' + line.mid(at, text - at) + "</span>" +
           line.mid(text);
}

qsizetype IndexOfNoCase(const QByteArray& text, const QByteArray& word) {
    return text.toLower().indexOf(word);
}

QByteArray WithStyle(const QByteArray& page) {
    const qsizetype head = IndexOfNoCase(page, "<head");
    if (head >= 0) {
        const qsizetype close = page.indexOf('>', head);
        if (close >= 0)
            return page.left(close + 1) + Style + page.mid(close + 1);
    }
    const qsizetype body = IndexOfNoCase(page, "<body");
    return body >= 0 ? page.left(body) + Style + page.mid(body) : Style + page;
}

} // namespace

QByteArray Marked(const QByteArray& page, const QByteArray& other) {
    const QList<QByteArray> lines = Lines(TqbNoteMerge::Layout(page));
    QStringList mine, theirs;
    for (const QByteArray& line : lines)
        mine << QString::fromLatin1(line);
    for (const QByteArray& line : Lines(TqbNoteMerge::Layout(other)))
        theirs << QString::fromLatin1(line);
    QByteArray laid;
    qsizetype index = 0;
    bool changed = false;
    for (const qbLineDiff::TLine& line : qbLineDiff::Compare(theirs, mine)) {
        if (line.Kind == qbLineDiff::TKind::Removed)
            continue;
        const QByteArray& own = lines[index++];
        if (line.Kind == qbLineDiff::TKind::Added) {
            const QByteArray marked = MarkLine(own);
            changed = changed || marked != own;
            laid += marked;
        } else {
            laid += own;
        }
    }
    if (!changed)
        return page;
    return WithStyle(TqbNoteMerge::Unlayout(laid));
}

} // namespace qbChangeMarks
