#include "app/qbAppMessageFilter.h"

#include "app/qbShortcutBadges.h"
#include "editing/qbDhtmlEdit.h"

#include <QApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace {

// A key travels from the window to the focused widget and up its parents; it is decided once,
// where it first reaches a widget: the focused one, or the window itself when nothing has focus.
bool FirstKeyReceiver(QObject* watched) {
    if (!watched->isWidgetType())
        return false;
    const QWidget* focus = QApplication::focusWidget();
    return focus ? watched == focus : static_cast<QWidget*>(watched)->isWindow();
}

} // namespace

TqbAppMessageFilter::TqbAppMessageFilter(THooks hooks, TqbShortcutBadges* badges, QObject* parent)
    : QObject(parent), m_hooks(std::move(hooks)), m_badges(badges) {
    if (!m_hooks.Commit)
        m_hooks.Commit = [] { QGuiApplication::inputMethod()->commit(); };
    if (!m_hooks.Reset)
        m_hooks.Reset = [] { QGuiApplication::inputMethod()->reset(); };
}

bool TqbAppMessageFilter::eventFilter(QObject* watched, QEvent* event) {
    if (HandleAppMessage(watched, event))
        return true;
    return QObject::eventFilter(watched, event);
}

bool TqbAppMessageFilter::HandleAppMessage(QObject* watched, QEvent* event) {
    switch (event->type()) {
    // Keys handed on by the program itself (typed while a note loaded) were decided when typed.
    case QEvent::KeyPress:
        if (!event->spontaneous() || !FirstKeyReceiver(watched))
            return false;
        m_echo.clear();
        return KeyDown(static_cast<QKeyEvent*>(event), std::exchange(m_compositionJustEnded, false));
    case QEvent::ShortcutOverride:
        // The page arms an editing command (Ctrl+Insert copies) when it is offered a key's
        // shortcut; a key the program takes never reaches the page, and the armed command would
        // then run on the next key typed instead of its letter. The program claims such keys
        // first.
        if (!event->spontaneous() || !FirstKeyReceiver(watched) || !TakesKey(static_cast<QKeyEvent*>(event)))
            return false;
        event->accept();
        return true;
    case QEvent::KeyRelease:
        if (event->spontaneous() && FirstKeyReceiver(watched))
            KeyUp();
        return false;
    case QEvent::InputMethod: {
        if (TqbDhtmlEdit::HandingOverHeldInput())
            return false;
        const auto* input = static_cast<QInputMethodEvent*>(event);
        ++m_inputEvents;
        if (IsEcho(*input))
            return true;
        const bool wasComposing = m_composing;
        m_composing = !input->preeditString().isEmpty();
        // On a busy machine ibus may take the syllable off the screen while it still holds it;
        // it would commit it later, wherever the caret is by then.
        if (m_composing || !input->commitString().isEmpty())
            m_hiddenPreedit.clear();
        else if (wasComposing)
            m_hiddenPreedit = m_preedit;
        if (m_composing) {
            m_compositionJustEnded = false;
            m_composedIn = watched;
        } else if (wasComposing) {
            m_compositionJustEnded = true;
            m_endedWith = input->commitString();
            m_endedIn = watched;
        } else if (m_compositionJustEnded && !input->commitString().isEmpty()) {
            // Some input methods end a composition with an empty event and send its text after.
            m_endedWith = input->commitString();
            m_endedIn = watched;
        }
        if (m_composing)
            m_preedit = input->preeditString();
        // Text from an input method is typing as much as a plain key is.
        if ((m_composing || !input->commitString().isEmpty()) && m_hooks.State().MainWindowActive)
            m_hooks.SetNoteModified(true);
        return false;
    }
    case QEvent::FocusAboutToChange:
        // The platform commits a composition itself when the focus leaves its widget, and then
        // tells the input method to end it, which some answer with the syllable again.
        if (m_compositionJustEnded && watched == m_endedIn && !m_endedWith.isEmpty()) {
            m_echo = m_endedWith;
            m_forcedCommitSeen = true;
        }
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // The mouse's own back and forward buttons step through the notes opened, wherever
        // the pointer is in the main window; the release goes nowhere either.
        if (mouse->button() == Qt::BackButton || mouse->button() == Qt::ForwardButton) {
            if (!m_hooks.State().MainWindowActive)
                return false;
            if (event->type() == QEvent::MouseButtonPress)
                m_hooks.Run(mouse->button() == Qt::BackButton ? TqbKeyCommand::GoBack
                                                              : TqbKeyCommand::GoForward);
            return true;
        }
        // A click may save, switch the mode or move the caret: the syllable goes in first.
        if (event->type() == QEvent::MouseButtonPress) {
            CommitComposition();
            CommitHiddenComposition();
        }
        if (mouse->button() == Qt::LeftButton)
            QueueStyleCheck();
        return false;
    }
    default:
        return false;
    }
}

