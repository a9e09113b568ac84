#include "app/qbSteadyQuestion.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>

namespace {

const QEvent::Type QueueDrained = QEvent::Type(QEvent::registerEventType());

} // namespace

TqbSteadyQuestion::TqbSteadyQuestion(QMessageBox& box, QAbstractButton* focus)
    : QObject(&box), m_box(box), m_focus(focus) {
    SetButtonsEnabled(false);
    box.installEventFilter(this);
}

int TqbSteadyQuestion::Ask(QMessageBox& box, QAbstractButton* focus) {
    new TqbSteadyQuestion(box, focus);
    return box.exec();
}

void TqbSteadyQuestion::SetButtonsEnabled(bool enabled) {
    for (QAbstractButton* button : m_box.buttons()) {
        button->setEnabled(enabled);
        // The box makes a default again as it shows: Enter never answers here.
        if (auto* push = qobject_cast<QPushButton*>(button)) {
            push->setAutoDefault(false);
            push->setDefault(false);
        }
    }
}

bool TqbSteadyQuestion::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_box && event->type() == QEvent::Show && !m_shown) {
        m_shown = true;
        SetButtonsEnabled(false);
        // Behind everything queued so far: what the user typed before the box appeared.
        QCoreApplication::postEvent(this, new QEvent(QueueDrained), Qt::LowEventPriority);
    }
    return false;
}

void TqbSteadyQuestion::customEvent(QEvent* event) {
    if (event->type() != QueueDrained || m_steady)
        return;
    // Input the window system still holds goes to the disabled buttons, and nowhere.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    m_steady = true;
    SetButtonsEnabled(true);
    if (m_focus)
        m_focus->setFocus();
    emit Steadied();
}
