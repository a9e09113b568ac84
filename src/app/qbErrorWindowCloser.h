#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// Closes error windows that take the activation from the main window, so a stray failure
// report of a component does not sit in front of the note. Only windows of this program are
// ever touched, and never a box the program shows to report a failure of its own.
class TqbErrorWindowCloser : public QObject {
    Q_OBJECT
public:
    enum class TAction { Nothing, ClickSecondButtonAndClose, Close };

    // A window with this property set to true is the program's own report and stays open.
    static inline const char* KeepOpenProperty = "qbKeepOpen";

    explicit TqbErrorWindowCloser(QWidget* mainWindow, QObject* parent = nullptr);

    // By the title alone: a title that begins with "오류" or "error" (and holds not the other)
    // has its second button pressed, one that holds either anywhere else is closed.
    static TAction ActionFor(const QString& title);
    // Whether the closer may touch the window at all.
    static bool MayClose(const QWidget* window);

    // Acts on the window that took the activation; what it did.
    TAction CloseIfError(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_mainWindow;
};
