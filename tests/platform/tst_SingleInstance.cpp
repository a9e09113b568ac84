#include "platform/qbSingleInstance.h"

#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <unistd.h>

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
    void initTestCase();
    void cleanupTestCase();
    void init();
    void FilesStayWhereNoOtherUserWrites_data();
    void FilesStayWhereNoOtherUserWrites();
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
    // Every lock and channel of this test and its helpers goes into these and goes with them.
    QTemporaryDir m_runtime;
    QTemporaryDir m_temp;
    QByteArray m_oldRuntime, m_oldTemp, m_oldCache;
};

void TstSingleInstance::initTestCase() {
    QVERIFY(m_runtime.isValid() && m_temp.isValid());
    m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    m_oldTemp = qgetenv("TMPDIR");
    m_oldCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_temp.filePath("cache")));
    QCOMPARE(TqbSingleInstance::Folder(), m_runtime.path());
}

void TstSingleInstance::cleanupTestCase() {
    qputenv("XDG_RUNTIME_DIR", m_oldRuntime);
    qputenv("TMPDIR", m_oldTemp);
    qputenv("XDG_CACHE_HOME", m_oldCache);
}

void TstSingleInstance::init() {
    // Apart from every other run and every other case.
    m_key = QStringLiteral("qbNivora-test-%1-%2-%3")
                .arg(QCoreApplication::applicationPid())
                .arg(QString::fromLatin1(QTest::currentTestFunction()))
                .arg(QString::fromLatin1(QTest::currentDataTag()));
}

// Another user who makes a file or folder of our names first must not keep the program from
// starting; nor may their folder hold our lock.
void TstSingleInstance::FilesStayWhereNoOtherUserWrites_data() {
    QTest::addColumn<QString>("runtimeMode");
    QTest::addColumn<bool>("tempTaken");
    QTest::addColumn<QString>("folder");
    QTest::newRow("runtime folder") << "private" << false << "runtime";
    QTest::newRow("runtime folder open to others") << "open" << false << "temp";
    QTest::newRow("no runtime folder") << "unset" << false << "temp";
    QTest::newRow("our name in the temporary folder taken") << "unset" << true << "cache";
}

void TstSingleInstance::FilesStayWhereNoOtherUserWrites() {
    QFETCH(QString, runtimeMode);
    QFETCH(bool, tempTaken);
    QFETCH(QString, folder);
    QTemporaryDir runtime(m_temp.filePath("runtime-XXXXXX"));
    QTemporaryDir temp(m_temp.filePath("temp-XXXXXX"));
    const QString own = QStringLiteral("qbNivora-%1").arg(::geteuid());
    auto restore = qScopeGuard([this] {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_temp.filePath("cache")));
    });
    if (runtimeMode == "unset")
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    if (runtimeMode == "open")
        QVERIFY(QFile::setPermissions(runtime.path(), QFile::Permissions(0x7777)));
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(temp.filePath("cache")));
    if (tempTaken) {
        // As another user would leave it; as root it is given to "nobody" as well.
        QVERIFY(QDir(temp.path()).mkdir(own));
        QVERIFY(QFile::setPermissions(temp.filePath(own), QFile::Permissions(0x7777)));
        if (::geteuid() == 0)
            QCOMPARE(::chown(QFile::encodeName(temp.filePath(own)).constData(), 65534, 65534), 0);
    }
    const QString expected = folder == "runtime" ? runtime.path()
                             : folder == "temp"  ? temp.filePath(own)
                                                 : temp.filePath("cache/" + own);
    // A short key: a channel's whole path must stay within 107 bytes.
    const QString key = QStringLiteral("qbNivora-test");
    const QString lock = expected + u'/' + key + ".lock";

    THelper first({key});
    QTRY_COMPARE_WITH_TIMEOUT(first.Lines(), QStringList{"first"}, ProcessWaitMs);
    QVERIFY2(QFileInfo::exists(lock), qPrintable(lock));
    THelper second({key});
    QTRY_VERIFY_WITH_TIMEOUT(second.Finished(), ProcessWaitMs);
    QCOMPARE(second.Process().exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(first.Finished(), ProcessWaitMs);
    QCOMPARE(first.Lines(), QStringList({"first", "restore"}));
}

void TstSingleInstance::SecondStartReachesFirst_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("heard");
    QTest::newRow("restore") << "restore" << "restore";
    QTest::newRow("activate") << "activate" << "activate";
    QTest::newRow("captured text with its lines")
        << "capture:우유 사기\n전화 <하기>" << "capture 우유 사기|전화 <하기>";
    QTest::newRow("long captured text")
        << "capture:" + QString(20000, u'가') << "capture " + QString(20000, u'가');
}

void TstSingleInstance::SecondStartReachesFirst() {
    QFETCH(QString, message);
    QFETCH(QString, heard);
    THelper first({m_key});
    QTRY_COMPARE_WITH_TIMEOUT(first.Lines(), QStringList{"first"}, ProcessWaitMs);

    THelper second({m_key, message});
    QTRY_VERIFY_WITH_TIMEOUT(second.Finished(), ProcessWaitMs);
    QCOMPARE(second.Process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.Process().exitCode(), 0);
    QVERIFY(second.Lines().isEmpty());

    QTRY_VERIFY_WITH_TIMEOUT(first.Finished(), ProcessWaitMs);
    QCOMPARE(first.Lines(), QStringList({"first", heard}));
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
    QFile lock(TqbSingleInstance::LockFileName(key));
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
