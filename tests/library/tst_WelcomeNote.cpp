#include "common/qbTestFiles.h"
#include "library/qbNoteInfo.h"
#include "library/qbWelcomeNote.h"
#include "platform/qbPageCodec.h"
#include "prjinfo/qbProjectInfo.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

void WriteIni(const QTemporaryDir& dir, const QString& text) {
    if (!text.isEmpty())
        WriteBytes(dir.filePath("qbNivora.ini"), text.arg(dir.path()).toUtf8());
}

} // namespace

class TestWelcomeNote : public QObject {
    Q_OBJECT
private slots:
    void newLibraryIsToldApart_data() {
        QTest::addColumn<QString>("ini");          // %1 stands for the program folder
        QTest::addColumn<QStringList>("existing"); // folders and files there before the start
        QTest::addColumn<bool>("created");
        QTest::newRow("first start") << QString() << QStringList() << true;
        QTest::newRow("empty library the user has")
            << QString() << QStringList{"BookData/"} << false;
        QTest::newRow("library with notes") << QString() << QStringList{"BookData/a.htm"} << false;
        QTest::newRow("chosen folder not there yet") << "[PROGRAM]\nDirData=%1/mine\n"
                                                     << QStringList{"BookData/"} << true;
        QTest::newRow("chosen folder there") << "[PROGRAM]\nDirData=%1/mine\n"
                                             << QStringList{"mine/"} << false;
        QTest::newRow("refused folder, default made") << "[PROGRAM]\nDirData=%1/no/such\n"
                                                      << QStringList() << true;
        QTest::newRow("refused folder, default there") << "[PROGRAM]\nDirData=%1/no/such\n"
                                                       << QStringList{"BookData/"} << false;
        QTest::newRow("folder that cannot be made") << "[PROGRAM]\nDirData=%1/file/lib\n"
                                                    << QStringList{"BookData/", "file"} << false;
    }
    void newLibraryIsToldApart() {
        QFETCH(QString, ini);
        QFETCH(QStringList, existing);
        QFETCH(bool, created);
        QTemporaryDir dir;
        WriteIni(dir, ini);
        for (const QString& entry : existing) {
            if (entry.endsWith('/'))
                QVERIFY(QDir(dir.path()).mkpath(entry));
            else
                WriteBytes(dir.filePath(entry), "x");
        }
        TqbPrjInfo prj("qbNivora", dir.path());
        TqbNoteInfo info(prj);
        QVERIFY(QFileInfo(info.GetDataDir()).isDir());
        QCOMPARE(info.DataDirCreated(), created);
        // The next look at the same library finds it there.
        info.GetDataDir();
        QVERIFY(!info.DataDirCreated());
    }

    void noteIsKoreanInCodePage949() {
        QTemporaryDir dir;
        const QString templates = dir.filePath("prog/qbTemplate/");
        QVERIFY(qbWelcomeNote::Write(dir.path(), templates));
        const QByteArray bytes = ReadBytes(dir.filePath(qbWelcomeNote::FileName));
        QVERIFY(bytes.contains("charset=euc-kr"));
        QCOMPARE(qbPageCodec::Charset(bytes), QByteArray("windows-949"));
        // Every character fits the code page: nothing became a numeric reference.
        QVERIFY(!bytes.contains("&#"));
        QVERIFY(bytes.contains("\r\n"));
        QVERIFY(!bytes.contains("\n\n") && bytes.count('\n') == bytes.count("\r\n"));
        const TqbPageText page = qbPageCodec::Decode(bytes);
        QVERIFY(!page.HadDecodingErrors);
        QCOMPARE(page.Text, qbWelcomeNote::Page(templates));
        // What it must explain, by the words and keys the window itself uses.
        for (const QString word : {"트리", "브라우즈 모드(F6)", "수정모드(F7)",
                                    "소스 수정모드(F8)", "서식", "Ctrl+D", "휴지통", "환경설정",
                                    "Ctrl+J", "링크 만들기(Ctrl+K)", "이 노트를 가리키는 노트",
                                    "이전 버전(Ctrl+H)", "맞춤법 검사", "사전에 추가"})
            QVERIFY2(page.Text.contains(word), qPrintable(word));
        QVERIFY(page.Text.contains(QDir::toNativeSeparators(templates)));
    }

    void templateFolderIsShownAsText_data() {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("shown");
        QTest::newRow("markup characters") << "/srv/a<b>&c/qbTemplate/"
                                           << "/srv/a&lt;b&gt;&amp;c/qbTemplate/";
        QTest::newRow("under the home folder")
            << QDir::homePath() + "/.local/share/qbNivora/qbTemplate/"
            << "~/.local/share/qbNivora/qbTemplate/";
        QTest::newRow("home folder's namesake")
            << QDir::homePath() + "x/qbTemplate/" << QDir::homePath() + "x/qbTemplate/";
    }
    void templateFolderIsShownAsText() {
        QFETCH(QString, dir);
        QFETCH(QString, shown);
        const QString page = qbWelcomeNote::Page(dir);
        QVERIFY2(page.contains("폴더 " + shown + "에 "), qPrintable(page));
        QVERIFY(!page.contains("<b>&c"));
    }

    void existingNoteOfThatNameIsKept() {
        QTemporaryDir dir;
        const QString path = dir.filePath(qbWelcomeNote::FileName);
        WriteBytes(path, "mine");
        QVERIFY(qbWelcomeNote::Write(dir.path(), dir.path()));
        QCOMPARE(ReadBytes(path), QByteArray("mine"));
    }

    void failedWriteIsReportedAndLeavesNothing() {
        QTemporaryDir dir;
        WriteBytes(dir.filePath("file"), "x");
        // A folder under a regular file cannot be written, even by root.
        QString problem;
        QVERIFY(!qbWelcomeNote::Write(dir.filePath("file/lib"), dir.path(), &problem));
        QVERIFY(!problem.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"file"});
    }
};

QTEST_GUILESS_MAIN(TestWelcomeNote)
#include "tst_WelcomeNote.moc"
