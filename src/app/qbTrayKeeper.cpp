#include "app/qbTrayKeeper.h"

#include "platform/qbWindowDesktop.h"

#include <QEvent>
#include <QSystemTrayIcon>
#include <QWidget>
#include <QWindowStateChangeEvent>

TqbTrayKeeper::TqbTrayKeeper(QWidget* window, const QString& tip, std::function<bool()> available,
                             QObject* parent)
    : QObject(parent ? parent : window), m_window(window), m_available(std::move(available)) {
    m_trayIcon = new QSystemTrayIcon(this);
    m_trayIcon->setObjectName("TrayIcon");
    m_trayIcon->setToolTip(TipText(tip));
    // Queued: restoring removes the icon, and the icon's own press handler is still running
    // when it reports the press; removing it there pulls the handler's widget from under it.
    connect(
        m_trayIcon, &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            // A left or a right press; the middle button is left alone.
            if (reason != QSystemTrayIcon::MiddleClick && reason != QSystemTrayIcon::Unknown)
                RestoreFromTray();
        },
        Qt::QueuedConnection);
    m_window->installEventFilter(this);
}

QString TqbTrayKeeper::TipText(const QString& text) {
    if (text.size() <= TipLength)
        return text;
    // Never half a surrogate pair.
    const int cut = text.at(TipLength - 1).isHighSurrogate() ? TipLength - 1 : TipLength;
    return text.left(cut);
}

bool TqbTrayKeeper::DesktopHasTray() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TqbTrayKeeper::HideToTray() {
    // A minimized window's state was taken when it was minimized.
    if (!m_window->isMinimized())
        m_wasMaximized = m_window->windowState().testFlag(Qt::WindowMaximized);
    // Hidden with nothing to come back from, the window would be lost to the user.
    if (!TrayAvailable()) {
        if (!m_window->isMinimized())
            m_window->showMinimized();
        return;
    }
    m_trayIcon->setIcon(m_window->windowIcon());
    m_trayIcon->show();
    m_window->hide();
}

void TqbTrayKeeper::RestoreFromTray() {
    // A window left on another virtual desktop counts as shown; it comes to the user's desktop
    // all the same, and is activated there.
    qbWindowDesktop::MoveToCurrentDesktop(m_window->windowHandle());
    if (!m_window->isVisible() || m_window->isMinimized()) {
        m_restoring = true;
        if (m_wasMaximized)
            m_window->showMaximized();
        else
            m_window->showNormal();
        m_trayIcon->hide();
        m_restoring = false;
    }
    m_window->raise();
    m_window->activateWindow();
}

bool TqbTrayKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::WindowStateChange && !m_restoring &&
        m_window->isMinimized()) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        m_wasMaximized = m_window->windowState().testFlag(Qt::WindowMaximized) ||
                         change->oldState().testFlag(Qt::WindowMaximized);
        if (TrayAvailable()) {
            // After the minimize has run its course, as the window manager sees it.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_window->isMinimized() && m_window->isVisible())
                        HideToTray();
                },
                Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}
