#include "editing/qbTypingCatcher.h"

#include <QRect>

TqbTypingCatcher::TqbTypingCatcher(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_InputMethodEnabled);
    setFocusPolicy(Qt::NoFocus); // only the editor gives it the keys
    // Shown, so it can have the focus, but under the page, where nobody sees it.
    setGeometry(0, 0, 1, 1);
    lower();
}

QVariant TqbTypingCatcher::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        // The candidate window opens where the page begins, where the keys will land.
        return QRect(0, 0, 1, fontMetrics().height());
    case Qt::ImSurroundingText:
    case Qt::ImCurrentSelection:
        return QString();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
        return 0;
    case Qt::ImHints:
        return int(Qt::ImhMultiLine);
    default:
        return QWidget::inputMethodQuery(query);
    }
}
