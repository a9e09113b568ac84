#pragma once

#include "controls/qbDrawnButton.h"
#include "controls/qbGradiProps.h"

// A push button with a gradient face, rounded corners, light and dark inner edges, an optional
// icon, and looks for normal, hot, pressed, selected and disabled.
class TqbGradiButton : public TqbGradiProps<TqbDrawnButton> {
    Q_OBJECT
public:
    explicit TqbGradiButton(QWidget* parent = nullptr);

    int RoundDegree() const { return m_roundDegree; }
    void SetRoundDegree(int round) { Set(m_roundDegree, round); }
    // True: the colour runs left to right.
    bool VerticalGradi() const { return m_verticalGradi; }
    void SetVerticalGradi(bool vertical) { Set(m_verticalGradi, vertical); }
    bool Grayed() const { return m_grayed; }
    void SetGrayed(bool grayed) { Set(m_grayed, grayed); }
    bool Selected() const { return m_selected; }
    void SetSelected(bool selected) { Set(m_selected, selected); }
    // A small triangle in the top right corner.
    bool Marked() const { return m_marked; }
    void SetMarked(bool marked) { Set(m_marked, marked); }

protected:
    virtual void DrawGradient(QPainter& painter, int begin, int end) const;
    void DrawButton(QPainter& painter, bool pressed) const override;
    bool IsOwnerDrawn() const override { return Colors() != nullptr; }
    bool IsOpaque() const override { return true; }
    void ColorsChanged() override { OwnerDrawChanged(); }

private:
    int m_roundDegree = 3;
    bool m_verticalGradi = false;
    bool m_grayed = false;
    bool m_selected = false;
    bool m_marked = false;
};
