#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Moving a file or a folder (with everything in it) into another folder, as the desktop shell
// does: a rename where it can, a copy followed by a removal across file systems. The platform
// layer shows nothing itself; questions and failures go back to the caller.
namespace qbShellMove {

// Asked with the path of the item of the same name already in the destination: true replaces it.
using TAskReplace = std::function<bool(const QString& existing)>;

enum class TResult { Moved, Cancelled, Failed };

// Moves source (a file, or a folder with or without a trailing "/") into destFolder under its
// own name. With no askReplace an existing item of the same name is never replaced; a replaced
// item goes to the trash, and when the trash cannot take it nothing moves.
TResult Move(const QString& source, const QString& destFolder, const TAskReplace& askReplace,
             QString* error = nullptr);

// Copies a file or a folder tree; false at the first failure (what was copied stays).
bool CopyRecursively(const QString& source, const QString& dest);

// Renames a path given by its bytes (which need not be in the file name encoding), never
// replacing an item of the new name; only a change of letter case of one item on a file system
// that ignores case may "replace" the item itself.
bool Rename(const QByteArray& nativeFrom, const QByteArray& nativeTo, QString* error = nullptr);

} // namespace qbShellMove
