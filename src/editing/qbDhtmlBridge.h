#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <utility>

// The one object the page script sees over the web channel: a separate small object, because
// the channel publishes every property of what it is given.
class TqbDhtmlBridge : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // A page too big for a data address waits here until the page script takes it.
    void HoldPageText(double token, const QString& text) {
        m_token = token;
        m_text = text;
    }
    void DropPageText() { m_text.clear(); }

public slots:
    void report(const QString& kind, const QVariantMap& state) { emit Reported(kind, state); }
    // The held text, once, for the load that holds it; null for any other.
    QString takePageText(double token) {
        if (token != m_token)
            return {};
        return std::exchange(m_text, QString());
    }

signals:
    void Reported(const QString& kind, const QVariantMap& state);

private:
    double m_token = 0;
    QString m_text;
};
