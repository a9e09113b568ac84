#include "editing/qbPageText.h"

#include <QFileInfo>

#include <limits>

namespace qbDhtml {

namespace {

// Elements whose content the serialiser writes as it stands: markup there is only text.
const QLatin1String RawTextElements[] = {
    QLatin1String("script"),  QLatin1String("style"),    QLatin1String("xmp"),
    QLatin1String("iframe"),  QLatin1String("noembed"),  QLatin1String("noframes"),
    QLatin1String("noscript"), QLatin1String("plaintext")};

bool IsStartTag(QStringView tag, QLatin1String name) {
    if (tag.size() < name.size() + 2 || !tag.mid(1).startsWith(name, Qt::CaseInsensitive))
        return false;
    const QChar after = tag[name.size() + 1];
    return after.isSpace() || after == u'>' || after == u'/';
}

// The serialiser quotes every value with '"' and writes a '"' inside one as a reference.
QString TagWithPlainChecked(QStringView tag) {
    static const QLatin1String empty("checked=\"\"");
    QString out;
    out.reserve(tag.size());
    bool quoted = false;
    for (qsizetype i = 0; i < tag.size(); ++i) {
        const QChar c = tag[i];
        out += c;
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && c.isSpace() && tag.mid(i + 1).startsWith(empty)) {
            const qsizetype after = i + 1 + empty.size();
            if (after < tag.size() &&
                (tag[after].isSpace() || tag[after] == u'>' || tag[after] == u'/')) {
                out += QLatin1String("checked");
                i = after - 1;
            }
        }
    }
    return out;
}

} // namespace

QString WithPlainChecked(const QString& html) {
    if (!html.contains(QLatin1String("checked=\"\""), Qt::CaseInsensitive))
        return html;
    QString out;
    out.reserve(html.size());
    qsizetype from = 0;
    for (qsizetype lt = html.indexOf(u'<'); lt >= 0; lt = html.indexOf(u'<', from)) {
        out += QStringView(html).mid(from, lt - from);
        qsizetype end;
        if (QStringView(html).mid(lt).startsWith(QLatin1String("<!--"))) {
            end = html.indexOf(QLatin1String("-->"), lt + 4);
            end = end < 0 ? html.size() : end + 3;
            out += QStringView(html).mid(lt, end - lt);
            from = end;
            continue;
        }
        bool quoted = false;
        for (end = lt + 1; end < html.size() && (quoted || html[end] != u'>'); ++end)
            if (html[end] == u'"')
                quoted = !quoted;
        end = qMin(end + 1, html.size());
        const QStringView tag = QStringView(html).mid(lt, end - lt);
        if (IsStartTag(tag, QLatin1String("input")))
            out += TagWithPlainChecked(tag);
        else
            out += tag;
        from = end;
        for (const QLatin1String raw : RawTextElements) {
            if (!IsStartTag(tag, raw))
                continue;
            const qsizetype close =
                html.indexOf(QLatin1String("</") + raw, from, Qt::CaseInsensitive);
            const qsizetype rawEnd = close < 0 ? html.size() : close;
            out += QStringView(html).mid(from, rawEnd - from);
            from = rawEnd;
            break;
        }
    }
    out += QStringView(html).mid(from);
    return out;
}

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
    QString text = WithPlainChecked(serialized);
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
