// The walk over the library, the row labels, the marked copy and the search thread.
#include "platform/qbError.h"
#include "search/qbFolderSearch.h"
#include "search/qbPageReader.h"
#include "search/qbSearchFiles.h"
#include "search/qbSearchText.h"
#include "search/qbTextFinder.h"
#include "common/qbTestFiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace qbSearch;

namespace {

bool MakeFifo(const QString& path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
}

// A listening socket's file, left in place when the descriptor closes.
bool MakeSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (fd < 0 || name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

QStringList RelativeTo(const QString& root, const QStringList& paths) {
    QStringList out;
    for (const QString& p : paths)
        out << p.mid(root.size() + 1);
    return out;
}

QStringList RelativeTo(const QString& root, const QList<QByteArray>& nativePaths) {
    QStringList paths;
    for (const QByteArray& p : nativePaths)
        paths << QFile::decodeName(p);
    return RelativeTo(root, paths);
}

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

// Runs a search to its end and gathers what it sent.
struct TqbSearchRun {
    QList<TqbSearchHit> batched;
    QStringList oneByOne;
    QList<int> progress;
    int collected = -1;
    bool foundBeforeCollected = false;
    QStringList unreadable;
    bool finished = false;

    // The signals reach this thread queued, in the order they were sent, as they reach a window.
    TqbSearchRun(const QString& root, const QString& searchText) {
        TqbFolderSearch search(root, searchText);
        QObject here;
        QObject::connect(&search, &TqbFolderSearch::Collected, &here,
                         [this](int n) { collected = n; });
        QObject::connect(&search, &TqbFolderSearch::Progress, &here,
                         [this](int done) { progress.append(done); });
        QObject::connect(&search, &TqbFolderSearch::FoundBatch, &here,
                         [this](const QList<TqbSearchHit>& hits) { batched += hits; });
        QObject::connect(&search, &TqbFolderSearch::Found, &here, [this](const QString& path) {
            foundBeforeCollected = foundBeforeCollected || collected < 0;
            oneByOne.append(path);
        });
        QObject::connect(&search, &TqbFolderSearch::Finished, &here,
                         [this](const QStringList& failed) {
                             unreadable = failed;
                             finished = true;
                         });
        search.Start();
        // The tests check finished themselves.
        static_cast<void>(QTest::qWaitFor([this] { return finished; }, 30000));
    }
    QStringList BatchedPaths() const {
        QStringList paths;
        for (const TqbSearchHit& hit : batched)
            paths << hit.path;
        return paths;
    }
};

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
              ".hidden/h.htm", ".g.htm", "__images/i.htm", "z/y/deep.htm", "noext",
              "b.sync-conflict-20261209-101010-ABCDEFG.htm",
              "a/___폴더설명 (conflicted copy 2026-12-09 101010).qb",
              "solo_conflict-20261209-101010.htm", "b.htm.part"})
            WriteBytes(root + "/" + name, "x");
        QVERIFY(QFile::link(root + "/a", root + "/link"));
        QVERIFY(QFile::link(root + "/a", root + "/folder.htm"));
        QVERIFY(QFile::link(root + "/b.htm", root + "/linked.htm"));
        QVERIFY(QFile::link(root + "/nowhere.htm", root + "/gone.htm"));
        // Opening a FIFO waits for a writer, a socket cannot be opened: neither is a page.
        QVERIFY(MakeFifo(root + "/fifo.htm"));
        QVERIFY(QFile::link(root + "/fifo.htm", root + "/to fifo.htm"));
        QVERIFY(MakeSocket(root + "/socket.qb"));
        QList<QByteArray> files;
        CollectSearchFiles(root, files);
        QCOMPARE(RelativeTo(root, files),
                 QStringList({"__images/i.htm", "a/___폴더설명.qb", "a/x.htm", "z/y/deep.htm",
                              "a.htm", "b.htm", "gone.htm", "linked.htm",
                              "solo_conflict-20261209-101010.htm"}));
    }

    void walkOfAMissingFolderFindsNothing() {
        QList<QByteArray> files;
        CollectSearchFiles(m_dir.path() + "/nowhere", files);
        QVERIFY(files.isEmpty());
    }

    void rowLabels_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("folder");
        QTest::newRow("note") << "/r/메모.htm"
                              << "메모"
                              << "";
        QTest::newRow("note with dots") << "/r/a/v1.2.htm"
                                        << "v1.2"
                                        << "a";
        QTest::newRow("deep note") << "/r/a/b c/메모.htm"
                                   << "메모"
                                   << "a/b c";
        QTest::newRow("folder page") << "/r/폴더/___폴더설명.qb"
                                     << "폴더"
                                     << "";
        QTest::newRow("nested folder page") << "/r/a/b/___폴더설명.qb"
                                            << "b"
                                            << "a";
        QTest::newRow("folder with a dot") << "/r/v1.2/___폴더설명.qb"
                                           << "v1.2"
                                           << "";
        QTest::newRow("library's own page") << "/r/___폴더설명.qb"
                                            << ""
                                            << "";
    }
    void rowLabels() {
        QFETCH(QString, path);
        QFETCH(QString, label);
        QFETCH(QString, folder);
        QCOMPARE(SearchRowLabel("/r", path), label);
        QCOMPARE(SearchRowFolder("/r/", path), folder);
    }

    void markedCopyKeepsCharsetAndKoreanWhole() {
        // "똠C" and "메모" in code page 949 (the default); the byte of "c" is the second of "똠".
        const QByteArray source = "<p>\x8C\x63"
                                  "C</p>\n\xB8\xDE\xB8\xF0";
        WriteBytes(At("n.htm"), source);
        WriteMarkedCopy(Native(At("n.htm")), At("copy.qb"), "c");
        const QByteArray tag = "<FONT style=\"BACKGROUND-COLOR: #ff6600\" color=#ffffff>";
        QCOMPARE(ReadBytes(At("copy.qb")),
                 "<p>\x8C\x63" + tag + "C</FONT></p>\r\n\xB8\xDE\xB8\xF0\r\n");
        QCOMPARE(ReadBytes(At("n.htm")), source);
    }

    void markedCopyOfUtf8PageStaysUtf8() {
        const QByteArray source = "<meta charset=utf-8><p>" + QString("한 ABC 😀").toUtf8();
        WriteBytes(At("u.htm"), source);
        WriteMarkedCopy(Native(At("u.htm")), At("copy.qb"), "abc");
        QCOMPARE(ReadBytes(At("copy.qb")),
                 "<meta charset=utf-8><p>" +
                     QString("한 <FONT style=\"BACKGROUND-COLOR: #ff6600\" color=#ffffff>ABC"
                             "</FONT> 😀\r\n")
                         .toUtf8());
    }

    void markedCopyMarksOnlyWhatAReaderSees() {
        // "메모" in code page 949, in a style sheet, an attribute and the text.
        const QByteArray memo = "\xB8\xDE\xB8\xF0";
        const QByteArray source = "<style>.font{}</style>\r\n<p title=\"font " + memo +
                                  "\">Font " + memo + "</p>";
        WriteBytes(At("m.htm"), source);
        const QByteArray tag = "<FONT style=\"BACKGROUND-COLOR: #ff6600\" color=#ffffff>";
        WriteMarkedCopy(Native(At("m.htm")), At("copy.qb"), "font");
        QCOMPARE(ReadBytes(At("copy.qb")), "<style>.font{}</style>\r\n<p title=\"font " + memo +
                                               "\">" + tag + "Font</FONT> " + memo + "</p>\r\n");
        WriteMarkedCopy(Native(At("m.htm")), At("copy.qb"), "메모");
        QCOMPARE(ReadBytes(At("copy.qb")), "<style>.font{}</style>\r\n<p title=\"font " + memo +
                                               "\">Font " + tag + memo + "</FONT></p>\r\n");
    }

    void markedCopyOfMissingFileThrows() {
        QVERIFY_THROWS_EXCEPTION(std::exception,
                                 WriteMarkedCopy(Native(At("gone.htm")), At("copy.qb"), "a"));
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

    // A library copied from Windows: names in code page 949 bytes are searched, shown decoded as
    // the tree shows them, and each hit reaches its own file.
    void searchReadsNamesCopiedFromWindows() {
        QTemporaryDir dir;
        const QString root = dir.path();
        const QByteArray nativeRoot = Native(root);
        const QByteArray diary = nativeRoot + "/\xC0\xCF\xB1\xE2"; // 일기
        // QTemporaryDir cannot name what it would have to remove.
        const auto removeRaw = qScopeGuard([&] { std::filesystem::remove_all(diary.constData()); });
        QCOMPARE(::mkdir(diary.constData(), 0755), 0);
        QVERIFY(MakeRawFile(diary + '/' + Cp949PageName, "<p>needle in the page</p>"));
        QVERIFY(MakeRawFile(diary + "/\xB8\xDE\xB8\xF0.htm", "<p>needle in a note</p>")); // 메모
        QVERIFY(MakeRawFile(nativeRoot + "/\xB0\xCB\xBB\xF6.htm", "<p>needle on top</p>")); // 검색
        WriteBytes(root + "/plain.htm", "<p>hay</p>");

        const TqbSearchRun run(root, "needle");
        QVERIFY(run.finished);
        QCOMPARE(run.unreadable, QStringList());
        QCOMPARE(run.collected, 4);
        QStringList labels;
        for (const TqbSearchHit& hit : run.batched)
            labels << hit.label;
        QCOMPARE(labels, QStringList({"일기", "메모", "검색"}));
        QCOMPARE(RelativeTo(root, run.BatchedPaths()),
                 QStringList({"일기/___폴더설명.qb", "일기/메모.htm", "검색.htm"}));
        const QByteArray tag = "<FONT style=\"BACKGROUND-COLOR: #ff6600\" color=#ffffff>";
        QStringList marked;
        for (const TqbSearchHit& hit : run.batched) {
            WriteMarkedCopy(hit.nativePath, root + "/copy.qb", "needle");
            marked << QString::fromLatin1(ReadBytes(root + "/copy.qb"));
        }
        QCOMPARE(marked, QStringList({"<p>" + tag + "needle</FONT> in the page</p>\r\n",
                                      "<p>" + tag + "needle</FONT> in a note</p>\r\n",
                                      "<p>" + tag + "needle</FONT> on top</p>\r\n"}));
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

    void aFifoNamedLikeAPageDoesNotHoldTheSearch() {
        QTemporaryDir dir;
        const QString root = dir.path();
        QVERIFY(MakeFifo(root + "/x.htm"));
        WriteBytes(root + "/y.htm", "needle");
        const TqbSearchRun run(root, "needle");
        QVERIFY(run.finished);
        QCOMPARE(run.collected, 1);
        QCOMPARE(RelativeTo(root, run.BatchedPaths()), QStringList({"y.htm"}));
    }

    void readerNeverWaits_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("fails");
        QTest::newRow("fifo without a writer") << "fifo.htm" << false;
        QTest::newRow("folder") << "folder.htm" << true;
        QTest::newRow("missing") << "missing.htm" << true;
    }
    void readerNeverWaits() {
        QFETCH(QString, name);
        QFETCH(bool, fails);
        QTemporaryDir dir;
        QVERIFY(MakeFifo(dir.path() + "/fifo.htm"));
        QVERIFY(QDir(dir.path()).mkdir("folder.htm"));
        TqbPageReader reader;
        try {
            QVERIFY(reader.Read(Native(dir.path() + "/" + name)).isEmpty());
            QVERIFY(!fails);
        } catch (const EqbError& error) {
            QVERIFY2(fails && error.Message().contains(name), qPrintable(error.Message()));
        }
    }

    void readerReadsWholeFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("small") << QByteArray("<p>\x8C\x63</p>");
        QTest::newRow("exactly one first read") << QByteArray(64 * 1024, 'x');
        QTest::newRow("large") << QByteArray(3 * 1024 * 1024 + 7, 'x');
    }
    void readerReadsWholeFiles() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        WriteBytes(dir.path() + "/big.htm", QByteArray(100000, 'b'));
        WriteBytes(dir.path() + "/p.htm", bytes);
        TqbPageReader reader;
        QCOMPARE(reader.Read(Native(dir.path() + "/big.htm")).size(), 100000);
        QCOMPARE(reader.Read(Native(dir.path() + "/p.htm")), bytes);
    }

    void hitsArriveInWalkOrderFromEveryThread() {
        QTemporaryDir dir;
        const QString root = dir.path();
        for (int i = 0; i < 600; ++i) {
            const QString page = QString("/f%1/n%2.htm").arg(i % 5).arg(i, 4, 10, QChar('0'));
            const QByteArray text = (i % 7 == 0) ? "<p>Needle</p>" : "<p class=needle>x</p>";
            WriteBytes(root + page, text + QByteArray(2000, ' '));
        }
        QList<QByteArray> walk;
        CollectSearchFiles(root, walk);
        QStringList expected;
        for (const QByteArray& path : std::as_const(walk)) {
            if (qbSearch::FileContainsText(path, "needle"))
                expected << QFile::decodeName(path);
        }
        QCOMPARE(expected.size(), 86);

        const TqbSearchRun run(root, "needle");
        QVERIFY(run.finished);
        QCOMPARE(run.collected, 600);
        QCOMPARE(run.BatchedPaths(), expected);
        QCOMPARE(run.oneByOne, expected);
        QVERIFY(!run.foundBeforeCollected);
        QVERIFY(std::is_sorted(run.progress.begin(), run.progress.end()));
        QCOMPARE(run.progress.last(), 600);
        QVERIFY(run.unreadable.isEmpty());
    }

    void cancelledSearchStopsAndSendsNoMore() {
        QTemporaryDir dir;
        for (int i = 0; i < 200; ++i)
            WriteBytes(dir.path() + QString("/%1.htm").arg(i), "needle");
        TqbFolderSearch search(dir.path(), "needle");
        // Cancelled on the search's own thread, between the walk and the reading.
        connect(&search, &TqbFolderSearch::Collected, &search, &TqbFolderSearch::Cancel,
                Qt::DirectConnection);
        QSignalSpy collected(&search, &TqbFolderSearch::Collected);
        QSignalSpy found(&search, &TqbFolderSearch::Found);
        QSignalSpy finished(&search, &TqbFolderSearch::Finished);
        search.Start();
        QTRY_VERIFY(!search.IsRunning());
        QCoreApplication::processEvents();
        QCOMPARE(collected.size(), 1);
        QCOMPARE(found.size(), 0);
        QCOMPARE(finished.size(), 0);
    }

    // A window that gives up on a search must not hear from it again, even what the search sent
    // before it was told.
    void noSignalAfterCancelOrDelete_data() {
        QTest::addColumn<bool>("deleted");
        QTest::newRow("cancelled") << false;
        QTest::newRow("deleted") << true;
    }
    void noSignalAfterCancelOrDelete() {
        QFETCH(bool, deleted);
        QTemporaryDir dir;
        WriteBytes(dir.path() + "/a.htm", "needle");
        QObject window;
        int heard = 0;
        auto* search = new TqbFolderSearch(dir.path(), "needle");
        connect(search, &TqbFolderSearch::Collected, &window, [&] { ++heard; });
        connect(search, &TqbFolderSearch::Found, &window, [&] { ++heard; });
        connect(search, &TqbFolderSearch::FoundBatch, &window, [&] { ++heard; });
        connect(search, &TqbFolderSearch::Finished, &window, [&] { ++heard; });
        search->Start();
        search->Wait(); // everything is sent, nothing delivered yet
        if (deleted) {
            delete search;
            search = nullptr;
        } else {
            search->Cancel();
        }
        QCoreApplication::processEvents();
        QCOMPARE(heard, 0);
        delete search;
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
