#pragma once

#include <QWidget>

// Has the keys, and an input method's composition, while the page they are meant for loads: the
// engine may replace the page's widget meanwhile and ends a composition at each turn of a load,
// so a Korean syllable typed across it would break. It shows nothing and keeps nothing itself;
// the editor holds what reaches it and hands it to the page once that is ready.
class TqbTypingCatcher : public QWidget {
    Q_OBJECT
public:
    explicit TqbTypingCatcher(QWidget* parent);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
};
