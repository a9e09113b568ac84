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
        QTest::addColumn<QString>("ini");      // %1 stands for the temporary folder
        QTest::addColumn<QString>("expected"); // the same
        QTest::addColumn<bool>("refused");     // the default came instead, with a message
        QTest::newRow("no ini") << QString() << "%1/BookData" << false;
        QTest::newRow("no key") << "[PROGRAM]\nLeft=3\n" << "%1/BookData" << false;
        QTest::newRow("empty key counts as missing") << "[PROGRAM]\nDirData=\n" << "%1/BookData"
                                                    << false;
        QTest::newRow("own folder, value unaltered") << "[program]\ndirdata=%1/mine/\n"
                                                     << "%1/mine/" << false;
        QTest::newRow("korean name") << "[PROGRAM]\nDirData=%1/내 노트\n" << "%1/내 노트" << false;
        QTest::newRow("relative to the program folder") << "[PROGRAM]\nDirData=notes\n"
                                                        << "%1/notes" << false;
        QTest::newRow("existing folder") << "[PROGRAM]\nDirData=%1/existing\n" << "%1/existing"
                                         << false;
        QTest::newRow("missing parent") << "[PROGRAM]\nDirData=%1/no/such\n" << "%1/BookData"
                                        << true;
        QTest::newRow("names a file") << "[PROGRAM]\nDirData=%1/qbNivora.ini\n" << "%1/BookData"
                                      << true;
        QTest::newRow("file system root") << "[PROGRAM]\nDirData=/\n" << "%1/BookData" << true;
        QTest::newRow("link to the root") << "[PROGRAM]\nDirData=%1/root-link\n" << "%1/BookData"
                                          << true;
        QTest::newRow("unreadable folder") << "[PROGRAM]\nDirData=%1/locked\n" << "%1/BookData"
                                           << true;
    }
    void dataDir() {
        QFETCH(QString, ini);
        QFETCH(QString, expected);
        QFETCH(bool, refused);
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
        const QByteArray iniBytes = QString(ini).replace("%1", dir.path()).toUtf8();
        if (!ini.isNull())
            WriteFile(prj.IniFileName(), iniBytes);
        const QString want = QString(expected).replace("%1", dir.path());
        QCOMPARE(info.GetDataDir(), want);
        QVERIFY(QFileInfo(want).isDir());
        QCOMPARE(!info.DataDirProblem().isEmpty(), refused);
        if (refused) {
            QVERIFY2(info.DataDirProblem().contains(dir.filePath("BookData")),
                     qPrintable(info.DataDirProblem()));
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
