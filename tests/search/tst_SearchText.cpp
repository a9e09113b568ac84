// Matching pages against the search text and marking what was found: the byte-level finder must
// give the answer of the full decode, and both look only at the text a reader sees.
#include "search/qbCharacterReferences.h"
#include "search/qbMarkupScanner.h"
#include "search/qbPageCharset.h"
#include "search/qbSearchText.h"
#include "search/qbTextFinder.h"
#include "search/qbVisibleText.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace qbSearch;

namespace {

const QByteArray Euckr = "<META http-equiv=Content-Type content=\"text/html; charset=euc-kr\">\r\n";
const QByteArray Utf8Meta = "<meta charset=utf-8>\r\n";

QByteArray Cp949(const QString& text) {
    QStringEncoder encoder("windows-949");
    return encoder.encode(text);
}

// Pieces pages are made of: markup, references, Korean with letter second bytes, stray bytes.
QByteArray RandomPage(QRandomGenerator& random, bool utf8) {
    static const char* const pieces[] = {
        "<b>", "</B>", "<p>", "<br>", "<!-- c -->", "<!--", "-->", "<style>ab</style>",
        "<span title=\"ab>\">", "<span\r\n>", "<title>", "</title>", "<textarea>", "</textarea>",
        "<xmp>", "</xmp>", "&amp;", "&ampx", "&nbsp;", "&#xAC00;", "&#44032;", "&#", "&#x",
        "&lt;", "&copy", "&", "<", ">", "</", "\r\n", "\n", " ", "a", "b", "A", "B", "c", "C",
        "ab"};
    static const char* const korean[] = {"가", "각", "똠", "갂", "메", "모", "ab가", "챥"};
    QByteArray page = utf8 ? "<meta charset=utf-8>" : "";
    const int count = random.bounded(1, 40);
    for (int i = 0; i < count; ++i) {
        switch (random.bounded(4)) {
        case 0:
        case 1:
            page += pieces[random.bounded(int(std::size(pieces)))];
            break;
        case 2: {
            const QString text = QString::fromUtf8(korean[random.bounded(int(std::size(korean)))]);
            page += utf8 ? text.toUtf8() : Cp949(text);
            break;
        }
        default:
            page += char(0x80 + random.bounded(0x80));
            break;
        }
    }
    return page;
}

} // namespace

class TestSearchText : public QObject {
    Q_OBJECT
private slots:
    void searchTextIsTrimmedAndFoldedForAsciiOnly_data() {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blank") << "  \t " << "";
        QTest::newRow("control characters") << "\x01 abc\x7f\r\n" << "abc";
        QTest::newRow("inner blanks stay") << " Ab  Cd " << "ab  cd";
        QTest::newRow("korean unchanged") << "메모 ABC" << "메모 abc";
        QTest::newRow("other letters unchanged") << "ÄÖ Σ" << "ÄÖ Σ";
        QTest::newRow("decomposed hangul composed")
            << QString("메모").normalized(QString::NormalizationForm_D) << "메모";
    }
    void searchTextIsTrimmedAndFoldedForAsciiOnly() {
        QFETCH(QString, entered);
        QFETCH(QString, expected);
        QCOMPARE(MakeSearchText(entered), expected);
    }

    void bytesAgreeWithTheFullDecode_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("searchText");
        QTest::addColumn<bool>("found");
        // "똠" is 8C 63 in code page 949: 63 is "c".
        const QByteArray ddom = Cp949("똠");
        const QByteArray memo = Cp949("메모");
        // The character whose two bytes are the second byte of "메" and the first of "모".
        const QString straddle = QStringDecoder("windows-949").decode(memo.mid(1, 2));
        const QByteArray longKorean = Cp949(QString("가나다라마바사").repeated(20000));

