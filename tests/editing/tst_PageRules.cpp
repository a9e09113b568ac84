// The editor's rules that need no page: which files a note may load, how the saved text is
// laid out, and when a page is too big to hand over as data.
#include "editing/qbPageRequestFilter.h"
#include "editing/qbPageText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace qbDhtml;

class TestPageRules : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString Folder(const QString& name) {
        QDir(m_dir.path()).mkpath(name);
        return QDir::cleanPath(m_dir.filePath(name));
    }

private slots:
    void requests_data() {
        QTest::addColumn<QString>("url"); // "@" stands for the test folder
        QTest::addColumn<bool>("allowed");
        QTest::newRow("picture in the library") << "file://@/lib/a/p.png" << true;
        QTest::newRow("the library's own folder") << "file://@/lib" << true;
        QTest::newRow("a folder beside it with a longer name") << "file://@/library2/p.png" << false;
        QTest::newRow("system file") << "file:///etc/passwd" << false;
        QTest::newRow("climbing out") << "file://@/lib/a/../../outside/p.png" << false;
        QTest::newRow("escaped climbing out") << "file://@/lib/a/%2E%2E/%2E%2E/outside/p.png" << false;
        QTest::newRow("link inside leading out") << "file://@/lib/out-link/p.png" << false;
        QTest::newRow("another host") << "file://server/share/p.png" << false;
        QTest::newRow("web address") << "https://example.org/p.png" << false;
        QTest::newRow("plain web address") << "HTTP://example.org/p.png" << false;
        QTest::newRow("data address") << "data:image/png;base64,AAAA" << true;
    }
    void requests() {
        QFETCH(QString, url);
        QFETCH(bool, allowed);
        Folder("lib/a");
        Folder("outside");
        Folder("library2");
        QFile::link(Folder("outside"), m_dir.filePath("lib/out-link"));
        TqbPageRequestFilter filter;
        filter.SetAllowedRoots({m_dir.filePath("lib")});
        const QUrl address(url.replace('@', QDir::cleanPath(m_dir.path())));
        QCOMPARE(TqbPageRequestFilter::MayLoad(address, filter.AllowedRoots()), allowed);
    }

    void savedText_data() {
        QTest::addColumn<QString>("serialized");
        QTest::addColumn<QString>("lineEnd"); // the file's own
        QTest::addColumn<QString>("saved");
        QTest::newRow("last line ends too")
            << "<html><body>a</body></html>" << "\r\n" << "<html><body>a</body></html>\r\n";
        QTest::newRow("line feeds become CR LF")
            << "<html>\n<body>a\nb\n\nc</body></html>" << "\r\n"
            << "<html>\r\n<body>a\r\nb\r\n\r\nc</body></html>\r\n";
        // The page's own carriage returns came from references, and go back as references.
        QTest::newRow("carriage return in text and attribute")
            << "<html><body title=\"a\rb\"><pre>\r\nx</pre></body></html>" << "\r\n"
            << "<html><body title=\"a&#13;b\"><pre>&#13;\r\nx</pre></body></html>\r\n";
        // What follows "</html>" is parsed into the body: the last line end comes back there.
        QTest::newRow("the body's last line feed is the file's last")
            << "<html><body><div>a</div>\n</body></html>" << "\r\n"
            << "<html><body><div>a</div></body></html>\r\n";
        QTest::newRow("only one of two")
            << "<html><body>a\n\n</body></html>" << "\r\n" << "<html><body>a\r\n</body></html>\r\n";
        QTest::newRow("a pre's own line feeds stay")
            << "<html><body><pre>\n\nx\n</pre></body></html>" << "\r\n"
            << "<html><body><pre>\r\n\r\nx\r\n</pre></body></html>\r\n";
        QTest::newRow("a file of line feeds keeps them")
            << "<html>\n<body><pre>a\nb\n</pre>\n</body></html>" << "\n"
            << "<html>\n<body><pre>a\nb\n</pre></body></html>\n";
        QTest::newRow("a file of carriage returns keeps them")
            << "<html><body title=\"a\rb\">x\ny</body></html>" << "\r"
            << "<html><body title=\"a&#13;b\">x\ry</body></html>\r";
        // The engine writes a ticked box 'checked=""'; notes have it plain.
        QTest::newRow("ticked boxes are written plain")
            << "<html><body><div><input type=\"checkbox\" checked=\"\"> a</div>"
               "<INPUT value=\"b> c\" checked=\"\"/></body></html>" << "\n"
            << "<html><body><div><input type=\"checkbox\" checked> a</div>"
               "<INPUT value=\"b> c\" checked/></body></html>\n";
        QTest::newRow("checked elsewhere stays")
            << "<html><body><p title=\"<input checked=&quot;&quot;>\">x checked=\"\" y"
               "<!-- <input checked=\"\"> --><option checked=\"\"></option>"
               "<input checked=\"checked\"><script>\"<input checked=\"\">\"</script></p>"
               "</body></html>" << "\n"
            << "<html><body><p title=\"<input checked=&quot;&quot;>\">x checked=\"\" y"
               "<!-- <input checked=\"\"> --><option checked=\"\"></option>"
               "<input checked=\"checked\"><script>\"<input checked=\"\">\"</script></p>"
               "</body></html>\n";
    }
    void savedText() {
        QFETCH(QString, serialized);
        QFETCH(QString, lineEnd);
        QTEST(PageTextToSave(serialized, lineEnd), "saved");
    }

    // Chromium measures the data address it builds, not the text: Korean grows ninefold there.
    void dataAddressLength_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<qsizetype>("length");
        const qsizetype prefix = QByteArray("data:text/html;charset=UTF-8,").size();
        QTest::newRow("letters stay") << QByteArray("abcXYZ019-._~") << prefix + 13;
        QTest::newRow("markup is escaped") << QByteArray("<b>") << prefix + 7;
        QTest::newRow("korean syllable") << QString("가").toUtf8() << prefix + 9;
    }
    void dataAddressLength() {
        QFETCH(QByteArray, page);
        QTEST(DataAddressLength(page), "length");
    }

    void halfAMegabyteOfKoreanIsTooBigForData() {
        QByteArray cp949Sized;
        while (cp949Sized.size() < 500 * 1024 / 2 * 3)
            cp949Sized += QString("가").toUtf8();
        QVERIFY(DataAddressLength(cp949Sized) > MaxDataAddressLength);
    }

    void pageWaitGrowsWithTheDocument_data() {
        QTest::addColumn<int>("baseMs");
        QTest::addColumn<qint64>("chars");
        QTest::addColumn<int>("waitMs");
        QTest::newRow("no document") << 10000 << qint64(0) << 10000;
        QTest::newRow("a small note") << 10000 << qint64(20000) << 10100;
        QTest::newRow("a million characters") << 10000 << qint64(1000000) << 15000;
        QTest::newRow("20 million characters") << 10000 << qint64(20000000) << 110000;
        QTest::newRow("beyond what an int holds") << 10000 << (qint64(1) << 40)
                                                  << std::numeric_limits<int>::max();
    }
    void pageWaitGrowsWithTheDocument() {
        QFETCH(int, baseMs);
        QFETCH(qint64, chars);
        QTEST(PageWaitMs(baseMs, chars), "waitMs");
    }

    void printFileName_data() {
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("lastFile");
        QTest::addColumn<QString>("offered");
        QTest::newRow("beside the note") << "/lib/일기/오늘 일기.htm" << ""
                                         << "/lib/일기/오늘 일기.pdf";
        QTest::newRow("where the last one went") << "/lib/일기/오늘 일기.htm" << "/home/u/print.pdf"
                                                 << "/home/u/오늘 일기.pdf";
        QTest::newRow("dots in the name") << "/lib/v1.2 계획.htm" << "" << "/lib/v1.2 계획.pdf";
    }
    void printFileName() {
        QFETCH(QString, note);
        QFETCH(QString, lastFile);
        QFETCH(QString, offered);
        QCOMPARE(PrintFileName(note, lastFile), offered);
    }
};

QTEST_APPLESS_MAIN(TestPageRules)
#include "tst_PageRules.moc"
