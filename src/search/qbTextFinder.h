#pragma once

#include "search/qbPageCharset.h"
#include "search/qbPageReader.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>

// Whether a page's text holds the search text on one of its lines, looking only at the text a
// reader sees (see TqbVisibleText). Most pages are answered from their bytes: the search text's
// bytes in the page's charset are looked for, a hit is checked to start on a character in the
// page's text, and only a page where the text might run across markup is decoded in full. One
// finder serves one thread for a whole search; it keeps its buffers between files.
class TqbTextFinder {
public:
    // searchText is trimmed and folded already (MakeSearchText).
    explicit TqbTextFinder(const QString& searchText);
    ~TqbTextFinder();

    // nativePath: the bytes of the file's path. Throws EqbError when the file cannot be read.
    bool FileContainsText(const QByteArray& nativePath);
    bool BytesContainText(const QByteArray& bytes);

private:
    struct Needle;
    enum class Outcome { Found, Absent, Unsure };

    // For the search text in NFC, or decomposed (a page from a Mac).
    const Needle* NeedleFor(const QByteArray& charset, bool decomposed);
    Outcome Scan(const QByteArray& bytes, const Needle& needle) const;
    static bool MayRunAcrossMarkup(const QByteArray& bytes, const Needle& needle);
    static bool EndsWithPrefix(const char* text, qsizetype size, const Needle& needle);
    Outcome ScanPieces(const QByteArray& bytes, const Needle& needle) const;
    Outcome HitStartsCharacter(const QByteArray& bytes, qsizetype pieceBegin, qsizetype pieceEnd,
                               qsizetype at, const Needle& needle) const;

    QString m_searchText;
    QString m_decomposedText;
    QHash<QByteArray, std::shared_ptr<Needle>> m_needles;
    QHash<QByteArray, std::shared_ptr<Needle>> m_decomposedNeedles;
    TqbPageReader m_reader;
    TqbPageCharsets m_charsets;
};

namespace qbSearch {

// Whether the text a reader sees on the page holds searchText (already folded) on one line.
bool VisibleTextContains(QStringView page, const QString& searchText);

// The same answer from the whole decoded page: what TqbTextFinder must agree with.
bool DecodedPageContainsText(const QByteArray& bytes, const QString& searchText);

// Whether some line of the file holds searchText (already folded). Throws EqbError when the file
// cannot be read.
bool FileContainsText(const QByteArray& nativePath, const QString& searchText);

} // namespace qbSearch
