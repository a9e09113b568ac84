#include "app/qbAppMessageFilter.h"

#include "app/qbShortcutBadges.h"
#include "editing/qbTypingGate.h"

#include <QApplication>
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
    // Text from an input method is typing as much as a plain key is.
    connect(&TqbTypingGate::Instance(), &TqbTypingGate::Typed, this, [this] {
        if (m_hooks.State().MainWindowActive)
            m_hooks.SetNoteModified(true);
    });
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
        return KeyDown(static_cast<QKeyEvent*>(event), TqbTypingGate::Instance().KeyPressed());
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
        if (mouse->button() == Qt::LeftButton)
            QueueStyleCheck();
        return false;
    }
    default:
        return false;
    }
}

bool TqbAppMessageFilter::KeyDown(QKeyEvent* event, bool afterComposition) {
    TqbKeyState state = m_hooks.State();
    state.Composing = TqbTypingGate::Instance().Composing() || afterComposition;
    const TqbKeyDecision decision = qbKeyDecision::Decide(event->key(), event->modifiers(), state);
    if (decision.StartHintTimer && m_badges)
        m_badges->StartTimer();
    if (decision.NoteModified)
        m_hooks.SetNoteModified(*decision.NoteModified);
    if (decision.Command != TqbKeyCommand::None) {
        TqbTypingGate::Instance().CommitComposition();
        m_hooks.Run(decision.Command);
    }
    return decision.Handled;
}

bool TqbAppMessageFilter::TakesKey(const QKeyEvent* event) const {
    TqbKeyState state = m_hooks.State();
    const TqbTypingGate& typing = TqbTypingGate::Instance();
    state.Composing = typing.Composing() || typing.CompositionJustEnded();
    return qbKeyDecision::Decide(event->key(), event->modifiers(), state).Handled;
}

void TqbAppMessageFilter::KeyUp() {
    if (m_badges)
        m_badges->ShowShortcutHints(false);
    QueueStyleCheck();
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
