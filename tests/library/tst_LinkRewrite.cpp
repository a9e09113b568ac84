// Links between notes follow a note or folder that moves.
#include "library/qbLinkRewrite.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_LinkRewrite : public QObject {
    Q_OBJECT

private slots:
    void rewrite_data() {
        QTest::addColumn<QString>("oldPage");
        QTest::addColumn<QString>("newPage"); // the same for a page that stayed
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("count");

        const QString page = "/lib/p.htm";
        QTest::newRow("note renamed, quotes, case and other attributes kept")
            << page << page << "/lib/a.htm" << "/lib/b.htm"
            << "<A class=x HREF='a.htm' title=\"t\">1</A><a href=\"a.htm\">2</a><a href=a.htm>3</a>"
            << "<A class=x HREF='b.htm' title=\"t\">1</A><a href=\"b.htm\">2</a><a href=b.htm>3</a>"
            << 3;
        QTest::newRow("note moved into a subfolder, dot segment written anew")
            << page << page << "/lib/a.htm" << "/lib/sub/a.htm"
            << "<a href=\"a.htm\">x</a><a href=\"./a.htm\">y</a>"
            << "<a href=\"sub/a.htm\">x</a><a href=\"sub/a.htm\">y</a>" << 2;
        QTest::newRow("note moved up from a subfolder")
            << page << page << "/lib/sub/a.htm" << "/lib/a.htm"
            << "<a href='sub/a.htm'>x</a>" << "<a href='a.htm'>x</a>" << 1;
        QTest::newRow("folder renamed: notes inside and the folder itself")
            << page << page << "/lib/old/" << "/lib/새 폴더/"
            << "<a href=\"old/a.htm\">a</a><a href=\"old/deep/b.htm\">b</a><a href=\"old/\">c</a>"
               "<a href=\"older/a.htm\">d</a>"
            << "<a href=\"%EC%83%88%20%ED%8F%B4%EB%8D%94/a.htm\">a</a>"
               "<a href=\"%EC%83%88%20%ED%8F%B4%EB%8D%94/deep/b.htm\">b</a>"
               "<a href=\"%EC%83%88%20%ED%8F%B4%EB%8D%94/\">c</a><a href=\"older/a.htm\">d</a>"
            << 3;
        QTest::newRow("place in the page and query kept")
            << page << page << "/lib/a.htm" << "/lib/b.htm"
            << "<a href=\"a.htm#part\">x</a><a href=\"a.htm?v=1#p\">y</a>"
            << "<a href=\"b.htm#part\">x</a><a href=\"b.htm?v=1#p\">y</a>" << 2;
        QTest::newRow("character references read, query written as it was")
            << page << page << "/lib/a&b.htm" << "/lib/c.htm"
            << "<a href=\"a&amp;b.htm?x=1&amp;y=2\">x</a>"
            << "<a href=\"c.htm?x=1&amp;y=2\">x</a>" << 1;
        QTest::newRow("unrelated links, pictures, comments and text untouched")
            << page << page << "/lib/a.htm" << "/lib/b.htm"
            << "<a href=\"sub/a.htm\">a.htm</a><a href=\"http://x/a.htm\">w</a>"
               "<a href=\"//lib/a.htm\">host</a><img src=\"a.htm\"><!-- <a href=\"a.htm\"> -->"
               "<a href=\"#a.htm\">top</a><textarea><a href=\"a.htm\"></textarea>"
               "<script>s='<a href=\"a.htm\">'</script><style>a[href=\"a.htm\"]{}</style>"
               "<title><a href=\"a.htm\"></title><xmp><a href=\"a.htm\"></xmp>"
            << "<a href=\"sub/a.htm\">a.htm</a><a href=\"http://x/a.htm\">w</a>"
               "<a href=\"//lib/a.htm\">host</a><img src=\"a.htm\"><!-- <a href=\"a.htm\"> -->"
               "<a href=\"#a.htm\">top</a><textarea><a href=\"a.htm\"></textarea>"
               "<script>s='<a href=\"a.htm\">'</script><style>a[href=\"a.htm\"]{}</style>"
               "<title><a href=\"a.htm\"></title><xmp><a href=\"a.htm\"></xmp>"
            << 0;
        QTest::newRow("absolute links keep their form")
            << page << page << "/lib/a.htm" << "/lib/새/b.htm"
            << "<a href=\"/lib/a.htm\">1</a><a href=\"file:///lib/a.htm#x\">2</a>"
               "<a href=\"FILE://localhost/lib/./a.htm\">3</a><a href=\"file://server/lib/a.htm\">4</a>"
            << "<a href=\"/lib/%EC%83%88/b.htm\">1</a><a href=\"file:///lib/%EC%83%88/b.htm#x\">2</a>"
               "<a href=\"FILE://localhost/lib/%EC%83%88/b.htm\">3</a>"
               "<a href=\"file://server/lib/a.htm\">4</a>"
            << 3;
        QTest::newRow("absolute link into a renamed folder")
            << page << page << "/lib/old/" << "/lib/new/"
            << "<a href=\"file:///lib/old/\">1</a><a href=\"/lib/old/deep/a.htm?q\">2</a>"
            << "<a href=\"file:///lib/new/\">1</a><a href=\"/lib/new/deep/a.htm?q\">2</a>" << 2;
        QTest::newRow("Windows separators stay")
            << "/lib/x/p.htm" << "/lib/x/p.htm" << "/lib/a.htm" << "/lib/sub/a.htm"
            << "<a href=\"..\\a.htm\">1</a><a href=\"..\\x\\..\\a.htm#p\">2</a>"
            << "<a href=\"..\\sub\\a.htm\">1</a><a href=\"..\\sub\\a.htm#p\">2</a>" << 2;
        QTest::newRow("moved page keeps Windows separators")
            << page << "/lib/sub/p.htm" << page << "/lib/sub/p.htm"
            << "<a href=\"x\\b.htm\">1</a><a href=\"x\\\">2</a><a href=\"sub\\q.htm\">3</a>"
            << "<a href=\"..\\x\\b.htm\">1</a><a href=\"..\\x\\\">2</a><a href=\"q.htm\">3</a>"
            << 3;
        QTest::newRow("href written as character references")
            << "/lib/sub/p.htm" << "/lib/sub/p.htm" << "/lib/a.htm" << "/lib/b.htm"
            << "<a href=\"&#46;&#46;/a.htm\">1</a><a href=\"&#x2e;&#x2E;&#47;&#97;.htm&#35;x\">2</a>"
            << "<a href=\"../b.htm\">1</a><a href=\"../b.htm&#35;x\">2</a>"
            << 2;
        QTest::newRow("frames follow like links")
            << page << page << "/lib/a.htm" << "/lib/b.htm"
            << "<iframe src=\"a.htm\"></iframe><frameset><FRAME SRC='a.htm'></frameset>"
               "<img src=\"a.htm\"><script src=\"a.htm\"></script>"
            << "<iframe src=\"b.htm\"></iframe><frameset><FRAME SRC='b.htm'></frameset>"
               "<img src=\"a.htm\"><script src=\"a.htm\"></script>"
            << 2;
        QTest::newRow("names percent-encoded in code page 949 stay so")
            << "/문서/p.htm" << "/문서/p.htm" << "/문서/가.htm" << "/문서/나 다.htm"
            << "<a href=\"%B0%A1.htm\">1</a><a href=\"%EA%B0%80.htm\">2</a>"
            << "<a href=\"%B3%AA%20%B4%D9.htm\">1</a><a href=\"%EB%82%98%20%EB%8B%A4.htm\">2</a>"
            << 2;
        QTest::newRow("code page 949 folder, new name it cannot hold")
            << page << page << "/lib/폴더/" << "/lib/😀/"
            << "<a href=\"%C6%FA%B4%F5/a.htm\">1</a>"
            << "<a href=\"%F0%9F%98%80/a.htm\">1</a>" << 1;
        QTest::newRow("%23 is part of the name, '#' starts the place")
            << page << page << "/lib/a#1.htm" << "/lib/c#2.htm"
            << "<a href=\"a%231.htm\">x</a><a href=\"a%231.htm#1\">y</a><a href=\"a.htm#1\">z</a>"
            << "<a href=\"c%232.htm\">x</a><a href=\"c%232.htm#1\">y</a><a href=\"a.htm#1\">z</a>"
            << 2;
        QTest::newRow("name written unencoded by another program")
            << page << page << "/lib/내 노트.htm" << "/lib/sub/내 노트.htm"
            << "<a href=\"내 노트.htm\">x</a>"
            << "<a href=\"sub/%EB%82%B4%20%EB%85%B8%ED%8A%B8.htm\">x</a>" << 1;
        QTest::newRow("folder name decomposed in the link, composed on disk")
            << page << page << "/lib/폴더/" << "/lib/new/"
            << "<a href=\"" + QStringLiteral("폴더/a.htm").normalized(QString::NormalizationForm_D) +
                   "\">x</a>"
            << "<a href=\"new/a.htm\">x</a>" << 1;
        QTest::newRow("moved page keeps reaching the others")
            << page << "/lib/sub/p.htm" << page << "/lib/sub/p.htm"
            << "<a href=\"a.htm#x\">1</a><a href='sub/b.htm'>2</a><a href=\"p.htm#me\">3</a>"
               "<a href=\"#top\">4</a><a href=\"http://x/\">5</a>"
            << "<a href=\"../a.htm#x\">1</a><a href='b.htm'>2</a><a href=\"p.htm#me\">3</a>"
               "<a href=\"#top\">4</a><a href=\"http://x/\">5</a>"
            << 2;
        QTest::newRow("page moved with its folder: links inside the folder kept")
            << "/lib/f/p.htm" << "/lib/g/f/p.htm" << "/lib/f/" << "/lib/g/f/"
            << "<a href=\"q.htm\">1</a><a href=\"../a.htm\">2</a><a href=\"../f/q.htm\">3</a>"
            << "<a href=\"q.htm\">1</a><a href=\"../../a.htm\">2</a><a href=\"../f/q.htm\">3</a>"
            << 1;
    }

    void rewrite() {
        QFETCH(QString, oldPage);
        QFETCH(QString, newPage);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, html);
        QFETCH(QString, expected);
        QFETCH(int, count);
        const TqbItemMove move{from, to};
        const TqbRewrittenLinks got = oldPage == newPage
                                          ? qbLinkRewrite::LinksTo(html, oldPage, move)
                                          : qbLinkRewrite::LinksOfMoved(html, oldPage, newPage, move);
        QCOMPARE(got.Html, expected);
        QCOMPARE(got.Count, count);
    }

    // Names that differ only in composed (NFC) or decomposed (NFD) Hangul match each other only
    // while one of them is on disk; side by side they are two notes with links of their own.
    void composedAndDecomposedNames_data() {
        QTest::addColumn<bool>("twinStays");
        QTest::addColumn<bool>("decomposedMoves");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("count");
        const QString nfc = "<a href=\"%ED%95%9C.htm\">c</a>";
        const QString nfd = "<a href=\"%E1%84%92%E1%85%A1%E1%86%AB.htm\">d</a>";
        const QString moved = "<a href=\"b.htm\">%1</a>";
        QTest::newRow("decomposed renamed, composed twin stays")
            << true << true << nfc + moved.arg('d') << 1;
        QTest::newRow("composed renamed, decomposed twin stays")
            << true << false << moved.arg('c') + nfd << 1;
        QTest::newRow("the only one renamed: both spellings follow")
            << false << true << moved.arg('c') + moved.arg('d') << 2;
    }
    void composedAndDecomposedNames() {
        QFETCH(bool, twinStays);
        QFETCH(bool, decomposedMoves);
        QFETCH(QString, expected);
        QFETCH(int, count);
        QTemporaryDir dir;
        const QString composed = dir.filePath(QStringLiteral("한.htm"));
        const QString decomposed = composed.normalized(QString::NormalizationForm_D);
        QVERIFY(composed != decomposed);
        const QString moving = decomposedMoves ? decomposed : composed;
        const QString twin = decomposedMoves ? composed : decomposed;
        const QString to = dir.filePath("b.htm");
        // The move is done on disk before the links follow it.
        QFile file(to);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        if (twinStays) {
            QFile other(twin);
            QVERIFY(other.open(QIODevice::WriteOnly));
        }
        const QString html = "<a href=\"%ED%95%9C.htm\">c</a>"
                             "<a href=\"%E1%84%92%E1%85%A1%E1%86%AB.htm\">d</a>";
        const TqbRewrittenLinks got =
            qbLinkRewrite::LinksTo(html, dir.filePath("p.htm"), TqbItemMove{moving, to});
        QCOMPARE(got.Html, expected);
        QCOMPARE(got.Count, count);
    }
};

QTEST_GUILESS_MAIN(tst_LinkRewrite)
#include "tst_LinkRewrite.moc"