        QTest::newRow("korean at line start") << Euckr + memo + " 끝" << "메모" << true;
        QTest::newRow("korean mid line") << Euckr + Cp949("그 메모를") << "메모" << true;
        QTest::newRow("korean at line end") << Euckr + Cp949("끝 ") + memo + "\r\n" << "메모" << true;
        QTest::newRow("korean after ascii") << Euckr + "abc" + memo << "메모" << true;
        QTest::newRow("korean after a letter second byte") << Euckr + ddom + memo << "메모" << true;
        QTest::newRow("second byte is no letter") << ddom << "c" << false;
        QTest::newRow("second bytes never pair") << ddom + ddom << "cc" << false;
        QTest::newRow("folded second byte is no letter") << Cp949("갂") << "a" << false;
        QTest::newRow("real letter after korean") << ddom + "C" << "c" << true;
        QTest::newRow("bytes found misaligned") << Euckr + memo << straddle << false;
        QTest::newRow("misaligned then aligned") << Euckr + memo + " " + Cp949(straddle)
                                                 << straddle << true;
        QTest::newRow("many misaligned only") << Euckr + memo.repeated(200) << straddle << false;
        QTest::newRow("many misaligned then aligned")
            << Euckr + memo.repeated(200) + " " + Cp949(straddle) << straddle << true;
        QTest::newRow("korean and ascii folded") << Euckr + Cp949("메모ABC") << "메모abc" << true;
        QTest::newRow("ascii then korean folded") << Euckr + Cp949("X메") << "x메" << true;
        QTest::newRow("other korean") << Euckr + memo << "메다" << false;
        QTest::newRow("no declaration is windows-949") << "<p>" + memo << "메모" << true;
        QTest::newRow("utf-8 declared") << Utf8Meta + QString("메모").toUtf8() << "메모" << true;
        QTest::newRow("utf-8 not declared") << QString("<p>메모</p>").toUtf8() << "메모" << true;
        QTest::newRow("utf-8 byte-order mark") << "\xEF\xBB\xBF" + QString("메모").toUtf8()
                                               << "메모" << true;
        QTest::newRow("utf-8 bytes are not cp949 text") << QString("메모").toUtf8() << "챥" << false;
        QTest::newRow("declaration after a commented body tag")
            << "<!-- <body> --><meta charset=utf-8><BODY>" + QString("메모").toUtf8() << "메모"
            << true;
        QTest::newRow("declaration in the body is not the page's")
            << "<BODY><meta charset=utf-8>" + memo << "메모" << true;
        QTest::newRow("invalid lead keeps the ascii after it") << Euckr + "G\xF3rny" << "rny" << true;
        QTest::newRow("invalid lead before ascii, rest") << Euckr + "G\xF3rny" << "ny" << true;
        QTest::newRow("invalid lead before a tag") << Euckr + "\xB0<b>" + memo << "메모" << true;
        QTest::newRow("lone lead at the end") << Euckr + memo + "\xB0" << "메모" << true;
        QTest::newRow("invalid utf-8 declared") << Utf8Meta + "\xE0 abc \xFF" << "abc" << true;
        QTest::newRow("invalid utf-8 run") << Utf8Meta + "\xED\xA0\x80" + QString("가").toUtf8()
                                           << "가" << true;
        QTest::newRow("empty page") << QByteArray() << "a" << false;
        QTest::newRow("empty lines") << Euckr + "\r\n\r\n\n\r" << "a" << false;
        QTest::newRow("very long line, text at its end") << Euckr + longKorean + memo << "메모"
                                                         << true;
        QTest::newRow("very long line without it") << Euckr + longKorean << "메모" << false;
        QTest::newRow("across a line end") << Euckr + "ab\r\ncd" << "abcd" << false;
        QTest::newRow("line end in the text") << Euckr + "ab\ncd" << "b\nc" << false;
        QTest::newRow("non-ascii letters not folded") << Utf8Meta + "Ä" << "ä" << false;
        QTest::newRow("windows-1252 page") << QByteArray("<meta charset=iso-8859-1>caf\xE9") << "café" << true;

