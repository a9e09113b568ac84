#include "controls/qbIdleUpdate.h"

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

        // Its own ticks are not something happening; any other timer is.
        QTimer save;
        save.setSingleShot(true);
        save.start(1);
        QVERIFY(rested.wait());
        QCOMPARE(updates, 3);
    }
};

QTEST_MAIN(tst_IdleUpdate)
#include "tst_IdleUpdate.moc"
