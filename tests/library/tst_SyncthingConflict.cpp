// Two Syncthing instances on this machine share a library; both computers change the same note
// while one is paused. Once they meet again, the library sees the conflict copy Syncthing made,
// and the merge of the two keeps both changes.
#include "common/qbFakeAsker.h"
#include "common/qbTestFiles.h"
#include "library/qbConflictResolution.h"
#include "library/qbLibrary.h"
#include "library/qbNoteVersions.h"
#include "platform/qbAtomicWrite.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <memory>
#include <optional>

#include <csignal>
#include <sys/prctl.h>

namespace {

// The engine's start, its first meeting and a scan each take seconds; on a loaded machine more.
constexpr int EngineTimeoutMs = 180000;

const QByteArray Base = "<html><head><title>t</title></head><body>\r\n"
                        "<p>first</p><p>middle</p><p>last</p></body></html>\r\n";
const QByteArray FirstChanged =
    "<html><head><title>t</title></head><body>\r\n"
    "<p>first, on the laptop</p><p>middle</p><p>last</p></body></html>\r\n";
const QByteArray LastChanged =
    "<html><head><title>t</title></head><body>\r\n"
    "<p>first</p><p>middle</p><p>last, on the desktop</p></body></html>\r\n";
const QByteArray BothChanged =
    "<html><head><title>t</title></head><body>\r\n"
    "<p>first, on the laptop</p><p>middle</p><p>last, on the desktop</p></body></html>\r\n";

int FreePort() {
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0;
}

// One computer: a Syncthing home, its library and its running engine.
struct TComputer {
    QString Name;
    QString Home;
    QString Library;
    QString Id;
    int ListenPort = 0;
    int GuiPort = 0;
    QString ApiKey = QUuid::createUuid().toString(QUuid::Id128);
    std::unique_ptr<QProcess> Engine;

    ~TComputer() { Stop(); }
    void Stop() {
        if (!Engine || Engine->state() == QProcess::NotRunning)
            return;
        Engine->kill();
        Engine->waitForFinished(10000);
    }
};

QString EngineConfig(const QString& version, const TComputer& self, const TComputer& peer) {
    const auto device = [](const TComputer& c) {
        return QStringLiteral("  <device id=\"%1\" name=\"%2\" compression=\"metadata\" "
                              "introducer=\"false\" skipIntroductionRemovals=\"false\" "
                              "introducedBy=\"\">\n    <address>tcp://127.0.0.1:%3</address>\n"
                              "    <paused>false</paused>\n  </device>\n")
            .arg(c.Id, c.Name)
            .arg(c.ListenPort);
    };
    return QStringLiteral(
               "<configuration version=\"%1\">\n"
               "  <folder id=\"library\" label=\"library\" path=\"%2\" type=\"sendreceive\" "
               "rescanIntervalS=\"5\" fsWatcherEnabled=\"true\" fsWatcherDelayS=\"1\" "
               "ignorePerms=\"false\" autoNormalize=\"true\">\n"
               "    <filesystemType>basic</filesystemType>\n"
               "    <device id=\"%3\" introducedBy=\"\"></device>\n"
               "    <device id=\"%4\" introducedBy=\"\"></device>\n"
               "    <minDiskFree unit=\"%\">0</minDiskFree>\n"
               "    <maxConflicts>10</maxConflicts>\n"
               "  </folder>\n")
               .arg(version, self.Library.toHtmlEscaped(), self.Id, peer.Id) +
           device(self) + device(peer) +
           QStringLiteral("  <gui enabled=\"true\" tls=\"false\">\n"
                          "    <address>127.0.0.1:%1</address>\n"
                          "    <apikey>%2</apikey>\n"
                          "  </gui>\n"
                          "  <options>\n"
                          "    <listenAddress>tcp://127.0.0.1:%3</listenAddress>\n"
                          "    <globalAnnounceEnabled>false</globalAnnounceEnabled>\n"
                          "    <localAnnounceEnabled>false</localAnnounceEnabled>\n"
                          "    <relaysEnabled>false</relaysEnabled>\n"
                          "    <natEnabled>false</natEnabled>\n"
                          "    <urAccepted>-1</urAccepted>\n"
                          "    <autoUpgradeIntervalH>0</autoUpgradeIntervalH>\n"
                          "    <startBrowser>false</startBrowser>\n"
                          "    <crashReportingEnabled>false</crashReportingEnabled>\n"
                          "    <minHomeDiskFree unit=\"%\">0</minHomeDiskFree>\n"
                          "  </options>\n"
                          "</configuration>\n")
               .arg(self.GuiPort)
               .arg(self.ApiKey)
               .arg(self.ListenPort);
}

} // namespace

