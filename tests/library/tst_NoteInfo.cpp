#include "library/qbNoteInfo.h"
#include "prjinfo/qbProjectInfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestNoteInfo : public QObject {
    Q_OBJECT
private slots:
    void programFiles() {
        QTemporaryDir dir;
        TqbPrjInfo prj("qbNivora", dir.path());
        TqbNoteInfo info(prj);
        QCOMPARE(info.TempFileName(), dir.path() + "/qbtmp.qb");
        QCOMPARE(info.DefHeaderFileName(), dir.path() + "/DefHeader.dat");
        QCOMPARE(info.TemplateDir(), dir.path() + "/qbTemplate/");
        QCOMPARE(info.AppTitle(), QString("qbNivora 1.0 build 1"));
    }

    void builtInHeaderBytes() {
        QTemporaryDir dir;
        TqbPrjInfo prj("qbNivora", dir.path());
        TqbNoteInfo info(prj);
        const QByteArray expected =
            "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; charset=euc-kr\">\n"
            "<style type=\"text/css\"><!--\n"
            "BODY,TD,SELECT,input,DIV,form,TEXTAREA,option {font-size:9pt; "
            "font-family:verdana;color:333333}\n"
            "A:link {color:#4077a0;text-decoration:none;font-weight: bold}\n"
            "A:visited {color:#4077a0;text-decoration:none;font-weight: bold}\n"
            "A:hover{color:#990000;text-decoration:none;font-weight: bold}\n"
            "--></style></HEAD><BODY><DIV></DIV>\n"
            "</BODY></HTML>";
        QCOMPARE(info.DefaultHeader().join('\n').toLatin1(), expected);
    }

    void defHeaderFileReplacesBuiltIn() {
        QTemporaryDir dir;
        TqbPrjInfo prj("qbNivora", dir.path());
        TqbNoteInfo info(prj);
        // CP949 bytes for "가" with mixed line ends.
        WriteFile(info.DefHeaderFileName(), "<HTML>\r\n<BODY>\xB0\xA1\n</BODY></HTML>");
        info.LoadDefaultHeader();
        QCOMPARE(info.DefaultHeader(), QStringList({"<HTML>", "<BODY>가", "</BODY></HTML>"}));
        QFile::remove(info.DefHeaderFileName());
        info.LoadDefaultHeader();
        info.LoadDefaultHeader();
        QCOMPARE(info.DefaultHeader().size(), 8);
    }

    void dataDir_data() {
        QTest::addColumn<QString>("ini");      // %1 stands for the temporary folder, %R for the
                                               // way from it up to the file system's root
        QTest::addColumn<QString>("expected"); // %1 the same
        QTest::addColumn<QString>("problem");  // why the default came instead; empty when not
        const QString instead = u'\n' + QStringLiteral("기본 데이터 폴더 \"%1/BookData\"을(를) 대신 씁니다.");
        const auto refused = [&](const char* why) { return QString::fromUtf8(why) + instead; };
        QTest::newRow("no ini") << QString() << "%1/BookData" << "";
        QTest::newRow("no key") << "[PROGRAM]\nLeft=3\n" << "%1/BookData" << "";
        QTest::newRow("empty key counts as missing") << "[PROGRAM]\nDirData=\n" << "%1/BookData"
                                                    << "";
        QTest::newRow("own folder, value unaltered") << "[program]\ndirdata=%1/mine/\n"
                                                     << "%1/mine/" << "";
        QTest::newRow("korean name") << "[PROGRAM]\nDirData=%1/내 노트\n" << "%1/내 노트" << "";
        QTest::newRow("relative to the program folder") << "[PROGRAM]\nDirData=notes\n"
                                                        << "%1/notes" << "";
        QTest::newRow("existing folder") << "[PROGRAM]\nDirData=%1/existing\n" << "%1/existing"
                                         << "";
        QTest::newRow("missing parent")
            << "[PROGRAM]\nDirData=%1/no/such\n" << "%1/BookData"
            << refused("데이터 폴더 \"%1/no/such\"의 상위 폴더가 없습니다.");
        QTest::newRow("names a file")
            << "[PROGRAM]\nDirData=%1/qbNivora.ini\n" << "%1/BookData"
            << refused("데이터 폴더 \"%1/qbNivora.ini\"은(는) 폴더가 아니라 파일입니다.");
        QTest::newRow("file system root")
            << "[PROGRAM]\nDirData=/\n" << "%1/BookData"
            << refused("데이터 폴더 \"/\"은(는) 파일 시스템의 최상위 폴더라서 쓸 수 없습니다.");
        QTest::newRow("link to the root")
            << "[PROGRAM]\nDirData=%1/root-link\n" << "%1/BookData"
            << refused("데이터 폴더 \"%1/root-link\"은(는) 파일 시스템의 최상위 폴더라서 쓸 수 없습니다.");
        QTest::newRow("unreadable folder")
            << "[PROGRAM]\nDirData=%1/locked\n" << "%1/BookData"
            << refused("데이터 폴더 \"%1/locked\"을(를) 읽을 수 없습니다.");
        // Settings copied from Windows: the value is named, nothing is made under it, and the
        // library copied beside the settings is the one used.
        QTest::newRow("windows drive path")
            << "[PROGRAM]\nDirData=D:\\내 문서\\qbNivora\\BookData\n" << "%1/BookData"
            << refused("데이터 폴더 \"D:\\내 문서\\qbNivora\\BookData\"은(는) 윈도우의 경로라서 "
                       "이 컴퓨터에서는 쓸 수 없습니다.");
        QTest::newRow("windows relative path")
            << "[PROGRAM]\nDirData=notes\\2024\n" << "%1/BookData"
            << refused("데이터 폴더 \"notes\\2024\"은(는) 윈도우의 경로라서 이 컴퓨터에서는 쓸 수 "
                       "없습니다.");
        QTest::newRow("windows network path")
            << "[PROGRAM]\nDirData=\\\\server\\notes\n" << "%1/BookData"
            << refused("데이터 폴더 \"\\\\server\\notes\"은(는) 윈도우의 경로라서 이 컴퓨터에서는 "
                       "쓸 수 없습니다.");
        QTest::newRow("relative way to /proc")
            << "[PROGRAM]\nDirData=%R/proc\n" << "%1/BookData"
            << refused("데이터 폴더 \"/proc\"은(는) 시스템이 쓰는 폴더라서 쓸 수 없습니다.");
        QTest::newRow("inside /sys")
            << "[PROGRAM]\nDirData=/sys/kernel\n" << "%1/BookData"
            << refused("데이터 폴더 \"/sys/kernel\"은(는) 시스템이 쓰는 폴더라서 쓸 수 없습니다.");
        QTest::newRow("the program folder itself")
            << "[PROGRAM]\nDirData=.\n" << "%1/BookData"
            << refused("데이터 폴더 \"%1\"은(는) 프로그램 폴더라서 쓸 수 없습니다.");
        QTest::newRow("the program folder by its full path")
            << "[PROGRAM]\nDirData=%1/\n" << "%1/BookData"
            << refused("데이터 폴더 \"%1\"은(는) 프로그램 폴더라서 쓸 수 없습니다.");
    }
    void dataDir() {
        QFETCH(QString, ini);
        QFETCH(QString, expected);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("existing"));
        QVERIFY(QFile::link(QDir::rootPath(), dir.filePath("root-link")));
        QVERIFY(QDir(dir.path()).mkdir("locked"));
        QVERIFY(QFile::setPermissions(dir.filePath("locked"), QFileDevice::WriteOwner));
        if (QString::fromLatin1(QTest::currentDataTag()) == "unreadable folder" &&
            QFileInfo(dir.filePath("locked")).isReadable())
            QSKIP("rights do not stop this user from reading");

        TqbPrjInfo prj("qbNivora", dir.path());
        TqbNoteInfo info(prj);
        const QByteArray iniBytes = QString(ini)
                                        .replace("%1", dir.path())
                                        .replace("%R", QDir(dir.path()).relativeFilePath("/"))
                                        .toUtf8();
        if (!ini.isNull())
            WriteFile(prj.IniFileName(), iniBytes);
        const QString want = QString(expected).replace("%1", dir.path());
        QCOMPARE(info.GetDataDir(), want);
        QVERIFY(QFileInfo(want).isDir());
        QCOMPARE(info.DataDirProblem(), QString(problem).replace("%1", dir.path()));
        if (!problem.isEmpty()) {
            // Nothing else was made, and the setting stays for a later start.
            QVERIFY(!QFileInfo::exists(dir.filePath("no")));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 4);
            QVERIFY(!QFileInfo::exists(QDir::rootPath() + "___폴더설명.qb"));
        }
        if (!ini.isNull()) {
            QFile stored(prj.IniFileName());
            QVERIFY(stored.open(QIODevice::ReadOnly));
            QCOMPARE(stored.readAll(), iniBytes);
        }
    }

    void defaultThatCannotBeMadeIsSaid() {
        QTemporaryDir dir;
        TqbPrjInfo prj("qbNivora", dir.path());
        WriteFile(dir.filePath("BookData"), "in the way");
        WriteFile(prj.IniFileName(), "[PROGRAM]\nDirData=/\n");
        TqbNoteInfo info(prj);
        QCOMPARE(info.GetDataDir(), dir.filePath("BookData"));
        QCOMPARE(info.DataDirProblem().count(u'\n'), 1);
        QVERIFY(info.DataDirProblem().contains(QStringLiteral("파일입니다")));
    }

    void setDataDirIsSeenAtNextRead() {
        QTemporaryDir dir;
        TqbPrjInfo prj("qbNivora", dir.path());
        TqbNoteInfo info(prj);
        info.SetDataDir(dir.filePath("other"));
        QCOMPARE(info.GetDataDir(), dir.filePath("other"));
        QVERIFY(QFileInfo(dir.filePath("other")).isDir());
        QCOMPARE(info.DataDirProblem(), QString());
    }
};

QTEST_GUILESS_MAIN(TestNoteInfo)
#include "tst_NoteInfo.moc"
