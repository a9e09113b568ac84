#pragma once

#include "controls/qbGradiProps.h"
#include "controls/qbHotButton.h"

#include <QToolButton>

// A window-less button that can stay down, alone or in a group whose buttons release each
// other, painted with the gradient face when it has a colour set.
class TqbGradiSpeedButton : public TqbGradiProps<TqbHotButton<QToolButton>> {
    Q_OBJECT
public:
    enum TState { Up, Disabled, Pressed, Exclusive };

    explicit TqbGradiSpeedButton(QWidget* parent = nullptr);

    // Buttons of one parent with the same non-zero index release each other; 0 never stays down.
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int index);
    bool Down() const { return isChecked(); }
    // Refused for a down button unless AllowAllUp; a button going down releases its group.
    void SetDown(bool down);
    bool AllowAllUp() const { return m_allowAllUp; }
    void SetAllowAllUp(bool allow) { m_allowAllUp = allow; }

    int RoundDegree() const { return m_roundDegree; }
    void SetRoundDegree(int round) { Set(m_roundDegree, round); }
    bool VerticalGradi() const { return m_verticalGradi; }
    void SetVerticalGradi(bool vertical) { Set(m_verticalGradi, vertical); }
    // The caption's angle in tenths of a degree, counter-clockwise; 0 or less is level.
    int FontRotate() const { return m_fontRotate; }
    void SetFontRotate(int angle) { Set(m_fontRotate, angle); }

    TState State() const;
    QImage Render() const;

signals:
    void DblClick();

protected:
    void nextCheckState() override;
    void paintEvent(QPaintEvent* event) override;
    bool DoubleClicked() override;

private:
    void Draw(QPainter& painter) const;

    int m_groupIndex = 0;
    bool m_allowAllUp = false;
    int m_roundDegree = 3;
    bool m_verticalGradi = false;
    int m_fontRotate = 0;
};
