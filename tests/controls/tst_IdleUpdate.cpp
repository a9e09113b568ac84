#include "controls/qbIdleUpdate.h"

#include <QBasicTimer>
#include <QSignalSpy>
#include <QtTest>

// The update runs while events come and rests while none do; the next event wakes it.
class tst_IdleUpdate : public QObject {
    Q_OBJECT
private slots:
    void restsUntilSomethingHappens() {
        int updates = 0;
        TqbIdleUpdate idle(nullptr, 10, [&updates] { ++updates; });
        QSignalSpy rested(&idle, &TqbIdleUpdate::Rested);
        QVERIFY(rested.wait());
        QCOMPARE(updates, 1); // the start counts as something
        QVERIFY(idle.Resting());

        QObject receiver;
        QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
        QVERIFY(rested.wait());
        QCOMPARE(updates, 2);

        // A widget's own timer (a caret's blink) is nothing happening; a program's timer is.
        QBasicTimer blink;
        TTicks widget;
        blink.start(1, &widget);
        QVERIFY(QTest::qWaitFor([&widget] { return widget.Ticks >= 2; }));
        blink.stop();
        QCOMPARE(updates, 2);
        QVERIFY(idle.Resting());
        QTimer save;
        save.setSingleShot(true);
        save.start(1);
        QVERIFY(rested.wait());
        QCOMPARE(updates, 3);
    }

private:
    struct TTicks : QObject {
        int Ticks = 0;
        void timerEvent(QTimerEvent*) override { ++Ticks; }
    };
};

QTEST_MAIN(tst_IdleUpdate)
#include "tst_IdleUpdate.moc"
