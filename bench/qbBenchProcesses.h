#pragma once

// This process and the web engine's helper processes it started, read from /proc: memory and
// processor time of all of them together.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>
#include <unistd.h>

namespace qbBench {

inline QByteArrayList StatFields(qint64 pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = stat.readAll();
    // The command name may hold blanks; the fields after its closing parenthesis do not.
    return text.mid(text.lastIndexOf(')') + 2).split(' ');
}

inline qint64 ParentOf(qint64 pid) {
    return StatFields(pid).value(1).toLongLong();
}

inline bool DescendsFrom(qint64 pid, qint64 ancestor) {
    for (int depth = 0; depth < 4 && pid > 1; ++depth) {
        pid = ParentOf(pid);
        if (pid == ancestor)
            return true;
    }
    return false;
}

inline QList<qint64> HelperProcesses() {
    QList<qint64> helpers;
    const qint64 self = QCoreApplication::applicationPid();
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        const qint64 pid = entry.toLongLong();
        if (pid > 0 && pid != self && DescendsFrom(pid, self))
            helpers << pid;
    }
    return helpers;
}

// One line of /proc/PID/status or smaps_rollup, in KiB.
inline qint64 KiBLine(const QString& file, const QByteArray& key) {
    QFile status(file);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

inline qint64 ResidentKiB(qint64 pid) {
    return KiBLine(QString("/proc/%1/status").arg(pid), "VmRSS:");
}

// Shared pages count once over all processes that map them: the fair total of several.
inline qint64 ProportionalKiB(qint64 pid) {
    return KiBLine(QString("/proc/%1/smaps_rollup").arg(pid), "Pss:");
}

inline qint64 HelperProcessesKiB() {
    qint64 total = 0;
    for (qint64 pid : HelperProcesses())
        total += ResidentKiB(pid);
    return total;
}

// User and system time of this process and its helpers, in milliseconds.
inline double ProcessorMs() {
    const double tick = 1000.0 / double(sysconf(_SC_CLK_TCK));
    double total = 0;
    QList<qint64> pids = HelperProcesses();
    pids << QCoreApplication::applicationPid();
    for (qint64 pid : pids) {
        const QByteArrayList fields = StatFields(pid);
        // utime and stime: the 14th and 15th fields, the 12th and 13th after the name.
        total += (fields.value(11).toLongLong() + fields.value(12).toLongLong()) * tick;
    }
    return total;
}

} // namespace qbBench
