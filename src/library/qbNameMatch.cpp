#include "library/qbNameMatch.h"

#include <algorithm>
#include <array>
#include <utility>

namespace qbNameMatch {

namespace {

// Precomposed syllables are (initial * 21 + medial) * 28 + final from U+AC00.
constexpr char16_t SyllableFirst = 0xAC00;
constexpr char16_t SyllableLast = 0xD7A3;
constexpr int MedialCount = 21;
constexpr int FinalCount = 28;
constexpr char16_t ConsonantFirst = 0x3131; // ㄱ
constexpr char16_t ConsonantLast = 0x314E;  // ㅎ

constexpr std::array<char16_t, 19> CompatInitials = {
    u'ㄱ', u'ㄲ', u'ㄴ', u'ㄷ', u'ㄸ', u'ㄹ', u'ㅁ', u'ㅂ', u'ㅃ', u'ㅅ',
    u'ㅆ', u'ㅇ', u'ㅈ', u'ㅉ', u'ㅊ', u'ㅋ', u'ㅌ', u'ㅍ', u'ㅎ'};

// What stays of a final when a vowel follows, and the initial it hands to the next syllable:
// 닭 + ㅏ becomes 달가.
struct TFinalSplit {
    int Kept;
    int Moved; // initial index
};
constexpr std::array<TFinalSplit, FinalCount> FinalSplits = {{
    {0, -1}, {0, 0},  {0, 1},  {1, 9},  {0, 2},  {4, 12}, {4, 18}, // - ㄱ ㄲ ㄳ ㄴ ㄵ ㄶ
    {0, 3},  {0, 5},  {8, 0},  {8, 6},  {8, 7},  {8, 9},  {8, 16}, // ㄷ ㄹ ㄺ ㄻ ㄼ ㄽ ㄾ
    {8, 17}, {8, 18}, {0, 6},  {0, 7},  {17, 9}, {0, 9},  {0, 10}, // ㄿ ㅀ ㅁ ㅂ ㅄ ㅅ ㅆ
    {0, 11}, {0, 12}, {0, 14}, {0, 15}, {0, 16}, {0, 17}, {0, 18}, // ㅇ ㅈ ㅊ ㅋ ㅌ ㅍ ㅎ
}};

struct TSyllable {
    int Initial;
    int Medial;
    int Final;
};

bool IsSyllable(char16_t c) {
    return c >= SyllableFirst && c <= SyllableLast;
}

TSyllable Split(char16_t c) {
    const int n = c - SyllableFirst;
    return {n / (MedialCount * FinalCount), n / FinalCount % MedialCount, n % FinalCount};
}

char16_t InitialOf(char16_t c) {
    return IsSyllable(c) ? CompatInitials[Split(c).Initial] : char16_t(0);
}

// The vowel the input method shows before a second one joins it: ㅗ before ㅘ ㅙ ㅚ, ㅜ before
// ㅝ ㅞ ㅟ, ㅡ before ㅢ.
int MedialStart(int medial) {
    switch (medial) {
    case 9:
    case 10:
    case 11:
        return 8;
    case 14:
    case 15:
    case 16:
        return 13;
    case 19:
        return 18;
    default:
        return medial;
    }
}

// "하" on the way to "한" or "화", "갈" on the way to "갉".
bool SyllableBegins(char16_t typed, char16_t full) {
    if (!IsSyllable(typed) || !IsSyllable(full))
        return false;
    const TSyllable t = Split(typed);
    const TSyllable f = Split(full);
    if (t.Initial != f.Initial)
        return false;
    if (t.Final == 0)
        return t.Medial == f.Medial || t.Medial == MedialStart(f.Medial);
    return t.Medial == f.Medial && FinalSplits[f.Final].Kept == t.Final;
}

// "한" on the way to "하나": the final becomes the next syllable's initial.
bool FinalMovesOn(char16_t typed, char16_t first, const TqbNameUnit& next) {
    if (!IsSyllable(typed) || !IsSyllable(first))
        return false;
    const TSyllable t = Split(typed);
    const TSyllable f = Split(first);
    const TFinalSplit split = FinalSplits[t.Final];
    return split.Moved >= 0 && t.Initial == f.Initial && t.Medial == f.Medial &&
           f.Final == split.Kept && next.Initial == CompatInitials[split.Moved];
}

bool IsWordSeparator(QChar c) {
    return c.isSpace() || c == u'_' || c == u'-' || c == u'(' || c == u'/';
}

QString Folded(const QString& text) {
    return text.normalized(QString::NormalizationForm_C).toCaseFolded();
}

bool UnitMatches(const TqbQueryUnit& q, const TqbNameUnit& n) {
    return q.Ch == n.Ch || (q.Initial != 0 && q.Initial == n.Initial);
}

// The end of the name units matched when the query is laid from start, or -1.
int MatchEnd(const TqbMatchQuery& query, const TqbMatchName& name, size_t start) {
    const size_t last = query.Units.size() - 1;
    size_t at = start;
    for (size_t k = 0; k <= last; ++k) {
        if (at >= name.Units.size())
            return -1;
        const TqbQueryUnit& q = query.Units[k];
        const TqbNameUnit& n = name.Units[at];
        if (UnitMatches(q, n) || (k == last && query.Composing && SyllableBegins(q.Ch, n.Ch))) {
            ++at;
        } else if (k == last && query.Composing && at + 1 < name.Units.size() &&
                   FinalMovesOn(q.Ch, n.Ch, name.Units[at + 1])) {
            at += 2;
        } else {
            return -1;
        }
    }
    return int(at);
}

// The best place the query matches at, or 0.
int BestPlace(const TqbMatchQuery& query, const TqbMatchName& name) {
    const size_t count = name.Units.size();
    if (count < query.Units.size())
        return 0;
    const int end = MatchEnd(query, name, 0);
    if (end >= 0)
        return size_t(end) == count ? WholeName : NameStart;
    int best = 0;
    for (size_t start = 1; start + query.Units.size() <= count; ++start) {
        if (best != 0 && !name.Units[start].WordStart)
            continue;
        if (MatchEnd(query, name, start) >= 0) {
            if (name.Units[start].WordStart)
                return WordStart;
            best = Anywhere;
        }
    }
    return best;
}

constexpr int LengthRange = 10000;

} // namespace

TqbMatchPlace PlaceOf(int score) {
    return TqbMatchPlace((score + LengthRange - 1) / LengthRange);
}

TqbMatchName Prepare(const QString& name) {
    const QString folded = Folded(name);
    TqbMatchName prepared;
    prepared.Length = int(folded.size());
    prepared.Units.reserve(folded.size());
    bool wordStart = true;
    for (const QChar c : folded) {
        if (!c.isSpace())
            prepared.Units.push_back({c.unicode(), InitialOf(c.unicode()), wordStart});
        wordStart = IsWordSeparator(c);
    }
    return prepared;
}

TqbMatchQuery PrepareQuery(const QString& query) {
    const QString folded = Folded(query);
    TqbMatchQuery prepared;
    for (const QChar c : folded) {
        const char16_t u = c.unicode();
        if (!c.isSpace())
            prepared.Units.push_back(
                {u, u >= ConsonantFirst && u <= ConsonantLast ? u : char16_t(0)});
    }
    // A space typed after the last syllable has finished it.
    prepared.Composing = !folded.isEmpty() && !folded.back().isSpace();
    return prepared;
}

std::optional<int> Match(const TqbMatchQuery& query, const TqbMatchName& name) {
    if (query.Units.empty())
        return 0;
    const int place = BestPlace(query, name);
    if (place == 0)
        return std::nullopt;
    return place * LengthRange - std::min(name.Length, LengthRange - 1);
}

std::optional<int> Match(const QString& query, const QString& name) {
    return Match(PrepareQuery(query), Prepare(name));
}

QList<int> Rank(const TqbMatchQuery& query, const QList<TqbMatchName>& names) {
    std::vector<std::pair<int, int>> found; // score, index
    for (int i = 0; i < names.size(); ++i)
        if (const std::optional<int> score = Match(query, names[i]))
            found.emplace_back(*score, i);
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    QList<int> order;
    order.reserve(qsizetype(found.size()));
    for (const auto& entry : found)
        order.append(entry.second);
    return order;
}

QList<int> Rank(const QString& query, const QStringList& names) {
    QList<TqbMatchName> prepared;
    prepared.reserve(names.size());
    for (const QString& name : names)
        prepared.append(Prepare(name));
    return Rank(PrepareQuery(query), prepared);
}

} // namespace qbNameMatch
