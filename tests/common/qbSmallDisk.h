#pragma once

// A file system of its own that a test or a benchmark can fill up: a tmpfs of a given size
// mounted on a temporary folder. Mounting needs root; where it is refused, IsMounted() is false
// and Error() says why.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

class TqbSmallDisk {
public:
    explicit TqbSmallDisk(qint64 bytes) {
        if (!m_mountPoint.isValid()) {
            m_error = m_mountPoint.errorString();
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
        if (::mount("tmpfs", QFile::encodeName(m_mountPoint.path()).constData(), "tmpfs", 0,
                    options.constData()) != 0) {
            m_error = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        m_mounted = true;
    }
    ~TqbSmallDisk() {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_mountPoint.path()).constData(), MNT_DETACH);
    }
    TqbSmallDisk(const TqbSmallDisk&) = delete;
    TqbSmallDisk& operator=(const TqbSmallDisk&) = delete;

    bool IsMounted() const { return m_mounted; }
    const QString& Error() const { return m_error; }
    QString Path() const { return m_mountPoint.path(); }
    QString FilePath(const QString& name) const { return QDir(Path()).filePath(name); }

    // Takes every free byte but leaveFree into one hidden file; returns how many it took.
    qint64 Fill(qint64 leaveFree = 0) {
        const int fd = ::open(QFile::encodeName(FilePath(FillerName)).constData(),
                              O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd < 0)
            return 0;
        static const QByteArray block(64 * 1024, 'f');
        qint64 taken = 0;
        for (qsizetype chunk = block.size(); chunk > 0;) {
            const ssize_t n = ::write(fd, block.constData(), size_t(chunk));
            if (n > 0)
                taken += n;
            else if (n < 0 && errno == EINTR)
                continue;
            else
                chunk /= 2;
        }
        if (leaveFree > 0 && ::ftruncate(fd, qMax<qint64>(0, taken - leaveFree)) == 0)
            taken = qMax<qint64>(0, taken - leaveFree);
        ::close(fd);
        return taken;
    }
    // Gives the space back.
    void Unfill() { QFile::remove(FilePath(FillerName)); }

    static inline const QString FillerName = QStringLiteral(".filler");

private:
    QTemporaryDir m_mountPoint;
    QString m_error;
    bool m_mounted = false;
};
