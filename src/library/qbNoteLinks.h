#pragma once

#include <QString>
#include <QUrl>

// Links between notes as they are written in a page: the address an href stands for, and the
// href that leads from one note to another.
namespace qbNoteLinks {

// The address an href of the note at notePath leads to, resolved as the engine resolves it:
// "%23" in a name is a '#', a bare '#' starts a place in the page.
QUrl Resolve(const QString& href, const QString& notePath);

// The href from the note at fromNote to the file at toPath: relative, with every byte of the
// names but letters, digits and "-._~" percent-encoded from UTF-8, as a browser writes a path;
// plain ASCII, so any page charset keeps it and no HTML escape is needed.
QString Href(const QString& fromNote, const QString& toPath);

} // namespace qbNoteLinks
