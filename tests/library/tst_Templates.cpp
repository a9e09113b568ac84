#include "common/qbTestFiles.h"
#include "library/qbTemplates.h"

#include <QTemporaryDir>
#include <QTest>

class TestTemplates : public QObject {
    Q_OBJECT
private slots:
    void sourceDir_data() {
        QTest::addColumn<QStringList>("shared"); // files under the shared folder
        QTest::addColumn<bool>("installed");     // its qbTemplate/ is the source
        QTest::newRow("not installed") << QStringList() << false;
        QTest::newRow("installed templates") << QStringList{"qbTemplate/a.htm"} << true;
        QTest::newRow("installed without templates") << QStringList{"other/x"} << false;
        QTest::newRow("empty template folder") << QStringList{"qbTemplate/sub/x"} << false;
    }
    void sourceDir() {
        QFETCH(QStringList, shared);
        QFETCH(bool, installed);
        QTemporaryDir dir;
        const QString sharedDir = shared.isEmpty() ? QString() : dir.path() + "/";
        for (const QString& file : shared)
            WriteBytes(dir.filePath(file), "x");
        QCOMPARE(qbTemplates::SourceDir(sharedDir),
                 installed ? dir.path() + "/qbTemplate/" : qbTemplates::BuiltInDir());
    }

    void builtInSetIsCompiledIn() {
        const QStringList files = qbTemplates::BuiltInFiles();
        QVERIFY(files.contains("빈 노트.htm"));
        QVERIFY(files.contains("빈 노트.ico"));
    }

    void installMissingKeepsWhatIsThere() {
        QTemporaryDir dir;
        const QString source = dir.filePath("source/");
        const QString target = dir.filePath("user/qbTemplate/");
        WriteBytes(source + "a.htm", "new a");
        WriteBytes(source + "b.htm", "new b");
        // Installed files are read-only; the user's copies must not be.
        QFile::setPermissions(source + "b.htm", QFile::ReadOwner | QFile::ReadOther);
        WriteBytes(target + "a.htm", "user's a");
        QCOMPARE(qbTemplates::InstallMissing(target, source), QStringList{"b.htm"});
        QCOMPARE(ReadBytes(target + "a.htm"), QByteArray("user's a"));
        QCOMPARE(ReadBytes(target + "b.htm"), QByteArray("new b"));
        QVERIFY(QFile::permissions(target + "b.htm") & QFile::WriteOwner);
        QCOMPARE(qbTemplates::InstallMissing(target, source), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestTemplates)
#include "tst_Templates.moc"
