#include "platform/qbKeyGrab.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QObject>
#include <QStringList>

namespace {

const QString Service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString DesktopPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString Shortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString Request = QStringLiteral("org.freedesktop.portal.Request");
const QString ShortcutId = QStringLiteral("key");

struct TShortcut {
    QString Id;
    QVariantMap Properties;
};

} // namespace

Q_DECLARE_METATYPE(TShortcut)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const TShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.Id << shortcut.Properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, TShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.Id >> shortcut.Properties;
    argument.endStructure();
    return argument;
}

// The portal's trigger for a key, as the shortcuts of the desktop are written: "CTRL+ALT+m".
QString Trigger(QKeyCombination key) {
    const QString name = qbKeysymOf(key.key()).Name;
    if (name.isEmpty())
        return {};
    QStringList parts;
    const Qt::KeyboardModifiers mods = key.keyboardModifiers();
    if (mods & Qt::ControlModifier)
        parts << QStringLiteral("CTRL");
    if (mods & Qt::AltModifier)
        parts << QStringLiteral("ALT");
    if (mods & Qt::ShiftModifier)
        parts << QStringLiteral("SHIFT");
    if (mods & Qt::MetaModifier)
        parts << QStringLiteral("LOGO");
    parts << name;
    return parts.join(u'+');
}

QVariant Unboxed(const QVariant& value) {
    return value.canConvert<QDBusVariant>() ? value.value<QDBusVariant>().variant() : value;
}

// One session with the portal per key: a new key closes the session and opens another.
class TqbPortalKeyGrab : public QObject, public IqbKeyGrab {
    Q_OBJECT
public:
    // portal: the portal's unique name on the bus; what it sends is only heard from there.
    TqbPortalKeyGrab(QDBusConnection bus, QString portal, QString description,
                     std::function<void()> pressed)
        : m_bus(std::move(bus)), m_portal(std::move(portal)), m_description(std::move(description)),
          m_pressed(std::move(pressed)) {
        m_bus.connect(m_portal, DesktopPath, Shortcuts, QStringLiteral("Activated"), this,
                      SLOT(Activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    }
    ~TqbPortalKeyGrab() override { Release(); }

    TResult Grab(QKeyCombination key) override {
        Release();
        m_trigger = Trigger(key);
        if (m_trigger.isEmpty())
            return TResult::Unusable;
        const QString token = NextToken();
        Ask(QStringLiteral("CreateSession"),
            {QVariantMap{{QStringLiteral("handle_token"), token},
                         {QStringLiteral("session_handle_token"), NextToken()}}},
            token, SLOT(SessionCreated(uint, QVariantMap)));
        return TResult::Grabbed;
    }

    void Release() override {
        StopWaiting();
        if (m_session.isEmpty())
            return;
        m_bus.call(QDBusMessage::createMethodCall(Service, m_session,
                                                  QStringLiteral("org.freedesktop.portal.Session"),
                                                  QStringLiteral("Close")),
                   QDBus::NoBlock);
        m_session.clear();
    }

private slots:
    void SessionCreated(uint response, const QVariantMap& results) {
        StopWaiting();
        const QVariant handle = Unboxed(results.value(QStringLiteral("session_handle")));
        m_session = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path()
                                                         : handle.toString();
        if (response != 0 || m_session.isEmpty()) {
            qInfo("The desktop portal gave no session for a global key.");
            m_session.clear();
            return;
        }
        const QList<TShortcut> shortcuts{{ShortcutId,
                                          {{QStringLiteral("description"), m_description},
                                           {QStringLiteral("preferred_trigger"), m_trigger}}}};
        const QString token = NextToken();
        Ask(QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts),
             QString(), QVariantMap{{QStringLiteral("handle_token"), token}}},
            token, SLOT(Bound(uint, QVariantMap)));
    }

    void Bound(uint response, const QVariantMap&) {
        StopWaiting();
        if (response != 0)
            qInfo("The desktop did not take the global key %s.", qPrintable(m_trigger));
    }

    void Activated(const QDBusObjectPath& session, const QString& id, qulonglong,
                   const QVariantMap&) {
        if (!m_session.isEmpty() && session.path() == m_session && id == ShortcutId)
            m_pressed();
    }

private:
    QString NextToken() { return QStringLiteral("qbNivora%1").arg(++m_tokens); }

    // The portal answers on a request object named after our bus name and the token: listen
    // there before asking, so the answer cannot come first.
    void Ask(const QString& method, const QVariantList& arguments, const QString& token,
             const char* answer) {
        QString sender = m_bus.baseService().mid(1);
        sender.replace(u'.', u'_');
        m_request = DesktopPath + QStringLiteral("/request/") + sender + u'/' + token;
        m_answer = answer;
        m_bus.connect(m_portal, m_request, Request, QStringLiteral("Response"), this, answer);
        QDBusMessage call = QDBusMessage::createMethodCall(Service, DesktopPath, Shortcuts, method);
        call.setArguments(arguments);
        m_bus.call(call, QDBus::NoBlock);
    }

    void StopWaiting() {
        if (m_request.isEmpty())
            return;
        m_bus.disconnect(m_portal, m_request, Request, QStringLiteral("Response"), this, m_answer);
        m_request.clear();
    }

    QDBusConnection m_bus;
    QString m_portal;
    QString m_description;
    std::function<void()> m_pressed;
    QString m_trigger;
    QString m_session;
    QString m_request;
    const char* m_answer = nullptr;
    int m_tokens = 0;
};

} // namespace

std::unique_ptr<IqbKeyGrab> qbPortalKeyGrab(const QString& description,
                                            std::function<void()> pressed) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return nullptr;
    QDBusMessage ask = QDBusMessage::createMethodCall(
        Service, DesktopPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    ask.setArguments({Shortcuts, QStringLiteral("version")});
    const QDBusMessage offered = bus.call(ask, QDBus::Block, 5000);
    if (offered.type() != QDBusMessage::ReplyMessage)
        return nullptr;
    qDBusRegisterMetaType<TShortcut>();
    qDBusRegisterMetaType<QList<TShortcut>>();
    // A slot is matched by its types' names: unknown ones would leave Activated unheard.
    qRegisterMetaType<QDBusObjectPath>();
    return std::make_unique<TqbPortalKeyGrab>(bus, offered.service(), description,
                                              std::move(pressed));
}

#include "qbKeyGrab_portal.moc"