class tst_SyncthingConflict : public QObject {
    Q_OBJECT

    QNetworkAccessManager m_network;

    // The REST answer's body; nothing when the engine did not answer (yet).
    std::optional<QByteArray> Rest(const TComputer& computer, const QByteArray& method,
                                   const QString& path) {
        QNetworkRequest request(
            QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(computer.GuiPort).arg(path)));
        request.setRawHeader("X-API-Key", computer.ApiKey.toLatin1());
        QNetworkReply* reply = m_network.sendCustomRequest(request, method);
        QSignalSpy finished(reply, &QNetworkReply::finished);
        if (!reply->isFinished() && !finished.wait(EngineTimeoutMs))
            reply->abort();
        std::optional<QByteArray> body;
        if (reply->error() == QNetworkReply::NoError)
            body = reply->readAll();
        reply->deleteLater();
        return body;
    }

    bool Connected(const TComputer& computer, const TComputer& peer) {
        const QJsonObject connections =
            QJsonDocument::fromJson(Rest(computer, "GET", "/rest/system/connections").value_or(""))
                .object()
                .value("connections")
                .toObject();
        return connections.value(peer.Id).toObject().value("connected").toBool();
    }

    // The folder is scanned and holds what the computer's user wrote.
    bool Scanned(const TComputer& computer) {
        return Rest(computer, "POST", "/rest/db/scan?folder=library").has_value();
    }

