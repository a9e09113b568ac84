#include "platform/qbGlobalKey.h"

#include "platform/qbKeyGrab.h"

#include <QGuiApplication>

TqbGlobalKey::TqbGlobalKey(const QString& description, QObject* parent) : QObject(parent) {
    // The X server tells at once when another program holds the key; the portal cannot, so it
    // serves where there is no X server to ask.
    m_grab = qbX11KeyGrab([this] { emit Pressed(); });
    if (!m_grab && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        m_grab = qbPortalKeyGrab(description, [this] { emit Pressed(); });
    if (!m_grab)
        qInfo("No keys for the whole desktop in this session: none is registered.");
}

TqbGlobalKey::~TqbGlobalKey() = default;

TqbGlobalKey::TOutcome TqbGlobalKey::SetKey(const QKeySequence& key) {
    const QKeySequence wanted = key.isEmpty() ? QKeySequence() : QKeySequence(key[0]);
    if (!m_grab) {
        m_key = wanted;
        return wanted.isEmpty() ? TOutcome::Registered : TOutcome::Unavailable;
    }
    if (wanted == m_key)
        return TOutcome::Registered;
    m_grab->Release();
    if (wanted.isEmpty()) {
        m_key = wanted;
        return TOutcome::Registered;
    }
    const IqbKeyGrab::TResult result = m_grab->Grab(wanted[0]);
    if (result == IqbKeyGrab::TResult::Grabbed) {
        m_key = wanted;
        return TOutcome::Registered;
    }
    if (!m_key.isEmpty())
        m_grab->Grab(m_key[0]);
    return result == IqbKeyGrab::TResult::Taken ? TOutcome::Taken : TOutcome::Unusable;
}
