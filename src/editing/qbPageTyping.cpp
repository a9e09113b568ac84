#include "editing/qbPageTyping.h"

#include "editing/qbTypingCatcher.h"
#include "editing/qbTypingGate.h"

#include <QApplication>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <utility>

TqbPageTyping::TqbPageTyping(QWidget* editor, TPage page)
    : m_editor(editor), m_page(std::move(page)), m_catcher(new TqbTypingCatcher(editor)) {
    TqbTypingGate::Instance().Add(this);
}

TqbPageTyping::~TqbPageTyping() {
    TqbTypingGate::Instance().Remove(this);
}

bool TqbPageTyping::IsInsideView(const QObject* object) const {
    const auto* widget = qobject_cast<const QWidget*>(object);
    QWidget* view = m_page.View();
    return widget && view && (widget == view || view->isAncestorOf(widget));
}

bool TqbPageTyping::TakesTyping(const QObject* object) const {
    return object && (object == m_catcher || IsInsideView(object));
}

bool TqbPageTyping::Filter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::InputMethodQuery)
        return KeepInputMethodOut(watched, event);
    if (m_ready && !m_handingOver) {
        if (!SettledFor(watched, event)) {
            m_held.push_back(std::unique_ptr<QEvent>(event->clone()));
            HandOver();
            return true;
        }
        return TypedAsText(watched, event);
    }
    bool edits = false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
        // Typing that starts while the document loads is meant for it: kept until it is ready.
        if (HoldsInput() && TakesTyping(watched) && m_held.size() < MaxHeldInput) {
            m_held.push_back(std::unique_ptr<QEvent>(event->clone()));
            return true;
        }
        edits = event->type() != QEvent::KeyRelease;
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::ContextMenu:
        edits = true;
        break;
    case QEvent::MouseButtonPress:
        // The middle button pastes the X11 selection.
        edits = static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
        break;
    default:
        break;
    }
    // Typing while no document is ready would go into a page that is never saved.
    return edits && !m_ready && TakesTyping(watched);
}

// The engine takes one UTF-16 unit of a key's text: a character beyond the basic plane (an emoji
// from a key event, not through an input method) would lose its high bits. Such text goes in as
// an input method's commit, which the engine takes whole.
bool TqbPageTyping::TypedAsText(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !IsInsideView(watched))
        return false;
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (!std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSurrogate(); }))
        return false;
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(watched, &commit);
    return true;
}

void TqbPageTyping::LoadStarted(bool blank) {
    ++m_load;
    m_ready = false;
    if (std::exchange(m_handingOver, false))
        emit HandedOver();
    m_loading = !blank;
    if (TakesTyping(QApplication::focusWidget()))
        m_focusWanted = true;
    if (blank) {
        // Typed for a document that will not be shown after all: nowhere to go.
        m_held.clear();
        m_focusWanted = false;
        if (QApplication::focusWidget() == m_catcher && m_page.View())
            m_page.View()->setFocus(Qt::OtherFocusReason);
        return;
    }
    AimKeys();
}

void TqbPageTyping::WantFocus() {
    m_focusWanted = true;
    AimKeys();
}

// Keys typed for the page while it loads go to the catcher: the engine may replace the page's
// widget meanwhile, and the page's own input-method state changes as it becomes editable.
void TqbPageTyping::AimKeys() {
    if (m_focusWanted && m_loading && QApplication::focusWidget() != m_catcher)
        m_catcher->setFocus(Qt::OtherFocusReason);
}

void TqbPageTyping::PageReady(bool caretAsked, bool caretPlaced) {
    m_loading = false;
    m_ready = true;
    QWidget* now = QApplication::focusWidget();
    const bool fromCatcher = now == m_catcher;
    // The focus goes to the page, unless the user took it elsewhere meanwhile.
    if (std::exchange(m_focusWanted, false) &&
        (!now || now == m_editor->window() || now == m_editor || TakesTyping(now)))
        m_page.View()->setFocus(Qt::OtherFocusReason);
    if (caretAsked && (!caretPlaced || fromCatcher))
        m_page.PutCaretBack();
    HandOver();
}

