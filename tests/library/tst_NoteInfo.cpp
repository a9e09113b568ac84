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
        QTest::addColumn<bool>("created");
        QTest::newRow("no ini") << QString() << "%1/BookData" << true;
        QTest::newRow("no key") << "[PROGRAM]\nLeft=3\n" << "%1/BookData" << true;
        QTest::newRow("empty key counts as missing") << "[PROGRAM]\nDirData=\n" << "%1/BookData"
                                                    << true;
        QTest::newRow("own folder, value unaltered") << "[program]\ndirdata=%1/mine/\n"
                                                     << "%1/mine/" << true;
        QTest::newRow("missing parent creates nothing") << "[PROGRAM]\nDirData=%1/no/such\n"
                                                        << "%1/no/such" << false;
        QTest::newRow("names a file") << "[PROGRAM]\nDirData=%1/qbNivora.ini\n"
                                      << "%1/qbNivora.ini" << false;
        QTest::newRow("korean name") << "[PROGRAM]\nDirData=%1/내 노트\n" << "%1/내 노트" << true;
    }
    void dataDir() {
        QFETCH(QString, ini);
        QFETCH(QString, expected);
        QFETCH(bool, created);
        QTemporaryDir dir;
        TqbPrjInfo prj("qbNivora", dir.path());
        TqbNoteInfo info(prj);
        if (!ini.isNull())
            WriteFile(prj.IniFileName(), ini.arg(dir.path()).toUtf8());
        const QString want = expected.arg(dir.path());
        QCOMPARE(info.GetDataDir(), want);
        QCOMPARE(QFileInfo(want).isDir(), created);
    }

    void setDataDirIsSeenAtNextRead() {
        QTemporaryDir dir;
        TqbPrjInfo prj("qbNivora", dir.path());
        TqbNoteInfo info(prj);
        info.SetDataDir(dir.filePath("other"));
        QCOMPARE(info.GetDataDir(), dir.filePath("other"));
        QVERIFY(QFileInfo(dir.filePath("other")).isDir());
    }
};

QTEST_GUILESS_MAIN(TestNoteInfo)
#include "tst_NoteInfo.moc"
