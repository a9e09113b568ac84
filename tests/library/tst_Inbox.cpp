#include "library/qbInbox.h"
#include "platform/qbError.h"

#include <QBuffer>
#include <QTest>

class TestInbox : public QObject {
    Q_OBJECT
private slots:
    void appended_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray head = "<html><head><meta charset=\"utf-8\"></head>";
        QTest::newRow("before the body's end, in the page's line ends")
            << head + "\r\n<body>\r\n<p>먼저</p>\r\n</body></html>\r\n"
            << "우유 사기"
            << head + "\r\n<body>\r\n<p>먼저</p>\r\n<p><b>2026-12-09 08:05</b><br>우유 사기</p>\r\n"
                      "</body></html>\r\n";
        QTest::newRow("lines kept apart, markup escaped")
            << head + "\n<BODY>\n  </BODY>\n"
            << "a < b & c\r\n둘째 줄"
            << head + "\n<BODY>\n<p><b>2026-12-09 08:05</b><br>a &lt; b &amp; c<br>둘째 줄</p>\n"
                      "  </BODY>\n";
        QTest::newRow("body's end on a line with text")
            << head + "<body><p>x</p></body>"
            << "y" << head + "<body><p>x</p><p><b>2026-12-09 08:05</b><br>y</p>\r\n</body>";
        QTest::newRow("no body's end")
            << QByteArray("<p>x</p>\n") << "y"
            << QByteArray("<p>x</p>\n<p><b>2026-12-09 08:05</b><br>y</p>\n");
        QTest::newRow("undeclared ASCII page keeps to ASCII")
            << QByteArray("<body>\n</body>\n") << "메모"
            << QByteArray("<body>\n<p><b>2026-12-09 08:05</b><br>&#xBA54;&#xBAA8;</p>\n</body>\n");
        QTest::newRow("in the page's own charset")
            << QByteArray("<meta charset=\"euc-kr\"><body>\n</body>\n") << "메모"
            << QByteArray("<meta charset=\"euc-kr\"><body>\n<p><b>2026-12-09 08:05</b><br>"
                          "\xB8\xDE\xB8\xF0</p>\n</body>\n");
    }
    void appended() {
        QFETCH(QByteArray, page);
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        const QDateTime when(QDate(2026, 12, 9), QTime(8, 5, 31));
        QCOMPARE(qbInbox::Appended(page, text, when), expected);
    }

    void wideCharsetIsLeftAlone() {
        const QByteArray page = QByteArray("\xFF\xFE<\0b\0>\0", 8);
        QVERIFY_THROWS_EXCEPTION(EqbError, qbInbox::Appended(page, "x", QDateTime()));
    }

    void captureText_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("given");
        QTest::newRow("no option") << QStringList{"qbnivora"} << QByteArray("x") << "" << false;
        QTest::newRow("text") << QStringList{"qbnivora", "--capture", "전화하기"} << QByteArray()
                              << "전화하기" << true;
        QTest::newRow("standard input, last line end dropped")
            << QStringList{"qbnivora", "--capture", "-"} << QByteArray("첫 줄\n둘째 줄\n")
            << "첫 줄\n둘째 줄" << true;
        QTest::newRow("nothing after it")
            << QStringList{"qbnivora", "--capture"} << QByteArray() << "" << true;
    }
    void captureText() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QString, expected);
        QFETCH(bool, given);
        QBuffer in(&input);
        in.open(QIODevice::ReadOnly);
        const std::optional<QString> text = qbInbox::CaptureText(arguments, in);
        QCOMPARE(text.has_value(), given);
        QCOMPARE(text.value_or(QString()), expected);
    }
};

QTEST_GUILESS_MAIN(TestInbox)
#include "tst_Inbox.moc"