// Until the page has the focus and takes compositions, keys for it are held and the input method
// kept out: they go through it, in order, once the page is there to compose them.
void TqbPageTyping::HandOver() {
    m_handingOver = true;
    CheckPageFocus(m_load, MaxFocusChecks);
}

// A key for an editable page that does not yet take compositions (it has just been given the
// focus, or become editable) would go in as a Latin letter.
bool TqbPageTyping::SettledFor(QObject* watched, QEvent* event) const {
    if (event->type() != QEvent::KeyPress || !IsInsideView(watched) || !m_page.Editing())
        return true;
    return FocusTakesComposition();
}

// While the page's typing is held the page takes no composition: the input method asks before
// it composes anything, and the keys then come as typed.
bool TqbPageTyping::KeepInputMethodOut(QObject* watched, QEvent* event) {
    auto* query = static_cast<QInputMethodQueryEvent*>(event);
    if (m_askingPage || !HoldsInput() || !(query->queries() & Qt::ImEnabled) ||
        !IsInsideView(watched))
        return false;
    m_askingPage = true;
    QCoreApplication::sendEvent(watched, query);
    m_askingPage = false;
    query->setValue(Qt::ImEnabled, false);
    return true;
}

// Keys reach the page's document only once its process has heard of the focus, and syllables
// compose there only once the input method has heard the page takes them: until both, the
// typing stays held. Each check is one more answer from the page.
void TqbPageTyping::CheckPageFocus(quint64 load, int checksLeft) {
    QPointer<TqbPageTyping> self(this);
    m_page.AskFocused([this, self, load, checksLeft](bool focused) {
        if (!self || load != m_load || !m_handingOver)
            return;
        const bool settled = focused && (!m_page.Editing() || FocusTakesComposition());
        QWidget* view = m_page.View();
        if (!settled && checksLeft > 0 && view && view->hasFocus()) {
            CheckPageFocus(load, checksLeft - 1);
            return;
        }
        Deliver();
    });
}

bool TqbPageTyping::FocusTakesComposition() const {
    QObject* focus = QGuiApplication::focusObject();
    if (!focus)
        return false;
    QInputMethodQueryEvent query(Qt::ImEnabled);
    const bool outer = std::exchange(m_askingPage, true);
    QCoreApplication::sendEvent(focus, &query);
    m_askingPage = outer;
    return query.value(Qt::ImEnabled).toBool();
}

void TqbPageTyping::Deliver() {
    m_handingOver = false;
    const auto done = qScopeGuard([this] { emit HandedOver(); });
    QWidget* view = m_page.View();
    if (!view) {
        m_held.clear();
        return;
    }
    QWidget* target = view->focusProxy() ? view->focusProxy() : view;
    const bool throughInputMethod =
        m_page.Editing() && target->hasFocus() && FocusTakesComposition();
    TqbTypingGate& gate = TqbTypingGate::Instance();
    if (target->hasFocus())
        gate.LetInputMethodIn();
    for (auto& event : std::exchange(m_held, {})) {
        const bool key =
            event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
        if (key && throughInputMethod && gate.TypeThroughInputMethod(event.get()))
            continue;
        gate.Deliver(target, event.get());
    }
}

void TqbPageTyping::LoadFailed() {
    m_held.clear();
    m_focusWanted = false;
    m_loading = false;
    m_ready = false;
    if (std::exchange(m_handingOver, false))
        emit HandedOver();
}

// Waits, user input held back, until the page has taken what was typed for it: keys given to a
// page before its process heard of the focus are lost.
void TqbPageTyping::Flush() {
    if (!m_handingOver)
        return;
    QEventLoop loop;
    connect(this, &TqbPageTyping::HandedOver, &loop, &QEventLoop::quit);
    // A page whose process died answers nothing: the typing goes in anyway then.
    QTimer::singleShot(FlushLimitMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (m_handingOver)
        Deliver();
}
