#pragma once

#include <QString>

// The desktop's trash (the recycle bin on Windows), the place a deleted item can be recovered
// from with the file manager. Nothing asks a second question.
namespace qbTrash {

// The user's own trash in the freedesktop layout: the per-user data folder ($XDG_DATA_HOME,
// else ~/.local/share) followed by "/Trash".
QString HomeTrashDir();

// Makes the user's trash with its "files" and "info" folders where they are missing (the
// folders it makes are for the user alone, mode 0700). False, with the reason, when it cannot
// be made or used.
bool EnsureHomeTrash(QString* error = nullptr);

// Moves the file or the folder with everything in it to the trash. False when the trash cannot
// take it; then nothing is removed and error says why. A name given is the one the item takes
// in the trash (numbered after it where taken); its record still gives the place it came from.
bool MoveToTrash(const QString& path, QString* error = nullptr, const QString& name = {});

} // namespace qbTrash
