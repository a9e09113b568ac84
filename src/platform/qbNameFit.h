#pragma once

#include <QString>

// A file name is at most NameMax bytes on disk (UTF-8 here). Names we make longer, a kept
// copy's " - 사본" or a number that keeps a name unique, are shortened to fit.
namespace qbNameFit {

inline constexpr int NameMax = 255;

// How many bytes the name takes on disk.
int DiskBytes(const QString& name);

// stem followed by tail, the end of stem cut so that the whole takes at most maxBytes bytes on
// disk. The cut falls between characters as the user sees them (a syllable, a letter with its
// accents, an emoji), and spaces it leaves at the end go. tail is never cut: when it alone is
// too long, the result is tail.
QString Fit(const QString& stem, const QString& tail, int maxBytes = NameMax);

} // namespace qbNameFit