// Some Korean input methods commit the syllable again when they are told to end a composition
// that the application already ended by committing it: the click that ended it would type the
// syllable twice. The second, identical commit right after a forced one, before any new
// composition or key, is that echo.
bool TqbAppMessageFilter::IsEcho(const QInputMethodEvent& input) {
    if (m_echo.isEmpty())
        return false;
    const bool sameText = input.preeditString().isEmpty() && input.commitString() == m_echo &&
                          input.replacementLength() == 0;
    if (sameText && m_forcedCommitSeen) {
        m_echo.clear();
        return true;
    }
    if (sameText) {
        m_forcedCommitSeen = true; // the platform's own commit of the forced syllable
        return false;
    }
    if (!input.preeditString().isEmpty() || !input.commitString().isEmpty())
        m_echo.clear();
    return false;
}

bool TqbAppMessageFilter::KeyDown(QKeyEvent* event, bool afterComposition) {
    TqbKeyState state = m_hooks.State();
    state.Composing = m_composing || afterComposition;
    const TqbKeyDecision decision = qbKeyDecision::Decide(event->key(), event->modifiers(), state);
    if (decision.StartHintTimer && m_badges)
        m_badges->StartTimer();
    if (decision.NoteModified)
        m_hooks.SetNoteModified(*decision.NoteModified);
    if (decision.Command != TqbKeyCommand::None) {
        CommitComposition();
        m_hooks.Run(decision.Command);
    }
    return decision.Handled;
}

bool TqbAppMessageFilter::TakesKey(const QKeyEvent* event) const {
    TqbKeyState state = m_hooks.State();
    state.Composing = m_composing || m_compositionJustEnded;
    return qbKeyDecision::Decide(event->key(), event->modifiers(), state).Handled;
}

void TqbAppMessageFilter::KeyUp() {
    if (m_badges)
        m_badges->ShowShortcutHints(false);
    QueueStyleCheck();
}

void TqbAppMessageFilter::CommitComposition() {
    if (!m_composing)
        return;
    m_composing = false;
    // Some input methods answer a commit only with their next key, so the syllable would land
    // where the click that ended it put the caret. It goes in now, where it was composed, and the
    // input method forgets it; should it still send it later, that is the repeat dropped above.
    if (!AskPlatformToCommit(std::exchange(m_preedit, {})) && m_composedIn) {
        QInputMethodEvent commit;
        commit.setCommitString(m_echo);
        QCoreApplication::sendEvent(m_composedIn, &commit);
        m_hooks.Reset();
    }
    m_compositionJustEnded = false;
}

// Only the input method knows whether a syllable it took off the screen is still held (hidden)
// or gone (erased): its own commit puts in what it holds, where the syllable was composed. Its
// repeat of it afterwards is dropped as any echo is.
void TqbAppMessageFilter::CommitHiddenComposition() {
    if (m_composing || m_hiddenPreedit.isEmpty())
        return;
    if (!AskPlatformToCommit(std::exchange(m_hiddenPreedit, {})))
        m_echo.clear(); // nothing was held: nothing will be repeated
}

// The syllable is the one a repeat would bring; true when the platform answered at once.
bool TqbAppMessageFilter::AskPlatformToCommit(const QString& syllable) {
    m_echo = syllable;
    m_forcedCommitSeen = false;
    const quint64 seen = m_inputEvents;
    m_hooks.Commit();
    return m_inputEvents != seen;
}

void TqbAppMessageFilter::QueueStyleCheck() {
    if (m_styleCheckQueued || !m_hooks.StyleCheck)
        return;
    m_styleCheckQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_styleCheckQueued = false;
        m_hooks.StyleCheck();
    });
}
