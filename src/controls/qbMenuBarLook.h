#pragma once

#include <QProxyStyle>

class QMenuBar;

// A menu bar whose checkable items look pressed while checked, as buttons of a radio group do,
// and show their hints as tooltips (a menu bar shows neither by itself).
class TqbMenuBarLook : public QProxyStyle {
    Q_OBJECT
public:
    // Gives the bar this look; the look belongs to the bar.
    static void Apply(QMenuBar* bar);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TqbMenuBarLook();
};
