#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The lines of two texts compared: which stayed, which only the old one has, which only the new.
namespace qbLineDiff {

enum class TKind { Same, Removed, Added };

struct TLine {
    TKind Kind = TKind::Same;
    QString Text;
    bool operator==(const TLine&) const = default;
};

// The shortest way from oldLines to newLines (a longest common subsequence), in order; where
// both differ, the removed lines come before the added ones. Texts too long to weigh line by
// line (after their common start and end) show the differing middle removed, then added.
QList<TLine> Compare(const QStringList& oldLines, const QStringList& newLines);

} // namespace qbLineDiff
