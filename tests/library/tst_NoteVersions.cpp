// The kept versions of notes: the thinning and size rules, the line comparison, and the store on
// disk as the library moves, renames and deletes.
#include "common/qbFakeAsker.h"
#include "common/qbSmallDisk.h"
#include "common/qbTestFiles.h"
#include "library/qbLibrary.h"
#include "library/qbLineDiff.h"
#include "library/qbNoteVersions.h"
#include "library/qbVersionRules.h"
#include "platform/qbError.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using TTimes = QList<qint64>;
using TDiff = QList<qbLineDiff::TLine>;

namespace {

constexpr qint64 Minute = 60'000;
constexpr qint64 Hour = 60 * Minute;
constexpr qint64 Day = 24 * Hour;
constexpr qint64 Week = 7 * Day;
// A Thursday midnight, UTC: the start of an hour, a day and (counted from the epoch) a week.
const qint64 Now = QDateTime(QDate(2026, 6, 4), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();

} // namespace

class tst_NoteVersions : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_root;
    TqbFakeAsker m_asker;
    std::unique_ptr<TqbLibrary> m_library;
    qint64 m_clock = Now;

    QString Lib(const QString& rel) const { return m_root + u'/' + rel; }
    TqbNoteVersions& Versions() { return m_library->Versions(); }
    // Each version's bytes, newest first.
    QList<QByteArray> Kept(const QString& rel) {
        QList<QByteArray> out;
        for (const TqbNoteVersion& version : Versions().List(Lib(rel)))
            out << ReadBytes(version.Path);
        return out;
    }

private slots:
    void init() {
        m_temp = std::make_unique<QTemporaryDir>();
        m_root = MakeSampleLibrary(m_temp->path());
        m_asker = {};
        m_library = std::make_unique<TqbLibrary>(m_asker);
        m_library->SetRoot(m_root);
        m_clock = Now;
        Versions().SetClock([this] { return m_clock += Minute; });
        Versions().SetComputer("pc-a");
    }

    void thinning_data() {
        QTest::addColumn<TTimes>("times");
        QTest::addColumn<TTimes>("dropped");
        QTest::newRow("the last day keeps all")
            << TTimes{Now - Minute, Now - 2 * Minute, Now - 23 * Hour} << TTimes{};
        QTest::newRow("one an hour after a day: the newest of the hour")
            << TTimes{Now - 2 * Day + 10 * Minute, Now - 2 * Day + 50 * Minute,
                      Now - 2 * Day + 70 * Minute}
            << TTimes{Now - 2 * Day + 10 * Minute};
        QTest::newRow("one a day after a week")
            << TTimes{Now - 10 * Day + Hour, Now - 10 * Day + 5 * Hour, Now - 9 * Day}
            << TTimes{Now - 10 * Day + Hour};
        QTest::newRow("one a week after three months")
            << TTimes{Now - 20 * Week, Now - 20 * Week + Day, Now - 20 * Week + 6 * Day,
                      Now - 21 * Week}
            << TTimes{Now - 20 * Week, Now - 20 * Week + Day};
        QTest::newRow("an hour's newest stays as it ages into its day")
            << TTimes{Now - 8 * Day + 23 * Hour, Now - 8 * Day + 22 * Hour}
            << TTimes{Now - 8 * Day + 22 * Hour};
        QTest::newRow("nothing") << TTimes{} << TTimes{};
    }
    void thinning() {
        QFETCH(TTimes, times);
        QFETCH(TTimes, dropped);
        TTimes got = qbVersionRules::Thinned(times, Now);
        std::sort(got.begin(), got.end());
        std::sort(dropped.begin(), dropped.end());
        QCOMPARE(got, dropped);
    }