private slots:
    void conflictCopyIsSeenAndMerged() {
        const QString engine = QStandardPaths::findExecutable("syncthing");
        if (engine.isEmpty())
            QSKIP("syncthing is not on PATH (Debian package syncthing): the test with two real "
                  "Syncthing instances is skipped");
        QTemporaryDir temp;
        TComputer laptop, desktop;
        laptop.Name = "laptop";
        desktop.Name = "desktop";
        for (TComputer* c : {&laptop, &desktop}) {
            c->Home = temp.filePath(c->Name + "-home");
            c->Library = temp.filePath(c->Name + "-BookData");
            // The engine refuses a folder without its marker.
            QVERIFY(QDir().mkpath(c->Library + "/.stfolder"));
            QProcess generate;
            generate.setProcessChannelMode(QProcess::MergedChannels);
            generate.start(engine, {"generate", "--home=" + c->Home, "--no-default-folder",
                                    "--skip-port-probing"});
            QVERIFY(generate.waitForFinished(EngineTimeoutMs));
            const QString said = QString::fromUtf8(generate.readAll());
            const QRegularExpressionMatch id =
                QRegularExpression("Device ID: ([A-Z0-9-]+)").match(said);
            QVERIFY2(id.hasMatch(), qPrintable(said));
            c->Id = id.captured(1);
            c->ListenPort = FreePort();
            c->GuiPort = FreePort();
            QVERIFY(c->ListenPort > 0 && c->GuiPort > 0);
        }
        WriteBytes(laptop.Library + "/A/note.htm", Base);
        for (TComputer* c : {&laptop, &desktop}) {
            const TComputer& peer = c == &laptop ? desktop : laptop;
            const QString configPath = c->Home + "/config.xml";
            const QRegularExpressionMatch version =
                QRegularExpression("<configuration version=\"(\\d+)\"")
                    .match(QString::fromUtf8(ReadBytes(configPath)));
            QVERIFY(version.hasMatch());
            QFile config(configPath);
            QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
            config.write(EngineConfig(version.captured(1), *c, peer).toUtf8());
            config.close();

            c->Engine = std::make_unique<QProcess>();
            // Gone with the test, however it ends.
            c->Engine->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("HOME", temp.path());
            env.insert("STNORESTART", "1");
            env.insert("STNOUPGRADE", "1");
            // The engine itself, without the monitor that would restart it (and outlive us).
            env.insert("STMONITORED", "yes");
            c->Engine->setProcessEnvironment(env);
            c->Engine->setProcessChannelMode(QProcess::MergedChannels);
            c->Engine->setStandardOutputFile(temp.filePath(c->Name + ".log"));
            c->Engine->start(engine, {"serve", "--home=" + c->Home, "--no-browser", "--no-restart",
                                      "--no-upgrade"});
            QVERIFY(c->Engine->waitForStarted());
        }
        const auto log = [&] {
            return QString::fromUtf8(ReadBytes(temp.filePath("laptop.log")).right(3000) +
                                     ReadBytes(temp.filePath("desktop.log")).right(3000));
        };

        // The note reaches the desktop.
        QTRY_VERIFY2_WITH_TIMEOUT(ReadBytes(desktop.Library + "/A/note.htm") == Base,
                                  qPrintable(log()), EngineTimeoutMs);

        // Apart, each computer saves its change as the program does: the page replaced is kept.
        QTRY_VERIFY_WITH_TIMEOUT(Rest(laptop, "POST", "/rest/system/pause").has_value(),
                                 EngineTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!Connected(laptop, desktop) && !Connected(desktop, laptop),
                                 EngineTimeoutMs);
        for (auto [computer, page] : {std::pair{&laptop, FirstChanged}, {&desktop, LastChanged}}) {
            TqbNoteVersions versions;
            versions.SetRoot(computer->Library);
            versions.SetComputer(computer->Name);
            const QString note = computer->Library + "/A/note.htm";
            QVERIFY(!versions.Keep(note, Base).isEmpty());
            qbAtomicWrite::ReplaceFile(note, page);
            QVERIFY(Scanned(*computer));
        }

        // Together again: the engine keeps one page as the note and the other as its copy.
        QTRY_VERIFY_WITH_TIMEOUT(Rest(laptop, "POST", "/rest/system/resume").has_value(),
                                 EngineTimeoutMs);
        const QString note = laptop.Library + "/A/note.htm";
        TqbNoteVersions versions;
        versions.SetRoot(laptop.Library);
        versions.SetComputer(laptop.Name);
        // The copy, and the desktop's kept page that tells what both started from.
        QTRY_VERIFY2_WITH_TIMEOUT(TqbConflictResolution::CopiesOf(note).size() == 1 &&
                                      versions.List(note).size() == 2,
                                  qPrintable(log()), EngineTimeoutMs);
        const QString copy = TqbConflictResolution::CopiesOf(note).first();
        QVERIFY(QFileInfo(copy).fileName().startsWith("note.sync-conflict-"));

        TqbFakeAsker asker;
        asker.Answer = false;
        TqbLibrary library(asker);
        library.SetRoot(laptop.Library);
        QTRY_COMPARE_WITH_TIMEOUT(library.Store().Conflicts().Count(), 1, EngineTimeoutMs);
        QVERIFY(library.Store().Conflicts().Has(note));

        TqbConflictResolution resolution(versions, laptop.Library, note, copy);
        const TqbMergeResult merged = resolution.Merge();
        QVERIFY(merged.Clean);
        resolution.WriteMerged(merged.Merged);
        QCOMPARE(ReadBytes(note), BothChanged);
        QVERIFY(!QFileInfo::exists(copy));

        // The merge travels to the other computer like any save.
        QTRY_VERIFY2_WITH_TIMEOUT(
            ReadBytes(desktop.Library + "/A/note.htm") == BothChanged &&
                TqbConflictResolution::CopiesOf(desktop.Library + "/A/note.htm").isEmpty(),
            qPrintable(log()), EngineTimeoutMs);
    }
};

QTEST_GUILESS_MAIN(tst_SyncthingConflict)
#include "tst_SyncthingConflict.moc"
