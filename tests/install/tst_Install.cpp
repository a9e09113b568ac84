// The install tree as `cmake --install` lays it out, its desktop files as the desktop's own
// validators see them, and the installed program's first starts.
#include "common/qbTestFiles.h"

#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

namespace {

const QString AppId = QStringLiteral(QB_APP_ID);
const QString WelcomeNote = QStringLiteral("qbNivora 시작하기.htm");
constexpr int InstallTimeoutMs = 120000;
// The program brings up the web engine: slow on a busy machine.
constexpr int StartTimeoutMs = 240000;

struct TqbRun {
    int ExitCode = -1;
    QByteArray Output;
};

TqbRun Run(const QString& program, const QStringList& arguments,
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
           int timeoutMs = InstallTimeoutMs) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    TqbRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.Output = "did not finish: " + process.readAll();
        return run;
    }
    run.Output = process.readAll();
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

// Every file under dir, as paths relative to it, sorted; with size and time when stamped.
QStringList Files(const QString& dir, bool stamped = false) {
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        QString entry = QDir(dir).relativeFilePath(info.filePath());
        if (stamped)
            entry += QStringLiteral(" %1 %2")
                         .arg(info.size())
                         .arg(info.lastModified().toMSecsSinceEpoch());
        files << entry;
    }
    files.sort();
    return files;
}

QStringList ExpectedFiles() {
    QStringList files{
        "bin/qbnivora",
        "share/applications/" + AppId + ".desktop",
        "share/metainfo/" + AppId + ".metainfo.xml",
        "share/icons/hicolor/scalable/apps/" + AppId + ".svg",
        "share/doc/qbNivora/README.md",
    };
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        files << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(AppId);
    const QDir templates(QStringLiteral(QB_SOURCE_DIR "/resources/templates"));
    for (const QString& name : templates.entryList({"*.htm", "*.ico"}, QDir::Files))
        files << "share/qbNivora/qbTemplate/" + name;
    for (const QString& skinFile :
         Files(QStringLiteral(QB_SOURCE_DIR "/resources/skins/qbSkinFiles2")))
        files << "share/qbNivora/qbSkinFiles2/" + skinFile;
    // The spelling dictionaries the build could make (none without the hunspell packages).
    for (const QString& name :
         QDir(QStringLiteral(QB_BUILD_DIR "/bin/qtwebengine_dictionaries")).entryList({"*.bdic"}))
        files << "share/qbNivora/dictionaries/" + name;
    files.sort();
    return files;
}

QString Tool(const QString& name, const char* package) {
    const QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty())
        qWarning("%s is missing: install the Debian package %s", qPrintable(name), package);
    return path;
}

