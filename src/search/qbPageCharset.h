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

// PageCharset for page after page: it remembers the last page's head and what it declared, since
// the pages of one library mostly share their head, and reading a declaration costs more than
// searching the rest of a page.
class TqbPageCharsets {
public:
    QByteArray Of(const QByteArray& bytes);

private:
    QByteArray m_head;
    QByteArray m_declared; // empty: the head declares none
};
