#include "app/qbErrorWindowCloser.h"

#include "app/qbApplication.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QWidget>

TqbErrorWindowCloser::TqbErrorWindowCloser(QWidget* mainWindow, QObject* parent)
    : QObject(parent ? parent : mainWindow), m_mainWindow(mainWindow) {
    m_mainWindow->installEventFilter(this);
}

TqbErrorWindowCloser::TAction TqbErrorWindowCloser::ActionFor(const QString& title) {
    // 1-based positions, 0 when absent; the words compare exactly, letter case included.
    const qsizetype p1 = title.indexOf(QStringLiteral("오류")) + 1;
    const qsizetype p2 = title.indexOf(QStringLiteral("error")) + 1;
    if (p1 + p2 == 0)
        return TAction::Nothing;
    if (p1 + p2 == 1)
        return TAction::ClickSecondButtonAndClose;
    return TAction::Close;
}

bool TqbErrorWindowCloser::MayClose(const QWidget* window) {
    return window && window->isWindow() &&
           window->objectName() != QLatin1String(TqbApplication::ErrorReportName) &&
           !window->property(KeepOpenProperty).toBool();
}

TqbErrorWindowCloser::TAction TqbErrorWindowCloser::CloseIfError(QWidget* window) {
    if (!MayClose(window) || window == m_mainWindow)
        return TAction::Nothing;
    const TAction action = ActionFor(window->windowTitle());
    if (action == TAction::ClickSecondButtonAndClose) {
        const QList<QAbstractButton*> buttons = window->findChildren<QAbstractButton*>();
        if (buttons.size() >= 2)
            buttons.at(1)->click();
    }
    if (action != TAction::Nothing)
        window->close();
    return action;
}

bool TqbErrorWindowCloser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_mainWindow && event->type() == QEvent::WindowDeactivate) {
        // The window taking the activation is known once the switch is done; only our own
        // windows are ever seen here.
        QMetaObject::invokeMethod(
            this,
            [this] {
                QWidget* active = QApplication::activeWindow();
                if (active && active != m_mainWindow)
                    CloseIfError(active);
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}
