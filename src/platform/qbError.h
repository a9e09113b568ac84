#pragma once

#include <QString>
#include <stdexcept>

// Operations report failure by throwing this; the guarded places catch it and show Message().
class EqbError : public std::runtime_error {
public:
    explicit EqbError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& Message() const { return m_message; }

private:
    QString m_message;
};
