#include "controls/qbMenuBarLook.h"

#include <QAction>
#include <QHelpEvent>
#include <QMenuBar>
#include <QPainter>
#include <QToolTip>

void TqbMenuBarLook::Apply(QMenuBar* bar) {
    bar->installEventFilter(new TqbMenuBarLook(bar));
}

bool TqbMenuBarLook::eventFilter(QObject* watched, QEvent* event) {
    auto* bar = qobject_cast<QMenuBar*>(watched);
    if (!bar)
        return false;
    if (event->type() == QEvent::Paint) {
        // The bar paints itself first; the pressed look goes over it.
        static_cast<QObject*>(bar)->event(event);
        PaintChecked(bar);
        return true;
    }
    if (event->type() == QEvent::ToolTip)
        return ShowHint(bar, *static_cast<QHelpEvent*>(event));
    return false;
}

// A sunken frame over a shade of the highlight: pressed, yet the icon still shows.
void TqbMenuBarLook::PaintChecked(QMenuBar* bar) {
    QPainter painter(bar);
    const QPalette& palette = bar->palette();
    QColor shade = palette.color(QPalette::Highlight);
    shade.setAlpha(60);
    for (QAction* action : bar->actions()) {
        if (!action->isCheckable() || !action->isChecked() || !action->isVisible())
            continue;
        const QRect frame = bar->actionGeometry(action).adjusted(1, 1, -2, -2);
        if (!frame.isValid())
            continue;
        painter.fillRect(frame, shade);
        painter.setPen(palette.color(QPalette::Dark));
        painter.drawLine(frame.topLeft(), frame.topRight());
        painter.drawLine(frame.topLeft(), frame.bottomLeft());
        painter.setPen(palette.color(QPalette::Light));
        painter.drawLine(frame.bottomLeft(), frame.bottomRight());
        painter.drawLine(frame.topRight(), frame.bottomRight());
    }
}

// Items with a menu or a caption of their own say what they are; the others show their hint.
bool TqbMenuBarLook::ShowHint(QMenuBar* bar, const QHelpEvent& help) {
    QAction* action = bar->actionAt(help.pos());
    if (action && !action->menu() && action->text().isEmpty() && !action->toolTip().isEmpty()) {
        QToolTip::showText(help.globalPos(), action->toolTip(), bar, bar->actionGeometry(action));
        return true;
    }
    QToolTip::hideText();
    return false;
}
