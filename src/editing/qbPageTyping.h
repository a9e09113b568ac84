#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

class QEvent;
class QWidget;
class TqbTypingCatcher;

// What is typed for one note page while it is not ready. Keys typed while the page loads reach
// the catcher with the input method off, as plain keys: composing them anywhere but in the page
// would break the syllable at the hand-over, since a change of focus ends a composition. Once the
// page says it is ready and has the focus they go, in the order typed, through the input method
// into the page, so syllables are composed where they land.
class TqbPageTyping : public QObject {
    Q_OBJECT
public:
    struct TPage {
        std::function<QWidget*()> View;  // the page's widget; null while there is none
        std::function<bool()> Editing;   // whether the page takes typing as text
        // Asks the page whether its document has the keyboard focus; the answer comes later.
        std::function<void(std::function<void(bool)>)> AskFocused;
        // Puts the caret again where the load put it: a page that had no focus may not keep it.
        std::function<void()> PutCaretBack;
    };

    // editor: the widget that shows the page; it parents the catcher.
    TqbPageTyping(QWidget* editor, TPage page);
    ~TqbPageTyping() override;

    // Whether typing in the widget is meant for the page (the page's own or the catcher).
    bool TakesTyping(const QObject* object) const;
    bool IsInsideView(const QObject* object) const;

    // A new document starts loading; blank: an empty page that takes no typing.
    void LoadStarted(bool blank);
    // The focus belongs in the page once it is ready: typing meanwhile is held.
    void WantFocus();
    // The document is ready. caretAsked: the caret was to be placed (the start of the body or a
    // kept place), which the page did (caretPlaced) unless it had no focus then.
    void PageReady(bool caretAsked, bool caretPlaced);
    // The load failed or the page is gone: what was typed for it has nowhere to go.
    void LoadFailed();
    // Before a call into the page: what was typed before it goes in first.
    void Flush();
    bool HoldsInput() const { return m_loading || m_handingOver; }
    bool Ready() const { return m_ready; }

    // The gate's view of an event; true when it was held or refused.
    bool Filter(QObject* watched, QEvent* event);

signals:
    // What was held has gone to the page, or has nowhere to go any more.
    void HandedOver();

private:
    bool TypedAsText(QObject* watched, QEvent* event);
    void HandOver();
    bool SettledFor(QObject* watched, QEvent* event) const;
    bool KeepInputMethodOut(QObject* watched, QEvent* event);
    void AimKeys();
    void CheckPageFocus(quint64 load, int checksLeft);
    bool FocusTakesComposition() const;
    void Deliver();

    QWidget* m_editor;
    TPage m_page;
    TqbTypingCatcher* m_catcher;
    bool m_loading = false;
    bool m_ready = false;
    bool m_handingOver = false; // ready, the held typing not yet given to the page
    bool m_focusWanted = false;
    quint64 m_load = 0;
    mutable bool m_askingPage = false; // the page's own answer is wanted, not the held one
    static constexpr size_t MaxHeldInput = 10000;
    std::vector<std::unique_ptr<QEvent>> m_held;
    // The page's process may hear of the focus later than the widget does.
    static constexpr int MaxFocusChecks = 50;
    static constexpr int FlushLimitMs = 10000;
};
