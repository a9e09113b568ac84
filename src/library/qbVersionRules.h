#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// Which kept versions of a note stay as they age, and which go when the history grows too big.
// Pure functions of times and sizes, so the rules are tested without a disk.
namespace qbVersionRules {

// One kept version: when the page it holds was replaced (milliseconds since the epoch, UTC), and
// its size in bytes.
struct TVersionAge {
    qint64 TimeMs = 0;
    qint64 Bytes = 0;
};

// The versions of one note to remove at nowMs: every one from the last day stays; older ones keep
// the newest of each hour up to a week, of each day up to three months, then of each week.
// Newest-of-a-period stays newest as it moves to a longer period, so what stays stays.
QList<qint64> Thinned(QList<qint64> timesMs, qint64 nowMs);

// The history's size limit for a library of libraryBytes: a tenth of it, at least 100 MB.
qint64 SizeLimit(qint64 libraryBytes);

// Where in versions (of all notes) those lie that go, oldest first, until the rest fit in
// limitBytes. The newest version of all always stays.
QList<qsizetype> OverLimit(const QList<TVersionAge>& versions, qint64 limitBytes);

// A version's file name: its time, in UTC to the millisecond, "@" and the computer that kept it,
// then the note's extension ("20261209-005555-123@laptop-3fa2b1.htm"). Without a computer, the
// name earlier versions were kept under.
QString FileName(qint64 timeMs, const QString& suffix, const QString& computer = {});
// The time a version's file name holds; -1 when it is no version's name.
qint64 TimeOfFileName(const QString& name);
// The computer a version's file name names; empty for a name that names none.
QString ComputerOfFileName(const QString& name);

// A computer's name as version names carry it: the host's name up to its first dot, then the
// start of the machine's id (hosts are often named alike, "debian"), in letters, digits, "-" and
// "_" only, so that every file system and sync engine takes it.
QString ComputerName(const QString& hostName, const QByteArray& machineId);

} // namespace qbVersionRules
