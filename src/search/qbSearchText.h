#pragma once

#include <QByteArray>
#include <QString>
#include <QStringMatcher>
#include <QStringView>
#include <array>
#include <optional>

// The text the user looks for and how pages are matched against it: on decoded characters,
// with only the letters A to Z folded, line by line.
namespace qbSearch {

// The opening and closing markup put around every occurrence in the marked copy.
inline const QString HighlightOpen =
    QStringLiteral("<FONT style=\"BACKGROUND-COLOR: #ff6600\" color=#ffffff>");
inline const QString HighlightClose = QStringLiteral("</FONT>");

// Blanks and control characters trimmed from both ends, A to Z lower-cased.
QString MakeSearchText(const QString& entered);

// Lower-cases A to Z only: Korean and other letters stay exactly as they are.
QString FoldAsciiCase(QStringView text);

// The line with every occurrence of searchText (already folded) marked, left to right without
// overlap, keeping the line's own letter case.
QString HighlightMatches(const QString& line, const QString& searchText);

// Writes target as source with every line highlighted, in source's own charset, CR LF line
// ends, atomically. source is only read. Throws EqbError when either file fails.
void WriteMarkedCopy(const QString& source, const QString& target, const QString& searchText);

} // namespace qbSearch

// Finds bytes with the letters A to Z folded (Horspool); the needle is folded already.
class TqbFoldedByteSearch {
public:
    explicit TqbFoldedByteSearch(const QByteArray& needle);
    bool FoundIn(QByteArrayView bytes) const;
    // The first position, or -1.
    qsizetype IndexIn(QByteArrayView bytes) const;

private:
    QByteArray m_needle;
    std::array<qsizetype, 256> m_skip;
};

// Whether a page's text holds the search text on one of its lines. Keeps its buffers between
// files, so one finder serves a whole search.
class TqbTextFinder {
public:
    explicit TqbTextFinder(const QString& searchText);

    // Throws EqbError when the file cannot be read.
    bool FileContainsText(const QString& path);
    bool BytesContainText(const QByteArray& bytes);

private:
    bool TextContains(const QString& text);

    QString m_searchText;
    // The search text's bytes when it is all ASCII: pages without them are passed over undecoded.
    std::optional<TqbFoldedByteSearch> m_asciiNeedle;
    QStringMatcher m_matcher;
    TqbFoldedByteSearch m_bodyTag;
    QByteArray m_bytes;
    QString m_folded;
};

// Whether some line of the file holds searchText (already folded). Throws EqbError when the file
// cannot be read.
bool FileContainsText(const QString& path, const QString& searchText);
