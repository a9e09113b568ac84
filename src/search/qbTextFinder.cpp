#include "search/qbTextFinder.h"

#include "platform/qbTextFile.h"
#include "search/qbFoldedByteSearch.h"
#include "search/qbMarkupScanner.h"
#include "search/qbPageCharset.h"
#include "search/qbSearchText.h"
#include "search/qbVisibleText.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <array>
#include <vector>

namespace {

bool IsSingleByte(const QByteArray& charset) {
    const QByteArray name = charset.toLower();
    return name.startsWith("windows-125") || name.startsWith("iso-8859-");
}

// Charsets whose bytes the markup scanner reads as their text: ASCII-compatible, no shift
// states, and every byte below 0x40 a character of its own (a second byte is 0x40 or more).
bool IsByteScannable(const QByteArray& charset) {
    return charset == qbText::DefaultCharset || charset == "UTF-8" || IsSingleByte(charset);
}

constexpr uchar AlwaysStartsBelow = 0x40;

// How far back from a hit the start of its run of characters is looked for, and how many hits
// that start on a second byte are checked, before the page is decoded instead: a page never
// costs much more than its full decode.
constexpr qsizetype MaxRunBack = 4096;
constexpr int MaxHitChecks = 64;

bool HasLineEnd(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n');
}

} // namespace

struct TqbTextFinder::Needle {
    QByteArray charset;
    QString text;
    QByteArray bytes; // A to Z folded
    TqbFoldedByteSearch search;
    // The byte lengths of the search text's first 1 .. n-1 characters, and the last byte of each.
    std::vector<qsizetype> prefixes{};
    std::array<bool, 256> prefixLast{};
    std::vector<char32_t> characters{};
    bool namedReferenceCharacter = false;
    bool singleByte = false;
};

TqbTextFinder::TqbTextFinder(const QString& searchText)
    : m_searchText(searchText), m_decomposedText(qbSearch::DecomposedForm(searchText)) {}

TqbTextFinder::~TqbTextFinder() = default;

bool TqbTextFinder::FileContainsText(const QByteArray& nativePath) {
    return BytesContainText(m_reader.Read(nativePath));
}

const TqbTextFinder::Needle* TqbTextFinder::NeedleFor(const QByteArray& charset, bool decomposed) {
    auto& needles = decomposed ? m_decomposedNeedles : m_needles;
    const auto known = needles.constFind(charset);
    if (known != needles.constEnd())
        return known->get();
    const QString& text = decomposed ? m_decomposedText : m_searchText;
    std::shared_ptr<Needle> needle;
    // A search text holding markup's own characters, or one the charset cannot write, is looked
    // for in the decoded page only.
    const bool plain =
        !text.contains(u'<') && !text.contains(u'&') && !text.contains(QChar::ReplacementCharacter);
    QStringEncoder encoder(charset.constData(), QStringConverter::Flag::Stateless);
    QByteArray bytes = plain && IsByteScannable(charset) ? encoder.encode(text) : QByteArray();
    QStringDecoder decoder(charset.constData(), QStringConverter::Flag::Stateless);
    if (!bytes.isEmpty() && !encoder.hasError() && decoder.decode(bytes) == text &&
        !decoder.hasError()) {
        for (char& c : bytes)
            c = qbSearch::FoldByte(c);
        needle = std::make_shared<Needle>(Needle{charset, text, bytes, TqbFoldedByteSearch(bytes)});
        needle->singleByte = IsSingleByte(charset);
        for (const uint c : text.toUcs4())
            needle->characters.push_back(char32_t(c));
        needle->namedReferenceCharacter =
            std::any_of(needle->characters.begin(), needle->characters.end(),
                        qbSearch::IsNamedReferenceCharacter);
        for (qsizetype i = 1; i < text.size(); ++i) {
            if (text[i].isLowSurrogate())
                continue;
            QStringEncoder prefix(charset.constData(), QStringConverter::Flag::Stateless);
            const QByteArray part = prefix.encode(QStringView(text).first(i));
            const qsizetype length = part.size();
            needle->prefixes.push_back(length);
            needle->prefixLast[uchar(bytes[length - 1])] = true;
        }
    }
    needles.insert(charset, needle);
    return needle.get();
}

bool TqbTextFinder::BytesContainText(const QByteArray& bytes) {
    // A line never holds a line end, so a text with one is on no line.
    if (m_searchText.isEmpty() || HasLineEnd(m_searchText))
        return false;
    const QByteArray charset = m_charsets.Of(bytes);
    const Needle* needle = NeedleFor(charset, false);
    Outcome outcome = needle ? Scan(bytes, *needle) : Outcome::Unsure;
    // The decomposed form is looked for only in a charset that can write it: a code page 949
    // page holds no conjoining letters, so a Korean search of those pages costs nothing more.
    if (outcome == Outcome::Absent && !m_decomposedText.isEmpty())
        if (const Needle* decomposed = NeedleFor(charset, true))
            outcome = Scan(bytes, *decomposed);
    if (outcome != Outcome::Unsure)
        return outcome == Outcome::Found;
    return qbSearch::VisibleTextContains(qbSearch::DecodePage(bytes, charset), m_searchText);
}

