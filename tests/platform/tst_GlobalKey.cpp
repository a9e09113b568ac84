// The key for the whole desktop, on a private X server: a key pressed in another program's
// place reaches us, and a key another program holds is refused.
#include "common/qbXvfb.h"
#include "platform/qbGlobalKey.h"

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

bool Xdotool(const QStringList& arguments) {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), arguments);
    return xdotool.waitForFinished(20000) && xdotool.exitCode() == 0;
}

} // namespace

class TestGlobalKey : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("no private X server");
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("xdotool is missing");
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
        QFETCH(bool, heldElsewhere);
        QFETCH(QStringList, locks);
        QFETCH(QString, press);
        TqbOtherClient other(heldElsewhere);
        QCOMPARE(other.Holds(), heldElsewhere);
        TqbGlobalKey key;
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

// The X server must be there before the application connects to a display.
int main(int argc, char* argv[]) {
    TqbXvfb xvfb;
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).size() && xvfb.Start()) {
        qputenv("DISPLAY", xvfb.Display().toLatin1());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QGuiApplication app(argc, argv);
    TestGlobalKey test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_GlobalKey.moc"
