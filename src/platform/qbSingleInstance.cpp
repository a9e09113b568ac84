#include "platform/qbSingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSysInfo>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <signal.h>
#endif

namespace {

// A request line longer than this is no request of ours.
constexpr qint64 MaxRequestLength = 256;
// A client that connects and says nothing is dropped after this.
constexpr int IdleClientMs = 10000;

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

QString LockFilePath(const QString& key) {
    return QDir(QDir::tempPath()).filePath(FileSafe(key) + QStringLiteral(".lock"));
}

QString ServerName(const QString& key) {
    return FileSafe(key);
}

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

// Only a lock naming a live process of this machine belongs to a running instance; any other
// leftover (dead holder, unreadable content from a crash mid-creation) may be cleared. Clearing
// still refuses while a live holder keeps the lock file's native lock, so this cannot steal.
bool HolderMayBeGone(const QLockFile& lock) {
    qint64 pid = 0;
    QString host, app;
    if (!lock.getLockInfo(&pid, &host, &app))
        return true;
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return true;
    return !ProcessRunning(pid);
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
    : QObject(parent), m_key(key) {}

TqbSingleInstance::~TqbSingleInstance() {
    // The channel goes before the lock, so that a next first instance never loses its own.
    if (m_server)
        m_server->close();
    m_lock.reset();
}

bool TqbSingleInstance::IsFirstInstance() {
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(LockFilePath(m_key));
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
        QLocalServer::removeServer(ServerName(m_key));
        if (!m_server->listen(ServerName(m_key)))
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
    QLocalSocket socket;
    socket.connectToServer(ServerName(m_key));
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    socket.write(message.trimmed() + '\n');
    socket.flush();
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return socket.readLine(MaxRequestLength).trimmed() == "ok";
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
