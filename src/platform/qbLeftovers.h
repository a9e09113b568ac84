#pragma once

#include <QDateTime>
#include <QString>

// What a crash of this program leaves behind: the hidden temporaries of interrupted writes and
// the hidden copies the editor shows big pages from. Nothing else is ever removed.
namespace qbLeftovers {

// ".qbview-" followed by six letters or digits and ".htm".
bool IsViewCopyName(const QString& fileName);
// A write temporary or a view copy.
bool IsLeftoverName(const QString& fileName);

// When this program was loaded: files it made itself are never older.
QDateTime ProgramStart();

// Removes from dir (not below) the regular files of this user with a leftover name last
// modified before `before`; links, folders and every other name stay. Returns how many went.
int RemoveInFolder(const QString& dir, const QDateTime& before = ProgramStart());
// The same in the temporary folder, where view copies go when a note's folder takes none.
int RemoveInTempFolder(const QDateTime& before = ProgramStart());

} // namespace qbLeftovers
