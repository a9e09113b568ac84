#include "controls/qbGradiSpeedBtn.h"

#include "controls/qbGradient.h"
#include "controls/qbOffscreen.h"

#include <QMetaMethod>
#include <QPainter>

using namespace qbGradient;

TqbGradiSpeedButton::TqbGradiSpeedButton(QWidget* parent)
    : TqbGradiProps<TqbHotButton<QToolButton>>(parent) {
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
}

void TqbGradiSpeedButton::SetGroupIndex(int index) {
    m_groupIndex = index;
    if (index == 0)
        setChecked(false);
}

void TqbGradiSpeedButton::SetDown(bool down) {
    if (m_groupIndex == 0)
        down = false;
    if (down == isChecked() || (isChecked() && !m_allowAllUp))
        return;
    setChecked(down);
    if (!down || !parentWidget())
        return;
    for (auto* other : parentWidget()->findChildren<TqbGradiSpeedButton*>(
             QString(), Qt::FindDirectChildrenOnly))
        if (other != this && other->m_groupIndex == m_groupIndex)
            other->setChecked(false);
}

void TqbGradiSpeedButton::nextCheckState() {
    SetDown(!isChecked());
}

TqbGradiSpeedButton::TState TqbGradiSpeedButton::State() const {
    if (!isEnabled())
        return Disabled;
    if (isChecked())
        return Exclusive;
    return isDown() ? Pressed : Up;
}

void TqbGradiSpeedButton::Draw(QPainter& painter) const {
    const TqbGradiColors& c = *Colors();
    painter.fillRect(rect(), Color());
    painter.setFont(font());
    const TState state = State();
    int textColor = c.clrText;
    if (state == Up) {
        DrawGradient(painter, size(), m_roundDegree, m_verticalGradi, c,
                     Hot() ? c.clrMouseInBegin : c.clrBegin, Hot() ? c.clrMouseInEnd : c.clrEnd);
    } else {
        const bool disabled = state == Disabled;
        DrawFlatFace(painter, size(), m_roundDegree, ToColor(c.clrOutBorder),
                     ToColor(disabled ? c.clrDisabled : c.clrSelected));
        textColor = disabled ? c.clrDisaText : c.clrSelcText;
    }
    DrawIcon(painter, false);
    DrawCaption(painter, size(), CaptionText(text()), CapX(), CapY(),
                state == Pressed && !Images(), ToColor(textColor), m_fontRotate);
}

QImage TqbGradiSpeedButton::Render() const {
    return qbOffscreen::Render(size(), 1.0, [this](QPainter& p) { Draw(p); });
}

void TqbGradiSpeedButton::paintEvent(QPaintEvent* event) {
    if (!Colors()) {
        QToolButton::paintEvent(event);
        return;
    }
    qbOffscreen::Paint(*this, [this](QPainter& p) { Draw(p); });
}

bool TqbGradiSpeedButton::DoubleClicked() {
    if (!isSignalConnected(QMetaMethod::fromSignal(&TqbGradiSpeedButton::DblClick)))
        return false;
    emit DblClick();
    return true;
}
