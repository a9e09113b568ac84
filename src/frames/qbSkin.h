#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <array>

// The look of the main frame: two caption columns, the caption buttons' strip, the caption text
// colours and the twelve frame colours for the active and the inactive window.
struct TqbSkin {
    static constexpr int FrameColorCount = 12;
    using TFrameColors = std::array<QColor, FrameColorCount>;

    QImage ActCaption;   // only its leftmost column is used, row y for caption row y
    QImage InActCaption;
    QImage Buttons;      // cells of 16 x 17 side by side from x = 0
    QColor ActTextColor;
    QColor InActTextColor;
    TFrameColors ActColors;
    TFrameColors InActColors;
};

namespace qbSkin {

// The folder beside the program that holds one folder per skin.
inline constexpr const char* FolderName = "qbSkinFiles2";
// The caption buttons' cells: normal, under the pointer, pressed.
inline constexpr QSize ButtonCell(16, 17);
inline constexpr int StripCells = 16;
enum TButtonCells { MinimizeCells = 0, MaximizeCells = 3, RestoreCells = 6, CloseCells = 9 };

// The skin compiled into the program.
TqbSkin BuiltIn();
// Skin `name` from `skinsDir` (ending with "/"): each bitmap that is missing or cannot be read
// is the built-in one, each colour missing from "skin.ini" or not a number its default. An
// empty name is the built-in skin.
TqbSkin Load(const QString& skinsDir, const QString& name);

// A caption column `height` rows tall from a caption bitmap's leftmost column; rows the bitmap
// lacks repeat its last row.
QImage CaptionColumn(const QImage& caption, int height);

} // namespace qbSkin
