#pragma once

#include <QString>
#include <QStringList>

// What the note tree shows of one directory.
struct TqbFolderListing {
    QStringList Folders;   // directory names, sorted
    QStringList NoteFiles; // note file names with their extension, sorted
};

// Lists dir + "/" (so an empty dir is the file system root). Names beginning with "." are
// skipped; a real directory (not a symbolic link) is a folder unless it is exactly "__images";
// a regular file, or a link to one, is a note when IsNoteFileName says so. A directory reached
// through a link is neither. Names that are not valid in the file name encoding are left out.
// A folder that cannot be read lists nothing.
TqbFolderListing ListFolder(const QString& dir, const QString& noteExt);

// True at the first entry of dir not beginning with "." and not the folder description file,
// whatever its kind. A folder that cannot be read has none.
bool FolderHasEntries(const QString& dir);

// The extension from the last ".", ASCII letters lower-cased, equals noteExt: with ".htm",
// "Y.HTM" is a note and "x.html" is not.
bool IsNoteFileName(const QString& name, const QString& noteExt);

// Case-insensitive order of the user's locale.
void SortByLocale(QStringList& names);
