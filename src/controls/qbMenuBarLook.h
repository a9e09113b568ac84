#pragma once

#include <QObject>

class QHelpEvent;
class QMenuBar;

// A menu bar whose checkable items look pressed while checked, as buttons of a radio group do,
// and show their hints as tooltips (a menu bar shows neither by itself). It only adds to what
// the bar paints: the bar keeps its style, and with it its size.
class TqbMenuBarLook : public QObject {
    Q_OBJECT
public:
    // Gives the bar this look; the look belongs to the bar.
    static void Apply(QMenuBar* bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
    static void PaintChecked(QMenuBar* bar);
    static bool ShowHint(QMenuBar* bar, const QHelpEvent& help);
};
