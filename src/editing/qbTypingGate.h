#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

class QEvent;
class QInputMethodEvent;
class TqbPageTyping;

// The one owner of typing: it follows the input method's composition in whatever widget shows
// it, commits it before a click can take it away, drops an input method's repeat of a commit,
// and lets each note page hold what is typed for it until it is ready (TqbPageTyping). One for
// the program; it decides by the order of events, never by a pause.
class TqbTypingGate : public QObject {
    Q_OBJECT
public:
    // How the platform's input method is told things; its own by default.
    struct TInputMethod {
        std::function<void()> Commit; // end the composition, keeping its text
        std::function<void()> Reset;  // drop it without a word
        // Hands a key to the input method as if it was typed now; false when it does not take
        // it (no input method, or a key it passes on at once).
        std::function<bool(QEvent*)> Filter;
        // Asks the focused widget again whether it takes compositions, and lets it have them.
        std::function<void()> Refocus;
    };

    static TqbTypingGate& Instance();
    // Tests stand in for the platform's input method.
    void SetInputMethod(TInputMethod inputMethod);

    // A composition in a widget that is gone is gone with it.
    bool Composing() const { return m_composing && m_composedIn; }
    // The syllable being composed; empty when none is.
    QString CompositionText() const { return Composing() ? m_preedit : QString(); }
    // Commits the syllable being composed, if any, into the widget that shows it.
    void CommitComposition();
    // A key reached the program; whether it came right after a composition ended (the input
    // method may send a key on as its own then).
    bool KeyPressed();
    bool CompositionJustEnded() const { return m_compositionJustEnded && m_endedIn; }

    // Gives a held key to the input method, as if typed now; false when it did not take it.
    bool TypeThroughInputMethod(QEvent* key);
    // A page that was kept from the input method while it settled now takes compositions.
    void LetInputMethodIn() { m_im.Refocus(); }
    // Held typing given to its page was seen when it was typed: it is no new typing.
    void Deliver(QObject* target, QEvent* event);

    void Add(TqbPageTyping* page);
    void Remove(TqbPageTyping* page);

signals:
    // An input method put text or a composition into a widget: typing, as a plain key is.
    void Typed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TqbTypingGate();
    bool FollowInputMethod(QObject* watched, const QInputMethodEvent& input);
    bool IsEcho(const QInputMethodEvent& input);

    TInputMethod m_im;
    std::vector<TqbPageTyping*> m_pages;
    bool m_delivering = false;

    bool m_composing = false;
    bool m_compositionJustEnded = false;
    QString m_preedit;              // the syllable being composed
    QPointer<QObject> m_composedIn; // the widget that shows it
    quint64 m_inputEvents = 0;      // input-method events seen, to tell whether a commit came
    // A composition the program ended: its syllable, until the input method's repeat of it.
    QString m_echo;
    bool m_forcedCommitSeen = false;
    // The text and the widget of the composition that ended last.
    QString m_endedWith;
    QPointer<QObject> m_endedIn;
};
