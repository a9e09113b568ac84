#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One entry of a listing.
struct TqbListedName {
    // The name as shown: the file name, decoded from code page 949 when its bytes are not in the
    // file name encoding (names copied from Windows).
    QString Name;
    // The name's own bytes when Name cannot be turned back into them; empty otherwise. Such an
    // entry can only be reached through these bytes.
    QByteArray RawName;

    bool operator==(const TqbListedName&) const = default;
};

// raw (a file name's bytes) as a listing shows it; nothing when the name is in neither the file
// name encoding nor code page 949.
std::optional<TqbListedName> ListedName(const QByteArray& raw);
// The bytes that name the entry on disk.
QByteArray NativeName(const TqbListedName& entry);

// What the note tree shows of one directory.
struct TqbFolderListing {
    // Each in the names' order (qbNameOrder); notes by their names without the extension.
    QList<TqbListedName> Folders;   // directory names
    QList<TqbListedName> NoteFiles; // note file names with their own extension
    // The notes (by file name) and the folder's own page that a sync engine's conflict copy
    // stands beside, in the names' order.
    QStringList Conflicted;
};

// Lists dir + "/" (so an empty dir is the file system root). Names beginning with "." and sync
// engines' temporary files are skipped, and so is a conflict copy whose original is there (it
// marks the original as Conflicted; a copy alone is all there is of its note and is listed); a real
// directory (not a symbolic link) is a folder unless it is exactly "__images"; a note is a regular
// file whose name IsNoteFileName accepts, or a link to one that lies inside libraryRoot. Pipes,
// devices, sockets, dangling links and links leaving the library are no notes. Names neither in the
// file name encoding nor in code page 949 are left out. A folder that cannot be read lists nothing.
TqbFolderListing ListFolder(const QString& dir, const QString& noteExt, const QString& libraryRoot);

// True at the first entry of dir not beginning with ".", not the folder description file, not a
// conflict copy of it and no sync engine's temporary file, whatever its kind. A folder that cannot
// be read has none.
bool FolderHasEntries(const QString& dir);
// The same for a directory given by its bytes, which need not be in the file name encoding.
bool FolderHasEntries(const QByteArray& nativeDir);

// The extension from the last ".", ASCII letters lower-cased, equals noteExt: with ".htm",
// "Y.HTM" is a note and "x.html" is not.
bool IsNoteFileName(const QString& name, const QString& noteExt);

// Whether the editor may open the document at path in the library at libraryRoot.
enum class TqbDocumentAccess {
    Usable,         // a regular file whose real place is inside the library
    Missing,        // nothing there yet, in a folder inside the library: opening creates it
    Folder,         // a directory inside the library: reading it fails at once
    NotRegular,     // a pipe, device, socket or dangling link: reading it may never end
    OutsideLibrary, // a link (or a folder on the way) that leads out of the library
};
TqbDocumentAccess DocumentAccess(const QString& path, const QString& libraryRoot);
