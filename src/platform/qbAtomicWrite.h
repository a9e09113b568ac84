#pragma once

#include <QByteArray>
#include <QString>

// Replacing a file so that it holds either its old bytes or all of the new ones, whatever
// happens: a full disk, a short write, a kill or a power cut.
namespace qbAtomicWrite {

// The new bytes go first to a hidden file of this prefix beside the target. It is hidden so the
// tree and the search never show it, and recognisable so the leftovers of a crash can be removed.
inline const QString TemporaryPrefix = QStringLiteral(".qbsave-");
// The random part that follows the prefix.
inline constexpr int TemporaryRandomLength = 8;

// True for exactly the names ReplaceFile gives its temporaries.
bool IsTemporaryName(const QString& fileName);

// Writes bytes to a hidden temporary beside the file, syncs it, renames it over the file and
// syncs the folder. A path that is a symbolic link keeps being one: its target is written. An
// existing file keeps its permission bits (and its owner, where allowed). Any failing step
// removes the temporary, leaves the old file byte for byte and throws EqbError with the path and
// the system's reason (such as "No space left on device").
void ReplaceFile(const QString& path, const QByteArray& bytes);

#ifdef Q_OS_UNIX
// Makes a file that must not exist yet with the bytes and the permission bits (less the umask),
// synced with its folder: whole on disk, or not there. Returns 0, or the errno of the failing
// step (EEXIST: the name is taken).
int CreateNew(const QString& path, const QByteArray& bytes, int mode = 0666);
#endif

} // namespace qbAtomicWrite
