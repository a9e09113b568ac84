#include "controls/qbXpBtn.h"

#include "controls/qbGradient.h"
#include "controls/qbPixelDraw.h"

#include <QPainter>

using namespace qbGradient;

namespace {

constexpr int Corner = 3; // 6 by 6 corner ellipses
const QColor Gray(128, 128, 128);

} // namespace

TqbXpButton::TqbXpButton(QWidget* parent) : TqbGradiProps<TqbDrawnButton>(parent) {
    OwnerDrawChanged();
}

void TqbXpButton::DrawFace(QPainter& painter, int begin, int end) const {
    const TqbGradiColors& c = *Colors();
    DrawLines(painter, FaceLines(size(), begin, end));
    DrawLines(painter, FaceEdgeLines(size(), c.clrOutBright, c.clrOutShadow));
    DrawFlatFace(painter, size(), Corner, ToColor(c.clrOutBorder), QColor());
}

void TqbXpButton::DrawGlow(QPainter& painter, int begin, int end) const {
    const TqbGradiColors& c = *Colors();
    DrawLines(painter, GlowLines(size(), begin, end));
    qbPixelDraw::RoundRect(painter, QRect(3, 3, width() - 5, height() - 5), QSize(1, 1), QColor(),
                           ToColor(c.clrBegin));
    DrawFlatFace(painter, size(), Corner, ToColor(c.clrOutBorder), QColor());
}

void TqbXpButton::DrawButton(QPainter& painter, bool pressed) const {
    const TqbGradiColors& c = *Colors();
    painter.fillRect(rect(), Color());
    QColor text = Qt::black;
    const bool down = isEnabled() && pressed;
    if (!isEnabled()) {
        DrawFlatFace(painter, size(), Corner, Gray, ToColor(c.clrEnd));
        text = Gray;
    } else if (down) {
        DrawFlatFace(painter, size(), Corner, Gray, ToColor(c.clrBegin));
    } else if (Hot()) {
        DrawGlow(painter, c.clrMouseInBegin, c.clrMouseInEnd);
    } else if ((hasFocus() || isDefault()) && m_useFocusedThick) {
        DrawGlow(painter, c.clrThick, c.clrSelected);
    } else {
        DrawFace(painter, c.clrBegin, c.clrEnd);
    }
    if (Images())
        Images()->Draw(painter, QPoint(IconX(), IconY()), ImageIndex());
    DrawCaption(painter, size(), CaptionText(this->text()), CapX(), CapY(), down && !Images(),
                text);
}
