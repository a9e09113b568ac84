// Pages as real bytes: which charset they are read in, what text they give, what is written back.
#include "platform/qbError.h"
#include "platform/qbPageCodec.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray EucKrMeta =
    R"(<META http-equiv="Content-Type" content="text/html; charset=euc-kr">)";
const QByteArray Utf8Meta = R"(<meta charset="utf-8">)";
// "가나다" and "똠" (an extended syllable outside KS X 1001) in code page 949 and in UTF-8.
const QByteArray Cp949Ganada("\xB0\xA1\xB3\xAA\xB4\xD9");
const QByteArray Cp949Ttom("\x8C\x63");
const QByteArray Utf8Ganada("\xEA\xB0\x80\xEB\x82\x98\xEB\x8B\xA4");

QByteArray Page(const QByteArray& head, const QByteArray& body) {
    return "<html><head>" + head + "</head>\r\n<body>" + body + "</body></html>\r\n";
}

QByteArray Utf16Le(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

QByteArray Utf16Be(const QString& text) {
    QByteArray bytes = Utf16Le(text);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        std::swap(bytes[i], bytes[i + 1]);
    return bytes;
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TstPageCodec : public QObject {
    Q_OBJECT
private slots:
    void charsetOfAPage_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("charset");
        QTest::addColumn<QByteArray>("read"); // what a page read from the bytes came in
        const auto row = [](const char* name, const QByteArray& bytes, const QByteArray& charset,
                            const QByteArray& read = {}) {
            QTest::newRow(name) << bytes << charset << (read.isEmpty() ? charset : read);
        };
        row("meta http-equiv euc-kr", Page(EucKrMeta, Cp949Ganada), "windows-949");
        row("meta charset utf-8", Page(Utf8Meta, Utf8Ganada), "UTF-8");
        row("declaration beats valid utf-8", Page(EucKrMeta, Utf8Ganada), "windows-949");
        row("xml declaration only",
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n" + Page({}, "caf\xC3\xA9"), "UTF-8");
        row("xml declaration latin-1",
            "<?xml version='1.0' encoding='ISO-8859-1'?>" + Page({}, "caf\xE9"), "windows-1252");
        row("utf-8 mark beats meta", "\xEF\xBB\xBF" + Page(EucKrMeta, Utf8Ganada), "UTF-8");
        row("utf-16le mark", "\xFF\xFE" + Utf16Le("<html>가</html>"), "UTF-16LE");
        row("utf-16le without a mark", Utf16Le("<html><body>가나다</body></html>"), "UTF-16LE");
        row("utf-16be without a mark", Utf16Be("<html><body>가나다</body></html>"), "UTF-16BE");
        row("utf-16le ascii without a mark", Utf16Le("<html><body>abc</body></html>"),
            "UTF-16LE");
        row("undeclared utf-8", Page({}, Utf8Ganada), "UTF-8");
        row("undeclared cp949", Page({}, Cp949Ganada), "windows-949");
        row("undeclared extended syllable", Page({}, Cp949Ttom), "windows-949");
        row("plain ascii", Page({}, "text"), "windows-949", "US-ASCII");
        row("declared ascii", Page(EucKrMeta, "text"), "windows-949");
        row("utf-8 cut short at the end", Page({}, Utf8Ganada) + "\xEA\xB0", "windows-949");
        row("utf-8 surrogate is not utf-8", Page({}, "\xED\xA0\x80"), "windows-949");
        row("latin-1 bytes", Page({}, "G\xF3rny"), "windows-949");
        row("meta in the body is not the page's",
            "<html><body>" + Utf8Meta + Cp949Ganada + "</body></html>", "windows-949");
    }
    void charsetOfAPage() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, charset);
        QCOMPARE(qbPageCodec::Charset(bytes), charset);
        QTEST(qbPageCodec::Decode(bytes).Charset, "read");
    }

    // A save writes the line ends most of the page's lines had; a page without any gets CR LF.
    void lineEndsOfAPage_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("lineEnd");
        QTest::newRow("cr lf") << QByteArray("<html>\r\n<body>\r\n</body>") << "\r\n";
        QTest::newRow("lf") << QByteArray("<pre>\na\nb\n</pre>\r\n") << "\n";
        QTest::newRow("cr") << QByteArray("<pre>\ra\rb</pre>") << "\r";
        QTest::newRow("as many lf as cr lf") << QByteArray("a\nb\r\n") << "\r\n";
        QTest::newRow("none") << QByteArray("<p>a</p>") << "\r\n";
        QTest::newRow("utf-16 lf") << "\xFF\xFE" + Utf16Le("<p>\n가\n</p>") << "\n";
    }
    void lineEndsOfAPage() {
        QFETCH(QByteArray, bytes);
        QTEST(qbPageCodec::Decode(bytes).LineEnd, "lineEnd");
    }

    // As browsers read: a bad byte is one U+FFFD, and an ASCII byte after it is never taken.
    void decodeAsBrowsersDo_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("errors");
        QTest::newRow("ganada") << Cp949Ganada << QStringLiteral("가나다") << false;
        QTest::newRow("extended syllable, ASCII second byte")
            << Cp949Ttom + "c" << QStringLiteral("똠c") << false;
        QTest::newRow("latin-1 keeps the letter after")
            << QByteArray("G\xF3rny") << QStringLiteral("G\uFFFDrny") << true;
        QTest::newRow("bad byte before a syllable")
            << "\xF3!" + Cp949Ganada << QStringLiteral("\uFFFD!가나다") << true;
        QTest::newRow("two bad bytes, two marks")
            << QByteArray("a\xFE\x41\xFE\x42") << QStringLiteral("a\uFFFDA\uFFFDB") << true;
        QTest::newRow("lead byte at the very end")
            << QByteArray("\xB0\xA1\xB0") << QStringLiteral("가\uFFFD") << true;
        QTest::newRow("lead byte before a line end")
            << QByteArray("x\xB0\r\ny") << QStringLiteral("x\uFFFD\r\ny") << true;
    }
    void decodeAsBrowsersDo() {
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        QFETCH(bool, errors);
        const TqbPageText page = qbPageCodec::Decode(Page(EucKrMeta, body));
        QCOMPARE(page.Charset, QByteArray("windows-949"));
        QCOMPARE(page.Text, QString::fromUtf8(Page(EucKrMeta, {})).replace("<body>", "<body>" + text));
        QCOMPARE(page.HadDecodingErrors, errors);
    }

    void decodeInOtherCharsets_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("errors");
        QTest::newRow("utf-8, bad bytes kept apart")
            << Utf8Meta + "a\xFF" "b\xEA\xB0" "c" << QStringLiteral("<meta charset=\"utf-8\">a\uFFFDb\uFFFD\uFFFDc")
            << true;
        QTest::newRow("utf-8 mark stays in the text")
            << "\xEF\xBB\xBF" + Utf8Ganada << QStringLiteral("\uFEFF가나다") << false;
        QTest::newRow("utf-16le") << "\xFF\xFE" + Utf16Le("<p>가</p>") << QStringLiteral("\uFEFF<p>가</p>")
                                  << false;
        QTest::newRow("utf-16be without a mark")
            << Utf16Be("<p>가</p>") << QStringLiteral("<p>가</p>") << false;
        QTest::newRow("windows-1252")
            << QByteArray("<meta charset=iso-8859-1>caf\xE9") << QStringLiteral("<meta charset=iso-8859-1>café")
            << false;
        QTest::newRow("shift_jis, bad pair keeps the letter")
            << QByteArray("<meta charset=shift_jis>\x82\xA0\x82z") << QStringLiteral("<meta charset=shift_jis>あ\uFFFDz")
            << true;
    }
    void decodeInOtherCharsets() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, errors);
        const TqbPageText page = qbPageCodec::Decode(bytes);
        QCOMPARE(page.Text, text);
        QCOMPARE(page.HadDecodingErrors, errors);
    }

    // A page read and written back unchanged is the same bytes.
    void roundTripByteForByte_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("declared euc-kr") << Page(EucKrMeta, Cp949Ganada + Cp949Ttom + "c");
        QTest::newRow("undeclared cp949") << Page({}, Cp949Ttom + Cp949Ganada);
        QTest::newRow("declared utf-8") << Page(Utf8Meta, Utf8Ganada + "\xF0\x9F\x98\x80");
        QTest::newRow("undeclared utf-8") << Page({}, Utf8Ganada);
        QTest::newRow("utf-8 with mark") << "\xEF\xBB\xBF" + Page({}, Utf8Ganada);
        QTest::newRow("utf-8 with mark, meta says euc-kr")
            << "\xEF\xBB\xBF" + Page(EucKrMeta, Utf8Ganada);
        QTest::newRow("utf-16le") << "\xFF\xFE" + Utf16Le("<html><body>가😀</body></html>\r\n");
        QTest::newRow("utf-16le without a mark")
            << Utf16Le("<html><body>가😀 \u2028</body></html>\r\n");
        QTest::newRow("utf-16be without a mark")
            << Utf16Be("<html><body>가나다 글자들</body></html>\r\n");
        QTest::newRow("xml-declared latin-1")
            << "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n" + Page({}, "caf\xE9");
        QTest::newRow("plain ascii") << Page({}, "text &#x1F600;");
        QTest::newRow("cp949 user-defined and odd single bytes")
            << Page(EucKrMeta, "\xC9\xA1 \x80 \xFF");
        QTest::newRow("empty") << QByteArray();
    }
    void roundTripByteForByte() {
        QFETCH(QByteArray, bytes);
        const TqbPageText page = qbPageCodec::Decode(bytes);
        QVERIFY(!page.HadDecodingErrors);
        QCOMPARE(qbPageCodec::Encode(page.Text, page.Charset), bytes);
    }

    void encode_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("charset");
        QTest::addColumn<QByteArray>("bytes");
        const QString eucKrPage = QString::fromLatin1(Page(EucKrMeta, "%1"));
        const QString utf8Page = QString::fromLatin1(Page(Utf8Meta, "%1"));
        const QString plainPage = QString::fromLatin1(Page({}, "%1"));
        QTest::newRow("emoji becomes a reference")
            << eucKrPage.arg("가😀") << QByteArray("windows-949")
            << Page(EucKrMeta, Cp949Ganada.left(2) + "&#x1F600;");
        QTest::newRow("extended syllable") << eucKrPage.arg("똠") << QByteArray("euc-kr")
                                           << Page(EucKrMeta, Cp949Ttom);
        QTest::newRow("edited declaration to utf-8 wins")
            << utf8Page.arg("가나다") << QByteArray("windows-949") << Page(Utf8Meta, Utf8Ganada);
        QTest::newRow("edited declaration to euc-kr wins")
            << eucKrPage.arg("가나다") << QByteArray("UTF-8") << Page(EucKrMeta, Cp949Ganada);
        QTest::newRow("undeclared utf-8 needs no mark")
            << plainPage.arg("가나다") << QByteArray("UTF-8") << Page({}, Utf8Ganada);
        QTest::newRow("undeclared utf-8, ascii only")
            << plainPage.arg("abc") << QByteArray("UTF-8") << Page({}, "abc");
        QTest::newRow("utf-16 markup reads back without a mark")
            << QStringLiteral("<p>가</p>") << QByteArray("UTF-16LE") << Utf16Le("<p>가</p>");
        QTest::newRow("utf-16 without markup gets its mark back")
            << QStringLiteral("나다라마") << QByteArray("UTF-16LE")
            << "\xFF\xFE" + Utf16Le("나다라마");
        QTest::newRow("undeclared latin-1 falls back to cp949")
            << plainPage.arg("café") << QByteArray("windows-1252")
            << Page({}, "caf&#xE9;");
        QTest::newRow("mark dropped in cp949")
            << QStringLiteral("\uFEFF") + eucKrPage.arg("가") << QByteArray("windows-949")
            << Page(EucKrMeta, Cp949Ganada.left(2));
        QTest::newRow("a mark decides over the declaration")
            << QStringLiteral("\uFEFF") + eucKrPage.arg("가") << QByteArray("UTF-8")
            << "\xEF\xBB\xBF" + Page(EucKrMeta, Utf8Ganada.left(3));
        // Korean typed into a page of plain ASCII: browsers are told how to read it.
        QTest::newRow("ascii page gets its first korean")
            << plainPage.arg("가") << QByteArray("US-ASCII")
            << Page(R"(<meta charset="euc-kr">)", Cp949Ganada.left(2));
        QTest::newRow("ascii page that stays ascii")
            << plainPage.arg("&#xAC00; a") << QByteArray("US-ASCII") << Page({}, "&#xAC00; a");
        QTest::newRow("ascii page without a head")
            << QStringLiteral("<!DOCTYPE html>\r\n<HTML lang=ko><p>가") << QByteArray("US-ASCII")
            << "<!DOCTYPE html>\r\n<HTML lang=ko><head><meta charset=\"euc-kr\"></head><p>" +
                   Cp949Ganada.left(2);
        QTest::newRow("ascii page without markup")
            << QStringLiteral("가") << QByteArray("US-ASCII")
            << "<head><meta charset=\"euc-kr\"></head>" + Cp949Ganada.left(2);
        QTest::newRow("ascii page whose meta the user wrote")
            << utf8Page.arg("가") << QByteArray("US-ASCII") << Page(Utf8Meta, Utf8Ganada.left(3));
        QTest::newRow("unknown charset is the default")
            << plainPage.arg("가") << QByteArray("x-no-such") << Page({}, Cp949Ganada.left(2));
    }
    void encode() {
        QFETCH(QString, text);
        QFETCH(QByteArray, charset);
        QFETCH(QByteArray, bytes);
        QCOMPARE(qbPageCodec::Encode(text, charset), bytes);
    }

    // A page that declares UTF-8 but holds CP949 can be read as CP949; written back unchanged it
    // is its own bytes but for the declaration.
    void cp949ReadingOfAMisdeclaredPage_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text"); // empty: no such reading
        QTest::newRow("meta charset")
            << Page(Utf8Meta, Cp949Ganada + Cp949Ttom) << R"(<html><head><meta charset="euc-kr"></head>
