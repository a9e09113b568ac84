#pragma once

#include <QWidget>

// Has the keys while the page they are meant for loads, with the input method off: the keys
// come as typed, and go through the input method once the page is ready. It shows nothing and
// keeps nothing itself.
class TqbTypingCatcher : public QWidget {
    Q_OBJECT
public:
    explicit TqbTypingCatcher(QWidget* parent);
};
