#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Where a note's pictures are kept and how the note links them.
namespace qbPicture {

// Where pictures from outside the library are kept: in each note's folder, hidden from the tree.
inline constexpr const char* ImagesFolder = "__images";

// The address a picture gets in the note at `notePath`, percent-encoded: a web address as it
// is; a file as a path relative to the note, so it still shows when the library folder moves.
// A file from outside the library is first copied into the note folder's "__images" (made when
// missing) and linked as "__images/<name>"; a file of that name holding other bytes makes the
// copy "<name>_2.<ext>" (or the next free number), one holding the same bytes is used as it is.
// Throws EqbError when the copy fails or the file does not exist.
QString PlaceInNote(const QString& picture, const QString& notePath, const QString& libraryDir);

// A picture that came as bytes (pasted, or dropped as a file the page only has the bytes of):
// written into the note folder's "__images" under `name`, or when there is none under
// "pasted-<yyyyMMdd>-<HHmmss>" and the usual suffix of its MIME type, numbered and shared as
// PlaceInNote does; returns its address in the note as PlaceInNote does. Throws EqbError,
// writing nothing, for a type that is no picture's, for no bytes at all, or when the file
// cannot be written.
QString KeepInNote(const QByteArray& bytes, const QString& mimeType, const QString& name,
                   const QString& notePath, const QDateTime& now);

// A picture's address in pasted markup, made one the note can keep: a `data:` address is kept
// as KeepInNote does, a `file:` one placed as PlaceInNote does; any other is left as it is (a web
// picture is never fetched). Throws EqbError as those do, or for a `data:` address that holds
// no picture.
QString KeepPasted(const QString& address, const QString& notePath, const QString& libraryDir,
                   const QDateTime& now);

} // namespace qbPicture
