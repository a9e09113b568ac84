#pragma once

#include <QList>
#include <QString>

// A picture a page shows by a relative address: where the address stands in the page's text.
struct TqbPictureLink {
    qsizetype Pos = 0; // the address as written, from Pos for Len characters
    qsizetype Len = 0;
    QString File; // the file it names, relative to the page's folder ("__images/a b.png")

    bool operator==(const TqbPictureLink&) const = default;
};

// Which pictures a note page shows from files beside it, read without a browser.
namespace qbPictureLinks {

// The relative picture addresses of a page: "src" and "background" attributes of its tags, and
// "url(...)" in style attributes and style blocks. Absolute addresses (a scheme, "/", "#"), pages
// (".htm", ".qb") and anything inside comments or the text of elements such as textarea and
// script are left out.
QList<TqbPictureLink> Find(const QString& html);

// The href values of a page's tags and the src values of its frames, outside comments and the
// text of elements such as textarea and script, each with File holding the value with its
// character references undone; the same reading of tags and quotes as Find, for links between
// notes.
QList<TqbPictureLink> FindHrefs(const QString& html);

// Where an address as written (character references and all) has its query or place begin; -1
// when it has neither.
qsizetype TailStart(const QString& address);

// The file a relative address names, percent escapes, character references and "\" undone,
// query and fragment dropped; empty for an address that is not a relative file.
QString FileOfAddress(const QString& address);

// An address for the relative file path, escaping only what would end or change it.
QString AddressOfFile(const QString& relativePath);

} // namespace qbPictureLinks
