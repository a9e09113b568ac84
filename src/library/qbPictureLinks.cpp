#include "library/qbPictureLinks.h"

#include "library/qbFolderListing.h"
#include "library/qbNoteLinks.h"
#include "platform/qbTextFile.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

namespace qbPictureLinks {

namespace {

bool IsNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u':' || c == u'.';
}

class TPageScanner {
public:
    // Pictures, or else the href values as written (File holds the value itself).
    TPageScanner(const QString& html, bool hrefs) : m_html(html), m_hrefs(hrefs) {}

    QList<TqbPictureLink> Run() {
        const qsizetype n = m_html.size();
        qsizetype i = 0;
        while ((i = m_html.indexOf(u'<', i)) >= 0 && i < n) {
            if (m_html.mid(i, 4) == u"<!--") {
                const qsizetype end = m_html.indexOf(QStringLiteral("-->"), i + 4);
                i = end < 0 ? n : end + 3;
                continue;
            }
            i = Tag(i + 1);
        }
        return m_links;
    }

private:
    void Add(qsizetype pos, qsizetype len) {
        const QString file = FileOfAddress(m_html.mid(pos, len));
        if (!file.isEmpty())
            m_links.append({pos, len, file});
    }

    qsizetype SkipSpace(qsizetype i) const {
        while (i < m_html.size() && m_html[i].isSpace())
            ++i;
        return i;
    }

    // Where the contents of the element just opened end: at its end tag, or the page's end.
    qsizetype ContentEnd(qsizetype i, const QString& name) const {
        const QString endTag = QStringLiteral("</") + name;
        for (i = m_html.indexOf(endTag, i, Qt::CaseInsensitive); i >= 0;
             i = m_html.indexOf(endTag, i + 1, Qt::CaseInsensitive)) {
            const qsizetype after = i + endTag.size();
            if (after >= m_html.size() || m_html[after].isSpace() || m_html[after] == u'>' ||
                m_html[after] == u'/')
                return i;
        }
        return m_html.size();
    }

    // Elements whose contents are text, not tags: what looks like a link there is not one.
    static bool HoldsText(const QString& name) {
        static const QStringList names{"script", "style",   "title",    "textarea",
                                       "xmp",    "iframe", "noembed", "noframes"};
        return names.contains(name);
    }

    // The tag whose name starts at i; returns where scanning goes on.
    qsizetype Tag(qsizetype i) {
        const qsizetype nameStart = i;
        while (i < m_html.size() && IsNameChar(m_html[i]))
            ++i;
        const QString name = m_html.mid(nameStart, i - nameStart).toLower();
        if (name.isEmpty())
            return i;
        while (i < m_html.size()) {
            i = SkipSpace(i);
            if (i >= m_html.size())
                break;
            const QChar c = m_html[i];
            if (c == u'>') {
                ++i;
                break;
            }
            if (c == u'/' || c == u'"' || c == u'\'' || c == u'=') {
                ++i;
                continue;
            }
            i = Attribute(i, name);
        }
        if (name == u"plaintext")
            return m_html.size();
        if (!HoldsText(name))
            return i;
        const qsizetype end = ContentEnd(i, name);
        if (name == u"style" && !m_hrefs)
            StyleUrls(i, end);
        return end;
    }