TqbTextFinder::Outcome TqbTextFinder::Scan(const QByteArray& bytes, const Needle& needle) const {
    if (needle.search.IndexIn(bytes) < 0 && !MayRunAcrossMarkup(bytes, needle))
        return Outcome::Absent;
    return ScanPieces(bytes, needle);
}

// Without the search text's bytes in the page, it can still be on a line when tags split it
// ("<b>메</b>모") or a reference gives one of its characters. A split leaves some first part of
// the text's bytes right before a '<'.
bool TqbTextFinder::MayRunAcrossMarkup(const QByteArray& bytes, const Needle& needle) {
    const qsizetype amp = bytes.indexOf('&');
    if (amp >= 0 && (needle.namedReferenceCharacter || bytes.indexOf("&#", amp) >= 0))
        return true;
    if (needle.prefixes.empty())
        return false;
    for (qsizetype lt = bytes.indexOf('<'); lt >= 0; lt = bytes.indexOf('<', lt + 1)) {
        if (EndsWithPrefix(bytes.constData(), lt, needle))
            return true;
    }
    return false;
}

bool TqbTextFinder::EndsWithPrefix(const char* text, qsizetype size, const Needle& needle) {
    if (size == 0 || !needle.prefixLast[uchar(qbSearch::FoldByte(text[size - 1]))])
        return false;
    return std::any_of(needle.prefixes.begin(), needle.prefixes.end(), [&](qsizetype length) {
        return length <= size &&
               qbSearch::FoldedEquals(text + size - length, needle.bytes.constData(), length);
    });
}

// Reads the page's pieces from its bytes: a hit inside one piece of text that starts on a
// character is found; a text split by markup or made partly of references is left to the
// decoded page.
TqbTextFinder::Outcome TqbTextFinder::ScanPieces(const QByteArray& bytes,
                                                 const Needle& needle) const {
    Outcome outcome = Outcome::Absent;
    TqbMarkupScanner<char> scanner(bytes.constData(), bytes.size());
    TqbMarkupPiece piece;
    TqbMarkupPiece text;
    bool textBefore = false;
    int checks = 0;
    while (scanner.Next(piece)) {
        switch (piece.kind) {
        case TqbMarkupPiece::Text: {
            const QByteArrayView view(bytes.constData(), piece.end);
            for (qsizetype at = needle.search.IndexIn(view, piece.begin); at >= 0;
                 at = needle.search.IndexIn(view, at + 1)) {
                if (++checks > MaxHitChecks)
                    return Outcome::Unsure;
                const Outcome hit = HitStartsCharacter(bytes, piece.begin, piece.end, at, needle);
                if (hit == Outcome::Found)
                    return hit;
                if (hit == Outcome::Unsure)
                    outcome = hit;
            }
            text = piece;
            textBefore = true;
            break;
        }
        case TqbMarkupPiece::Reference:
            if (std::find(needle.characters.begin(), needle.characters.end(), piece.character) !=
                needle.characters.end())
                outcome = Outcome::Unsure;
            textBefore = false;
            break;
        case TqbMarkupPiece::Markup:
            if (textBefore && !piece.breaks &&
                EndsWithPrefix(bytes.constData() + text.begin, text.end - text.begin, needle))
                outcome = Outcome::Unsure;
            textBefore = false;
            break;
        }
    }
    return outcome;
}

// Whether the hit's bytes are the search text's characters in the page's text, rather than a
// second byte and what follows: the run is decoded from a byte that surely starts a character.
TqbTextFinder::Outcome TqbTextFinder::HitStartsCharacter(const QByteArray& bytes,
                                                         qsizetype pieceBegin, qsizetype pieceEnd,
                                                         qsizetype at,
                                                         const Needle& needle) const {
    if (needle.singleByte)
        return Outcome::Found;
    qsizetype from = at;
    while (from > pieceBegin && uchar(bytes[from - 1]) >= AlwaysStartsBelow) {
        if (at - --from > MaxRunBack)
            return Outcome::Unsure;
    }
    // Decoded as the whole page is. A space after the run ends it as the next character would:
    // a lead byte left open at the end gives U+FFFD instead of waiting for more input.
    const auto decode = [&](qsizetype end) {
        QByteArray run(bytes.constData() + from, end - from);
        run += ' ';
        QString text = qbSearch::DecodePage(run, needle.charset);
        text.chop(1);
        return qbSearch::FoldAsciiCase(text);
    };
    const qsizetype windowEnd = std::min(pieceEnd, at + needle.bytes.size() + 4);
    return decode(windowEnd).startsWith(decode(at) + needle.text) ? Outcome::Found
                                                                  : Outcome::Absent;
}

namespace qbSearch {

bool VisibleTextContains(QStringView page, const QString& searchText) {
    const TqbVisibleText visible(page);
    const QString text = FoldAsciiCase(visible.Text());
    const QString decomposed = DecomposedForm(searchText);
    return text.contains(searchText) || (!decomposed.isEmpty() && text.contains(decomposed));
}

bool DecodedPageContainsText(const QByteArray& bytes, const QString& searchText) {
    if (searchText.isEmpty() || HasLineEnd(searchText))
        return false;
    return VisibleTextContains(DecodePage(bytes, PageCharset(bytes)), searchText);
}

bool FileContainsText(const QByteArray& nativePath, const QString& searchText) {
    TqbTextFinder finder(searchText);
    return finder.FileContainsText(nativePath);
}

} // namespace qbSearch
