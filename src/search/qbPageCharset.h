#pragma once

#include <QByteArray>
#include <QString>

// How the search reads a page's bytes: in the charset the editor shows it in. Every decision on
// a page's charset in the search is made here.
namespace qbSearch {

// The page's charset as a converter name: a byte-order mark, else its declaration (META or XML),
// else UTF-8 when the bytes are valid UTF-8 and not all ASCII, else windows-949.
QByteArray PageCharset(const QByteArray& bytes);

// The page's text in that charset.
QString DecodePage(const QByteArray& bytes, const QByteArray& charset);

} // namespace qbSearch
