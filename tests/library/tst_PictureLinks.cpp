// Which pictures a page shows from files beside it.
#include "library/qbPictureLinks.h"

#include <QTest>

class tst_PictureLinks : public QObject {
    Q_OBJECT

private slots:
    void find_data() {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QStringList>("written"); // the addresses as they stand in the page
        QTest::addColumn<QStringList>("files");

        QTest::newRow("img in double, single and no quotes")
            << "<IMG src=\"__images/a.png\"><img SRC='b.gif'><img src=c.jpg alt=x>"
            << QStringList{"__images/a.png", "b.gif", "c.jpg"}
            << QStringList{"__images/a.png", "b.gif", "c.jpg"};
        QTest::newRow("background attributes")
            << "<BODY background=\"bg.png\"><TD background = 'cell.png'>"
            << QStringList{"bg.png", "cell.png"} << QStringList{"bg.png", "cell.png"};
        QTest::newRow("style attribute and style block")
            << "<div style=\"background: url('s1.png') no-repeat\"></div>"
               "<style>BODY { background-image: url(s2.png) } P { x: URL( \"s3.png\" ) }</style>"
            << QStringList{"s1.png", "s2.png", "s3.png"}
            << QStringList{"s1.png", "s2.png", "s3.png"};
        QTest::newRow("escapes, references and backslashes undone")
            << "<img src=\"__images/a%20b.png\"><img src=\"x&amp;y.png\"><img src=\"sub\\z.png\">"
               "<img src=\"&#xADF8;&#47548;.png\"><img src=\"%B1%D7%B8%B2/1.png\">"
            << QStringList{"__images/a%20b.png", "x&amp;y.png", "sub\\z.png",
                           "&#xADF8;&#47548;.png", "%B1%D7%B8%B2/1.png"}
            << QStringList{"__images/a b.png", "x&y.png", "sub/z.png", "그림.png", "그림/1.png"};
        QTest::newRow("Korean name, query and fragment")
            << "<img src=\"그림/사진.png?v=2\"><img src=\"d.png#top\">"
            << QStringList{"그림/사진.png?v=2", "d.png#top"}
            << QStringList{"그림/사진.png", "d.png"};
        QTest::newRow("dot segments cleaned")
            << "<img src=\"./a/../b.png\"><img src=\"../up.png\">"
            << QStringList{"./a/../b.png", "../up.png"} << QStringList{"b.png", "../up.png"};
        QTest::newRow("absolute addresses left out")
            << "<img src=\"http://x/a.png\"><img src=\"file:///tmp/b.png\"><img src=\"/c.png\">"
               "<img src=\"data:image/png;base64,AA\"><img src=\"#d\"><img src=\"C:\\e.png\">"
               "<img src=\"\">"
            << QStringList{} << QStringList{};
        QTest::newRow("pages are no pictures")
            << "<iframe src=\"other.htm\"></iframe><frame src=\"x.HTM\"><img src=\"p.qb\">"
            << QStringList{} << QStringList{};
        QTest::newRow("links, comments and text left alone")
            << "<a href=\"big.png\">src=\"t.png\"</a><!-- <img src=\"old.png\"> -->"
               "<p>url(prose.png)</p><img src=\"after.png\">"
               "<TEXTAREA><img src=\"typed.png\"></TEXTAREA><script>'<img src=\"s.png\">'</script>"
               "<title><img src=\"t.png\"></title><img src=\"last.png\">"
            << QStringList{"after.png", "last.png"} << QStringList{"after.png", "last.png"};
        QTest::newRow("unclosed tag at the end")
            << "<img src=\"a.png" << QStringList{"a.png"} << QStringList{"a.png"};
    }

    void find() {
        QFETCH(QString, html);
        QFETCH(QStringList, written);
        QFETCH(QStringList, files);
        QStringList gotWritten;
        QStringList gotFiles;
        for (const TqbPictureLink& link : qbPictureLinks::Find(html)) {
            gotWritten << html.mid(link.Pos, link.Len);
            gotFiles << link.File;
        }
        QCOMPARE(gotWritten, written);
        QCOMPARE(gotFiles, files);
    }

    void addressRoundTrip_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("plain") << "__images/a.png";
        QTest::newRow("blank") << "__images/a b.png";
        QTest::newRow("percent") << "100%.png";
        QTest::newRow("hash and question mark") << "x#1?.png";
        QTest::newRow("quotes, brackets, ampersand") << "a\"b'(1)&c.png";
        QTest::newRow("Korean") << "그림/사진.png";
        QTest::newRow("climbing") << "../../shared/s.png";
    }

    void addressRoundTrip() {
        QFETCH(QString, file);
        const QString address = qbPictureLinks::AddressOfFile(file);
        QCOMPARE(qbPictureLinks::FileOfAddress(address), file);
        // It survives in any attribute quoting and in a CSS url().
        for (const QString& page : {"<img src=\"" + address + "\">", "<img src='" + address + "'>",
                                    "<div style=\"background:url(" + address + ")\">"}) {
            const auto links = qbPictureLinks::Find(page);
            QCOMPARE(links.size(), 1);
            QCOMPARE(links.first().File, file);
        }
    }
};

QTEST_GUILESS_MAIN(tst_PictureLinks)
#include "tst_PictureLinks.moc"
