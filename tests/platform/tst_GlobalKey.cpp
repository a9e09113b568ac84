// The key for the whole desktop, on a private X server: a key pressed in another program's
// place reaches us, and a key another program holds is refused. Through a desktop portal of
// our own on a private session bus: the key asked for, and its activation.
#include "common/qbXvfb.h"
#include "platform/qbGlobalKey.h"
#include "platform/qbKeyGrab.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QThread>

#include <QGuiApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

// Another X client, holding Ctrl+Alt+M while it lives.
class TqbOtherClient {
public:
    explicit TqbOtherClient(bool grabs) : m_display(grabs ? XOpenDisplay(nullptr) : nullptr) {
        if (!m_display)
            return;
        XGrabKey(m_display, XKeysymToKeycode(m_display, XK_m), ControlMask | Mod1Mask,
                 DefaultRootWindow(m_display), True, GrabModeAsync, GrabModeAsync);
        XSync(m_display, False);
    }
    ~TqbOtherClient() {
        if (m_display)
            XCloseDisplay(m_display);
    }
    bool Holds() const { return m_display; }

private:
    Display* m_display;
};

// The portal's global shortcuts as a desktop offers them, answering every request at once.
class TqbFakePortal : public QDBusVirtualObject {
    Q_OBJECT
public:
    QString Trigger() const {
        QMutexLocker lock(&m_mutex);
        return m_trigger;
    }
    QString Session() const {
        QMutexLocker lock(&m_mutex);
        return m_session;
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        QDBusConnection connection = bus;
        QString sender = message.service().mid(1);
        sender.replace(u'.', u'_');
        const QString base = QStringLiteral("/org/freedesktop/portal/desktop");
        const QString member = message.member();
        const QVariantList arguments = message.arguments();
        if (member == QLatin1String("Get")) {
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
            return true;
        }
        if (member == QLatin1String("Close")) {
            QMutexLocker lock(&m_mutex);
            m_session.clear();
            connection.send(message.createReply());
            return true;
        }
        const QVariantMap options = qdbus_cast<QVariantMap>(
            arguments.value(member == QLatin1String("CreateSession") ? 0 : 3));
        const QString request =
            base + "/request/" + sender + u'/' + options.value("handle_token").toString();
        QVariantMap results;
        if (member == QLatin1String("CreateSession")) {
            QMutexLocker lock(&m_mutex);
            m_session = base + "/session/" + sender + u'/' +
                        options.value("session_handle_token").toString();
            results.insert("session_handle", m_session);
        } else if (member == QLatin1String("BindShortcuts")) {
            const QDBusArgument shortcuts = arguments.value(1).value<QDBusArgument>();
            shortcuts.beginArray();
            while (!shortcuts.atEnd()) {
                QString id;
                QVariantMap properties;
                shortcuts.beginStructure();
                shortcuts >> id >> properties;
                shortcuts.endStructure();
                QMutexLocker lock(&m_mutex);
                m_trigger = id + u'=' + properties.value("preferred_trigger").toString();
            }
            shortcuts.endArray();
        } else {
            return false;
        }
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage response = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << 0u << results;
        connection.send(response);
        if (member == QLatin1String("BindShortcuts")) {
            // The user presses the key at once.
            QDBusMessage activated = QDBusMessage::createSignal(
                base, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                QStringLiteral("Activated"));
            activated << arguments.value(0) << QStringLiteral("key") << qulonglong(0)
                      << QVariantMap();
            connection.send(activated);
        }
        return true;
    }

private:
    mutable QMutex m_mutex;
    QString m_trigger;
    QString m_session;
};

bool Xdotool(const QStringList& arguments) {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), arguments);
    return xdotool.waitForFinished(20000) && xdotool.exitCode() == 0;
}

} // namespace

class TestGlobalKey : public QObject {
    Q_OBJECT

private slots:
    // A key is asked of the portal in the desktop's own words, and its activation reaches us.
    void portalShortcut_data() {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("trigger");
        QTest::newRow("letter") << QKeySequence(QStringLiteral("Ctrl+Alt+M")) << "CTRL+ALT+m";
        QTest::newRow("function key")
            << QKeySequence(QStringLiteral("Shift+Meta+F5")) << "SHIFT+LOGO+F5";
    }
    void portalShortcut() {
        QFETCH(QKeySequence, key);
        QFETCH(QString, trigger);
        if (qEnvironmentVariableIsEmpty("QB_PRIVATE_SESSION_BUS"))
            QSKIP("no private session bus");
        QThread desktop;
        TqbFakePortal portal;
        portal.moveToThread(&desktop);
        desktop.start();
        const auto stop = qScopeGuard([&] {
            desktop.quit();
            desktop.wait();
        });
        QDBusConnection bus = QDBusConnection::connectToBus(
            qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("desktop"));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        QVERIFY(bus.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"),
                                          &portal, QDBusConnection::SubPath));
        const auto unregister = qScopeGuard([&] {
            bus.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"));
            bus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
        });

