#include "platform/qbSingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSysInfo>
#include <QThread>
#include <QTimer>
#include <cstring>

#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <QFile>
#include <QFileInfo>
#endif

namespace {

// A request line longer than this is no request of ours; a captured text makes the longest.
constexpr qint64 MaxRequestLength = 16 * 1024 * 1024;
// A captured text follows this, in base64 so that its lines stay on the request's one line.
constexpr const char* CapturePrefix = "capture ";
// A client that connects and says nothing is dropped after this.
constexpr int IdleClientMs = 10000;
// How often a later start tries again to reach a first instance that is not listening yet.
constexpr int ConnectRetryMs = 50;

// The key becomes a file name in the temporary folder.
QString FileSafe(const QString& key) {
    QString out;
    out.reserve(key.size());
    for (QChar c : key) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || c == u'_' || c == u'-' || c == u'.';
        out += plain ? c : u'_';
    }
    return out.isEmpty() ? QStringLiteral("_") : out;
}

QString LockPathIn(const QString& folder, const QString& key) {
    return QDir(folder).filePath(FileSafe(key) + QStringLiteral(".lock"));
}

#ifdef Q_OS_UNIX
// A folder of this user that no other may enter: whatever lies in it is ours. A symbolic link
// is not followed; another user could point it anywhere.
bool PrivateFolder(const QString& path) {
    struct stat info {};
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

// Our folder in base, made when missing; empty when the name is someone else's.
QString OwnFolderIn(const QString& base) {
    if (base.isEmpty() || !QDir().mkpath(base))
        return {};
    const QString path = QDir(base).filePath(QStringLiteral("qbNivora-%1").arg(::geteuid()));
    ::mkdir(QFile::encodeName(path).constData(), 0700);
    return PrivateFolder(path) ? path : QString();
}
#endif

bool ProcessRunning(qint64 pid) {
#ifdef Q_OS_UNIX
    if (pid <= 0)
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#else
    Q_UNUSED(pid);
    return true;
#endif
}

#ifdef Q_OS_LINUX
QByteArray ProcFile(qint64 pid, const char* name) {
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1StringView(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program file's name; a program replaced on disk since it started still counts.
QString ProgramName(const QString& exeLink) {
    QString target = QFileInfo(exeLink).symLinkTarget();
    const QString deleted = QStringLiteral(" (deleted)");
    if (target.endsWith(deleted))
        target.chop(deleted.size());
    return QFileInfo(target).fileName();
}
#endif

// Whether the process is a running start of this very program. A process id is reused once its
// process is gone, so a live id alone does not say that the holder of a lock is still there.
bool IsThisProgram(qint64 pid) {
#ifdef Q_OS_LINUX
    const QString self = ProgramName(QStringLiteral("/proc/self/exe"));
    if (self.isEmpty())
        return true; // no /proc to tell by
    // A zombie has ended already, whatever its name.
    const QByteArray stat = ProcFile(pid, "stat");
    const qsizetype close = stat.lastIndexOf(')');
    if (close >= 0 && stat.mid(close + 2, 1) == "Z")
        return false;
    const QString name = ProgramName(QStringLiteral("/proc/%1/exe").arg(pid));
    if (!name.isEmpty())
        return name == self;
    // Another user's process hides its program file but not its command line; a kernel
    // thread has neither.
    const QByteArray cmdline = ProcFile(pid, "cmdline");
    if (cmdline.isEmpty())
        return false;
    return QFileInfo(QFile::decodeName(cmdline.left(cmdline.indexOf('\0')))).fileName() == self;
#else
    Q_UNUSED(pid);
    return true;
#endif
}

// Only a lock naming a live process of this program on this machine belongs to a running
// instance; any other leftover (dead holder, an id now used by another program, unreadable
// content from a crash mid-creation) may be cleared. Clearing still refuses while a live holder
// keeps the lock file's native lock, so this cannot steal.
bool HolderMayBeGone(const QLockFile& lock) {
    qint64 pid = 0;
    QString host, app;
    if (!lock.getLockInfo(&pid, &host, &app))
        return true;
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return true;
    return !ProcessRunning(pid) || !IsThisProgram(pid);
}

// Different users must not meet: every other character keeps its code so names stay apart.
QString SanitizedUser(const QString& user) {
    QString out;
    for (QChar c : user) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || c == u'_' || c == u'-';
        if (plain)
            out += c;
        else
            out += u'_' + QString::number(c.unicode(), 16).toUpper();
    }
    return out;
}

} // namespace

TqbSingleInstance::TqbSingleInstance(const QString& key, QObject* parent)
    : QObject(parent), m_key(key), m_folder(Folder()) {}

QString TqbSingleInstance::Folder() {
#ifdef Q_OS_UNIX
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (PrivateFolder(runtime))
        return runtime;
    for (const QString& base :
         {QDir::tempPath(), QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)})
        if (const QString own = OwnFolderIn(base); !own.isEmpty())
            return own;
    return {};
#else
    return QDir::tempPath();
#endif
}

