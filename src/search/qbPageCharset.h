#pragma once

#include <QByteArray>
#include <QString>

// How the search reads a page's bytes: as the page codec does, which the editor uses too. The
// search reaches the codec only through here.
namespace qbSearch {

// The page's charset as a converter name: a byte-order mark, else its declaration (META or XML),
// else UTF-8 when the bytes are valid UTF-8 and not all ASCII, else windows-949.
QByteArray PageCharset(const QByteArray& bytes);

// The page's text in that charset: each byte not valid in it one U+FFFD.
QString DecodePage(const QByteArray& bytes, const QByteArray& charset);

// The text as page bytes in that charset, written atomically. Throws EqbError naming the file.
void WritePage(const QString& path, const QString& text, const QByteArray& charset);

} // namespace qbSearch

// PageCharset for page after page: it remembers the last page's head and what it declared, since
// the pages of one library mostly share their head, and reading a declaration costs more than
// searching the rest of a page. The declaration is read as the codec reads it.
class TqbPageCharsets {
public:
    QByteArray Of(const QByteArray& bytes);

private:
    QByteArray m_head;
    QByteArray m_declared; // empty: the head declares none
};
