#include "editing/qbTypingGate.h"

#include "editing/qbPageTyping.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <private/qguiapplication_p.h>
#include <qpa/qplatforminputcontext.h>
#include <qpa/qplatformintegration.h>
#include <utility>

namespace {

// A key held back goes to the input method as the platform would have given it: only a key
// that came from the keyboard carries what the input method reads of it.
QPlatformInputContext* PlatformInputContext() {
    QPlatformIntegration* platform = QGuiApplicationPrivate::platformIntegration();
    QPlatformInputContext* context = platform ? platform->inputContext() : nullptr;
    return context && context->isValid() ? context : nullptr;
}

bool PlatformFilter(QEvent* event) {
    const auto* key = static_cast<QKeyEvent*>(event);
    QPlatformInputContext* context = PlatformInputContext();
    return key->nativeScanCode() != 0 && context && context->filterEvent(event);
}

// The platform notes whether the focus takes compositions when the focus moves, and some input
// methods start composing for a widget only then.
void PlatformRefocus() {
    QGuiApplication::inputMethod()->update(Qt::ImEnabled);
    if (QPlatformInputContext* context = PlatformInputContext())
        context->setFocusObject(QGuiApplication::focusObject());
}

} // namespace

TqbTypingGate& TqbTypingGate::Instance() {
    static QPointer<TqbTypingGate> gate;
    if (!gate) {
        gate = new TqbTypingGate;
        gate->setParent(QCoreApplication::instance());
    }
    return *gate;
}

TqbTypingGate::TqbTypingGate() {
    SetInputMethod({});
    QCoreApplication::instance()->installEventFilter(this);
}

void TqbTypingGate::SetInputMethod(TInputMethod inputMethod) {
    m_im = std::move(inputMethod);
    if (!m_im.Commit)
        m_im.Commit = [] { QGuiApplication::inputMethod()->commit(); };
    if (!m_im.Reset)
        m_im.Reset = [] { QGuiApplication::inputMethod()->reset(); };
    if (!m_im.Filter)
        m_im.Filter = PlatformFilter;
    if (!m_im.Refocus)
        m_im.Refocus = PlatformRefocus;
}

void TqbTypingGate::Add(TqbPageTyping* page) {
    m_pages.push_back(page);
}

void TqbTypingGate::Remove(TqbPageTyping* page) {
    m_pages.erase(std::remove(m_pages.begin(), m_pages.end(), page), m_pages.end());
}

bool TqbTypingGate::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::InputMethod:
        if (!m_delivering && FollowInputMethod(watched, *static_cast<QInputMethodEvent*>(event)))
            return true;
        break;
    case QEvent::FocusAboutToChange:
        // The platform commits a composition itself when the focus leaves its widget, and then
        // tells the input method to end it, which some answer with the syllable again.
        if (m_compositionJustEnded && watched == m_endedIn && !m_endedWith.isEmpty()) {
            m_echo = m_endedWith;
            m_forcedCommitSeen = true;
        }
        break;
    case QEvent::MouseButtonPress:
        // A click may save, switch the mode or move the caret: the syllable goes in first,
        // where it was composed, before the press reaches anything.
        if (!m_delivering)
            CommitComposition();
        break;
    default:
        break;
    }
    for (TqbPageTyping* page : m_pages)
        if (page->Filter(watched, event))
            return true;
    return QObject::eventFilter(watched, event);
}

bool TqbTypingGate::FollowInputMethod(QObject* watched, const QInputMethodEvent& input) {
    ++m_inputEvents;
    if (IsEcho(input))
        return true;
    const bool wasComposing = m_composing;
    m_composing = !input.preeditString().isEmpty();
    if (m_composing) {
        m_compositionJustEnded = false;
        m_composedIn = watched;
        m_preedit = input.preeditString();
    } else if (wasComposing) {
        m_compositionJustEnded = true;
        m_endedWith = input.commitString();
        m_endedIn = watched;
    } else if (m_compositionJustEnded && !input.commitString().isEmpty()) {
        // Some input methods end a composition with an empty event and send its text after.
        m_endedWith = input.commitString();
        m_endedIn = watched;
    }
    if (m_composing || !input.commitString().isEmpty())
        emit Typed();
    return false;
}

// Some Korean input methods commit the syllable again when they are told to end a composition
// that the program already ended by committing it: the click that ended it would type the
// syllable twice. The second, identical commit right after a forced one, before any new
// composition or key, is that repeat.
bool TqbTypingGate::IsEcho(const QInputMethodEvent& input) {
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

bool TqbTypingGate::KeyPressed() {
    m_echo.clear();
    const bool justEnded = CompositionJustEnded();
    m_compositionJustEnded = false;
    return justEnded;
}

void TqbTypingGate::CommitComposition() {
    if (!Composing())
        return;
    m_composing = false;
    m_echo = std::exchange(m_preedit, {});
    m_forcedCommitSeen = false;
    const quint64 seen = m_inputEvents;
    m_im.Commit();
    // Some input methods answer a commit only with their next key, so the syllable would land
    // where the click that ended it put the caret. It goes in now, where it was composed, and the
    // input method forgets it; should it still send it later, that is the repeat dropped above.
    if (m_inputEvents == seen && m_composedIn) {
        QInputMethodEvent commit;
        commit.setCommitString(m_echo);
        QCoreApplication::sendEvent(m_composedIn, &commit);
        m_im.Reset();
    }
    m_compositionJustEnded = false;
}

bool TqbTypingGate::TypeThroughInputMethod(QEvent* key) {
    return m_im.Filter(key);
}

void TqbTypingGate::Deliver(QObject* target, QEvent* event) {
    const bool outer = std::exchange(m_delivering, true);
    QCoreApplication::sendEvent(target, event);
    m_delivering = outer;
}
