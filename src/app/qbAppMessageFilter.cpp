#include "app/qbAppMessageFilter.h"

#include "app/qbShortcutBadges.h"

#include <QApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

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
}

bool TqbAppMessageFilter::eventFilter(QObject* watched, QEvent* event) {
    if (HandleAppMessage(watched, event))
        return true;
    return QObject::eventFilter(watched, event);
}

bool TqbAppMessageFilter::HandleAppMessage(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        return FirstKeyReceiver(watched) && KeyDown(static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease:
        if (FirstKeyReceiver(watched))
            KeyUp();
        return false;
    case QEvent::InputMethod: {
        const auto* input = static_cast<QInputMethodEvent*>(event);
        m_composing = !input->preeditString().isEmpty();
        // Text from an input method is typing as much as a plain key is.
        if ((m_composing || !input->commitString().isEmpty()) && m_hooks.State().MainWindowActive)
            m_hooks.SetNoteModified(true);
        return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // A click may save, switch the mode or move the caret: the syllable goes in first.
        if (event->type() == QEvent::MouseButtonPress)
            CommitComposition();
        if (mouse->button() == Qt::LeftButton)
            QueueStyleCheck();
        return false;
    }
    default:
        return false;
    }
}

bool TqbAppMessageFilter::KeyDown(QKeyEvent* event) {
    const TqbKeyDecision decision =
        qbKeyDecision::Decide(event->key(), event->modifiers(), m_hooks.State());
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

void TqbAppMessageFilter::KeyUp() {
    if (m_badges)
        m_badges->ShowShortcutHints(false);
    QueueStyleCheck();
}

void TqbAppMessageFilter::CommitComposition() {
    if (!m_composing)
        return;
    m_composing = false;
    m_hooks.Commit();
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
