#include "app/qbAppMessageFilter.h"

#include <QEvent>
#include <QMouseEvent>
#include <QTimer>

TqbAppMessageFilter::TqbAppMessageFilter(std::function<void()> styleCheck, QObject* parent)
    : QObject(parent), m_styleCheck(std::move(styleCheck)) {}

bool TqbAppMessageFilter::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    const bool left = (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) &&
                      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if ((left || type == QEvent::KeyRelease) && !m_styleCheckQueued) {
        m_styleCheckQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_styleCheckQueued = false;
            m_styleCheck();
        });
    }
    return QObject::eventFilter(watched, event);
}
