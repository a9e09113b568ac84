#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A note's tags live in its own page as <meta name="keywords" content="a, b">, where other
// programs and search engines read them too. Changing them edits those bytes alone: the rest of
// the file stays byte for byte, in whatever charset it is.
namespace qbNoteTags {

// The tags of a keywords list: split at commas, trimmed, a leading "#" dropped, empty ones and
// repeats (compared without case) left out, in their order.
QStringList Split(const QString& text);
// As the keywords content and the tag field show them.
QString Join(const QStringList& tags);

// The tags of the page's first keywords meta before its body.
QStringList Read(const QByteArray& page);
// The page with these tags: the keywords meta's content replaced, a meta added to the head (made
// when there is none) for a page without one, or the meta taken out when no tag is left. Throws
// EqbError for a page whose markup is not in ASCII bytes (UTF-16), which it leaves alone.
QByteArray Write(const QByteArray& page, const QStringList& tags);

} // namespace qbNoteTags
