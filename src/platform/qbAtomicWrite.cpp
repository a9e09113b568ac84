#include "platform/qbAtomicWrite.h"

#include "platform/qbError.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace qbAtomicWrite {

namespace {

// As the kernel allows before it reports a loop.
constexpr int MaxLinkDepth = 40;

bool IsRandomChar(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

// A link is written through: its last target is the file that gets replaced.
QString FinalTarget(const QString& path) {
    QString target = path;
    for (int depth = 0; depth < MaxLinkDepth; ++depth) {
        const QFileInfo info(target);
        if (!info.isSymLink())
            return target;
        target = info.symLinkTarget();
    }
    return target;
}

QString TemporaryName() {
    static constexpr char Alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString name = TemporaryPrefix;
    for (int i = 0; i < TemporaryRandomLength; ++i)
        name += QLatin1Char(Alphabet[QRandomGenerator::global()->bounded(int(sizeof Alphabet) - 1)]);
    return name;
}

[[noreturn]] void Fail(const QString& path, const QString& reason, bool oldFileKept) {
    QString message = QStringLiteral("파일을 저장하지 못했습니다: %1\n%2").arg(QDir::toNativeSeparators(path), reason);
    if (oldFileKept)
        message += QStringLiteral("\n원래 파일은 그대로입니다.");
    throw EqbError(message);
}

#ifdef Q_OS_UNIX

QString SystemReason(int error) {
    return qt_error_string(error);
}

// Returns errno of the failing step, 0 when every byte went in.
int WriteAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(qMin<qint64>(left, 1 << 30)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        // A regular file that takes nothing and reports no error is a device that is full.
        if (n == 0)
            return ENOSPC;
        data += n;
        left -= n;
    }
    return 0;
}

// Closes fd (set to -1) after syncing it; errno of the failing step, 0 when all reached the disk.
int SyncAndClose(int& fd) {
    int rc;
    while ((rc = ::fsync(fd)) != 0 && errno == EINTR) {
    }
    if (rc != 0)
        return errno;
    const int closing = fd;
    fd = -1;
    // Some file systems report a failed write only here; EINTR still closed the descriptor.
    if (::close(closing) != 0 && errno != EINTR)
        return errno;
    return 0;
}

// The temporary file while it is being written; removed unless it was renamed into place.
class TTemporary {
public:
    explicit TTemporary(const QString& dir) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_path = QDir(dir).filePath(TemporaryName());
            m_native = QFile::encodeName(m_path);
            m_fd = ::open(m_native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd >= 0) {
                m_created = true;
                return;
            }
            if (errno != EEXIST)
                return;
        }
    }
    ~TTemporary() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_created && !m_renamed)
            ::unlink(m_native.constData());
    }
    TTemporary(const TTemporary&) = delete;
    TTemporary& operator=(const TTemporary&) = delete;

    int Fd() const { return m_fd; }

    int WriteAll(const QByteArray& bytes) { return qbAtomicWrite::WriteAll(m_fd, bytes); }
    int SyncAndClose() { return qbAtomicWrite::SyncAndClose(m_fd); }
    int RenameTo(const QByteArray& target) {
        if (::rename(m_native.constData(), target.constData()) != 0)
            return errno;
        m_renamed = true;
        return 0;
    }

private:
    QString m_path;
    QByteArray m_native;
    int m_fd = -1;
    bool m_created = false;
    bool m_renamed = false;
};

// The rename is only durable once the folder's entry has reached the disk too.
int SyncFolder(const QString& dir) {
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int rc;
    while ((rc = ::fsync(fd)) != 0 && errno == EINTR) {
    }
    const int error = rc == 0 ? 0 : errno;
    ::close(fd);
    // File systems that cannot sync a folder say so with EINVAL; there is nothing more to do.
    return error == EINVAL ? 0 : error;
}

#endif

} // namespace

bool IsTemporaryName(const QString& fileName) {
    if (!fileName.startsWith(TemporaryPrefix) ||
        fileName.size() != TemporaryPrefix.size() + TemporaryRandomLength)
        return false;
    for (qsizetype i = TemporaryPrefix.size(); i < fileName.size(); ++i) {
        if (!IsRandomChar(fileName[i]))
            return false;
    }
    return true;
}

#ifdef Q_OS_UNIX

void ReplaceFile(const QString& path, const QByteArray& bytes) {
    const QString target = FinalTarget(path);
    const QByteArray nativeTarget = QFile::encodeName(target);
    const QString dir = QFileInfo(target).absolutePath();

    struct stat old {};
    const bool existed = ::stat(nativeTarget.constData(), &old) == 0;

    // A file the user made read-only stays unchanged, as writing it in place would.
    if (existed && ::access(nativeTarget.constData(), W_OK) != 0)
        Fail(path, SystemReason(errno), existed);

    TTemporary temporary(dir);
    if (temporary.Fd() < 0)
        Fail(path, SystemReason(errno), existed);
    // Before any byte goes in: a private note must never be readable through its temporary.
    if (existed && S_ISREG(old.st_mode)) {
        if (::fchmod(temporary.Fd(), old.st_mode & 07777) != 0)
            Fail(path, SystemReason(errno), existed);
        // Only a privileged writer can give the file back to its owner; others own what they write.
        if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
            ::fchown(temporary.Fd(), old.st_uid, old.st_gid) != 0) {
        }
    }
    if (const int error = temporary.WriteAll(bytes))
        Fail(path, SystemReason(error), existed);
    if (const int error = temporary.SyncAndClose())
        Fail(path, SystemReason(error), existed);
    if (const int error = temporary.RenameTo(nativeTarget))
        Fail(path, SystemReason(error), existed);
    if (const int error = SyncFolder(dir))
        throw EqbError(
            QStringLiteral("파일을 저장했지만 폴더의 변경이 디스크에 기록되었는지 알 수 없습니다: %1\n%2")
                .arg(QDir::toNativeSeparators(path), SystemReason(error)));
}

int CreateNew(const QString& path, const QByteArray& bytes, int mode) {
    const QByteArray native = QFile::encodeName(path);
    int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode_t(mode));
    if (fd < 0)
        return errno;
    int error = WriteAll(fd, bytes);
    if (error == 0)
        error = SyncAndClose(fd);
    if (error == 0)
        error = SyncFolder(QFileInfo(path).absolutePath());
    if (error != 0) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(native.constData());
    }
    return error;
}

#else

// Elsewhere QSaveFile writes a temporary of its own and syncs it in commit(); a failed flush must
// cancel rather than let commit() put a short file in place.
void ReplaceFile(const QString& path, const QByteArray& bytes) {
    const QString target = FinalTarget(path);
    const bool existed = QFileInfo::exists(target);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        Fail(path, file.errorString(), existed);
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        Fail(path, reason, existed);
    }
    if (!file.commit())
        Fail(path, file.errorString(), existed);
}

#endif

} // namespace qbAtomicWrite
