#pragma once

#include <QString>

// The desktop's trash (the recycle bin on Windows), the place a deleted item can be recovered
// from with the file manager. Nothing asks a second question.
namespace qbTrash {

// Moves the file or the folder with everything in it to the trash. False when the trash cannot
// take it; then nothing is removed and error says why.
bool MoveToTrash(const QString& path, QString* error = nullptr);

} // namespace qbTrash