// The lines of a desktop entry's main group as key=value.
QStringList EntryLines(const QString& path) {
    return QString::fromUtf8(ReadBytes(path)).split('\n', Qt::SkipEmptyParts);
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;
    QString Prefix() const { return m_root.filePath("usr"); }
    QString Staged() const { return m_root.filePath("stage/usr"); }
    QString Home() const { return m_root.filePath("home"); }
    QString UserFolder() const { return Home() + "/.local/share/qbNivora/"; }

    static void Install(const QString& prefix, const QString& destDir) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (destDir.isEmpty())
            environment.remove("DESTDIR");
        else
            environment.insert("DESTDIR", destDir);
        const TqbRun run =
            Run(QStringLiteral(QB_CMAKE),
                {"--install", QStringLiteral(QB_BUILD_DIR), "--prefix", prefix}, environment);
        QVERIFY2(run.ExitCode == 0, run.Output.constData());
    }

    // The installed program as a user starts it: a home of its own, nothing else of ours.
    TqbRun StartInstalled() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", Home());
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
            environment.remove(name);
        environment.insert(
            "QBNIVORA_INSTANCE_KEY",
            QStringLiteral("qbNivora-test-installed-%1").arg(QCoreApplication::applicationPid()));
        return Run(Prefix() + "/bin/qbnivora", {"--quit-when-shown"}, environment, StartTimeoutMs);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        Install(Prefix(), {});
        Install("/usr", m_root.filePath("stage"));
    }

    void treeHoldsTheProgramAndItsFiles_data() {
        QTest::addColumn<QString>("tree");
        QTest::newRow("prefix") << Prefix();
        QTest::newRow("DESTDIR") << Staged();
    }
    void treeHoldsTheProgramAndItsFiles() {
        QFETCH(QString, tree);
        QCOMPARE(Files(tree), ExpectedFiles());
        QVERIFY(QFileInfo(tree + "/bin/qbnivora").isExecutable());
        QCOMPARE(ReadBytes(tree + "/share/icons/hicolor/scalable/apps/" + AppId + ".svg"),
                 ReadBytes(QStringLiteral(QB_SOURCE_DIR "/resources/icons/qbnivora.svg")));
        QCOMPARE(ReadBytes(tree + "/share/doc/qbNivora/README.md"),
                 ReadBytes(QStringLiteral(QB_SOURCE_DIR "/README.md")));
    }

    void iconBitmapsHaveTheirSizes() {
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QImage image(QStringLiteral("%1/share/icons/hicolor/%2x%2/apps/%3.png")
                                   .arg(Prefix())
                                   .arg(size)
                                   .arg(AppId));
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY(image.hasAlphaChannel());
            // Drawn, not blank: the page's middle is opaque.
            QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
        }
    }

    void desktopEntryValidates() {
        const QString validator = Tool("desktop-file-validate", "desktop-file-utils");
        QVERIFY(!validator.isEmpty());
        const QString entry = Prefix() + "/share/applications/" + AppId + ".desktop";
        const TqbRun run = Run(validator, {entry});
        QVERIFY2(run.ExitCode == 0 && run.Output.trimmed().isEmpty(), run.Output.constData());
        const QStringList lines = EntryLines(entry);
        // The window's class is the application name; the icon is found by the id.
        for (const QString& line : QStringList{"Exec=qbnivora", "Icon=" + AppId,
                                               "StartupWMClass=qbNivora", "Categories=Office;"})
            QVERIFY2(lines.contains(line), qPrintable(line));
        for (const QString& key : QStringList{"Name", "Name[ko]", "Comment", "Comment[ko]"}) {
            const bool present = std::any_of(lines.begin(), lines.end(), [&](const QString& line) {
                return line.startsWith(key + "=") && line.size() > key.size() + 1;
            });
            QVERIFY2(present, qPrintable(key));
        }
    }

    void metainfoValidates() {
        const QString validator = Tool("appstreamcli", "appstream");
        QVERIFY(!validator.isEmpty());
        const QString metainfo = Prefix() + "/share/metainfo/" + AppId + ".metainfo.xml";
        const TqbRun run = Run(validator, {"validate", "--no-net", metainfo});
        QVERIFY2(run.ExitCode == 0, run.Output.constData());
        const QByteArray xml = ReadBytes(metainfo);
        QVERIFY(xml.contains("<id>" + AppId.toUtf8() + "</id>"));
        QVERIFY(xml.contains(">" + AppId.toUtf8() + ".desktop</launchable>"));
        // A build without an address names no home page at all.
        QCOMPARE(xml.contains("<url type=\"homepage\">"), !QByteArray(QB_HOME_PAGE).isEmpty());
    }

    // Runs last: it changes the installed tree's templates.
    void installedCopyKeepsItsFilesInTheUserFolder() {
        // A packager's own template and skin prove the installed sets are the ones the program
        // takes.
        const QString shared = Prefix() + "/share/qbNivora/";
        WriteBytes(shared + "qbTemplate/packaged.htm", "<HTML></HTML>");
        WriteBytes(shared + "qbSkinFiles2/Packaged/skin.ini", "[Caption]\r\n");
        const QStringList prefixBefore = Files(Prefix(), true);

        TqbRun run = StartInstalled();
        QVERIFY2(run.ExitCode == 0 && run.Output.contains("shown after"), run.Output.constData());
        QCOMPARE(Files(Prefix(), true), prefixBefore);
        QVERIFY(QFileInfo(UserFolder() + "qbNivora.ini").isFile());
        QVERIFY(QFileInfo(UserFolder() + "BookData").isDir());
        for (const char* kind : {"qbTemplate/", "qbSkinFiles2/"}) {
            const QStringList installed = Files(shared + kind);
            QVERIFY(installed.size() > 2);
            for (const QString& file : installed)
                QVERIFY2(QFileInfo(UserFolder() + kind + file).isFile(), qPrintable(kind + file));
        }
        // The new library greets its user.
        const QString welcome = UserFolder() + "BookData/" + WelcomeNote;
        QVERIFY(QFileInfo(welcome).isFile());
        QCOMPARE(QDir(UserFolder() + "BookData").entryList(QDir::Files), QStringList{WelcomeNote});

        // Once read and deleted, it stays gone.
        QVERIFY(QFile::remove(welcome));
        run = StartInstalled();
        QVERIFY2(run.ExitCode == 0, run.Output.constData());
        QVERIFY(!QFileInfo::exists(welcome));
        QCOMPARE(Files(Prefix(), true), prefixBefore);
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_Install.moc"