<body>가나다똠</body></html>
)";
        QTest::newRow("meta http-equiv and xml declaration")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" +
                   Page(R"(<META http-equiv="Content-Type" content="text/html; charset=UTF8">)",
                        Cp949Ganada + " charset=utf-8")
            << R"(<?xml version="1.0" encoding="euc-kr"?><html><head><META http-equiv="Content-Type" content="text/html; charset=euc-kr"></head>
<body>가나다 charset=utf-8</body></html>
)";
        QTest::newRow("valid utf-8") << Page(Utf8Meta, Utf8Ganada) << QString();
        QTest::newRow("not clean in cp949 either") << Page(Utf8Meta, "\xFF" + Cp949Ganada)
                                                   << QString();
        QTest::newRow("declared euc-kr") << Page(EucKrMeta, Cp949Ganada) << QString();
        QTest::newRow("undeclared") << Page({}, Cp949Ganada) << QString();
    }
    void cp949ReadingOfAMisdeclaredPage() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const std::optional<TqbPageText> page = qbPageCodec::Cp949Reading(bytes);
        QCOMPARE(page.has_value(), !text.isEmpty());
        if (!page)
            return;
        text.replace("\n", "\r\n");
        QCOMPARE(page->Text, text);
        QCOMPARE(page->Charset, QByteArray("windows-949"));
        QVERIFY(!page->HadDecodingErrors);
        QByteArray expected = bytes;
        expected.replace(Utf8Meta, R"(<meta charset="euc-kr">)")
            .replace("encoding=\"UTF-8\"", "encoding=\"euc-kr\"")
            .replace("charset=UTF8", "charset=euc-kr");
        QCOMPARE(qbPageCodec::Encode(page->Text, page->Charset), expected);
    }

    void writeAndReadAFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("노트.htm");
        const QString text = QString::fromUtf8(Page(EucKrMeta, "똠 가나다 😀"));
        qbPageCodec::Write(path, text, "windows-949");
        QCOMPARE(FileBytes(path), Page(EucKrMeta, Cp949Ttom + " " + Cp949Ganada + " &#x1F600;"));
        const TqbPageText page = qbPageCodec::Read(path);
        QCOMPARE(page.Charset, QByteArray("windows-949"));
        QCOMPARE(page.Text, QString(text).replace("😀", "&#x1F600;"));
    }

    void failuresNameTheFile() {
        QTemporaryDir dir;
        const QString missing = dir.filePath("없는노트.htm");
        try {
            qbPageCodec::Read(missing);
            QFAIL("reading a missing file did not throw");
        } catch (const EqbError& error) {
            QVERIFY2(error.Message().contains("없는노트.htm"), qPrintable(error.Message()));
        }
        QVERIFY_THROWS_EXCEPTION(
            EqbError, qbPageCodec::Write(dir.filePath("no/such/folder.htm"), "x", "UTF-8"));
    }
};

QTEST_APPLESS_MAIN(TstPageCodec)
#include "tst_PageCodec.moc"
