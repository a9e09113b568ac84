#include "controls/qbGradiBtn.h"

#include "controls/qbGradient.h"

#include <QPainter>

using namespace qbGradient;

TqbGradiButton::TqbGradiButton(QWidget* parent) : TqbGradiProps<TqbDrawnButton>(parent) {
    OwnerDrawChanged();
}

void TqbGradiButton::DrawGradient(QPainter& painter, int begin, int end) const {
    qbGradient::DrawGradient(painter, size(), m_roundDegree, m_verticalGradi, *Colors(), begin,
                             end);
}

void TqbGradiButton::DrawButton(QPainter& painter, bool pressed) const {
    const TqbGradiColors& c = *Colors();
    painter.fillRect(rect(), Color());
    const QColor pen = ToColor(m_selected ? 0 : c.clrOutBorder);
    int textColor = c.clrText;
    const bool down = isEnabled() && pressed;
    if (!isEnabled()) {
        DrawFlatFace(painter, size(), m_roundDegree, pen, ToColor(c.clrDisabled));
        textColor = c.clrDisaText;
    } else if (down) {
        DrawFlatFace(painter, size(), m_roundDegree, pen, ToColor(c.clrBegin));
    } else if (m_selected) {
        DrawFlatFace(painter, size(), m_roundDegree, pen, ToColor(c.clrSelected));
        textColor = c.clrSelcText;
        QFont bold = painter.font();
        bold.setBold(true);
        painter.setFont(bold);
    } else if (Hot()) {
        DrawGradient(painter, c.clrMouseInBegin, c.clrMouseInEnd);
    } else {
        DrawGradient(painter, c.clrBegin, c.clrEnd);
    }
    DrawIcon(painter, m_grayed);
    DrawCaption(painter, size(), CaptionText(text()), CapX(), CapY(), down && !Images(),
                ToColor(textColor));
    if (m_marked)
        DrawMark(painter, width(), c);
}
