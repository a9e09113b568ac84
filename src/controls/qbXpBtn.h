#pragma once

#include "controls/qbDrawnButton.h"
#include "controls/qbGradiProps.h"

// A glossy push button: a three-step face, and a glow while the pointer is over it or while it
// has the focus or is the default button.
class TqbXpButton : public TqbGradiProps<TqbDrawnButton> {
    Q_OBJECT
public:
    explicit TqbXpButton(QWidget* parent = nullptr);

    bool UseFocusedThick() const { return m_useFocusedThick; }
    void SetUseFocusedThick(bool use) { Set(m_useFocusedThick, use); }

protected:
    virtual void DrawFace(QPainter& painter, int begin, int end) const;
    virtual void DrawGlow(QPainter& painter, int begin, int end) const;
    void DrawButton(QPainter& painter, bool pressed) const override;
    bool IsOwnerDrawn() const override { return Colors() != nullptr; }
    bool IsOpaque() const override { return true; }
    void ColorsChanged() override { OwnerDrawChanged(); }

private:
    bool m_useFocusedThick = true;
};