    void sizeLimit_data() {
        QTest::addColumn<QList<qint64>>("sizes"); // by age, oldest last
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<QList<qsizetype>>("dropped");
        QTest::newRow("within") << QList<qint64>{10, 10} << qint64(20) << QList<qsizetype>{};
        QTest::newRow("oldest first") << QList<qint64>{10, 10, 10, 10} << qint64(25)
                                      << QList<qsizetype>{3, 2};
        QTest::newRow("the newest stays even alone too big")
            << QList<qint64>{50, 1} << qint64(10) << QList<qsizetype>{1};
    }
    void sizeLimit() {
        QFETCH(QList<qint64>, sizes);
        QFETCH(qint64, limit);
        QFETCH(QList<qsizetype>, dropped);
        QList<qbVersionRules::TVersionAge> ages;
        for (qsizetype i = 0; i < sizes.size(); ++i)
            ages.append({Now - i * Hour, sizes[i]});
        QCOMPARE(qbVersionRules::OverLimit(ages, limit), dropped);
        QCOMPARE(qbVersionRules::SizeLimit(10'000), qint64(100'000'000));
        QCOMPARE(qbVersionRules::SizeLimit(5'000'000'000), qint64(500'000'000));
    }

    void versionNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("time");
        QTest::addColumn<QString>("computer");
        const qint64 time = QDateTime(QDate(2026, 12, 9), QTime(0, 55, 55, 123), Qt::UTC)
                                .toMSecsSinceEpoch();
        QTest::newRow("named before computers were") << "20261209-005555-123.htm" << time << "";
        QTest::newRow("kept by a computer")
            << "20261209-005555-123@laptop-3fa2b1.htm" << time << "laptop-3fa2b1";
        QTest::newRow("folder page") << "20261209-005555-123@pc_2.qb" << time << "pc_2";
        QTest::newRow("no version") << "메모@pc.htm" << qint64(-1) << "";
        QTest::newRow("no time") << "20261309-005555-123@pc.htm" << qint64(-1) << "";
    }
    void versionNames() {
        QFETCH(QString, name);
        QFETCH(qint64, time);
        QFETCH(QString, computer);
        QCOMPARE(qbVersionRules::TimeOfFileName(name), time);
        QCOMPARE(qbVersionRules::ComputerOfFileName(name), computer);
        if (time >= 0)
            QCOMPARE(qbVersionRules::FileName(time, '.' + QFileInfo(name).suffix(), computer), name);
    }

    void computerName_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QByteArray>("machineId");
        QTest::addColumn<QString>("computer");
        QTest::newRow("host and id") << "laptop" << QByteArray("3fa2b1c9d0e4\n") << "laptop-3fa2b1";
        QTest::newRow("domain left out") << "desk.home.lan" << QByteArray("0011223344") << "desk-001122";
        QTest::newRow("no id") << "desk" << QByteArray() << "desk";
        QTest::newRow("no host") << "" << QByteArray("abcdef0123") << "abcdef";
        QTest::newRow("unsafe characters") << "my pc:1/x" << QByteArray("a*b?c") << "my-pc-1-x-a-b-c";
    }
    void computerName() {
        QFETCH(QString, host);
        QFETCH(QByteArray, machineId);
        QTEST(qbVersionRules::ComputerName(host, machineId), "computer");
    }

    void lineDiff_data() {
        using K = qbLineDiff::TKind;
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<TDiff>("diff");
        QTest::newRow("same") << QStringList{"a", "b"} << QStringList{"a", "b"}
                              << TDiff{{K::Same, "a"}, {K::Same, "b"}};
        QTest::newRow("a line changed") << QStringList{"a", "b", "c"} << QStringList{"a", "B", "c"}
                                        << TDiff{{K::Same, "a"}, {K::Removed, "b"},
                                                 {K::Added, "B"}, {K::Same, "c"}};
        QTest::newRow("moved and added")
            << QStringList{"x", "a", "b", "y"} << QStringList{"a", "b", "x", "n", "y"}
            << TDiff{{K::Removed, "x"}, {K::Same, "a"}, {K::Same, "b"},
                     {K::Added, "x"}, {K::Added, "n"}, {K::Same, "y"}};
        QTest::newRow("from nothing") << QStringList{} << QStringList{"a"}
                                      << TDiff{{K::Added, "a"}};
    }
    void lineDiff() {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(TDiff, diff);
        QCOMPARE(qbLineDiff::Compare(before, after), diff);
    }

    // Bytes no codec would keep as they are (CP949, a lone CR, a NUL) come back as they were, and
    // what they replaced becomes a version; keeping the same bytes twice keeps one.
    void restoreRoundTrip() {
        const QByteArray old("<p>\xC7\xD1\xB1\xDB\r\nx\ry\0z</p>\r\n", 24);
        const QByteArray now("<p>new</p>\r\n");
        WriteBytes(Lib("top.htm"), old);
        const QString kept = Versions().KeepCurrent(Lib("top.htm"));
        QVERIFY(kept.startsWith(m_root + "/.qbhistory/top.htm/"));
        QCOMPARE(Versions().KeepCurrent(Lib("top.htm")), QString());
        WriteBytes(Lib("top.htm"), now);
        Versions().Restore(Lib("top.htm"), kept);
        QCOMPARE(ReadBytes(Lib("top.htm")), old);
        QCOMPARE(Kept("top.htm"), (QList<QByteArray>{now, old}));
        QCOMPARE(QFileInfo(Versions().List(Lib("top.htm")).first().Path).fileName(),
                 QStringLiteral("20260604-000200-000@pc-a.htm"));
        // The listing of the folder shows no history.
        const TqbFolderListing top = m_library->List(m_root);
        QCOMPARE(top.Folders.size(), 2);
    }

    void followsTheNote_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("notePath"); // a1's new place; or its versions' in the trash
        QTest::newRow("rename") << "rename" << "A/a1.htm" << "A/new.htm" << "A/new.htm";
        QTest::newRow("move") << "move" << "A/a1.htm" << "B" << "B/a1.htm";
        QTest::newRow("folder renamed") << "rename" << "A/" << "C/" << "C/a1.htm";
        QTest::newRow("folder moved") << "move" << "A/" << "B" << "B/A/a1.htm";
        // In the trash the versions are named apart from the note.
        QTest::newRow("trash") << "trash" << "A/a1.htm" << "" << "a1 (이전 버전)";
        QTest::newRow("folder trashed") << "trash" << "A/" << "" << "A (이전 버전)/a1.htm";
    }
    void followsTheNote() {
        QFETCH(QString, operation);
        QFETCH(QString, item);
        QFETCH(QString, to);
        QFETCH(QString, notePath);
        Versions().Keep(Lib("A/a1.htm"), "one");
        Versions().Keep(Lib("A/a1.htm"), "two");
        if (operation == "rename")
            QVERIFY(m_library->Rename(Lib(item), Lib(to)));
        else if (operation == "move")
            QVERIFY(m_library->Move(Lib(item), Lib(to)));
        else
            QVERIFY(m_library->Trash(Lib(item)));
        QCOMPARE(m_asker.Calls, QStringList{});
        QCOMPARE(Kept("A/a1.htm"), QList<QByteArray>{});
        if (operation == "trash") {
            const QString trashed = m_temp->filePath("xdg/Trash/files/") + notePath;
            QCOMPARE(QDir(trashed).entryList(QDir::Files).size(), 2);
        } else {
            QCOMPARE(Kept(notePath), (QList<QByteArray>{"two", "one"}));
        }
    }

    // Versions past the size limit go, oldest first, whichever note they belong to.
    void sizeLimitOverNotes() {
        Versions().SetSizeLimit(25);
        Versions().Keep(Lib("top.htm"), "0123456789");
        Versions().Keep(Lib("B/b1.htm"), "abcdefghij");
        Versions().Keep(Lib("top.htm"), "9876543210");
        QCOMPARE(Kept("top.htm"), QList<QByteArray>{"9876543210"});
        QCOMPARE(Kept("B/b1.htm"), QList<QByteArray>{"abcdefghij"});
        QCOMPARE(Versions().DiskUse(), 20);
    }

    // Two computers keep versions in one shared history: each thins and limits its own and the
    // ones named before names said whose they are, never the other's.
    void twoComputersShareTheHistory() {
        TqbNoteVersions& a = Versions();
        TqbNoteVersions b;
        b.SetRoot(m_root);
        b.SetComputer("pc-b");
        b.SetClock([this] { return m_clock += Minute; });
        const QString note = Lib("top.htm");
        const QString dir = a.VersionsDir(note);
        // All in one hour three days ago, where thinning keeps one version each.
        const qint64 hourAgo = Now - 3 * Day;
        QVERIFY(QDir().mkpath(dir));
        WriteBytes(dir + u'/' + qbVersionRules::FileName(hourAgo + Minute, ".htm"), "o1");
        WriteBytes(dir + u'/' + qbVersionRules::FileName(hourAgo + 2 * Minute, ".htm"), "o2");
        m_clock = hourAgo + 10 * Minute;
        a.Keep(note, "a1");
        a.Keep(note, "a2");
        m_clock = hourAgo + 20 * Minute;
        b.Keep(note, "b1");
        b.Keep(note, "b2");
        m_clock = Now;
        b.Keep(note, "b3");
        QCOMPARE(Kept("top.htm"), (QList<QByteArray>{"b3", "b2", "a2", "a1"}));

        a.SetSizeLimit(4);
        b.SetSizeLimit(4);
        b.Keep(note, "b4");
        QCOMPARE(Kept("top.htm"), (QList<QByteArray>{"b4", "b3", "a2", "a1"}));
        a.Keep(note, "a3");
        QCOMPARE(Kept("top.htm"), (QList<QByteArray>{"a3", "b4", "b3", "a2"}));
        QStringList computers;
        for (const TqbNoteVersion& version : a.List(note))
            computers << version.Computer;
        QCOMPARE(computers, (QStringList{"pc-a", "pc-b", "pc-b", "pc-a"}));
    }

    // A full disk: the version fails with the system's reason and leaves nothing behind.
    void keepOnAFullDisk() {
        TqbSmallDisk disk(1024 * 1024);
        if (!disk.IsMounted())
            QSKIP(qPrintable("no tmpfs: " + disk.Error()));
        const QString root = disk.FilePath("Lib");
        WriteBytes(root + "/n.htm", "now");
        TqbLibrary library(m_asker);
        library.SetRoot(root);
        disk.Fill(4096);
        try {
            library.Versions().Keep(root + "/n.htm", QByteArray(64 * 1024, 'o'));
            QFAIL("kept on a full disk");
        } catch (const EqbError& error) {
            QVERIFY2(error.Message().contains("No space left on device"), qPrintable(error.Message()));
        }
        QCOMPARE(QDir(root + "/.qbhistory/n.htm").entryList(QDir::AllEntries | QDir::Hidden |
                                                            QDir::NoDotAndDotDot),
                 QStringList{});
        QCOMPARE(ReadBytes(root + "/n.htm"), QByteArray("now"));
    }
};

QTEST_GUILESS_MAIN(tst_NoteVersions)
#include "tst_NoteVersions.moc"