        // What a reader sees.
        QTest::newRow("word only in a tag") << Euckr + "<TABLE><tr><td>x</td></tr></TABLE>"
                                            << "table" << false;
        QTest::newRow("word only in an attribute") << Euckr + "<p class=\"memo note\">x</p>"
                                                   << "memo" << false;
        QTest::newRow("korean only in an attribute") << Euckr + "<img alt=\"" + memo + "\">"
                                                     << "메모" << false;
        QTest::newRow("attribute holding a >") << Euckr + "<p title=\"a>memo\">x</p>" << "memo"
                                               << false;
        QTest::newRow("word only in a style sheet")
            << Euckr + "<style>\r\np { color: red }\r\n</style><p>x" << "color" << false;
        QTest::newRow("word only in a script") << Euckr + "<SCRIPT>var memo = 1;</SCRIPT>x"
                                               << "memo" << false;
        QTest::newRow("word only in a comment") << Euckr + "<!-- " + memo + " -->x" << "메모"
                                                << false;
        QTest::newRow("word only in the title") << Euckr + "<title>memo</title><p>x" << "memo"
                                                << false;
        QTest::newRow("word after a style sheet") << Euckr + "<style>a{}</style>memo" << "memo"
                                                  << true;
        QTest::newRow("word in text and tag") << Euckr + "<font color=red>red</font>" << "red"
                                              << true;
        QTest::newRow("split by inline tags") << Euckr + Cp949("<b>메</b>모") << "메모" << true;
        QTest::newRow("split by a comment") << Euckr + Cp949("메<!-- x -->모") << "메모" << true;
        QTest::newRow("split by paragraphs") << Euckr + Cp949("<p>메</p><p>모</p>") << "메모"
                                             << false;
        QTest::newRow("split by a break") << Euckr + Cp949("메<br>모") << "메모" << false;
        QTest::newRow("split by a tag across lines") << Euckr + Cp949("메<span\r\n>모") << "메모"
                                                     << false;
        QTest::newRow("ampersand reference") << Euckr + "AT&amp;T" << "at&t" << true;
        QTest::newRow("reference name is no text") << Euckr + "a&amp;b" << "amp" << false;
        QTest::newRow("non-breaking space") << Euckr + "a&nbsp;b" << QString("a\u00A0b") << true;
        QTest::newRow("hex reference") << Euckr + "&#xBA54;&#xBAA8;" << "메모" << true;
        QTest::newRow("decimal reference half") << Euckr + "&#47700;" + Cp949("모") << "메모" << true;
        QTest::newRow("legacy reference without semicolon") << Euckr + "&copy2024" << "©2024"
                                                            << true;
        QTest::newRow("unknown reference stays text") << Euckr + "&zzz;" << "&zzz;" << true;
        QTest::newRow("lone less-than is text") << Euckr + "a < b" << "a < b" << true;
        QTest::newRow("text box is read") << Euckr + "<textarea>memo</textarea>" << "memo" << true;
        QTest::newRow("tag in a style sheet is no tag")
            << Euckr + "<style>\"</style>memo" << "memo" << true;
        // Text from a Mac holds Hangul decomposed; the search text is composed.
        const QByteArray decomposed =
            QString("그 메모를").normalized(QString::NormalizationForm_D).toUtf8();
        QTest::newRow("decomposed page") << decomposed << "메모" << true;
        QTest::newRow("decomposed page, other word") << decomposed << "메일" << false;
        QTest::newRow("decomposed page split by a tag")
            << QString("<b>메</b>모").normalized(QString::NormalizationForm_D).toUtf8() << "메모"
            << true;
        const QString decomposedText =
            QString("그 메모를").normalized(QString::NormalizationForm_D);
        QTest::newRow("decomposed utf-16 page")
            << QByteArray("\xFF\xFE") +
                   QByteArray(reinterpret_cast<const char*>(decomposedText.utf16()),
                              decomposedText.size() * 2)
            << "메모" << true;
    }
    void bytesAgreeWithTheFullDecode() {
        QFETCH(QByteArray, page);
        QFETCH(QString, searchText);
        QFETCH(bool, found);
        const bool decoded = DecodedPageContainsText(page, searchText);
        QCOMPARE(decoded, bool(found));
        TqbTextFinder finder(searchText);
        QCOMPARE(finder.BytesContainText(page), decoded);
        // A finder keeps its buffers and needles from page to page.
        QCOMPARE(finder.BytesContainText(page), decoded);
    }

    void visibleText_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("visible");
        QTest::newRow("tags go") << "<p class=\"a\">x<b>y</b>z" << "\nxyz";
        QTest::newRow("line ends stay") << "a\r\nb" << "a\n\nb";
        QTest::newRow("line end inside a tag") << "a<span\n>b" << "a\nb";
        QTest::newRow("blocks break") << "a<br>b<div>c</div>d" << "a\nb\nc\nd";
        QTest::newRow("quoted >") << "<a title='1>2' href=\"x>y\">z</a>" << "z";
        QTest::newRow("comment") << "a<!-- <b>x</b> -->b" << "ab";
        QTest::newRow("comment with dashes") << "a<!-- x -- y --->b" << "ab";
        QTest::newRow("comment ended by --!>") << "a<!--x--!>b" << "ab";
        QTest::newRow("empty comments") << "a<!-->b<!--->c" << "abc";
        QTest::newRow("comment to the end") << "a<!-- b" << "a";
        QTest::newRow("doctype and xml") << "<?xml version=\"1.0\"?><!DOCTYPE html>a" << "a";
        QTest::newRow("odd end tags") << "a</>b</ x>c" << "abc";
        QTest::newRow("tag to the end") << "a<b title=\"x" << "a";
        QTest::newRow("lone < and &") << "a < b & c <3" << "a < b & c <3";
        QTest::newRow("style and script") << "<STYLE>b{}</STYLE >a<script>if (a<b) x()</script>b"
                                          << "ab";
        QTest::newRow("end tag must match") << "<style>x</styles>y</style>z" << "z";
        QTest::newRow("title and head") << "<head><title>t</title></head>b" << "\n\nb";
        QTest::newRow("text box keeps tags as text") << "<textarea><b>&lt;</textarea>x"
                                                     << "<b><x";
        QTest::newRow("example keeps references") << "<xmp>&lt;b&gt;</xmp>" << "&lt;b&gt;";
        QTest::newRow("plaintext to the end") << "a<plaintext></plaintext>b" << "a</plaintext>b";
        QTest::newRow("references") << "&lt;&#65;&#x42;&eacute;&nbsp;&NotAName;" << "<ABé\u00A0&NotAName;";
        QTest::newRow("supplementary reference") << "&#x1F600;" << "😀";
    }
    void visibleText() {
        QFETCH(QString, page);
        QFETCH(QString, visible);
        QCOMPARE(TqbVisibleText(page).Text(), visible);
    }

    void characterReferences_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length");
        QTest::addColumn<uint>("character");
        QTest::newRow("named") << "&amp;x" << 5 << uint('&');
        QTest::newRow("legacy without semicolon") << "&ampx" << 4 << uint('&');
        QTest::newRow("whole name with semicolon") << "&notin;" << 7 << 0x2209u;
        QTest::newRow("legacy prefix without semicolon") << "&notin" << 4 << 0xACu;
        QTest::newRow("legacy prefix of an unknown name") << "&notit;" << 4 << 0xACu;
        QTest::newRow("not legacy without semicolon") << "&hellip" << 0 << 0u;
        QTest::newRow("case matters") << "&AMP;" << 5 << uint('&');
        QTest::newRow("unknown") << "&bogus;" << 0 << 0u;
        QTest::newRow("no name") << "& x" << 0 << 0u;
        QTest::newRow("decimal") << "&#44032;" << 8 << 0xAC00u;
        QTest::newRow("hex without semicolon") << "&#xac00x" << 7 << 0xAC00u;
        QTest::newRow("no digits") << "&#;" << 0 << 0u;
        QTest::newRow("no hex digits") << "&#xg;" << 0 << 0u;
        QTest::newRow("zero") << "&#0;" << 4 << 0xFFFDu;
        QTest::newRow("surrogate") << "&#xD800;" << 8 << 0xFFFDu;
        QTest::newRow("too large") << "&#x110000;" << 10 << 0xFFFDu;
        QTest::newRow("far too large") << "&#99999999999999;" << 17 << 0xFFFDu;
        QTest::newRow("c1 as windows-1252") << "&#150;" << 6 << 0x2013u;
        QTest::newRow("c1 without a replacement") << "&#x81;" << 6 << 0x81u;
    }
    void characterReferences() {
        QFETCH(QString, text);
        QFETCH(int, length);
        QFETCH(uint, character);
        char32_t c = 0;
        QCOMPARE(int(ReadCharacterReference(text.utf16(), text.size(), c)), length);
        if (length > 0)
            QCOMPARE(uint(c), character);
        // The bytes of an ASCII-compatible charset read the same.
        const QByteArray bytes = text.toLatin1();
        char32_t fromBytes = 0;
        QCOMPARE(int(ReadCharacterReference(bytes.constData(), bytes.size(), fromBytes)), length);
        QCOMPARE(fromBytes, c);
    }

    // Search texts taken from the pages' own text and bytes, so that hits, near hits and
    // misaligned bytes all come up.
    void bytesAgreeWithTheFullDecodeOnGeneratedPages() {
        QRandomGenerator random(949);
        int found = 0;
        for (int i = 0; i < 3000; ++i) {
            const bool utf8 = random.bounded(3) == 0;
            const QByteArray page = RandomPage(random, utf8);
            const QString text = QStringDecoder(utf8 ? "UTF-8" : "windows-949").decode(page);
            // From what a reader sees, or from the markup and the bytes read as Korean.
            QString source = TqbVisibleText(text).Text();
            if (random.bounded(3) == 0)
                source = QStringDecoder("windows-949").decode(page);
            if (source.isEmpty())
                continue;
            const qsizetype from = random.bounded(int(source.size()));
            const QString searchText =
                MakeSearchText(source.mid(from, random.bounded(1, 6)));
            if (searchText.isEmpty())
                continue;
            const bool decoded = DecodedPageContainsText(page, searchText);
            TqbTextFinder finder(searchText);
            QVERIFY2(finder.BytesContainText(page) == decoded,
                     qPrintable(QString("page %1, search text \"%2\"")
                                    .arg(QString::fromLatin1(page.toHex(' ')), searchText)));
            found += decoded;
        }
        // Both answers came up often.
        QVERIFY(found > 500 && found < 2500);
    }

    // The marks are only put in, and each one is read as a tag of its own in page text.
    void marksLandOnlyInText() {
        QRandomGenerator random(54);
        int marked = 0;
        for (int i = 0; i < 2000; ++i) {
            const QString page = QStringDecoder("windows-949").decode(RandomPage(random, false));
            const QString visible = TqbVisibleText(page).Text();
            if (visible.isEmpty())
                continue;
            const QString searchText = MakeSearchText(
                visible.mid(random.bounded(int(visible.size())), random.bounded(1, 4)));
            if (searchText.isEmpty())
                continue;
            QString result = HighlightMatches(page, searchText);
            QSet<qsizetype> tags;
            TqbMarkupScanner<char16_t> scanner(QStringView(result).utf16(), result.size());
            for (TqbMarkupPiece piece; scanner.Next(piece);) {
                if (piece.kind == TqbMarkupPiece::Markup)
                    tags.insert(piece.begin);
            }
            for (qsizetype at = result.indexOf(HighlightOpen); at >= 0;
                 at = result.indexOf(HighlightOpen, at + 1)) {
                QVERIFY2(tags.contains(at), qPrintable(result));
                ++marked;
            }
            QCOMPARE(result.remove(HighlightOpen).remove(HighlightClose), page);
        }
        QVERIFY(marked > 500);
    }

    // The remembered declaration gives what the codec gives, page after page.
    void charsetOfPageAfterPage() {
        const QByteArray body = "<BODY>" + Cp949("메모") + "</BODY>";
        const QByteArray utf8Body = "<BODY>" + QString("메모").toUtf8() + "</BODY>";
        const QByteArray pages[] = {
            "<HTML><HEAD>" + Euckr + "</HEAD>" + body,
            "<HTML><HEAD>" + Euckr + "</HEAD>" + utf8Body,
            "<HTML><HEAD></HEAD>" + utf8Body,
            "<HTML><HEAD></HEAD>" + body,
            "<HTML><HEAD></HEAD>" + utf8Body,
            "<HTML><HEAD>" + Utf8Meta + "</HEAD>" + body,
            "\xEF\xBB\xBF<HTML><HEAD></HEAD>" + utf8Body,
            "<?xml version=\"1.0\" encoding=\"utf-8\"?><html><body>" + Cp949("메모"),
            "<!-- <meta charset=utf-8> --><html><body>" + QString("메모").toUtf8(),
            "<html><body><meta charset=utf-8>" + Cp949("메모"),
            "<html><head>" + QByteArray(9000, ' ') + Utf8Meta + "</head>" + utf8Body,
            "<html><head>" + QByteArray(9000, ' ') + Utf8Meta + "</head>" + body,
            QByteArray(),
        };
        TqbPageCharsets charsets;
        for (const QByteArray& page : pages)
            QCOMPARE(charsets.Of(page), PageCharset(page));
    }

    void highlight_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("searchText");
        QTest::addColumn<QString>("expected");
        const QString o = "<FONT style=\"BACKGROUND-COLOR: #ff6600\" color=#ffffff>";
        const QString c = "</FONT>";
        QTest::newRow("example") << "xAbcyabc" << "abc"
                                 << "x" + o + "Abc" + c + "y" + o + "abc" + c;
        QTest::newRow("none") << "xyz" << "abc" << "xyz";
        QTest::newRow("whole line") << "ABC" << "abc" << o + "ABC" + c;
        QTest::newRow("no overlap") << "aaaa" << "aa" << o + "aa" + c + o + "aa" + c;
        QTest::newRow("odd overlap") << "aaa" << "aa" << o + "aa" + c + "a";
        QTest::newRow("korean") << "메모와 메모" << "메모" << o + "메모" + c + "와 " + o + "메모" + c;
        QTest::newRow("each line") << "abc\r\nabc" << "abc" << o + "abc" + c + "\r\n" + o + "abc" + c;
        QTest::newRow("not inside a tag") << "<P class=Abc>abc</P>" << "abc"
                                          << "<P class=Abc>" + o + "abc" + c + "</P>";
        QTest::newRow("not in a tag over two lines") << "<P\r\nclass=abc>x" << "abc"
                                                     << "<P\r\nclass=abc>x";
        QTest::newRow("not in a style sheet") << "<style>.font{}</style>font" << "font"
                                              << "<style>.font{}</style>" + o + "font" + c;
        QTest::newRow("not in a comment") << "<!--abc-->abc" << "abc"
                                          << "<!--abc-->" + o + "abc" + c;
        QTest::newRow("across a tag, piece by piece") << "<b>메</b>모" << "메모"
                                                      << "<b>" + o + "메" + c + "</b>" + o + "모" + c;
        QTest::newRow("a reference whole") << "AT&amp;T" << "t&t"
                                           << "A" + o + "T&amp;T" + c;
        QTest::newRow("a numeric reference whole") << "&#xBA54;모" << "메모"
                                                   << o + "&#xBA54;모" + c;
        QTest::newRow("not in a text box") << "<textarea>abc</textarea>" << "abc"
                                           << "<textarea>abc</textarea>";
        QTest::newRow("title untouched") << "<title>abc</title>abc" << "abc"
                                         << "<title>abc</title>" + o + "abc" + c;
        const QString nfd = QString("메모").normalized(QString::NormalizationForm_D);
        QTest::newRow("decomposed and composed") << nfd + " 메모"
                                                 << "메모" << o + nfd + c + " " + o + "메모" + c;
    }
    void highlight() {
        QFETCH(QString, page);
        QFETCH(QString, searchText);
        QFETCH(QString, expected);
        QCOMPARE(HighlightMatches(page, searchText), expected);
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
