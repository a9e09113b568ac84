#include "app/qbShortcutBadges.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace {

QFont BadgeFont() {
    QFont font;
    font.setFamilies({QStringLiteral("굴림체"), QStringLiteral("GulimChe"),
                      QStringLiteral("NanumGothicCoding"), QStringLiteral("NanumGothic"),
                      QStringLiteral("monospace")});
    font.setPixelSize(11);
    font.setBold(true);
    return font;
}

} // namespace

TqbShortcutBadges::TqbShortcutBadges(QWidget* window, QObject* parent)
    : QObject(parent ? parent : window), m_window(window) {
    m_tmr1Sec = new QTimer(this);
    m_tmr1Sec->setObjectName("tmr1Sec");
    m_tmr1Sec->setInterval(HintDelay);
    connect(m_tmr1Sec, &QTimer::timeout, this, [this] { ShowShortcutHints(true); });
    m_window->installEventFilter(this);
}

QLabel* TqbShortcutBadges::Add(const QString& letter, QWidget* control, QWidget* panel) {
    auto* label = new QLabel(letter, panel);
    label->setObjectName(QStringLiteral("badge") + letter);
    label->setFont(BadgeFont());
    label->setAlignment(Qt::AlignCenter);
    // A plain frame takes the text's colour; the single border is the window frame's black.
    label->setStyleSheet(QStringLiteral(
        "QLabel { background: #800000; color: white; border: 1px solid black; padding: 0; }"));
    label->setFixedSize(BadgeWidth, BadgeHeight);
    // Only a picture: clicks go to the control below.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->hide();
    m_badges.append({label, control});
    return label;
}

QList<QLabel*> TqbShortcutBadges::Badges() const {
    QList<QLabel*> labels;
    for (const TBadge& badge : m_badges)
        if (badge.Label)
            labels << badge.Label;
    return labels;
}

void TqbShortcutBadges::StartTimer() {
    if (!m_tmr1Sec->isActive())
        m_tmr1Sec->start();
}

void TqbShortcutBadges::ShowShortcutHints(bool show) {
    m_showing = show;
    if (!show)
        m_tmr1Sec->stop();
    for (const TBadge& badge : m_badges) {
        if (!badge.Label)
            continue;
        if (show) {
            // The controls move with the layout; the badge follows at the moment it shows.
            Place(badge);
            badge.Label->raise();
        }
        badge.Label->setVisible(show);
    }
}

void TqbShortcutBadges::Place(const TBadge& badge) const {
    QWidget* panel = badge.Label->parentWidget();
    if (!badge.Control || !panel || !panel->isAncestorOf(badge.Control))
        return;
    const QRect control(badge.Control->mapTo(panel, QPoint(0, 0)), badge.Control->size());
    badge.Label->setGeometry(BadgePlace(control, panel->size()));
}

QRect TqbShortcutBadges::BadgePlace(const QRect& controlRect, const QSize& panelSize) {
    const int x = qBound(0, controlRect.left() + 1, qMax(0, panelSize.width() - BadgeWidth));
    const int y =
        qBound(0, controlRect.top() - BadgeHeight / 2, qMax(0, panelSize.height() - BadgeHeight));
    return QRect(x, y, BadgeWidth, BadgeHeight);
}

bool TqbShortcutBadges::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::WindowDeactivate)
        ShowShortcutHints(false);
    return QObject::eventFilter(watched, event);
}
