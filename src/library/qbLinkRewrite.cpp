#include "library/qbLinkRewrite.h"

#include "library/qbNoteLinks.h"
#include "library/qbPictureLinks.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace qbLinkRewrite {

namespace {

// How an href to a file is written, so that a rewritten one keeps it: relative or absolute
// (with the "file:" part as it was), '/' or '\' between names, names encoded as they were.
struct TLinkForm {
    bool Absolute = false;
    QString Prefix; // before an absolute path: "", "file://", "FILE://localhost", ...
    bool Backslashes = false;
    qbNoteLinks::TNameBytes Bytes = qbNoteLinks::TNameBytes::Utf8;
};

// An href up to its query or place.
QString PathOf(const QString& href) {
    static const QRegularExpression tail(QStringLiteral("[?#]"));
    const QString h = href.trimmed();
    const qsizetype end = h.indexOf(tail);
    return end < 0 ? h : h.left(end);
}

// The form of a link to a local file; false for any other link (a place in the page, the web,
// a file on another machine).
bool FormOf(const QString& href, TLinkForm& form) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    static const QRegularExpression fileAddress(
        QStringLiteral("^file:(?:[/\\\\]{2}([^/\\\\?#]*))?(?=[/\\\\])"),
        QRegularExpression::CaseInsensitiveOption);
    const QString h = href.trimmed();
    if (h.isEmpty() || h.startsWith(u'#') || h.startsWith(u'?'))
        return false;
    QString path = h;
    if (const QRegularExpressionMatch file = fileAddress.match(h); file.hasMatch()) {
        const QString host = file.captured(1);
        if (!host.isEmpty() && host.compare(u"localhost", Qt::CaseInsensitive) != 0)
            return false;
        form.Absolute = true;
        form.Prefix = file.captured();
        path = h.mid(file.capturedLength());
    } else if (scheme.match(h).hasMatch()) {
        return false;
    } else if (h.startsWith(u'/') || h.startsWith(u'\\')) {
        // "//host/..." names another machine.
        if (h.size() > 1 && (h[1] == u'/' || h[1] == u'\\'))
            return false;
        form.Absolute = true;
    }
    form.Backslashes = PathOf(path).contains(u'\\');
    form.Bytes = qbNoteLinks::NameBytesOf(path);
    return true;
}

// The file an href leads to from the page, without a trailing '/'; empty when not a local file.
QString Target(const QString& href, const QString& pagePath) {
    const QString path = qbNoteLinks::LocalPath(qbNoteLinks::Resolve(href, pagePath));
    return path.isEmpty() ? QString() : QDir::cleanPath(path);
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

// The href from the page to the file, in the form the old one had.
QString Written(const TLinkForm& form, const QString& pagePath, const QString& file,
                bool folder) {
    QString path = form.Absolute ? qbNoteLinks::EncodedPath(file, form.Bytes)
                                 : qbNoteLinks::Href(pagePath, file, form.Bytes);
    if (folder)
        path += u'/';
    if (form.Backslashes)
        path.replace(u'/', u'\\');
    return form.Prefix + path;
}

TqbRewrittenLinks Rewrite(const QString& html, const QString& oldPagePath,
                          const QString& newPagePath, const TqbItemMove& move) {
    TqbRewrittenLinks out{html, 0};
    const QList<TqbPictureLink> hrefs = qbPictureLinks::FindHrefs(html);
    // From the end, so that earlier positions stay true.
    for (auto it = hrefs.crbegin(); it != hrefs.crend(); ++it) {
        const QString& href = it->File;
        TLinkForm form;
        if (!FormOf(href, form))
            continue;
        const QString before = Target(href, oldPagePath);
        if (before.isEmpty())
            continue;
        const QString after = Moved(before, move);
        if (SameName(Target(href, newPagePath), after))
            continue;
        // The query and place are kept as written, character references and all.
        const QString value = html.mid(it->Pos, it->Len).trimmed();
        const qsizetype tail = qbPictureLinks::TailStart(value);
        const QString kept = tail < 0 ? QString() : value.mid(tail);
        const QString path = PathOf(href);
        const bool folder = path.endsWith(u'/') || path.endsWith(u'\\');
        out.Html.replace(it->Pos, it->Len, Written(form, newPagePath, after, folder) + kept);
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
