#include "search/qbPageReader.h"

#include "platform/qbError.h"
#include "platform/qbNativeNames.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#endif

namespace {

[[noreturn]] void Fail(const QByteArray& path, const QString& reason) {
    throw EqbError(QStringLiteral("파일을 읽을 수 없습니다: %1\n%2")
                       .arg(QDir::toNativeSeparators(qbNativeNames::ShownPath(path)), reason));
}

const QString NotRegular = QStringLiteral("일반 파일이 아닙니다.");

// Most pages fit in one read of this size.
constexpr qsizetype FirstRead = 64 * 1024;

#ifdef Q_OS_UNIX
class TqbDescriptor {
public:
    explicit TqbDescriptor(int fd) : m_fd(fd) {}
    ~TqbDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TqbDescriptor(const TqbDescriptor&) = delete;
    TqbDescriptor& operator=(const TqbDescriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};
#endif

} // namespace

TqbPageReader::~TqbPageReader() {
#ifdef Q_OS_UNIX
    if (m_folderFd >= 0)
        ::close(m_folderFd);
#endif
}

#ifdef Q_OS_UNIX
// Opens the file by its name inside its folder, which stays open for the next page: the system
// then looks up one name instead of the whole path. Without O_NONBLOCK, opening a FIFO waits for
// a writer; a regular file ignores the flag.
int TqbPageReader::OpenInFolder(const QByteArray& path) {
    constexpr int Flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    const qsizetype slash = path.lastIndexOf('/');
    if (slash <= 0)
        return ::open(path.constData(), Flags);
    const QByteArrayView folder = QByteArrayView(path).first(slash);
    if (m_folderFd < 0 || folder != m_folder) {
        if (m_folderFd >= 0)
            ::close(m_folderFd);
        m_folder = folder.toByteArray();
        m_folderFd = ::open(m_folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_folderFd < 0)
            return ::open(path.constData(), Flags);
    }
    return ::openat(m_folderFd, path.constData() + slash + 1, Flags);
}
#endif

const QByteArray& TqbPageReader::Read(const QByteArray& path) {
#ifdef Q_OS_UNIX
    const TqbDescriptor fd(OpenInFolder(path));
    if (fd.Get() < 0)
        Fail(path, qt_error_string(errno));
    m_bytes.resize(std::max(m_bytes.capacity(), FirstRead));
    qsizetype got = 0;
    bool checked = false;
    for (;;) {
        const qsizetype want = m_bytes.size() - got;
        const ssize_t n = ::read(fd.Get(), m_bytes.data() + got, size_t(want));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            Fail(path, qt_error_string(errno));
        got += n;
        // A regular file gives less than asked only at its end.
        if (n < want)
            break;
        // A full buffer: before reading on, make sure this is a file that ends.
        if (!checked) {
            struct stat info {};
            if (::fstat(fd.Get(), &info) != 0)
                Fail(path, qt_error_string(errno));
            if (!S_ISREG(info.st_mode))
                Fail(path, NotRegular);
            checked = true;
            m_bytes.resize(std::max(m_bytes.size() * 2, qsizetype(info.st_size) + 1));
        } else {
            m_bytes.resize(m_bytes.size() * 2);
        }
    }
    m_bytes.truncate(got);
#else
    const QString name = QFile::decodeName(path);
    if (!QFileInfo(name).isFile())
        Fail(path, NotRegular);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        Fail(path, file.errorString());
    m_bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        Fail(path, file.errorString());
#endif
    return m_bytes;
}
