#include "common/qbTestFiles.h"
#include "library/qbNoteTags.h"
#include "library/qbTagIndex.h"
#include "platform/qbError.h"

#include <QTemporaryDir>
#include <QTest>

// Korean in the bytes each charset gives it.
#define CP949_WORK "\xBE\xF7\xB9\xAB" // 업무
#define UTF8_WORK "\xEC\x97\x85\xEB\xAC\xB4"

class TestNoteTags : public QObject {
    Q_OBJECT
private slots:
    void split_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("tags");
        QTest::newRow("commas, blanks, a hash, repeats in another case")
            << QString(" #업무, 회의 ,업무,, Plan ,plan,#") << QStringList{"업무", "회의", "Plan"};
        QTest::newRow("nothing") << QString("  ") << QStringList{};
    }
    void split() {
        QFETCH(QString, text);
        QFETCH(QStringList, tags);
        QCOMPARE(qbNoteTags::Split(text), tags);
    }

    // Each row: a page, the tags written into it, the whole page after. Reading that page back
    // gives the tags.
    void write_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QStringList>("tags");
        QTest::addColumn<QByteArray>("written");

        QTest::newRow("no head: one made after <html>")
            << QByteArray("<html><body>x</body></html>") << QStringList{"a", "b"}
            << QByteArray("<html>\r\n<head><meta name=\"keywords\" content=\"a, b\"></head>"
                          "<body>x</body></html>");
        QTest::newRow("no html either: after the doctype, its line end kept")
            << QByteArray("<!DOCTYPE html>\n<p>x</p>\n") << QStringList{"a"}
            << QByteArray("<!DOCTYPE html>\n<head><meta name=\"keywords\" content=\"a\"></head>"
                          "\n<p>x</p>\n");
        QTest::newRow("bare text with a byte-order mark: the head first, after the mark")
            << QByteArray("\xEF\xBB\xBF<p>" UTF8_WORK "</p>") << QStringList{"업무"}
            << QByteArray("\xEF\xBB\xBF<head><meta name=\"keywords\" content=\"" UTF8_WORK
                          "\"></head>\r\n<p>" UTF8_WORK "</p>");
        QTest::newRow("head without a meta: a line of its own before </head>")
            << QByteArray("<html>\r\n<head>\r\n  <title>t</title>\r\n  </head>\r\n<body>x</body>"
                          "\r\n</html>\r\n")
            << QStringList{"a"}
            << QByteArray("<html>\r\n<head>\r\n  <title>t</title>\r\n<meta name=\"keywords\" "
                          "content=\"a\">\r\n  </head>\r\n<body>x</body>\r\n</html>\r\n");
        QTest::newRow("head on one line")
            << QByteArray("<html><head><title>t</head></title></head><body></body></html>")
            << QStringList{"a"}
            << QByteArray("<html><head><title>t</head></title><meta name=\"keywords\" "
                          "content=\"a\"></head><body></body></html>");
        QTest::newRow("head never closed: after <head>")
            << QByteArray("<html><head><title>t</title><body></body></html>") << QStringList{"a"}
            << QByteArray("<html><head>\r\n<meta name=\"keywords\" content=\"a\"><title>t</title>"
                          "<body></body></html>");
        QTest::newRow("existing meta: only its content changes")
            << QByteArray("<html><head>\r\n<meta name=\"keywords\" content=\"old\">\r\n</head>"
                          "<body>x</body></html>")
            << QStringList{"new", "other"}
            << QByteArray("<html><head>\r\n<meta name=\"keywords\" content=\"new, other\">\r\n"
                          "</head><body>x</body></html>");
        QTest::newRow("odd spacing, case and quotes kept")
            << QByteArray("<HTML><HEAD><META  NAME = Keywords\n   CONTENT = 'old' / ></HEAD>")
            << QStringList{"it's", "a&b"}
            << QByteArray("<HTML><HEAD><META  NAME = Keywords\n   CONTENT = 'it&#39;s, a&amp;b' / >"
                          "</HEAD>");
        QTest::newRow("unquoted content gets quotes")
            << QByteArray("<head><meta content=old name=keywords></head>") << QStringList{"a b"}
            << QByteArray("<head><meta content=\"a b\" name=keywords></head>");
        QTest::newRow("meta without content")
            << QByteArray("<head><meta name=\"keywords\"/></head>") << QStringList{"a"}
            << QByteArray("<head><meta name=\"keywords\" content=\"a\"/></head>");
        QTest::newRow("a meta in a comment or the body is not the note's")
            << QByteArray("<head><!-- <meta name=\"keywords\" content=\"x\"> --></head>"
                          "<body><meta name=\"keywords\" content=\"y\"></body>")
            << QStringList{"a"}
            << QByteArray("<head><!-- <meta name=\"keywords\" content=\"x\"> --><meta "
                          "name=\"keywords\" content=\"a\"></head><body><meta name=\"keywords\" "
                          "content=\"y\"></body>");
        QTest::newRow("CP949 note: the tag in CP949, no other byte touched")
            << QByteArray("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                          "charset=euc-kr\">\r\n</head><body>" CP949_WORK "\xFF</body></html>")
            << QStringList{"업무", "😀"}
            << QByteArray("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                          "charset=euc-kr\">\r\n<meta name=\"keywords\" content=\"" CP949_WORK
                          ", &#x1F600;\">\r\n</head><body>" CP949_WORK "\xFF</body></html>");
        QTest::newRow("ASCII note stays ASCII")
            << QByteArray("<head></head>") << QStringList{"업무"}
            << QByteArray("<head><meta name=\"keywords\" content=\"&#xC5C5;&#xBB34;\"></head>");
        QTest::newRow("last tag removed: the meta's line goes")
            << QByteArray("<head>\r\n  <meta name=\"keywords\" content=\"a\">\r\n<title>t</title>"
                          "</head>")
            << QStringList{} << QByteArray("<head>\r\n<title>t</title></head>");
        QTest::newRow("last tag removed from a line shared with others")
            << QByteArray("<head><meta name=\"keywords\" content=\"a\"><title>t</title></head>")
            << QStringList{} << QByteArray("<head><title>t</title></head>");
        QTest::newRow("no tags for a page without any: unchanged")
            << QByteArray("<p>x</p>") << QStringList{} << QByteArray("<p>x</p>");
    }
    void write() {
        QFETCH(QByteArray, page);
        QFETCH(QStringList, tags);
        QFETCH(QByteArray, written);
        QCOMPARE(qbNoteTags::Write(page, tags), written);
        QCOMPARE(qbNoteTags::Read(written), tags);
    }

    void wideUnicodePageIsRefused() {
        const QByteArray page = QByteArray("\xFF\xFE<\0p\0>\0", 8);
        QVERIFY_THROWS_EXCEPTION(EqbError, qbNoteTags::Write(page, {"a"}));
        QCOMPARE(qbNoteTags::Read(page), QStringList{});
    }

    void indexCountsAndSeesChanges() {
        QTemporaryDir dir;
        const QString root = dir.filePath("BookData");
        WriteBytes(root + "/a.htm", "<head><meta name=keywords content=\"업무, 회의\"></head>");
        WriteBytes(root + "/폴더/b.htm", "<head><meta name=keywords content=\"회의\"></head>");
        WriteBytes(root + "/폴더/c.htm", "<p>no tags</p>");
        WriteBytes(root + "/폴더/notes.txt", "<head><meta name=keywords content=\"x\"></head>");
        TqbTagIndex index;
        const QStringList notes = TqbTagIndex::NotesBelow(root, ".htm");
        QCOMPARE(notes, (QStringList{root + "/a.htm", root + "/폴더/b.htm", root + "/폴더/c.htm"}));
        QCOMPARE(index.Count(notes), (QList<TqbTagCount>{{"업무", 1}, {"회의", 2}}));
        WriteBytes(root + "/폴더/c.htm", "<head><meta name=keywords content=\"업무\"></head>");
        QCOMPARE(index.Count(notes), (QList<TqbTagCount>{{"업무", 2}, {"회의", 2}}));
        QVERIFY(index.Carries(root + "/폴더/c.htm", "업무"));
        QVERIFY(!index.Carries(root + "/폴더/b.htm", "업무"));
    }
};

QTEST_GUILESS_MAIN(TestNoteTags)
#include "tst_NoteTags.moc"
