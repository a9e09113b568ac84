#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QSystemTrayIcon;
class QWidget;

// Hides the main window in the notification area and brings it back: minimizing hides it,
// a press on the icon restores it, maximized if it was. Where the desktop has no notification
// area the window only minimizes, so it stays reachable from the task list.
class TqbTrayKeeper : public QObject {
    Q_OBJECT
public:
    // The most the icon's tip holds.
    static constexpr int TipLength = 63;

    // available tells whether the desktop shows notification-area icons right now.
    TqbTrayKeeper(QWidget* window, const QString& tip,
                  std::function<bool()> available = DesktopHasTray, QObject* parent = nullptr);

    bool TrayAvailable() const { return m_available(); }
    void SetAvailable(std::function<bool()> available) { m_available = std::move(available); }
    bool WasMaximized() const { return m_wasMaximized; }
    QSystemTrayIcon* TrayIcon() const { return m_trayIcon; }

    void HideToTray();
    // Brings the window to the user's virtual desktop, shows it as it was (maximized or not)
    // when hidden or minimized, and activates it.
    void RestoreFromTray();

    // The tip as the icon carries it: the text cut to TipLength characters.
    static QString TipText(const QString& text);
    static bool DesktopHasTray();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    std::function<bool()> m_available;
    QSystemTrayIcon* m_trayIcon = nullptr;
    bool m_wasMaximized = false;
    bool m_restoring = false;
};
