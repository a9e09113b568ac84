// The three-way merge of a note and its conflict copy, and the ancestor they are merged against.
#include "library/qbChangeMarks.h"
#include "library/qbMergeAncestor.h"
#include "library/qbNoteMerge.h"
#include "library/qbNoteVersions.h"

#include <QTemporaryDir>
#include <QTest>

using TPages = QList<QByteArray>;

namespace {

// The merge's parts in one text: an overlap as {ours|base|theirs}.
QByteArray Shown(const TqbMergeResult& result) {
    QByteArray text;
    for (const TqbMergePart& part : result.Parts)
        text +=
            part.Overlap ? "{" + part.Ours + "|" + part.Base + "|" + part.Theirs + "}" : part.Text;
    return text;
}

const QByteArray Head = "<html><head><title>t</title></head><body>\r\n";
const QByteArray Tail = "</body></html>";

} // namespace

class tst_NoteMerge : public QObject {
    Q_OBJECT

private slots:
    void Merge_data() {
        QTest::addColumn<QByteArray>("base");
        QTest::addColumn<QByteArray>("ours");
        QTest::addColumn<QByteArray>("theirs");
        QTest::addColumn<bool>("clean");
        QTest::addColumn<QByteArray>("shown");

        // Paragraphs on one line of the file, as the editor writes them.
        QTest::newRow("edits in different paragraphs merge")
            << Head + "<p>one</p><p>two</p><p>three</p>" + Tail
            << Head + "<p>one, changed here</p><p>two</p><p>three</p>" + Tail
            << Head + "<p>one</p><p>two</p><p>three, changed there</p>" + Tail << true
            << Head + "<p>one, changed here</p><p>two</p><p>three, changed there</p>" + Tail;
        QTest::newRow("line breaks and rules split blocks too")
            << QByteArray("a<br>b<BR/>c<hr class=\"x\">d")
            << QByteArray("A<br>b<BR/>c<hr class=\"x\">d")
            << QByteArray("a<br>b<BR/>c<hr class=\"x\">D") << true
            << QByteArray("A<br>b<BR/>c<hr class=\"x\">D");
        QTest::newRow("the same paragraph changed both ways overlaps")
            << Head + "<p>one</p><p>two</p><p>three</p>" + Tail
            << Head + "<p>one</p><p>two here</p><p>three</p>" + Tail
            << Head + "<p>one</p><p>two there</p><p>three</p>" + Tail << false
            << Head + "<p>one</p>{<p>two here</p>|<p>two</p>|<p>two there</p>}<p>three</p>" + Tail;
        QTest::newRow("one side unchanged takes the other")
            << Head + "<p>one</p>\n<p>two</p>" + Tail << Head + "<p>one</p>\n<p>two</p>" + Tail
            << Head + "<p>one</p>\n<p>two</p><p>new</p>" + Tail << true
            << Head + "<p>one</p>\n<p>two</p><p>new</p>" + Tail;
        // "가나" and "다라" in CP949: trail bytes never look like a tag's '<', '/' or '>'.
        QTest::newRow("CP949 page")
            << QByteArray("<p>\xB0\xA1\xB3\xAA</p><p>x</p><p>\xB4\xD9\xB6\xF3</p>")
            << QByteArray("<p>\xB0\xA1\xB3\xAA!</p><p>x</p><p>\xB4\xD9\xB6\xF3</p>")
            << QByteArray("<p>\xB0\xA1\xB3\xAA</p><p>x</p><p>\xB4\xD9\xB6\xF3?</p>") << true
            << QByteArray("<p>\xB0\xA1\xB3\xAA!</p><p>x</p><p>\xB4\xD9\xB6\xF3?</p>");
        QTest::newRow("the layout's own bytes in a page come back as they were")
            << QByteArray("<p>\x01\x02</p>\r\n<p>b\x01</p><p>c</p>\x01")
            << QByteArray("<p>\x01\x02!</p>\r\n<p>b\x01</p><p>c</p>\x01")
            << QByteArray("<p>\x01\x02</p>\r\n<p>b\x01</p><p>c?</p>\x01") << true
            << QByteArray("<p>\x01\x02!</p>\r\n<p>b\x01</p><p>c?</p>\x01");
        QTest::newRow("an overlap on the last block, no line break at the end")
            << QByteArray("<p>a</p><p>b</p>end") << QByteArray("<p>a</p><p>b</p>END")
            << QByteArray("<p>a</p><p>b</p>fin") << false
            << QByteArray("<p>a</p><p>b</p>{END|end|fin}");
    }
    void Merge() {
        QFETCH(QByteArray, base);
        QFETCH(QByteArray, ours);
        QFETCH(QByteArray, theirs);
        QFETCH(bool, clean);
        QFETCH(QByteArray, shown);

        for (const QByteArray& page : {base, ours, theirs})
            QCOMPARE(TqbNoteMerge::Unlayout(TqbNoteMerge::Layout(page)), page);
        const TqbMergeResult result = TqbNoteMerge::Merge(base, ours, theirs);
        QCOMPARE(result.Clean, clean);
        QCOMPARE(Shown(result), shown);
        if (clean) {
            QCOMPARE(result.Merged, shown);
        } else {
            // Taking one side everywhere gives that side back.
            QCOMPARE(TqbNoteMerge::Join(result, {true}), ours);
            QCOMPARE(TqbNoteMerge::Join(result, {false}), theirs);
        }
    }

