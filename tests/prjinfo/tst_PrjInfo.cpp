#include "prjinfo/qbProjectInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestPrjInfo : public QObject {
    Q_OBJECT
private slots:
    void versionText_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("patch");
        QTest::addColumn<int>("build");
        QTest::addColumn<QString>("text");
        QTest::newRow("third number not shown") << 2 << 1 << 0 << 13 << "2.1 build 13";
        QTest::newRow("first release") << 1 << 0 << 0 << 1 << "1.0 build 1";
        QTest::newRow("patch ignored") << 3 << 12 << 7 << 0 << "3.12 build 0";
        QTest::newRow("no version") << 0 << 0 << 0 << 0 << "";
    }
    void versionText() {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, patch);
        QFETCH(int, build);
        QFETCH(QString, text);
        QCOMPARE(TqbPrjInfo::VersionText({major, minor, patch, build}), text);
    }

    void compiledVersionIsTheProjectVersion() {
        QCOMPARE(TqbPrjInfo(QStringLiteral("qbNivora"), QDir::tempPath()).VersionText(),
                 QStringLiteral("1.0 build 1"));
    }

    void programFolderAndIniName() {
        QTemporaryDir dir;
        TqbPrjInfo info(QStringLiteral("qbNivora"), dir.path());
        QCOMPARE(info.ProgramDir(), dir.path() + "/");
        QCOMPARE(info.IniFileName(), dir.path() + "/qbNivora.ini");
    }

    void programFolderFallsBackWhenNotWritable() {
        QTemporaryDir dir;
        // A path under a regular file can never be written, even by root.
        QFile blocker(dir.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString userData = dir.filePath("user/data");
        QCOMPARE(TqbPrjInfo::ChooseProgramDir(dir.filePath("file/bin"), userData), userData + "/");
        QVERIFY(QFileInfo(userData).isDir());
        QCOMPARE(TqbPrjInfo::ChooseProgramDir(dir.path(), userData), dir.path() + "/");
    }

    void installedCopyKeepsOutOfItsPrefix_data() {
        QTest::addColumn<QStringList>("layout"); // under a writable prefix; "/" ends a folder
        QTest::addColumn<bool>("installed");
        const QString shared = QStringLiteral("bin/" QB_SHARED_FROM_BIN);
        QTest::newRow("build folder") << QStringList{"bin/"} << false;
        QTest::newRow("install tree") << QStringList{"bin/", shared + "/"} << true;
        QTest::newRow("install tree with its files")
            << QStringList{"bin/", shared + "/qbTemplate/a.htm"} << true;
        QTest::newRow("shared folder of another program")
            << QStringList{"bin/", "share/other/"} << false;
        QTest::newRow("shared name is a file") << QStringList{"bin/", shared} << false;
    }
    void installedCopyKeepsOutOfItsPrefix() {
        QFETCH(QStringList, layout);
        QFETCH(bool, installed);
        QTemporaryDir prefix;
        for (const QString& entry : layout) {
            const QString path = QDir::cleanPath(prefix.filePath(entry));
            if (entry.endsWith('/')) {
                QVERIFY(QDir().mkpath(path));
            } else {
                QVERIFY(QDir().mkpath(QFileInfo(path).path()));
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly));
            }
        }
        const QString bin = prefix.filePath("bin");
        const QString userData = prefix.filePath("home/.local/share/qbNivora");
        const QString expectedShared =
            installed ? QDir::cleanPath(bin + "/" QB_SHARED_FROM_BIN) + "/" : QString();
        QCOMPARE(TqbPrjInfo::InstalledSharedDir(bin), expectedShared);
        QCOMPARE(TqbPrjInfo::ChooseProgramDir(bin, userData), (installed ? userData : bin) + "/");
        QCOMPARE(QDir(bin).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void defaultsComeFromTheInstallTree_data() {
        QTest::addColumn<QStringList>("shared"); // under the shared folder; "/" ends a folder
        QTest::addColumn<bool>("installed");     // its "qbSkinFiles2/" is where defaults come from
        QTest::newRow("not installed") << QStringList() << false;
        QTest::newRow("installed skins") << QStringList{"qbSkinFiles2/Olive/skin.ini"} << true;
        QTest::newRow("installed, none of this kind") << QStringList{"qbTemplate/a.htm"} << false;
        QTest::newRow("empty folder of this kind") << QStringList{"qbSkinFiles2/"} << false;
    }
    void defaultsComeFromTheInstallTree() {
        QFETCH(QStringList, shared);
        QFETCH(bool, installed);
        QTemporaryDir dir;
        for (const QString& entry : shared) {
            const QString path = dir.filePath(entry);
            QVERIFY(QDir().mkpath(entry.endsWith('/') ? path : QFileInfo(path).path()));
            if (!entry.endsWith('/')) {
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly));
            }
        }
        const QString sharedDir = shared.isEmpty() ? QString() : dir.path() + "/";
        QCOMPARE(TqbPrjInfo::DefaultsDir(sharedDir, "qbSkinFiles2", ":/built-in/"),
                 installed ? dir.path() + "/qbSkinFiles2/" : QStringLiteral(":/built-in/"));
    }

    // The home-page item's README: the installed one, else the source tree's, else none.
    void readmeFile_data() {
        QTest::addColumn<QStringList>("files"); // under the test folder
        QTest::addColumn<QString>("readme");    // empty: none
        const QString installed = QStringLiteral("bin/" QB_DOC_FROM_BIN "/README.md");
        QTest::newRow("installed") << QStringList{installed, "src/README.md"} << installed;
        QTest::newRow("build folder") << QStringList{"src/README.md"} << "src/README.md";
        QTest::newRow("neither") << QStringList{"bin/README.md"} << "";
    }
    void readmeFile() {
        QFETCH(QStringList, files);
        QFETCH(QString, readme);
        QTemporaryDir dir;
        for (const QString& file : files) {
            const QString path = QDir::cleanPath(dir.filePath(file));
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QCOMPARE(TqbPrjInfo::ReadmeFile(dir.filePath("bin"), dir.filePath("src/README.md")),
                 readme.isEmpty() ? QString() : QDir::cleanPath(dir.filePath(readme)));
    }

    void homePageIsTheSourceReadmeInABuildFolder() {
        if (!QStringLiteral(QB_HOME_PAGE).isEmpty())
            QSKIP("built with a home-page address");
        QCOMPARE(TqbPrjInfo::HomePage(),
                 QUrl::fromLocalFile(QStringLiteral(QB_SOURCE_DIR "/README.md")));
    }

    void startMaximized_data() {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("no file") << QString() << false;
        QTest::newRow("one") << "[PROGRAM]\nBeginMax=1\nMaximized=0\n" << true;
        QTest::newRow("zero") << "[program]\nbeginmax=0\n" << false;
        QTest::newRow("any non-zero") << "[PROGRAM]\nBeginMax=0x10\n" << true;
    }
    void startMaximized() {
        QFETCH(QString, ini);
        QFETCH(bool, maximized);
        QTemporaryDir dir;
        TqbPrjInfo info(QStringLiteral("qbNivora"), dir.path());
        if (!ini.isNull()) {
            QFile f(info.IniFileName());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(ini.toUtf8());
        }
        QCOMPARE(info.StartMaximized(), maximized);
    }
};

QTEST_GUILESS_MAIN(TestPrjInfo)
#include "tst_PrjInfo.moc"
