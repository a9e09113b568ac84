#include "platform/qbSingleInstance.h"

#include <QProcess>
#include <QSysInfo>
#include <QtTest>

#include <memory>

namespace {

constexpr int ProcessWaitMs = 15000;

// One helper process standing for a program start; its output is gathered as it comes.
class THelper {
public:
    explicit THelper(const QStringList& args) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput,
                         [this] { m_output += m_process.readAllStandardOutput(); });
        m_process.start(QStringLiteral(QB_INSTANCE_HELPER), args);
    }
    ~THelper() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(ProcessWaitMs);
        }
    }
    QProcess& Process() { return m_process; }
    QStringList Lines() const {
        return QString::fromUtf8(m_output).split(u'\n', Qt::SkipEmptyParts);
    }
    bool Finished() const { return m_process.state() == QProcess::NotRunning; }

private:
    QProcess m_process;
    QByteArray m_output;
};

} // namespace

class TstSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void init();
    void SecondStartReachesFirst_data();
    void SecondStartReachesFirst();
    void KilledInstanceDoesNotBlockNextStart();
    void HungInstanceIsReported();
    void LockOfAnotherProgramDoesNotBlock();
    void SecondObjectInSameProcessIsNotFirst();
    void RequestWithoutInstanceFails();
    void DefaultKey_data();
    void DefaultKey();

private:
    QString m_key;
};

void TstSingleInstance::init() {
    // Apart from every other run and every other case.
    m_key = QStringLiteral("qbNivora-test-%1-%2-%3")
                .arg(QCoreApplication::applicationPid())
                .arg(QString::fromLatin1(QTest::currentTestFunction()))
                .arg(QString::fromLatin1(QTest::currentDataTag()));
}

void TstSingleInstance::SecondStartReachesFirst_data() {
    QTest::addColumn<QString>("message");
    QTest::newRow("restore") << "restore";
    QTest::newRow("activate") << "activate";
}

void TstSingleInstance::SecondStartReachesFirst() {
    QFETCH(QString, message);
    THelper first({m_key});
    QTRY_COMPARE_WITH_TIMEOUT(first.Lines(), QStringList{"first"}, ProcessWaitMs);

    THelper second({m_key, message});
    QTRY_VERIFY_WITH_TIMEOUT(second.Finished(), ProcessWaitMs);
    QCOMPARE(second.Process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.Process().exitCode(), 0);
    QVERIFY(second.Lines().isEmpty());

    QTRY_VERIFY_WITH_TIMEOUT(first.Finished(), ProcessWaitMs);
    QCOMPARE(first.Lines(), QStringList({"first", message}));
    QCOMPARE(first.Process().exitCode(), 0);
}

void TstSingleInstance::KilledInstanceDoesNotBlockNextStart() {
    {
        THelper crashed({m_key});
        QTRY_COMPARE_WITH_TIMEOUT(crashed.Lines(), QStringList{"first"}, ProcessWaitMs);
        crashed.Process().kill(); // SIGKILL: no clean-up runs, the lock file stays behind
        QVERIFY(crashed.Process().waitForFinished(ProcessWaitMs));
        QCOMPARE(crashed.Process().exitStatus(), QProcess::CrashExit);
    }

    THelper next({m_key});
    QTRY_COMPARE_WITH_TIMEOUT(next.Lines(), QStringList{"first"}, ProcessWaitMs);
    // And it serves later starts as the first one did.
    THelper later({m_key});
    QTRY_VERIFY_WITH_TIMEOUT(later.Finished(), ProcessWaitMs);
    QCOMPARE(later.Process().exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(next.Lines(), QStringList({"first", "restore"}), ProcessWaitMs);
}

void TstSingleInstance::HungInstanceIsReported() {
    THelper hung({m_key, "--hang"});
    QTRY_COMPARE_WITH_TIMEOUT(hung.Lines(), QStringList{"first"}, ProcessWaitMs);

    THelper later({m_key, "restore", "1000"});
    QTRY_VERIFY_WITH_TIMEOUT(later.Finished(), ProcessWaitMs);
    QCOMPARE(later.Process().exitCode(), 4);
    QCOMPARE(later.Lines(), QStringList{"not answering"});
    QVERIFY(TqbSingleInstance::NotAnsweringMessage("qbNivora").startsWith("qbNivora"));
}

// A crash leaves the lock naming a process id that the system may give to any other process,
// even one whose name is the one the lock gives.
void TstSingleInstance::LockOfAnotherProgramDoesNotBlock() {
    const QString key = QStringLiteral("qbNivora-test-%1-stale").arg(QCoreApplication::applicationPid());
    QFile lock(QDir(QDir::tempPath()).filePath(key + ".lock"));
    QVERIFY(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
    lock.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
               QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n' +
               QSysInfo::machineHostName().toUtf8() + '\n');
    lock.close();
    auto removeLock = qScopeGuard([&] { lock.remove(); });

    THelper next({key});
    QTRY_COMPARE_WITH_TIMEOUT(next.Lines(), QStringList{"first"}, ProcessWaitMs);
}

void TstSingleInstance::SecondObjectInSameProcessIsNotFirst() {
    auto first = std::make_unique<TqbSingleInstance>(m_key);
    QVERIFY(first->IsFirstInstance());
    QVERIFY(first->IsFirstInstance()); // asking again keeps it
    TqbSingleInstance second(m_key);
    QVERIFY(!second.IsFirstInstance());

    // Once the first ends, the place is free again.
    first.reset();
    TqbSingleInstance third(m_key);
    QVERIFY(third.IsFirstInstance());
}

void TstSingleInstance::RequestWithoutInstanceFails() {
    TqbSingleInstance nobody(m_key);
    QVERIFY(!nobody.SendRequest("restore", 500));
}

void TstSingleInstance::DefaultKey_data() {
    QTest::addColumn<QByteArray>("override");
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain user") << QByteArray() << QByteArray("kim_1-a") << "qbNivora-kim_1-a";
    QTest::newRow("odd characters made safe")
        << QByteArray() << QByteArray("a b/c") << "qbNivora-a_20b_2Fc";
    QTest::newRow("Korean names stay apart")
        << QByteArray() << QByteArray("김") << "qbNivora-_AE40";
    QTest::newRow("override wins") << QByteArray("my key") << QByteArray("kim") << "my key";
}

void TstSingleInstance::DefaultKey() {
    QFETCH(QByteArray, override);
    QFETCH(QByteArray, user);
    QFETCH(QString, expected);
    const QByteArray oldOverride = qgetenv("QBNIVORA_INSTANCE_KEY");
    const QByteArray oldUser = qgetenv("USER");
    auto restore = qScopeGuard([&] {
        qputenv("QBNIVORA_INSTANCE_KEY", oldOverride);
        qputenv("USER", oldUser);
    });
    qputenv("QBNIVORA_INSTANCE_KEY", override);
    qputenv("USER", user);
    QCOMPARE(TqbSingleInstance::DefaultKey("qbNivora"), expected);
}

QTEST_GUILESS_MAIN(TstSingleInstance)
#include "tst_SingleInstance.moc"
