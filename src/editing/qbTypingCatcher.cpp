#include "editing/qbTypingCatcher.h"

TqbTypingCatcher::TqbTypingCatcher(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus); // only the editor gives it the keys
    // Shown, so it can have the focus, but under the page, where nobody sees it.
    setGeometry(0, 0, 1, 1);
    lower();
}
