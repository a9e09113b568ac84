#pragma once

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
// own name. With no askReplace an existing item of the same name is never replaced.
TResult Move(const QString& source, const QString& destFolder, const TAskReplace& askReplace,
             QString* error = nullptr);

// Copies a file or a folder tree; false at the first failure (what was copied stays).
bool CopyRecursively(const QString& source, const QString& dest);

} // namespace qbShellMove
