// What each answer to a note and its sync conflict copy leaves on disk, and what the two are
// merged against.
#include "common/qbReadOnlyFolder.h"
#include "common/qbSmallDisk.h"
#include "common/qbTestFiles.h"
#include "library/qbConflictResolution.h"
#include "library/qbNoteVersions.h"
#include "platform/qbError.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

using TPages = QList<QByteArray>;

namespace {

const QByteArray Head = "<html><head><title>t</title></head><body>\r\n";
const QByteArray Tail = "</body></html>\r\n";
QByteArray Page(const QByteArray& body) {
    return Head + body + Tail;
}
const QByteArray Base = Page("<p>one</p><p>two</p><p>three</p>");
const QByteArray FirstChanged = Page("<p>one, here</p><p>two</p><p>three</p>");
const QByteArray LastChanged = Page("<p>one</p><p>two</p><p>three, there</p>");
const QByteArray BothChanged = Page("<p>one, here</p><p>two</p><p>three, there</p>");
const QByteArray TwoHere = Page("<p>one</p><p>two here</p><p>three</p>");
const QByteArray TwoThere = Page("<p>one</p><p>two there</p><p>three</p>");
const QByteArray Big = Page("<p>" + QByteArray(256 * 1024, 'x') + "</p>");

const QString CopyName = QStringLiteral("a.sync-conflict-20261209-101010-ABCDEFG.htm");
const QString BothName = QStringLiteral("a (다른 컴퓨터).htm");

TPages VersionPages(const TqbNoteVersions& versions, const QString& note) {
    TPages pages;
    for (const TqbNoteVersion& version : versions.List(note))
        pages << ReadBytes(version.Path);
    return pages;
}

// The note F/a.htm and its conflict copy under root, and the versions both computers kept of
// each of the pages, oldest first.
struct TConflict {
    QString Note;
    QString Copy;
    TqbNoteVersions Versions;
    qint64 Clock = 1'780'000'000'000;

    TConflict(const QString& root, const QByteArray& ours, const QByteArray& theirs,
              const TPages& kept)
        : Note(root + "/F/a.htm"), Copy(root + "/F/" + CopyName) {
        WriteBytes(Note, ours);
        WriteBytes(Copy, theirs);
        Versions.SetRoot(root);
        Versions.SetClock([this] { return Clock += 1000; });
        for (const QByteArray& page : kept)
            for (const char* computer : {"there", "here"}) {
                Versions.SetComputer(computer);
                Versions.Keep(Note, page);
            }
    }
};

} // namespace

