#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

// The one object the page script sees over the web channel: a separate small object, because
// the channel publishes every property of what it is given.
class TqbDhtmlBridge : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

public slots:
    void report(const QString& kind, const QVariantMap& state) { emit Reported(kind, state); }

signals:
    void Reported(const QString& kind, const QVariantMap& state);
};
