#include "library/qbLinkRewrite.h"

#include "library/qbNoteLinks.h"
#include "library/qbPictureLinks.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace qbLinkRewrite {

namespace {

// Only the relative links a page carries between notes; absolute ones name their place.
bool IsRelative(const QString& href) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    const QString h = href.trimmed();
    return !h.isEmpty() && !h.startsWith(u'/') && !h.startsWith(u'#') && !h.startsWith(u'?') &&
           !scheme.match(h).hasMatch();
}

// The file an href leads to from the page, without a trailing '/'; empty when not a local file.
QString Target(const QString& href, const QString& pagePath) {
    const QUrl url = qbNoteLinks::Resolve(href, pagePath);
    return url.isLocalFile() ? QDir::cleanPath(url.toLocalFile()) : QString();
}

// Hangul written on one system may be composed (NFC) and on another not (NFD): the same name,
// unless the name as written is on disk itself, a twin beside the other.
bool SameName(const QString& written, const QString& name) {
    if (written == name)
        return true;
    return written.normalized(QString::NormalizationForm_C) ==
               name.normalized(QString::NormalizationForm_C) &&
           !QFileInfo::exists(written);
}

// Where the file is after the move: the moved item or anything inside a moved folder follows it.
QString Moved(const QString& file, const TqbItemMove& move) {
    const QString from = QDir::cleanPath(move.From);
    const QString to = QDir::cleanPath(move.To);
    if (SameName(file, from))
        return to;
    const qsizetype depth = from.count(u'/') + 1;
    if (move.From.endsWith(u'/') && SameName(file.section(u'/', 0, depth - 1), from))
        return to + u'/' + file.section(u'/', depth);
    return file;
}

TqbRewrittenLinks Rewrite(const QString& html, const QString& oldPagePath,
                          const QString& newPagePath, const TqbItemMove& move) {
    TqbRewrittenLinks out{html, 0};
    const QList<TqbPictureLink> hrefs = qbPictureLinks::FindHrefs(html);
    // From the end, so that earlier positions stay true.
    for (auto it = hrefs.crbegin(); it != hrefs.crend(); ++it) {
        const QString& href = it->File;
        if (!IsRelative(href))
            continue;
        const QString before = Target(href, oldPagePath);
        if (before.isEmpty())
            continue;
        const QString after = Moved(before, move);
        if (SameName(Target(href, newPagePath), after))
            continue;
        // The query and place are kept as written, character references and all.
        static const QRegularExpression tailStart(QStringLiteral("(?<!&)[?#]"));
        const QString path = html.mid(it->Pos, it->Len).trimmed();
        const qsizetype tail = path.indexOf(tailStart);
        const QString kept = tail < 0 ? QString() : path.mid(tail);
        const bool folder = (tail < 0 ? path : path.left(tail)).endsWith(u'/');
        const QString written =
            qbNoteLinks::Href(newPagePath, after) + (folder ? QStringLiteral("/") : QString()) +
            kept;
        out.Html.replace(it->Pos, it->Len, written);
        ++out.Count;
    }
    return out;
}

} // namespace

TqbRewrittenLinks LinksTo(const QString& html, const QString& pagePath,
                          const TqbItemMove& move) {
    return Rewrite(html, pagePath, pagePath, move);
}

TqbRewrittenLinks LinksOfMoved(const QString& html, const QString& oldPagePath,
                               const QString& newPagePath, const TqbItemMove& move) {
    return Rewrite(html, oldPagePath, newPagePath, move);
}

} // namespace qbLinkRewrite