class tst_ConflictResolution : public QObject {
    Q_OBJECT

private slots:
    // The note a.htm and its copy in folder F; both computers kept Base as a version.
    // place: "" on the disk, "read-only" (the note's folder), "full" (a disk with room for a
    // version of the note and not for the copy's page).
    void Resolve_data() {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<bool>("takeOurs"); // a merge's answer for every overlap
        QTest::addColumn<QString>("place");
        QTest::addColumn<QByteArray>("ours");
        QTest::addColumn<QByteArray>("theirs");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QByteArray>("noteAfter");
        QTest::addColumn<TPages>("versionsAfter"); // newest first
        QTest::addColumn<QByteArray>("bothAfter"); // the kept copy as a note; empty: none

        const TPages seeded{Base, Base};
        QTest::newRow("keep this: the copy becomes a version")
            << "keep this" << true << "" << FirstChanged << LastChanged << false << FirstChanged
            << TPages{LastChanged} + seeded << QByteArray();
        QTest::newRow("take the other: the note's page becomes a version")
            << "take other" << true << "" << FirstChanged << LastChanged << false << LastChanged
            << TPages{FirstChanged} + seeded << QByteArray();
        QTest::newRow("keep both: the copy is a note of its own")
            << "keep both" << true << "" << FirstChanged << LastChanged << false << FirstChanged
            << seeded << LastChanged;
        QTest::newRow("merge: changes apart are both kept")
            << "merge" << true << "" << FirstChanged << LastChanged << false << BothChanged
            << TPages{LastChanged, FirstChanged} + seeded << QByteArray();
        QTest::newRow("merge: an overlap taken from this one")
            << "merge" << true << "" << TwoHere << TwoThere << false << TwoHere
            << TPages{TwoThere, TwoHere} + seeded << QByteArray();
        QTest::newRow("merge: an overlap taken from the other")
            << "merge" << false << "" << TwoHere << TwoThere << false << TwoThere
            << TPages{TwoThere, TwoHere} + seeded << QByteArray();

        QTest::newRow("read-only folder: keep this keeps the copy too")
            << "keep this" << true << "read-only" << FirstChanged << LastChanged << true
            << FirstChanged << TPages{LastChanged} + seeded << QByteArray();
        QTest::newRow("read-only folder: take the other")
            << "take other" << true << "read-only" << FirstChanged << LastChanged << true
            << FirstChanged << TPages{FirstChanged} + seeded << QByteArray();
        QTest::newRow("read-only folder: keep both")
            << "keep both" << true << "read-only" << FirstChanged << LastChanged << true
            << FirstChanged << seeded << QByteArray();
        QTest::newRow("read-only folder: merge")
            << "merge" << true << "read-only" << FirstChanged << LastChanged << true << FirstChanged
            << TPages{LastChanged, FirstChanged} + seeded << QByteArray();
        // The copy could be removed here; the failed write must keep it.
        QTest::newRow("full disk: take the other")
            << "take other" << true << "full" << FirstChanged << Big << true << FirstChanged
            << TPages{FirstChanged} + seeded << QByteArray();
    }
    void Resolve() {
        QFETCH(QString, choice);
        QFETCH(bool, takeOurs);
        QFETCH(QString, place);
        QFETCH(QByteArray, ours);
        QFETCH(QByteArray, theirs);
        QFETCH(bool, fails);
        QFETCH(QByteArray, noteAfter);
        QFETCH(TPages, versionsAfter);
        QFETCH(QByteArray, bothAfter);

        QTemporaryDir temp;
        std::unique_ptr<TqbSmallDisk> disk;
        QString root = temp.path() + "/BookData";
        if (place == "full") {
            disk = std::make_unique<TqbSmallDisk>(2 * 1024 * 1024);
            if (!disk->IsMounted())
                QSKIP(qPrintable("no small disk: " + disk->Error()));
            root = disk->FilePath("BookData");
        }
        TConflict conflict(root, ours, theirs, {Base});
        const QString& note = conflict.Note;
        const QString& copy = conflict.Copy;
        TqbNoteVersions& versions = conflict.Versions;
        QCOMPARE(VersionPages(versions, note).size(), 2);
        QCOMPARE(TqbConflictResolution::CopiesOf(note), QStringList{copy});
        std::unique_ptr<TqbReadOnlyFolder> readOnly;
        if (place == "read-only") {
            readOnly = std::make_unique<TqbReadOnlyFolder>(root + "/F");
            if (!readOnly->IsReadOnly())
                QSKIP(qPrintable("no read-only folder: " + readOnly->Error()));
        }
        if (disk)
            disk->Fill(64 * 1024);

        QString error;
        try {
            TqbConflictResolution resolution(versions, root, note, copy);
            if (choice == "keep this")
                resolution.KeepThis();
            else if (choice == "take other")
                resolution.TakeOther();
            else if (choice == "keep both")
                QCOMPARE(resolution.KeepBoth(".htm"), root + "/F/" + BothName);
            else
                resolution.WriteMerged(TqbNoteMerge::Join(resolution.Merge(), {takeOurs}));
        } catch (const EqbError& e) {
            error = e.Message();
        }
        readOnly.reset();
        if (disk)
            disk->Unfill();

        QCOMPARE(!error.isEmpty(), fails);
        QCOMPARE(ReadBytes(note), noteAfter);
        // The copy goes only once the note holds what was chosen.
        QCOMPARE(ReadBytes(copy, "(gone)"), fails ? theirs : QByteArray("(gone)"));
        QCOMPARE(VersionPages(versions, note), versionsAfter);
        QCOMPARE(ReadBytes(root + "/F/" + BothName), bothAfter);
        QCOMPARE(TqbConflictResolution::CopiesOf(note), fails ? QStringList{copy} : QStringList());
    }

    // What the note and the copy are merged against: the versions both computers kept, or a
    // page Syncthing kept in ".stversions" ("stversions": oldest first).
    void MergeAncestor_data() {
        QTest::addColumn<TPages>("kept"); // kept by both computers
        QTest::addColumn<TPages>("stversions");
        QTest::addColumn<QByteArray>("ours");
        QTest::addColumn<QByteArray>("theirs");
        QTest::addColumn<bool>("clean");
        QTest::addColumn<QByteArray>("merged"); // taking this side at every overlap

        QTest::newRow("the page both computers kept")
            << TPages{Base} << TPages{} << FirstChanged << LastChanged << true << BothChanged;
        QTest::newRow("Syncthing's version when the history has none")
            << TPages{} << TPages{TwoHere, Base} << FirstChanged << LastChanged << true
            << BothChanged;
        QTest::newRow("Syncthing's version where the history's leaves overlaps")
            << TPages{TwoThere} << TPages{Base} << FirstChanged << LastChanged << true
            << BothChanged;
        QTest::newRow("a version equal to one side proves nothing")
            << TPages{} << TPages{LastChanged} << FirstChanged << LastChanged << false
            << FirstChanged;
        QTest::newRow("no ancestor: the differences overlap")
            << TPages{} << TPages{} << FirstChanged << LastChanged << false << FirstChanged;
    }
    void MergeAncestor() {
        QFETCH(TPages, kept);
        QFETCH(TPages, stversions);
        QFETCH(QByteArray, ours);
        QFETCH(QByteArray, theirs);
        QFETCH(bool, clean);
        QFETCH(QByteArray, merged);

        QTemporaryDir temp;
        const QString root = temp.path();
        TConflict conflict(root, ours, theirs, kept);
        const QString& note = conflict.Note;
        const QString& copy = conflict.Copy;
        TqbNoteVersions& versions = conflict.Versions;
        for (qsizetype i = 0; i < stversions.size(); ++i)
            WriteBytes(root + QStringLiteral("/.stversions/F/a~20261209-10101%1.htm").arg(i),
                       stversions[i]);

        const TqbMergeResult result = TqbConflictResolution(versions, root, note, copy).Merge();
        QCOMPARE(result.Clean, clean);
        QCOMPARE(TqbNoteMerge::Join(result, {true}), merged);
    }
};

QTEST_GUILESS_MAIN(tst_ConflictResolution)
#include "tst_ConflictResolution.moc"
