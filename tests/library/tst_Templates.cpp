#include "common/qbTestFiles.h"
#include "library/qbTemplateFiller.h"
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

    void fill_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("filled");

        const QDateTime wednesday(QDate(2026, 12, 9), QTime(14, 5));
        QTest::newRow("every field, the name escaped")
            << "일기 & <메모>" << wednesday
            << "<BODY><DIV>{제목}</DIV><DIV>{날짜} {요일} {시각}</DIV><DIV>{커서}</DIV></BODY>"
            << "<BODY><DIV>일기 &amp; &lt;메모&gt;</DIV><DIV>2026년 12월 9일 수요일 14:05</DIV>"
               "<DIV><!--qbCaret--></DIV></BODY>";
        QTest::newRow("one-digit month and day, just after midnight")
            << "" << QDateTime(QDate(2027, 1, 5), QTime(0, 7)) << "{날짜} {시각} {요일}{커서}"
            << "2027년 1월 5일 00:07 화요일<!--qbCaret-->";
        QTest::newRow("no caret field: the first empty line after the title")
            << "노트" << wednesday
            << "<HTML><BODY>\r\n<DIV><B>{제목}</B></DIV>\r\n<DIV>글</DIV>\r\n<DIV>&nbsp;</DIV>\r\n"
               "<DIV></DIV></BODY></HTML>"
            << "<HTML><BODY>\r\n<DIV><B>노트</B></DIV>\r\n<DIV>글</DIV>\r\n"
               "<DIV><!--qbCaret-->&nbsp;</DIV>\r\n<DIV></DIV></BODY></HTML>";
        QTest::newRow("no caret field: an empty cell")
            << "" << wednesday
            << "<body><table><tr><td>완료</td><TD class=x> <br> </TD></tr></table></body>"
            << "<body><table><tr><td>완료</td><TD class=x><!--qbCaret--> <br> </TD></tr></table>"
               "</body>";
        QTest::newRow("no empty line: the end of the body, not the head")
            << "노트" << wednesday << "<HEAD><P></P></HEAD><BODY x=1><DIV>{제목}</DIV></BODY></HTML>"
            << "<HEAD><P></P></HEAD><BODY x=1><DIV>노트</DIV><!--qbCaret--></BODY></HTML>";
        QTest::newRow("no body: the end") << "노트" << wednesday << "plain {제목}"
                                          << "plain 노트<!--qbCaret-->";
        QTest::newRow("a second caret field goes, other braces stay")
            << "" << wednesday << "<BODY>{커서}a{커서}{이름} {날짜 {font-size:9pt}</BODY>"
            << "<BODY><!--qbCaret-->a{이름} {날짜 {font-size:9pt}</BODY>";
        QTest::newRow("a name that reads like a field stays a name")
            << "{커서}" << wednesday << "<BODY><DIV>{제목}</DIV><DIV></DIV></BODY>"
            << "<BODY><DIV>{커서}</DIV><DIV><!--qbCaret--></DIV></BODY>";
    }

    void fill() {
        QFETCH(QString, title);
        QFETCH(QDateTime, when);
        QFETCH(QString, page);
        QTEST(TqbTemplateFiller(title, when).Fill(page), "filled");
    }

    void fillBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("filled");

        // 일기, 한, U+1F600 that code page 949 lacks.
        QTest::newRow("in the template's code page, what it lacks as a reference")
            << QByteArray("<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; "
                          "charset=euc-kr\"></HEAD><BODY><B>{\xC1\xA6\xB8\xF1}</B></BODY></HTML>")
            << QByteArray("<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; "
                          "charset=euc-kr\"></HEAD><BODY><B>\xC0\xCF\xB1\xE2 &#x1F600;</B>"
                          "<!--qbCaret--></BODY></HTML>");
        QTest::newRow("in UTF-8")
            << QByteArray("<meta charset=utf-8><body>{제목}</body>")
            << QByteArray("<meta charset=utf-8><body>일기 😀<!--qbCaret--></body>");
        QTest::newRow("bytes that do not read cleanly are taken as they are")
            << QByteArray("<meta charset=utf-8><body>{제목}\xFF</body>")
            << QByteArray("<meta charset=utf-8><body>{제목}\xFF</body>");
    }

    void fillBytes() {
        QFETCH(QByteArray, bytes);
        const TqbTemplateFiller filler(QStringLiteral("일기 😀"), QDateTime::currentDateTime());
        QTEST(filler.FillBytes(bytes), "filled");
    }
};

QTEST_GUILESS_MAIN(TestTemplates)
#include "tst_Templates.moc"
