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

QStringList TqbPageRequestFilter::AllAllowed() const {
    QStringList all = m_roots;
    if (!m_documentFolder.isEmpty())
        all.append(m_documentFolder);
    return all;
}

bool TqbPageRequestFilter::MayLoad(const QUrl& url, const QStringList& allowedFolders) {
    // A picture from the web would tell its server when and where a note was read.
    static const QStringList remote = {"http", "https", "ftp", "ws", "wss"};
    if (remote.contains(url.scheme().toLower()))
        return false;
    if (!url.isLocalFile())
        return true;
    // A file on another host is never one of ours.
    if (!url.host().isEmpty() && url.host() != u"localhost")
        return false;
    const QString real = RealPath(url.toLocalFile());
    for (const QString& folder : allowedFolders)
        if (IsInside(real, folder))
            return true;
    return false;
}

void TqbPageRequestFilter::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!MayLoad(info.requestUrl(), AllAllowed()))
        info.block(true);
}
