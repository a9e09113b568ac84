#include "controls/qbMenuBarLook.h"

#include <QAction>
#include <QHelpEvent>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOption>
#include <QToolTip>

TqbMenuBarLook::TqbMenuBarLook() : QProxyStyle(nullptr) {}

void TqbMenuBarLook::Apply(QMenuBar* bar) {
    auto* look = new TqbMenuBarLook;
    look->setParent(bar);
    bar->setStyle(look);
    bar->installEventFilter(look);
}

void TqbMenuBarLook::drawControl(ControlElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    const auto* bar = qobject_cast<const QMenuBar*>(widget);
    if (element != CE_MenuBarItem || !bar)
        return;
    const QAction* action = bar->actionAt(option->rect.center());
    if (!action || !action->isCheckable() || !action->isChecked())
        return;
    // A sunken frame over a shade of the highlight: pressed, yet the icon still shows.
    const QRect frame = option->rect.adjusted(1, 1, -2, -2);
    const QColor highlight = option->palette.color(QPalette::Highlight);
    QColor shade = highlight;
    shade.setAlpha(60);
    painter->save();
    painter->fillRect(frame, shade);
    painter->setPen(option->palette.color(QPalette::Dark));
    painter->drawLine(frame.topLeft(), frame.topRight());
    painter->drawLine(frame.topLeft(), frame.bottomLeft());
    painter->setPen(option->palette.color(QPalette::Light));
    painter->drawLine(frame.bottomLeft(), frame.bottomRight());
    painter->drawLine(frame.topRight(), frame.bottomRight());
    painter->restore();
}

bool TqbMenuBarLook::eventFilter(QObject* watched, QEvent* event) {
    auto* bar = qobject_cast<QMenuBar*>(watched);
    if (bar && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QAction* action = bar->actionAt(help->pos());
        // Items with a menu or a caption of their own say what they are.
        if (action && !action->menu() && action->text().isEmpty() &&
            !action->toolTip().isEmpty()) {
            QToolTip::showText(help->globalPos(), action->toolTip(), bar,
                               bar->actionGeometry(const_cast<QAction*>(action)));
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QProxyStyle::eventFilter(watched, event);
}
