#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

// One running instance per user: a lock file decides who is first (a lock left by a crashed
// process is taken over), a local socket carries "restore", "activate" and captured texts from
// later starts.
// Both live in a folder no other user can write in, so nobody else can take their names.
class TqbSingleInstance : public QObject {
    Q_OBJECT
public:
    // key names the lock and the channel; the same key means the same instance.
    explicit TqbSingleInstance(const QString& key, QObject* parent = nullptr);
    ~TqbSingleInstance() override;

    // True when this process holds the instance (a failure to lock counts as first). The first
    // instance then listens for requests.
    bool IsFirstInstance();

    // Sent by a later start: asks the running instance to come back; waits for its answer.
    // Returns false when no running instance answered within timeoutMs.
    bool SendRequest(const QByteArray& message, int timeoutMs = 3000);

    // What a later start does instead of opening a window: sends request to the running
    // instance. Returns an empty text when it answered, else the message the user must see: the
    // program is running but does not answer (a hung first instance must not make every later
    // start end without a word).
    QString HandOver(const QString& appName, const QByteArray& request = "restore",
                     int timeoutMs = HandOverWaitMs);
    // Long enough for a first instance that is still bringing up its window.
    static constexpr int HandOverWaitMs = 5000;
    static QString NotAnsweringMessage(const QString& appName);

    // The per-user key used by the program ("qbNivora" plus the user name), overridable through
    // QBNIVORA_INSTANCE_KEY so that tests do not meet a running program.
    static QString DefaultKey(const QString& appName);

    // The folder of the lock and the channel: $XDG_RUNTIME_DIR, else a folder "qbNivora-<uid>"
    // of our own in the temporary folder, else in the cache folder. Only a real folder of this
    // user that nobody else may enter counts; empty when there is none.
    static QString Folder();
    static QString LockFileName(const QString& key);

    // The request that hands a captured text to the running instance, whatever lines it holds.
    static QByteArray CaptureRequest(const QString& text);
signals:
    void RestoreRequest();
    void ActivateRequest();
    void CaptureRequested(const QString& text);

private:
    void OnNewConnection();

    QString ChannelName() const;

    QString m_key;
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};