QString TqbSingleInstance::LockFileName(const QString& key) {
    const QString folder = Folder();
    return folder.isEmpty() ? QString() : LockPathIn(folder, key);
}

QString TqbSingleInstance::ChannelName() const {
    return QDir(m_folder).filePath(FileSafe(m_key));
}

TqbSingleInstance::~TqbSingleInstance() {
    // The channel goes before the lock, so that a next first instance never loses its own.
    if (m_server)
        m_server->close();
    m_lock.reset();
}

bool TqbSingleInstance::IsFirstInstance() {
    if (m_lock && m_lock->isLocked())
        return true;
    // Nowhere safe for a lock: better several instances than none.
    if (m_folder.isEmpty()) {
        qWarning("qbNivora: no private folder for the instance lock; later starts open windows");
        return true;
    }
    m_lock = std::make_unique<QLockFile>(LockPathIn(m_folder, m_key));
    // No age limit: a running instance holds its lock for days; dead holders are detected.
    m_lock->setStaleLockTime(0);
    bool first = m_lock->tryLock(0);
    if (!first && m_lock->error() == QLockFile::LockFailedError && HolderMayBeGone(*m_lock) &&
        m_lock->removeStaleLockFile())
        first = m_lock->tryLock(0);
    // A lock that cannot be made at all (no temporary folder, no rights) must not keep the
    // program from starting.
    if (!first && m_lock->error() != QLockFile::LockFailedError)
        first = true;
    if (!first)
        return false;

    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &TqbSingleInstance::OnNewConnection);
    }
    if (!m_server->isListening()) {
        QLocalServer::removeServer(ChannelName());
        if (!m_server->listen(ChannelName()))
            qWarning("qbNivora: no channel for later starts: %s",
                     qPrintable(m_server->errorString()));
    }
    return true;
}

void TqbSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(IdleClientMs, socket, &QLocalSocket::abort);
        auto handle = [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > MaxRequestLength)
                    socket->abort();
                return;
            }
            disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
            const QByteArray request = socket->readLine(MaxRequestLength).trimmed();
            bool known = true;
            if (request == "restore")
                emit RestoreRequest();
            else if (request == "activate")
                emit ActivateRequest();
            else if (request.startsWith(CapturePrefix))
                emit CaptureRequested(QString::fromUtf8(
                    QByteArray::fromBase64(request.mid(qsizetype(std::strlen(CapturePrefix))))));
            else
                known = false;
            socket->write(known ? "ok\n" : "unknown\n");
            socket->flush();
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, handle);
        if (socket->bytesAvailable() > 0)
            handle();
    }
}

bool TqbSingleInstance::SendRequest(const QByteArray& message, int timeoutMs) {
    const QDeadlineTimer deadline(qMax(0, timeoutMs));
    if (m_folder.isEmpty())
        return false;
    QLocalSocket socket;
    // The first instance takes its lock a moment before it listens.
    for (;;) {
        socket.connectToServer(ChannelName());
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(qMin<qint64>(ConnectRetryMs, deadline.remainingTime()));
    }
    socket.write(message.trimmed() + '\n');
    socket.flush();
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return socket.readLine(MaxRequestLength).trimmed() == "ok";
}

QByteArray TqbSingleInstance::CaptureRequest(const QString& text) {
    return CapturePrefix + text.toUtf8().toBase64();
}

QString TqbSingleInstance::HandOver(const QString& appName, const QByteArray& request,
                                    int timeoutMs) {
    return SendRequest(request, timeoutMs) ? QString() : NotAnsweringMessage(appName);
}

QString TqbSingleInstance::NotAnsweringMessage(const QString& appName) {
    return QStringLiteral("%1이(가) 이미 실행 중이지만 응답하지 않습니다.\n"
                          "실행 중인 %1을(를) 끝낸 뒤 다시 시작해 주십시오.")
        .arg(appName);
}

QString TqbSingleInstance::DefaultKey(const QString& appName) {
    const QString overridden = qEnvironmentVariable("QBNIVORA_INSTANCE_KEY");
    if (!overridden.isEmpty())
        return overridden;
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    if (user.isEmpty())
        user = QDir::home().dirName();
    if (user.isEmpty())
        user = QStringLiteral("user");
    return appName + u'-' + SanitizedUser(user);
}
