#pragma once

#include "app/qbKeyDecision.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QInputMethodEvent;
class QKeyEvent;
class TqbShortcutBadges;

// The one application-wide filter of keys and mouse presses (HandleAppMessage). It sees every
// key before the focused widget does, the HTML editor and the source view included, and carries
// out the program's own keys as qbKeyDecision decides them. After every left press, left
// release and key release it runs the style check once that event has reached its target (the
// page reports its selection only after it).
//
// Korean input: keys an input method takes for its composition never get here, and a syllable
// still being composed is committed before a command or a click can take it away.
class TqbAppMessageFilter : public QObject {
    Q_OBJECT
public:
    struct THooks {
        std::function<TqbKeyState()> State;
        std::function<void(TqbKeyCommand)> Run;
        std::function<void(bool)> SetNoteModified;
        std::function<void()> StyleCheck;
        // Ends the input method's composition, keeping its text; the platform's own by default.
        std::function<void()> Commit;
        // Makes the input method drop its composition without a word; the platform's own reset
        // by default. Used when Commit put no text anywhere: the filter has typed it itself.
        std::function<void()> Reset;
    };

    TqbAppMessageFilter(THooks hooks, TqbShortcutBadges* badges, QObject* parent = nullptr);

    // Whether an input method shows a syllable still being composed.
    bool Composing() const { return m_composing; }
    // The syllable being composed; empty when none is.
    QString CompositionText() const { return m_composing ? m_preedit : QString(); }
    // The syllable the input method may still hold: the one shown, or the last one it took off
    // the screen without a word (it may only have hidden it).
    QString PendingSyllable() const { return m_composing ? m_preedit : m_hiddenPreedit; }
    // Commits the syllable being composed, if any, into the widget that shows it.
    void CommitComposition();

    bool HandleAppMessage(QObject* watched, QEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool KeyDown(QKeyEvent* event, bool afterComposition);
    // Whether the key's press will be the program's own, never the focused widget's.
    bool TakesKey(const QKeyEvent* event) const;
    bool IsEcho(const QInputMethodEvent& input);
    void KeyUp();
    void QueueStyleCheck();
    void CommitHiddenComposition();
    bool AskPlatformToCommit(const QString& syllable);

    THooks m_hooks;
    TqbShortcutBadges* m_badges;
    bool m_styleCheckQueued = false;
    bool m_composing = false;
    // The input method ended its composition and no key has come since.
    bool m_compositionJustEnded = false;
    QString m_preedit; // the syllable being composed
    QString m_hiddenPreedit; // a composition cleared from the screen with nothing committed
    QPointer<QObject> m_composedIn; // the widget that shows it
    quint64 m_inputEvents = 0;      // input-method events seen, to tell whether a commit came
    // A composition the program ended: its syllable, until the input method's repeat of it.
    QString m_echo;
    bool m_forcedCommitSeen = false;
    // The text and the widget of the composition that ended last.
    QString m_endedWith;
    const QObject* m_endedIn = nullptr;
};
