#include "app/qbSourceText.h"

namespace qbSourceText {

namespace {

bool IsSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool IsAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Past the tag's ">", quoted attribute values skipped whole; the end when there is none.
qsizetype TagEnd(QStringView html, qsizetype i) {
    while (i < html.size()) {
        const QChar c = html[i];
        if (c == u'>')
            return i + 1;
        if (c == u'"' || c == u'\'') {
            const qsizetype close = html.indexOf(c, i + 1);
            if (close < 0)
                return html.size();
            i = close;
        }
        ++i;
    }
    return html.size();
}

// Where "</name" followed by a space, "/" or ">" begins; the end when nothing closes.
qsizetype EndTagAt(QStringView html, qsizetype from, QStringView name) {
    for (qsizetype i = html.indexOf(u"</", from); i >= 0; i = html.indexOf(u"</", i + 2)) {
        const qsizetype after = i + 2 + name.size();
        if (after <= html.size() &&
            html.sliced(i + 2, name.size()).compare(name, Qt::CaseInsensitive) == 0 &&
            (after == html.size() || IsSpace(html[after]) || html[after] == u'/' ||
             html[after] == u'>'))
            return i;
    }
    return html.size();
}

bool IsRawTextElement(QStringView name) {
    for (const char16_t* raw : {u"script", u"style", u"xmp", u"iframe", u"noembed", u"noframes"})
        if (name.compare(QStringView(raw), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

QList<std::pair<qsizetype, qsizetype>> RawStretches(QStringView html) {
    QList<std::pair<qsizetype, qsizetype>> stretches;
    const qsizetype n = html.size();
    for (qsizetype i = html.indexOf(u'<'); i >= 0 && i < n; i = html.indexOf(u'<', i)) {
        const QStringView rest = html.sliced(i);
        if (rest.startsWith(u"<!--")) {
            const qsizetype close = html.indexOf(u"-->", i + 4);
            const qsizetype end = close < 0 ? n : close + 3;
            stretches.append({i, end});
            i = end;
        } else if (rest.startsWith(u"<!") || rest.startsWith(u"<?")) {
            const qsizetype close = html.indexOf(u'>', i + 2);
            const qsizetype end = close < 0 ? n : close + 1;
            stretches.append({i, end});
            i = end;
        } else if (rest.size() > 1 && IsAsciiLetter(rest[1])) {
            qsizetype nameEnd = i + 1;
            while (nameEnd < n && !IsSpace(html[nameEnd]) && html[nameEnd] != u'/' &&
                   html[nameEnd] != u'>')
                ++nameEnd;
            const QStringView name = html.sliced(i + 1, nameEnd - i - 1);
            i = TagEnd(html, nameEnd);
            if (name.compare(u"plaintext", Qt::CaseInsensitive) == 0) {
                stretches.append({i, n});
                i = n;
            } else if (IsRawTextElement(name)) {
                const qsizetype end = EndTagAt(html, i, name);
                stretches.append({i, end});
                i = end == n ? n : TagEnd(html, end + 2);
            }
        } else {
            ++i;
        }
    }
    return stretches;
}

} // namespace qbSourceText
