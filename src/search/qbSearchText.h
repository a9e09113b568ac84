#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The text the user looks for and how a found page is marked: on the text a reader sees, with
// only the letters A to Z folded, line by line.
namespace qbSearch {

// The opening and closing markup put around every occurrence in the marked copy.
inline const QString HighlightOpen =
    QStringLiteral("<FONT style=\"BACKGROUND-COLOR: #ff6600\" color=#ffffff>");
inline const QString HighlightClose = QStringLiteral("</FONT>");

// Blanks and control characters trimmed from both ends, in NFC, A to Z lower-cased.
QString MakeSearchText(const QString& entered);

// The search text decomposed (NFD), as pages written on a Mac hold Hangul; empty when that is
// the same text. A page is searched and marked for both forms.
QString DecomposedForm(const QString& searchText);

// Lower-cases A to Z only: Korean and other letters stay exactly as they are.
QString FoldAsciiCase(QStringView text);

// The page (or one line of it) with every occurrence of searchText (already folded) in the text
// a reader sees marked, left to right without overlap, keeping the page's own letter case. The
// markup goes around source text only, never inside a tag, a comment or a reference: an
// occurrence that runs across a tag is marked piece by piece, one that is a reference in part
// is marked with the whole reference, and text in a text box is found but not marked.
QString HighlightMatches(QStringView page, const QString& searchText);

// Writes target as the file at nativeSource (its path's bytes) with every occurrence marked, in
// the source's own charset, CR LF line ends, atomically. The source is only read. Throws
// EqbError when either file fails.
void WriteMarkedCopy(const QByteArray& nativeSource, const QString& target,
                     const QString& searchText);

} // namespace qbSearch
