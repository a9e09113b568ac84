#pragma once
// A private X server for tests that need a real display: the server picks a free display
// number itself and names it when it is ready, so tests running side by side never meet.

#include <QProcess>
#include <QSize>
#include <QString>

#include <poll.h>
#include <unistd.h>

// Asks a process to end, and makes it end when it does not.
inline void StopProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished(10000);
}

class TqbXvfb {
public:
    ~TqbXvfb() { Stop(); }

    // Starts the server; false when Xvfb is missing or did not come up within timeoutMs.
    bool Start(const QSize& size = {1280, 1024}, int timeoutMs = 20000) {
        int ready[2];
        if (pipe(ready) != 0)
            return false;
        m_server.setProgram(QStringLiteral("Xvfb"));
        m_server.setArguments({"-displayfd", QString::number(ready[1]), "-screen", "0",
                               QString("%1x%2x24").arg(size.width()).arg(size.height()),
                               "-nolisten", "tcp", "-noreset"});
        m_server.setStandardOutputFile(QProcess::nullDevice());
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_server.start();
        const bool started = m_server.waitForStarted(timeoutMs);
        close(ready[1]);
        QByteArray number;
        while (started) {
            pollfd wait{ready[0], POLLIN, 0};
            if (poll(&wait, 1, timeoutMs) <= 0)
                break;
            char c = 0;
            if (read(ready[0], &c, 1) != 1 || c == '\n')
                break;
            number += c;
        }
        close(ready[0]);
        if (number.isEmpty()) {
            Stop();
            return false;
        }
        m_display = u':' + QString::fromLatin1(number);
        return true;
    }

    void Stop() { StopProcess(m_server); }

    QString Display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};
