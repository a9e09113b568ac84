#pragma once

#include <QFont>

// "굴림체" at a pixel size, or the nearest Korean fixed-pitch face where it is missing.
QFont qbGulimChe(int pixelSize);
