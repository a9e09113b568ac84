#pragma once

#include "app/qbKeyDecision.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QKeyEvent;
class TqbShortcutBadges;

// The one application-wide filter of keys and mouse presses (HandleAppMessage). It sees every
// key before the focused widget does, the HTML editor and the source view included, and carries
// out the program's own keys as qbKeyDecision decides them. After every left press, left
// release and key release it runs the style check once that event has reached its target (the
// page reports its selection only after it).
//
// Korean input: keys an input method takes for its composition never get here, and a syllable
// still being composed is committed before a command can take it away (the typing gate follows
// the composition and commits it before a click).
class TqbAppMessageFilter : public QObject {
    Q_OBJECT
public:
    struct THooks {
        std::function<TqbKeyState()> State;
        std::function<void(TqbKeyCommand)> Run;
        std::function<void(bool)> SetNoteModified;
        std::function<void()> StyleCheck;
    };

    TqbAppMessageFilter(THooks hooks, TqbShortcutBadges* badges, QObject* parent = nullptr);

    bool HandleAppMessage(QObject* watched, QEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool KeyDown(QKeyEvent* event, bool afterComposition);
    // Whether the key's press will be the program's own, never the focused widget's.
    bool TakesKey(const QKeyEvent* event) const;
    void KeyUp();
    void QueueStyleCheck();

    THooks m_hooks;
    TqbShortcutBadges* m_badges;
    bool m_styleCheckQueued = false;
};
