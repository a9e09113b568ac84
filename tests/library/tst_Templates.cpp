#include "common/qbTestFiles.h"
#include "library/qbTemplates.h"

#include <QTemporaryDir>
#include <QTest>

class TestTemplates : public QObject {
    Q_OBJECT
private slots:
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