        int pressed = 0;
        std::unique_ptr<IqbKeyGrab> grab =
            qbPortalKeyGrab(QStringLiteral("빠른 메모"), [&pressed] { ++pressed; });
        QVERIFY(grab);
        QCOMPARE(grab->Grab(key[0]), IqbKeyGrab::TResult::Grabbed);
        QTRY_COMPARE_WITH_TIMEOUT(pressed, 1, 20000);
        QCOMPARE(portal.Trigger(), "key=" + trigger);
        grab->Release();
        QTRY_VERIFY_WITH_TIMEOUT(portal.Session().isEmpty(), 20000);
    }

    // A key taken elsewhere is refused, and the key before still answers.
    void keyOfTheDesktop_data() {
        QTest::addColumn<bool>("heldElsewhere");
        QTest::addColumn<QStringList>("locks");
        QTest::addColumn<TqbGlobalKey::TOutcome>("outcome");
        QTest::addColumn<QKeySequence>("kept");
        QTest::addColumn<QString>("press");
        const QKeySequence wanted(QStringLiteral("Ctrl+Alt+M"));
        const QKeySequence before(QStringLiteral("Ctrl+Alt+K"));
        const auto registered = TqbGlobalKey::TOutcome::Registered;
        QTest::newRow("free") << false << QStringList{} << registered << wanted << "ctrl+alt+m";
        QTest::newRow("free, NumLock on")
            << false << QStringList{"Num_Lock"} << registered << wanted << "ctrl+alt+m";
        QTest::newRow("free, CapsLock on")
            << false << QStringList{"Caps_Lock"} << registered << wanted << "ctrl+alt+m";
        QTest::newRow("held by another program")
            << true << QStringList{} << TqbGlobalKey::TOutcome::Taken << before << "ctrl+alt+k";
    }
    void keyOfTheDesktop() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("no private X server");
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("xdotool is missing");
        QFETCH(bool, heldElsewhere);
        QFETCH(QStringList, locks);
        QFETCH(QString, press);
        TqbOtherClient other(heldElsewhere);
        QCOMPARE(other.Holds(), heldElsewhere);
        TqbGlobalKey key(QStringLiteral("빠른 메모"));
        QCOMPARE(key.SetKey(QKeySequence(QStringLiteral("Ctrl+Alt+K"))),
                 TqbGlobalKey::TOutcome::Registered);
        QTEST(key.SetKey(QKeySequence(QStringLiteral("Ctrl+Alt+M"))), "outcome");
        QTEST(key.Key(), "kept");

        QSignalSpy pressed(&key, &TqbGlobalKey::Pressed);
        // A second press of a lock key puts it off again, for the rows after, pass or fail.
        const auto toggleLocks = [&locks] {
            for (const QString& lock : locks)
                Xdotool({"key", lock});
        };
        toggleLocks();
        const auto locksOff = qScopeGuard(toggleLocks);
        QVERIFY(Xdotool({"key", press}));
        QVERIFY(pressed.wait(20000));
        QCOMPARE(pressed.count(), 1);
    }
};

// The X server and the session bus must be there before the application connects to them.
int main(int argc, char* argv[]) {
    TqbXvfb xvfb;
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).size() && xvfb.Start()) {
        qputenv("DISPLAY", xvfb.Display().toLatin1());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QProcess sessionBus;
    sessionBus.start(QStringLiteral("dbus-daemon"),
                     {"--session", "--nofork", "--nopidfile", "--print-address=1"});
    if (sessionBus.waitForStarted(20000) && sessionBus.waitForReadyRead(20000)) {
        qputenv("DBUS_SESSION_BUS_ADDRESS", sessionBus.readLine().trimmed());
        qputenv("QB_PRIVATE_SESSION_BUS", "1");
    }
    int result = 0;
    {
        QGuiApplication app(argc, argv);
        TestGlobalKey test;
        QTEST_SET_MAIN_SOURCE_PATH
        result = QTest::qExec(&test, argc, argv);
    }
    StopProcess(sessionBus);
    return result;
}

#include "tst_GlobalKey.moc"
