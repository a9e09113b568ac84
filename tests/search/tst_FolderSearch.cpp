// The walk over the library, the row labels, the marked copy and the search thread.
#include "search/qbFolderSearch.h"
#include "search/qbSearchFiles.h"
#include "search/qbSearchText.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace qbSearch;

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestFolderSearch : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString Root() const { return m_dir.path() + "/BookData"; }
    QString At(const QString& relative) const { return Root() + "/" + relative; }

    QStringList Relative(const QStringList& paths) const {
        QStringList out;
        for (const QString& p : paths)
            out << p.mid(Root().size() + 1);
        return out;
    }

private slots:
    void walkTakesPagesDepthFirst() {
        QTemporaryDir dir;
        const QString root = dir.path();
        for (const char* name :
             {"b.htm", "a.htm", "a/x.htm", "a/___폴더설명.qb", "c.HTM", "d.html", "e.qbx", "f.txt",
              ".hidden/h.htm", ".g.htm", "__images/i.htm", "z/y/deep.htm", "noext"})
            WriteBytes(root + "/" + name, "x");
        QVERIFY(QFile::link(root + "/a", root + "/link"));
        QVERIFY(QFile::link(root + "/b.htm", root + "/linked.htm"));
        QStringList files;
        CollectSearchFiles(root, files);
        QStringList relative;
        for (const QString& p : files)
            relative << p.mid(root.size() + 1);
        QCOMPARE(relative, QStringList({"__images/i.htm", "a/___폴더설명.qb", "a/x.htm", "a.htm",
                                        "b.htm", "linked.htm", "z/y/deep.htm"}));
    }

    void walkOfAMissingFolderFindsNothing() {
        QStringList files;
        CollectSearchFiles(m_dir.path() + "/nowhere", files);
        QVERIFY(files.isEmpty());
    }

    void rowLabels_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("label");
        QTest::newRow("note") << "/r/메모.htm"
                              << "메모";
        QTest::newRow("note with dots") << "/r/a/v1.2.htm"
                                        << "v1.2";
        QTest::newRow("folder page") << "/r/폴더/___폴더설명.qb"
                                     << "폴더";
        QTest::newRow("nested folder page") << "/r/a/b/___폴더설명.qb"
                                            << "b";
        QTest::newRow("folder with a dot") << "/r/v1.2/___폴더설명.qb"
                                           << "v1.2";
        QTest::newRow("library's own page") << "/r/___폴더설명.qb"
                                            << "";
    }
    void rowLabels() {
        QFETCH(QString, path);
        QFETCH(QString, label);
        QCOMPARE(SearchRowLabel("/r", path), label);
    }

    void markedCopyKeepsCharsetAndKoreanWhole() {
        // "똠C" and "메모" in code page 949 (the default); the byte of "c" is the second of "똠".
        const QByteArray source = "<p>\x8C\x63"
                                  "C</p>\n\xB8\xDE\xB8\xF0";
        WriteBytes(At("n.htm"), source);
        WriteMarkedCopy(At("n.htm"), At("copy.qb"), "c");
        const QByteArray tag = "<FONT style=\"BACKGROUND-COLOR: #ff6600\" color=#ffffff>";
        QCOMPARE(ReadBytes(At("copy.qb")),
                 "<p>\x8C\x63" + tag + "C</FONT></p>\r\n\xB8\xDE\xB8\xF0\r\n");
        QCOMPARE(ReadBytes(At("n.htm")), source);
    }

    void markedCopyOfUtf8PageStaysUtf8() {
        const QByteArray source = "<meta charset=utf-8><p>" + QString("한 ABC 😀").toUtf8();
        WriteBytes(At("u.htm"), source);
        WriteMarkedCopy(At("u.htm"), At("copy.qb"), "abc");
        QCOMPARE(ReadBytes(At("copy.qb")),
                 "<meta charset=utf-8><p>" +
                     QString("한 <FONT style=\"BACKGROUND-COLOR: #ff6600\" color=#ffffff>ABC"
                             "</FONT> 😀\r\n")
                         .toUtf8());
    }

    void markedCopyOfMissingFileThrows() {
        QVERIFY_THROWS_EXCEPTION(std::exception,
                                 WriteMarkedCopy(At("gone.htm"), At("copy.qb"), "a"));
    }

    void searchReportsHitsInWalkOrderAndSkipsUnreadable() {
        QTemporaryDir dir;
        const QString root = dir.path();
        WriteBytes(root + "/___폴더설명.qb", "needle");
        WriteBytes(root + "/a/___폴더설명.qb", "NEEDLE");
        WriteBytes(root + "/a/x.htm", "no");
        WriteBytes(root + "/b.htm", "a needle and a needle");
        // A link whose target is gone: listed like a page, then cannot be read.
        QVERIFY(QFile::link(root + "/gone.htm", root + "/c.htm"));
        WriteBytes(root + "/d.htm", "\x8C\x63");

        TqbFolderSearch search(root, "needle");
        QSignalSpy collected(&search, &TqbFolderSearch::Collected);
        QSignalSpy found(&search, &TqbFolderSearch::Found);
        QSignalSpy progress(&search, &TqbFolderSearch::Progress);
        QSignalSpy finished(&search, &TqbFolderSearch::Finished);
        search.Start();
        QVERIFY(finished.wait(10000));
        QCOMPARE(collected.value(0).value(0).toInt(), 6);
        QStringList labels;
        for (const auto& hit : found)
            labels << hit.value(1).toString();
        QCOMPARE(found.value(0).value(0).toString(), root + "/a/___폴더설명.qb");
        QCOMPARE(progress.last().value(0).toInt(), 6);
        const QStringList unreadable = finished.value(0).value(0).toStringList();
        QCOMPARE(labels, QStringList({"a", "b"}));
        QCOMPARE(unreadable.size(), 1);
        QVERIFY(unreadable.first().contains("c.htm"));
    }

    void searchOfAnEmptyLibraryFindsNoCandidates() {
        QTemporaryDir dir;
        TqbFolderSearch search(dir.path(), "x");
        QSignalSpy collected(&search, &TqbFolderSearch::Collected);
        QSignalSpy finished(&search, &TqbFolderSearch::Finished);
        search.Start();
        QVERIFY(finished.wait(10000));
        QCOMPARE(collected.value(0).value(0).toInt(), 0);
    }

    void destroyingARunningSearchStopsIt() {
        QTemporaryDir dir;
        for (int i = 0; i < 300; ++i)
            WriteBytes(dir.path() + QString("/%1.htm").arg(i), QByteArray(4000, 'a'));
        auto* search = new TqbFolderSearch(dir.path(), "b");
        search->Start();
        delete search; // must not crash or hang
    }
};

QTEST_GUILESS_MAIN(TestFolderSearch)
#include "tst_FolderSearch.moc"
