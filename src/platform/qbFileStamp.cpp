#include "platform/qbFileStamp.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace {

QByteArray HashOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    return hash.result();
}

// The device, inode and inode change time: a file put back by another program (a backup, a sync
// tool) may have its old size and modification time, never these.
QByteArray IdentityOf(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return QByteArray::number(quint64(status.st_dev)) + ':' +
           QByteArray::number(quint64(status.st_ino)) + ':' +
           QByteArray::number(qint64(status.st_ctim.tv_sec)) + '.' +
           QByteArray::number(qint64(status.st_ctim.tv_nsec));
#else
    return QFileInfo(path).metadataChangeTime().toString(Qt::ISODateWithMs).toUtf8();
#endif
}

} // namespace

QByteArray TqbFileStamp::FileId(const QString& path) {
#ifdef Q_OS_UNIX
    struct statx status {};
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), 0, STATX_INO | STATX_BTIME,
                &status) != 0)
        return {};
    QByteArray id = QByteArray::number(quint64(status.stx_dev_major)) + '.' +
                    QByteArray::number(quint64(status.stx_dev_minor)) + ':' +
                    QByteArray::number(quint64(status.stx_ino));
    // A write in place or a rename keeps the birth time; an inode given again to a new file
    // after a deletion does not.
    if (status.stx_mask & STATX_BTIME)
        id += ':' + QByteArray::number(qint64(status.stx_btime.tv_sec)) + '.' +
              QByteArray::number(quint64(status.stx_btime.tv_nsec));
    return id;
#else
    Q_UNUSED(path);
    return {};
#endif
}

TqbFileStamp TqbFileStamp::Of(const QString& path) {
    TqbFileStamp stamp;
    stamp.m_taken = true;
    const QFileInfo info(path);
    stamp.m_exists = info.exists();
    if (!stamp.m_exists)
        return stamp;
    stamp.m_size = info.size();
    stamp.m_modified = info.lastModified();
    stamp.m_identity = IdentityOf(path);
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
    // Same size and times is the same file; a touch without a change of bytes is no change. A
    // restore (a backup, a sync tool) may give a file back its old modification time, never its
    // change time.
    if (info.lastModified() == m_modified && IdentityOf(path) == m_identity)
        return true;
    return HashOf(path) == m_hash;
}
