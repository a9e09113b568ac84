#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

class QLabel;
class QTimer;
class QWidget;

// The small maroon letters that show which keys are shortcuts: shown after Ctrl has been held
// for a second (tmr1Sec), hidden on any key release and when the window loses the activation.
class TqbShortcutBadges : public QObject {
    Q_OBJECT
public:
    static constexpr int HintDelay = 1000;
    static constexpr int BadgeWidth = 11;
    static constexpr int BadgeHeight = 12;

    // window: its deactivation hides the badges.
    explicit TqbShortcutBadges(QWidget* window, QObject* parent = nullptr);

    // A badge with the letter over the top edge of control, drawn on panel (an ancestor of
    // control, so the badge hides with it).
    QLabel* Add(const QString& letter, QWidget* control, QWidget* panel);

    QTimer* Timer() const { return m_tmr1Sec; }
    // Turns tmr1Sec on; a key held down and repeating keeps its first start.
    void StartTimer();
    // Shows or hides every badge; hiding also turns tmr1Sec off.
    void ShowShortcutHints(bool show);
    bool Showing() const { return m_showing; }
    QList<QLabel*> Badges() const;

    // Where a badge goes over a control at controlRect in a panel of panelSize: on the control's
    // top edge one pixel in from its left, kept inside the panel.
    static QRect BadgePlace(const QRect& controlRect, const QSize& panelSize);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TBadge {
        QPointer<QLabel> Label;
        QPointer<QWidget> Control;
    };
    void Place(const TBadge& badge) const;

    QWidget* m_window;
    QTimer* m_tmr1Sec;
    QList<TBadge> m_badges;
    bool m_showing = false;
};
