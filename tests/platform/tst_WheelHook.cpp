// The wheel gesture: its place on the screen, and on X11 the wheel of another client seen
// through a private X server.
#include "common/qbXvfb.h"
#include "platform/qbWheelHook.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

class TestWheelHook : public QObject {
    Q_OBJECT

    TqbXvfb m_xvfb;

private slots:
    void gesturePlace_data() {
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("gesture");
        QTest::newRow("top row, right half") << QPoint(1000, 0) << 1280 << true;
        QTest::newRow("fifth row") << QPoint(1000, 4) << 1280 << true;
        QTest::newRow("sixth row") << QPoint(1000, 5) << 1280 << false;
        QTest::newRow("left half") << QPoint(100, 0) << 1280 << false;
        QTest::newRow("exactly half") << QPoint(640, 0) << 1280 << false;
        QTest::newRow("one right of half") << QPoint(641, 0) << 1280 << true;
        QTest::newRow("odd width, half rounded down") << QPoint(641, 0) << 1281 << true;
        QTest::newRow("odd width, at half") << QPoint(640, 0) << 1281 << false;
    }
    void gesturePlace() {
        QFETCH(QPoint, cursor);
        QFETCH(int, width);
        QFETCH(bool, gesture);
        QCOMPARE(TqbWheelHook::IsGesture(cursor, QSize(width, 1024)), gesture);
    }

    void wheelOfAnotherClient_data() {
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("gesture");
        QTest::newRow("up at the top right") << QPoint(1000, 2) << 4 << true;
        QTest::newRow("down at the top right") << QPoint(1200, 0) << 5 << true;
        QTest::newRow("below the top rows") << QPoint(1000, 10) << 4 << false;
        QTest::newRow("top left") << QPoint(100, 2) << 4 << false;
    }
    void wheelOfAnotherClient() {
        QFETCH(QPoint, cursor);
        QFETCH(int, button);
        QFETCH(bool, gesture);
#ifndef QB_X11_WHEEL_HOOK
        QSKIP("no X11 wheel hook on this platform");
#endif
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("xdotool is missing");
        if (m_xvfb.Display().isEmpty() && !m_xvfb.Start())
            QSKIP("Xvfb could not be started");
        qputenv("DISPLAY", m_xvfb.Display().toLatin1());
        TqbWheelHook hook;
        QVERIFY(hook.Install());
        QSignalSpy wheels(&hook, &TqbWheelHook::Wheel);
        QSignalSpy gestures(&hook, &TqbWheelHook::Gesture);
        QProcess xdotool;
        xdotool.start("xdotool", {"mousemove", QString::number(cursor.x()),
                                  QString::number(cursor.y()), "click", QString::number(button)});
        QVERIFY(xdotool.waitForFinished(20000));
        QCOMPARE(xdotool.exitCode(), 0);
        QVERIFY(wheels.wait(20000));
        QCOMPARE(wheels.count(), 1);
        QCOMPARE(wheels.at(0).at(0).toPoint(), cursor);
        QCOMPARE(wheels.at(0).at(1).toSize(), QSize(1280, 1024));
        QCOMPARE(gestures.count(), gesture ? 1 : 0);
        hook.Remove();
        QVERIFY(!hook.Installed());
    }
};

QTEST_GUILESS_MAIN(TestWheelHook)
#include "tst_WheelHook.moc"
