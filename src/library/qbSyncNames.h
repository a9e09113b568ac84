#pragma once

#include <QString>

// The files sync engines leave in a library they carry between computers: conflict copies (a
// second version of a note, named after it) and partial or temporary files. Neither is a note;
// a conflict copy marks its original as having two versions. Pure functions of a file name.
namespace qbSyncNames {

// The name of the file a conflict copy stands beside ("a.htm" for
// "a.sync-conflict-20261209-101010-ABCDEFG.htm"); empty when name is no conflict copy.
// Syncthing, Nextcloud, ownCloud and Dropbox name their copies each in their own way.
QString ConflictOriginal(const QString& name);

// A file an engine writes while it receives a file, or a lock one holds.
bool IsTemporary(const QString& name);

// Either of the two: a file the library leaves out of every list.
bool IsEngineFile(const QString& name);

} // namespace qbSyncNames
