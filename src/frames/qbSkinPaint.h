#pragma once

#include "frames/qbSkin.h"

#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>

class QPainter;

// How the main frame paints from its skin, apart from the window so that pixels can be checked.
namespace qbSkinPaint {

inline constexpr int RingCount = 3;
inline constexpr QPoint CaptionIcon(3, 1);
inline constexpr QPoint CaptionText(20, 3);
// The caption's width less this is what the title may fill.
inline constexpr int CaptionTextRoom = 40;

// The three rings inside `outer`, ring 0 outermost: for ring r, colour 4r + 0 on the left
// (drawn upwards from the bottom-left corner), 4r + 1 on the top, 4r + 2 on the right and
// 4r + 3 on the bottom, each line leaving out its end point.
void DrawFrame(QPainter& painter, const QRect& outer, const TqbSkin::TFrameColors& colors);

struct TCaption {
    QSize Size;
    bool Active = true;
    QString Text;
    QFont Font;
    QIcon Icon;
};
// The caption strip: the caption column stretched over it, the title cut to its budget at
// (20, 3) in the state's text colour, the icon at (3, 1).
void PaintCaption(QPainter& painter, const TqbSkin& skin, const TCaption& caption);

} // namespace qbSkinPaint
