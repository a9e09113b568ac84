#include "platform/qbQuitSignals.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>

namespace {

constexpr int ProcessWaitMs = 15000;

QList<QByteArray> StatusLines(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    return status.open(QIODevice::ReadOnly) ? status.readAll().split('\n') : QList<QByteArray>();
}

// Whether a signal sent to the process still waits to be delivered.
bool SignalPending(qint64 pid) {
    for (const QByteArray& line : StatusLines(pid)) {
        if ((line.startsWith("SigPnd:") || line.startsWith("ShdPnd:")) &&
            line.mid(7).trimmed().toULongLong(nullptr, 16) != 0)
            return true;
    }
    return false;
}

bool Running(qint64 pid) {
    for (const QByteArray& line : StatusLines(pid)) {
        if (line.startsWith("State:"))
            return !line.mid(6).trimmed().startsWith('Z');
    }
    return false;
}

void CountingHandler(int) {}

} // namespace

class TstQuitSignals : public QObject {
    Q_OBJECT
private slots:
    void RaisedSignalBecomesRequest_data();
    void RaisedSignalBecomesRequest();
    void SignalsTogetherGiveOneRequest();
    void OneWatcherAtATimeAndHandlersComeBack();
    void KilledProgramQuits();
    void HungProgramEndsAtThirdSignal_data();
    void HungProgramEndsAtThirdSignal();
};

void TstQuitSignals::RaisedSignalBecomesRequest_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TstQuitSignals::RaisedSignalBecomesRequest() {
    QFETCH(int, signalNumber);
    TqbQuitSignals quitSignals;
    QVERIFY(quitSignals.IsWatching());
    QSignalSpy spy(&quitSignals, &TqbQuitSignals::QuitRequested);
    QCOMPARE(::raise(signalNumber), 0);
    QVERIFY(spy.wait());
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), signalNumber);
}

void TstQuitSignals::SignalsTogetherGiveOneRequest() {
    TqbQuitSignals quitSignals;
    QSignalSpy spy(&quitSignals, &TqbQuitSignals::QuitRequested);
    QCOMPARE(::raise(SIGTERM), 0);
    QCOMPARE(::raise(SIGHUP), 0);
    QVERIFY(spy.wait());
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), int(SIGHUP));
    // Answered, so the count starts again: these two do not end the process.
    QCOMPARE(::raise(SIGINT), 0);
    QCOMPARE(::raise(SIGINT), 0);
    QVERIFY(spy.wait());
}

void TstQuitSignals::OneWatcherAtATimeAndHandlersComeBack() {
    struct sigaction own {};
    own.sa_handler = CountingHandler;
    struct sigaction before {};
    QCOMPARE(::sigaction(SIGTERM, &own, &before), 0);
    {
        TqbQuitSignals first;
        QVERIFY(first.IsWatching());
        TqbQuitSignals second;
        QVERIFY(!second.IsWatching());
    }
    struct sigaction after {};
    QCOMPARE(::sigaction(SIGTERM, &before, &after), 0);
    QVERIFY(after.sa_handler == CountingHandler);
    // The place is free again.
    TqbQuitSignals third;
    QVERIFY(third.IsWatching());
}

void TstQuitSignals::KilledProgramQuits() {
    QProcess helper;
    helper.start(QStringLiteral(QB_QUIT_HELPER), {});
    QVERIFY(helper.waitForReadyRead(ProcessWaitMs));
    QCOMPARE(helper.readLine().trimmed(), QByteArray("ready"));
    QCOMPARE(::kill(pid_t(helper.processId()), SIGTERM), 0);
    QVERIFY(helper.waitForFinished(ProcessWaitMs));
    QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
    QCOMPARE(helper.exitCode(), 0);
    QCOMPARE(helper.readAll().trimmed(), QByteArray("quit 15"));
}

void TstQuitSignals::HungProgramEndsAtThirdSignal_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("event loop stopped") << "--hang";
    QTest::newRow("answer waits for ever") << "--stuck";
}

void TstQuitSignals::HungProgramEndsAtThirdSignal() {
    QFETCH(QString, how);
    QProcess helper;
    helper.start(QStringLiteral(QB_QUIT_HELPER), {how});
    QVERIFY(helper.waitForReadyRead(ProcessWaitMs));
    QCOMPARE(helper.readLine().trimmed(), QByteArray("ready"));
    const qint64 pid = helper.processId();
    for (int i = 0; i < TqbQuitSignals::MaxUnanswered; ++i) {
        QCOMPARE(::kill(pid_t(pid), SIGTERM), 0);
        // Each must be taken on its own: pending signals of one kind merge.
        QTRY_VERIFY_WITH_TIMEOUT(!SignalPending(pid), ProcessWaitMs);
        QVERIFY(Running(pid));
    }
    QCOMPARE(::kill(pid_t(pid), SIGTERM), 0);
    QVERIFY(helper.waitForFinished(ProcessWaitMs));
    QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
    QCOMPARE(helper.exitCode(), int(SIGTERM));
}

QTEST_GUILESS_MAIN(TstQuitSignals)
#include "tst_QuitSignals.moc"
