#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// Finds note and folder names by what the user has typed so far, for the jump list and the link
// picker. Both sides are compared in NFC (a name copied from a Mac arrives decomposed) and case
// folded.
//
// Each query character matches one name character: the same character, or, for a lone
// consonant (ㄱ .. ㅎ), a syllable beginning with that consonant, so "ㅎㄱ", "한ㄱ" and "한글"
// all find "한글". The last character may still be in the input method's hands: "하" already
// finds "한" and "고" finds "과"; "한" finds "하나" and "읽" finds "일거리", since the input
// method moves a final consonant to the next syllable once a vowel follows.
//
// Spaces are left out on both sides, because Korean spacing varies ("한글입력" finds
// "한글 입력", and "ㅎㄱㅇ" finds it too); they only mark where words begin. Other characters
// that are not syllables stand for themselves.
//
// An empty query (or one of spaces) matches every name with the neutral score 0, so an
// untouched box lists everything in its own order.
namespace qbNameMatch {

struct TqbNameUnit {
    char16_t Ch;      // folded NFC code unit
    char16_t Initial; // the syllable's initial as a compatibility consonant, or 0
    bool WordStart;   // after a space, "_", "-", "(" or "/"
};

struct TqbMatchName {
    std::vector<TqbNameUnit> Units; // spaces left out
    int Length = 0;                 // of the whole folded name: shorter names rank first
};

struct TqbQueryUnit {
    char16_t Ch;
    char16_t Initial; // the character itself when it is a lone consonant, else 0
};

struct TqbMatchQuery {
    std::vector<TqbQueryUnit> Units; // spaces left out
    bool Composing = false;          // the last unit may be a syllable still being typed
};

TqbMatchName Prepare(const QString& name);
TqbMatchQuery PrepareQuery(const QString& query);

// Higher is better: a whole name, then its start, then the start of a word, then anywhere;
// within each, shorter names. nullopt: no match.
enum TqbMatchPlace { NoQuery = 0, Anywhere, WordStart, NameStart, WholeName };
// Where a score's match lies, without the length that orders names within one place.
TqbMatchPlace PlaceOf(int score);
std::optional<int> Match(const TqbMatchQuery& query, const TqbMatchName& name);
std::optional<int> Match(const QString& query, const QString& name);

// Indices of the matching names, best first; equal scores keep the names' order.
QList<int> Rank(const TqbMatchQuery& query, const QList<TqbMatchName>& names);
QList<int> Rank(const QString& query, const QStringList& names);

} // namespace qbNameMatch
