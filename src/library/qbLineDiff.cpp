#include "library/qbLineDiff.h"

#include <vector>

namespace qbLineDiff {

namespace {

// More cells than this and the middle is shown as replaced whole: the table would take too much
// memory and time for a dialog that should open at once.
constexpr qint64 MaxCells = 4'000'000;

} // namespace

QList<TLine> Compare(const QStringList& oldLines, const QStringList& newLines) {
    qsizetype start = 0;
    while (start < oldLines.size() && start < newLines.size() && oldLines[start] == newLines[start])
        ++start;
    qsizetype oldEnd = oldLines.size(), newEnd = newLines.size();
    while (oldEnd > start && newEnd > start && oldLines[oldEnd - 1] == newLines[newEnd - 1]) {
        --oldEnd;
        --newEnd;
    }
    QList<TLine> out;
    for (qsizetype i = 0; i < start; ++i)
        out.append({TKind::Same, oldLines[i]});

    const qsizetype n = oldEnd - start, m = newEnd - start;
    if (n * m > MaxCells) {
        for (qsizetype i = start; i < oldEnd; ++i)
            out.append({TKind::Removed, oldLines[i]});
        for (qsizetype j = start; j < newEnd; ++j)
            out.append({TKind::Added, newLines[j]});
    } else {
        // common[i][j]: the longest common run of old[i..] and new[j..].
        std::vector<quint32> common(size_t((n + 1) * (m + 1)), 0);
        const auto at = [m](qsizetype i, qsizetype j) { return size_t(i * (m + 1) + j); };
        for (qsizetype i = n - 1; i >= 0; --i)
            for (qsizetype j = m - 1; j >= 0; --j)
                common[at(i, j)] = oldLines[start + i] == newLines[start + j]
                                       ? common[at(i + 1, j + 1)] + 1
                                       : std::max(common[at(i + 1, j)], common[at(i, j + 1)]);
        qsizetype i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && oldLines[start + i] == newLines[start + j]) {
                out.append({TKind::Same, oldLines[start + i]});
                ++i;
                ++j;
            } else if (i < n && (j == m || common[at(i + 1, j)] >= common[at(i, j + 1)])) {
                out.append({TKind::Removed, oldLines[start + i]});
                ++i;
            } else {
                out.append({TKind::Added, newLines[start + j]});
                ++j;
            }
        }
    }
    for (qsizetype i = oldEnd; i < oldLines.size(); ++i)
        out.append({TKind::Same, oldLines[i]});
    return out;
}

} // namespace qbLineDiff
