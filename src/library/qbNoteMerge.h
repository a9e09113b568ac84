#pragma once

#include <QByteArray>
#include <QList>

// A stretch of the merged page: either text both sides agree on (or that only one changed), or
// an overlap where both changed the same blocks differently.
struct TqbMergePart {
    bool Overlap = false;
    QByteArray Text;               // the agreed text; empty for an overlap
    QByteArray Base, Ours, Theirs; // an overlap's three versions of its blocks
};

struct TqbMergeResult {
    // Whether no block overlaps: Merged is then the whole merged page.
    bool Clean = false;
    QByteArray Merged;
    // The page in order; overlaps leave a choice per part.
    QList<TqbMergePart> Parts;
};

// The three-way merge of two versions of a page against their common ancestor. The pages are
// merged as bytes, whatever their encoding, laid out one block per line so that an edit in one
// paragraph is one changed line; where the sides agree the merged page is byte for byte theirs.
class TqbNoteMerge {
public:
    // Throws EqbError when the merge library fails.
    static TqbMergeResult Merge(const QByteArray& base, const QByteArray& ours,
                                const QByteArray& theirs);
    // The page with each overlap taken from ours (true) or theirs (false), one choice per overlap
    // in order; missing choices take ours.
    static QByteArray Join(const TqbMergeResult& result, const QList<bool>& takeOurs);

    // A line break after each block, reversibly: Unlayout(Layout(page)) == page.
    static QByteArray Layout(const QByteArray& page);
    static QByteArray Unlayout(const QByteArray& laid);
};
