#include "platform/qbFileStamp.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray HashOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    return hash.result();
}

} // namespace

TqbFileStamp TqbFileStamp::Of(const QString& path) {
    TqbFileStamp stamp;
    stamp.m_taken = true;
    const QFileInfo info(path);
    stamp.m_exists = info.exists();
    if (!stamp.m_exists)
        return stamp;
    stamp.m_size = info.size();
    stamp.m_modified = info.lastModified();
    stamp.m_hash = HashOf(path);
    return stamp;
}

bool TqbFileStamp::Matches(const QString& path) const {
    if (!m_taken)
        return true;
    const QFileInfo info(path);
    if (info.exists() != m_exists)
        return false;
    if (!m_exists)
        return true;
    if (info.size() != m_size)
        return false;
    // Same size and time is the same file; a touch without a change of bytes is no change.
    return info.lastModified() == m_modified || HashOf(path) == m_hash;
}
