// Matching pages against the search text and marking what was found.
#include "search/qbSearchText.h"

#include <QTest>

using namespace qbSearch;

namespace {

const QByteArray Euckr = "<META http-equiv=Content-Type content=\"text/html; charset=euc-kr\">\r\n";

} // namespace

class TestSearchText : public QObject {
    Q_OBJECT
private slots:
    void searchTextIsTrimmedAndFoldedForAsciiOnly_data() {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blank") << "  \t "
                               << "";
        QTest::newRow("control characters") << "\x01 abc\x7f\r\n"
                                            << "abc";
        QTest::newRow("inner blanks stay") << " Ab  Cd "
                                           << "ab  cd";
        QTest::newRow("korean unchanged") << "메모 ABC"
                                          << "메모 abc";
        QTest::newRow("other letters unchanged") << "ÄÖ Σ"
                                                 << "ÄÖ Σ";
    }
    void searchTextIsTrimmedAndFoldedForAsciiOnly() {
        QFETCH(QString, entered);
        QFETCH(QString, expected);
        QCOMPARE(MakeSearchText(entered), expected);
    }

    void pageMatching_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("searchText");
        QTest::addColumn<bool>("found");
        // "똠" is 8C 63 in code page 949: 63 is "c".
        const QByteArray ddom = "\x8C\x63";
        // "메모" in code page 949.
        const QByteArray memo = "\xB8\xDE\xB8\xF0";
        QTest::newRow("upper case page") << Euckr + "xABCx"
                                         << "abc" << true;
        QTest::newRow("mixed case page") << Euckr + "Abc"
                                         << "abc" << true;
        QTest::newRow("korean second byte is no letter (default charset)") << ddom << "c" << false;
        QTest::newRow("korean second bytes never match") << ddom + ddom << "cc" << false;
        QTest::newRow("real letter after korean") << ddom + "c"
                                                  << "c" << true;
        QTest::newRow("korean exact") << Euckr + "<p>" + memo + "</p>"
                                      << "메모" << true;
        QTest::newRow("korean other") << Euckr + memo << "메" + QString("다") << false;
        QTest::newRow("default charset without meta") << "<p>" + memo << "메모" << true;
        QTest::newRow("utf-8 page")
            << "<meta charset=utf-8><p>" + QString("메모").toUtf8() << "메모" << true;
        QTest::newRow("declaration after a commented body tag")
            << "<!-- <body> --><meta charset=utf-8><BODY>" + QString("메모").toUtf8() << "메모"
            << true;
        QTest::newRow("declaration in the body is not the page's")
            << "<BODY><meta charset=utf-8>" + memo << "메모" << true;
        QTest::newRow("markup is text") << Euckr + "<TABLE>"
                                        << "table" << true;
        QTest::newRow("across a line end") << Euckr + "ab\r\ncd"
                                           << "abcd" << false;
        QTest::newRow("across a bare LF") << Euckr + "ab\ncd"
                                          << "b\nc" << false;
        QTest::newRow("not there") << Euckr + "abd"
                                   << "abc" << false;
        QTest::newRow("non-ascii letters not folded")
            << QByteArray("<meta charset=utf-8>Ä") << "ä" << false;
        QTest::newRow("empty page") << QByteArray() << "a" << false;
    }
    void pageMatching() {
        QFETCH(QByteArray, page);
        QFETCH(QString, searchText);
        QFETCH(bool, found);
        TqbTextFinder finder(searchText);
        QCOMPARE(finder.BytesContainText(page), found);
    }

    void highlight_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("searchText");
        QTest::addColumn<QString>("expected");
        const QString o = "<FONT style=\"BACKGROUND-COLOR: #ff6600\" color=#ffffff>";
        const QString c = "</FONT>";
        QTest::newRow("example") << "xAbcyabc"
                                 << "abc"
                                 << "x" + o + "Abc" + c + "y" + o + "abc" + c;
        QTest::newRow("none") << "xyz"
                              << "abc"
                              << "xyz";
        QTest::newRow("whole line") << "ABC"
                                    << "abc" << o + "ABC" + c;
        QTest::newRow("no overlap") << "aaaa"
                                    << "aa" << o + "aa" + c + o + "aa" + c;
        QTest::newRow("odd overlap") << "aaa"
                                     << "aa" << o + "aa" + c + "a";
        QTest::newRow("korean") << "메모와 메모"
                                << "메모" << o + "메모" + c + "와 " + o + "메모" + c;
        QTest::newRow("inside a tag") << "<P class=Abc>"
                                      << "abc"
                                      << "<P class=" + o + "Abc" + c + ">";
    }
    void highlight() {
        QFETCH(QString, line);
        QFETCH(QString, searchText);
        QFETCH(QString, expected);
        QCOMPARE(HighlightMatches(line, searchText), expected);
    }

    void openingTagIsFiftyFourCharacters() {
        QCOMPARE(HighlightOpen.size(), 54);
        QCOMPARE(HighlightOpen.toLatin1(),
                 QByteArray("<FONT style=\"BACKGROUND-COLOR: #ff6600\" color=#ffffff>"));
        QCOMPARE(HighlightClose, QString("</FONT>"));
    }
};

QTEST_GUILESS_MAIN(TestSearchText)
#include "tst_SearchText.moc"
