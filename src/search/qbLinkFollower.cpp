#include "search/qbLinkFollower.h"

#include "library/qbLinkRewrite.h"
#include "platform/qbError.h"
#include "platform/qbPageCodec.h"
#include "platform/qbTextFile.h"
#include "search/qbBacklinks.h"
#include "search/qbSearchFiles.h"

#include <QDir>
#include <QFile>

namespace {

bool Within(const QString& path, const QString& dir) {
    return path == dir || path.startsWith(dir + u'/');
}

// Where a page was before the later moves of its batch, which are already on disk.
QString BeforeLater(QString path, const QList<TqbItemMove>& later) {
    for (qsizetype k = later.size() - 1; k >= 0; --k) {
        const QString to = QDir::cleanPath(later[k].To);
        if (Within(path, to))
            path = QDir::cleanPath(later[k].From) + path.mid(to.size());
    }
    return path;
}

// Rewrites one page (when mayWrite): its links were written for oldPagePath, now it stands for
// pagePath, its file is at file. False when it had links to change that were not written.
bool RewritePage(const QString& file, const QString& oldPagePath, const QString& pagePath,
                 const TqbItemMove& move, bool mayWrite,
                 const IqbLinkKeeper::TBeforeRewrite& beforeRewrite, QStringList& rewritten) {
    try {
        const TqbPageText page = qbPageCodec::Decode(qbText::ReadFileBytes(file));
        const TqbRewrittenLinks links =
            qbLinkRewrite::LinksOfMoved(page.Text, oldPagePath, pagePath, move);
        if (links.Count == 0)
            return true;
        // Bytes that were not valid in the page's charset would not survive a rewrite.
        if (page.HadDecodingErrors || !mayWrite)
            return false;
        if (beforeRewrite)
            beforeRewrite(file);
        qbPageCodec::Write(file, links.Html, page.Charset);
        rewritten << file;
        return true;
    } catch (const EqbError&) {
        return false;
    }
}

} // namespace

TqbLinkFollower::TqbLinkFollower(TUnsavedNotes unsavedNotes)
    : m_unsavedNotes(std::move(unsavedNotes)) {}

TqbKeptLinks TqbLinkFollower::Follow(const QString& libraryRoot, const TqbItemMove& move,
                                     const TBeforeRewrite& beforeRewrite,
                                     const QList<TqbItemMove>& later) {
    const QStringList unsaved = m_unsavedNotes ? m_unsavedNotes() : QStringList();
    const QString from = QDir::cleanPath(move.From);
    const QString to = QDir::cleanPath(move.To);
    const bool folder = move.From.endsWith(u'/');

    // Where each page is now, and where it was when its links were written.
    QList<std::pair<QString, QString>> pages;
    if (folder) {
        qbSearch::CollectSearchFiles(to, [&](const QByteArray& file) {
            const QString path = QFile::decodeName(file);
            pages.append({from + path.mid(to.size()), path});
        });
    } else if (QFile::exists(to)) {
        // A name passed through on the way (a swap) holds no page; the page is read at the step
        // that brings it to its place.
        pages.append({from, to});
    }
    const qbBacklinks::TNameScan oldName(from);
    for (const QString& path :
         qbBacklinks::PagesWhere(libraryRoot, [&](const QByteArray& page, const QString& path) {
             return !Within(path, to) && oldName.In(page);
         }))
        pages.append({path, path});

    TqbKeptLinks kept;
    for (const auto& [oldPath, path] : std::as_const(pages)) {
        const QString was = BeforeLater(path, later);
        if (!RewritePage(path, oldPath == path ? was : oldPath, was, move,
                         !unsaved.contains(path), beforeRewrite, kept.Rewritten))
            kept.Failures << QDir::toNativeSeparators(path);
    }
    return kept;
}
