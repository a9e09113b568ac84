#pragma once

#include <QFont>

// "굴림체" at a pixel size, or the nearest Korean fixed-pitch face where it is missing.
QFont qbGulimChe(int pixelSize);

// "Arial" at a pixel size, or a face of the same widths where it is missing: Qt alone would
// take whatever face it likes, often a fixed-pitch one too wide for a small button.
QFont qbArial(int pixelSize, bool bold = false);
