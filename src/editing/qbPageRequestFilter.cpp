#include "editing/qbPageRequestFilter.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The real place of a path: links resolved, so a link inside a folder cannot lead out of it.
// For a path that does not exist (yet), its nearest existing folder decides.
QString RealPath(const QString& path) {
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString existing = clean;
    while (!QFileInfo::exists(existing)) {
        const qsizetype slash = existing.lastIndexOf(u'/');
        if (slash <= 0)
            return clean;
        existing.truncate(slash);
    }
    const QString real = QFileInfo(existing).canonicalFilePath();
    if (real.isEmpty())
        return clean;
    const QString rest = clean.mid(existing.size());
    return real == u"/" && !rest.isEmpty() ? rest : real + rest;
}

bool IsInside(const QString& path, const QString& folder) {
    if (folder.isEmpty())
        return false;
    if (folder == u"/")
        return true;
    return path == folder || path.startsWith(folder + u'/');
}

QString UnderFolder(const QString& path, const QString& from, const QString& to) {
    return to + path.mid(from.size());
}

} // namespace

void TqbPageRequestFilter::SetAllowedRoots(const QStringList& folders) {
    m_roots.clear();
    for (const QString& folder : folders)
        if (!folder.trimmed().isEmpty())
            m_roots.append(RealPath(folder));
}

void TqbPageRequestFilter::SetDocumentFolder(const QString& folder) {
    m_documentFolder = folder.isEmpty() ? QString() : RealPath(folder);
}

void TqbPageRequestFilter::SetViewCopy(const QString& copyFolder, const QString& copyPage,
                                       const QString& noteFolder) {
    if (copyFolder.isEmpty() || noteFolder.isEmpty()) {
        m_copyFolder.clear();
        m_copyPage.clear();
        m_noteFolder.clear();
        return;
    }
    m_copyFolder = QDir::cleanPath(copyFolder);
    m_copyPage = QDir::cleanPath(copyPage);
    m_noteFolder = QDir::cleanPath(noteFolder);
}

QStringList TqbPageRequestFilter::AllAllowed() const {
    QStringList all = m_roots;
    if (!m_documentFolder.isEmpty())
        all.append(m_documentFolder);
    return all;
}

TqbRequestVerdict TqbPageRequestFilter::Judge(const QUrl& url, const QStringList& allowedFolders,
                                              const QString& copyFolder, const QString& copyPage,
                                              const QString& noteFolder) {
    if (!url.isLocalFile())
        return {};
    // A file on another host is never one of ours.
    if (!url.host().isEmpty() && url.host() != u"localhost")
        return {TqbRequestVerdict::Block, {}};
    const QString path = QDir::cleanPath(url.toLocalFile());
    if (!copyFolder.isEmpty() && IsInside(path, copyFolder)) {
        if (path == copyPage)
            return {};
        QUrl target = QUrl::fromLocalFile(UnderFolder(path, copyFolder, noteFolder));
        target.setQuery(url.query());
        target.setFragment(url.fragment());
        return {TqbRequestVerdict::Redirect, target};
    }
    const QString real = RealPath(path);
    for (const QString& folder : allowedFolders)
        if (IsInside(real, folder))
            return {};
    return {TqbRequestVerdict::Block, {}};
}

QUrl TqbPageRequestFilter::MapFromCopy(const QUrl& url) const {
    const TqbRequestVerdict verdict = Judge(url, {}, m_copyFolder, m_copyPage, m_noteFolder);
    return verdict.Kind == TqbRequestVerdict::Redirect ? verdict.Target : url;
}

void TqbPageRequestFilter::interceptRequest(QWebEngineUrlRequestInfo& info) {
    const TqbRequestVerdict verdict =
        Judge(info.requestUrl(), AllAllowed(), m_copyFolder, m_copyPage, m_noteFolder);
    switch (verdict.Kind) {
    case TqbRequestVerdict::Allow:
        break;
    case TqbRequestVerdict::Block:
        info.block(true);
        break;
    case TqbRequestVerdict::Redirect:
        info.redirect(verdict.Target);
        break;
    }
}