    // What one version shows marked beside the other in the comparison.
    void Marks_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("other");
        QTest::addColumn<QByteArray>("marked");

        QTest::newRow("a changed paragraph, the style in the head")
            << Head + "<p>one</p><p>two</p><p>three, there</p>" + Tail
            << Head + "<p>one</p><p>two</p><p>three</p>" + Tail
            << "<html><head>" + qbChangeMarks::Style +
                   "<title>t</title></head><body>\r\n<p>one</p><p>two</p>"
                   "<p data-qbchanged>three, there</p>" + Tail;
        QTest::newRow("text outside a tag gets a span")
            << QByteArray("a<br>b<br>c") << QByteArray("a<br>B<br>c")
            << qbChangeMarks::Style + "a<br><span data-qbchanged>b</span><br>c";
        QTest::newRow("a block only this page has")
            << QByteArray("<body><p>x</p><div>new</div></body>")
            << QByteArray("<body><p>x</p></body>")
            << qbChangeMarks::Style + "<body><p>x</p><div data-qbchanged>new</div></body>";
        QTest::newRow("the first paragraph on the body's line")
            << QByteArray("<html><BODY><p>one, here</p><p>two</p></BODY></html>")
            << QByteArray("<html><BODY><p>one</p><p>two</p></BODY></html>")
            << "<html>" + qbChangeMarks::Style +
                   "<BODY><p data-qbchanged>one, here</p><p>two</p></BODY></html>";
        QTest::newRow("the same page is left as it is")
            << Head + "<p>one</p>" + Tail << Head + "<p>one</p>" + Tail << Head + "<p>one</p>" + Tail;
    }
    void Marks() {
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, other);
        QFETCH(QByteArray, marked);
        QCOMPARE(qbChangeMarks::Marked(page, other), marked);
    }

    // Versions are kept, oldest first, by computer "here" (this one) or "there"; a version
    // named before names said whose it is has no computer.
    void Ancestor_data() {
        QTest::addColumn<QStringList>("keptBy");
        QTest::addColumn<TPages>("kept");
        QTest::addColumn<QByteArray>("ours");
        QTest::addColumn<QByteArray>("theirs");
        QTest::addColumn<QByteArray>("ancestor"); // empty: none

        QTest::newRow("the newest page both computers replaced")
            << QStringList{"here", "there", "here", "there", "here", "there"}
            << TPages{"p0", "p0", "x", "x", "ours1", "theirs1"} << QByteArray("ours2")
            << QByteArray("theirs2") << QByteArray("x");
        QTest::newRow("a page one side wrote later is no ancestor")
            << QStringList{"here", "there", "here", "here"} << TPages{"x", "x", "ours1", "ours2"}
            << QByteArray("ours3") << QByteArray("theirs") << QByteArray("x");
        QTest::newRow("this side unchanged since the other replaced it")
            << QStringList{"here", "there"} << TPages{"p0", "x"} << QByteArray("x")
            << QByteArray("theirs") << QByteArray("x");
        QTest::newRow("the other side unchanged since this one replaced it")
            << QStringList{"there", "here"} << TPages{"p0", "x"} << QByteArray("ours")
            << QByteArray("x") << QByteArray("x");
        QTest::newRow("only this computer's versions: none")
            << QStringList{"here", "here"} << TPages{"x", "ours1"} << QByteArray("ours")
            << QByteArray("theirs") << QByteArray();
        QTest::newRow("versions of no known computer count for neither side")
            << QStringList{"", "there"} << TPages{"x", "y"} << QByteArray("ours") << QByteArray("x")
            << QByteArray();
    }
    void Ancestor() {
        QFETCH(QStringList, keptBy);
        QFETCH(TPages, kept);
        QFETCH(QByteArray, ours);
        QFETCH(QByteArray, theirs);
        QFETCH(QByteArray, ancestor);

        QTemporaryDir temp;
        TqbNoteVersions versions;
        versions.SetRoot(temp.path());
        const QString note = temp.path() + "/a.htm";
        qint64 clock = 1'780'000'000'000;
        versions.SetClock([&clock] { return clock; });
        for (qsizetype i = 0; i < kept.size(); ++i) {
            clock += 60'000;
            versions.SetComputer(keptBy[i]);
            QVERIFY(!versions.Keep(note, kept[i]).isEmpty());
        }
        versions.SetComputer("here");
        QCOMPARE(qbMergeAncestor::Find(versions, note, ours, theirs).value_or(QByteArray()),
                 ancestor);
    }
};

QTEST_GUILESS_MAIN(tst_NoteMerge)
#include "tst_NoteMerge.moc"