    qsizetype Attribute(qsizetype i, const QString& tag) {
        const qsizetype nameStart = i;
        while (i < m_html.size() && !m_html[i].isSpace() && m_html[i] != u'=' &&
               m_html[i] != u'>' && m_html[i] != u'/')
            ++i;
        const QString name = m_html.mid(nameStart, i - nameStart).toLower();
        i = SkipSpace(i);
        if (i >= m_html.size() || m_html[i] != u'=')
            return i;
        i = SkipSpace(i + 1);
        qsizetype valueStart = i;
        qsizetype valueEnd = i;
        if (i < m_html.size() && (m_html[i] == u'"' || m_html[i] == u'\'')) {
            const QChar quote = m_html[i];
            valueStart = i + 1;
            valueEnd = m_html.indexOf(quote, valueStart);
            if (valueEnd < 0)
                valueEnd = m_html.size();
            i = std::min(valueEnd + 1, m_html.size());
        } else {
            while (i < m_html.size() && !m_html[i].isSpace() && m_html[i] != u'>')
                ++i;
            valueEnd = i;
        }
        if (m_hrefs) {
            // A frame shows another note as a link leads to one.
            if (name == u"href" || (name == u"src" && (tag == u"iframe" || tag == u"frame")))
                m_links.append(
                    {valueStart, valueEnd - valueStart,
                     qbText::DecodeReferences(m_html.mid(valueStart, valueEnd - valueStart))});
        } else if (name == u"src" || name == u"background")
            Add(valueStart, valueEnd - valueStart);
        else if (name == u"style")
            StyleUrls(valueStart, valueEnd);
        return i;
    }

    void StyleUrls(qsizetype from, qsizetype to) {
        static const QRegularExpression url(
            QStringLiteral("url\\(\\s*(?:\"([^\"]*)\"|'([^']*)'|([^)\\s\"']*))\\s*\\)"),
            QRegularExpression::CaseInsensitiveOption);
        const QString part = m_html.mid(from, to - from);
        for (auto it = url.globalMatch(part); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            for (int group = 1; group <= 3; ++group)
                if (m.capturedStart(group) >= 0)
                    Add(from + m.capturedStart(group), m.capturedLength(group));
        }
    }

    const QString& m_html;
    const bool m_hrefs;
    QList<TqbPictureLink> m_links;
};

} // namespace

QList<TqbPictureLink> Find(const QString& html) {
    return TPageScanner(html, false).Run();
}

QList<TqbPictureLink> FindHrefs(const QString& html) {
    return TPageScanner(html, true).Run();
}

qsizetype TailStart(const QString& address) {
    static const QRegularExpression mark(
        QStringLiteral("&(?:amp|#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6});|[?#]"));
    for (auto it = mark.globalMatch(address); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString character = qbText::DecodeReferences(m.captured());
        if (character == u"?" || character == u"#")
            return m.capturedStart();
    }
    return -1;
}

QString FileOfAddress(const QString& address) {
    QString a = qbText::DecodeReferences(address).trimmed();
    a.replace(u'\\', u'/');
    const qsizetype cut = a.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    if (cut >= 0)
        a.truncate(cut);
    if (a.isEmpty() || a.startsWith(u'/'))
        return {};
    // A scheme ("http:", "file:", "data:") or a drive letter makes it absolute.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (scheme.match(a).hasMatch())
        return {};
    const QString file = QDir::cleanPath(qbNoteLinks::Unescaped(a));
    // Pages shown inside pages are notes of their own, never carried along.
    if (file.isEmpty() || file == u"." || file.endsWith(u'/') ||
        IsNoteFileName(file, QStringLiteral(".htm")) ||
        file.endsWith(QStringLiteral(".qb"), Qt::CaseInsensitive))
        return {};
    return file;
}

QString AddressOfFile(const QString& relativePath) {
    QString out;
    for (const QChar c : relativePath) {
        switch (c.unicode()) {
        case u'%':
            out += QStringLiteral("%25");
            break;
        case u' ':
            out += QStringLiteral("%20");
            break;
        case u'#':
            out += QStringLiteral("%23");
            break;
        case u'?':
            out += QStringLiteral("%3F");
            break;
        case u'"':
            out += QStringLiteral("%22");
            break;
        case u'\'':
            out += QStringLiteral("%27");
            break;
        case u'(':
            out += QStringLiteral("%28");
            break;
        case u')':
            out += QStringLiteral("%29");
            break;
        case u'&':
            out += QStringLiteral("%26");
            break;
        case u'<':
            out += QStringLiteral("%3C");
            break;
        case u'>':
            out += QStringLiteral("%3E");
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace qbPictureLinks
