// The "go to a note" list without its dialog: gathering a library's names, ranking them with
// the notes opened lately, and never handing out a name that is gone.
#include "common/qbTestFiles.h"
#include "library/qbJumpList.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {

// "name/" is a folder.
TqbGatheredName Named(const QString& name) {
    const bool folder = name.endsWith(u'/');
    const QString shown = folder ? name.chopped(1) : name;
    return {"/lib/" + shown + (folder ? "/" : ".htm"), shown, QString(),
            qbNameMatch::Prepare(shown), qbNameOrder::TKey(shown), {}};
}

QStringList ShownNames(const TqbJumpList& list) {
    QStringList names;
    for (int i = 0; i < list.RowCount(); ++i)
        names << list.Row(i).Name;
    return names;
}

// Each row as "folder|name|path under the root".
QStringList ShownRows(const TqbJumpList& list, const QString& root) {
    QStringList rows;
    for (int i = 0; i < list.RowCount(); ++i) {
        const TqbGatheredName& row = list.Row(i);
        rows << row.Folder + u'|' + row.Name + u'|' + row.Path.mid(root.size());
    }
    rows.sort();
    return rows;
}

} // namespace

class tst_JumpList : public QObject {
    Q_OBJECT

private slots:
    void ranking_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("recent");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("whole name, then its start, then inside")
            << QStringList{"영한글", "한글 입력", "한글"} << QStringList{} << "한글"
            << QStringList{"한글", "한글 입력", "영한글"};
        QTest::newRow("recent first within one kind of match")
            << QStringList{"회의록 1", "회의록 2", "회의록 3"}
            << QStringList{"회의록 3", "회의록 2"} << "회의"
            << QStringList{"회의록 3", "회의록 2", "회의록 1"};
        QTest::newRow("recent does not beat a better match")
            << QStringList{"메모장", "메모"} << QStringList{"메모장"} << "메모"
            << QStringList{"메모", "메모장"};
        QTest::newRow("word start before anywhere, recent or not")
            << QStringList{"가계부", "여행 계획"} << QStringList{"가계부"} << "계"
            << QStringList{"여행 계획", "가계부"};
        QTest::newRow("nothing typed: recent, then folders, then notes, numbers by value")
            << QStringList{"노트 10", "노트 2", "보관/", "노트 1", "a", "가방/"}
            << QStringList{"노트 10"} << ""
            << QStringList{"노트 10", "가방", "보관", "노트 1", "노트 2", "a"};
        QTest::newRow("names of one length and match: folders, then notes, in order")
            << QStringList{"회의록 3", "회의록 1", "회의록 2/"} << QStringList{} << "회의"
            << QStringList{"회의록 2", "회의록 1", "회의록 3"};
        QTest::newRow("initial consonants") << QStringList{"한글 입력", "하나"} << QStringList{}
                                            << "ㅎㄱㅇ" << QStringList{"한글 입력"};
        QTest::newRow("syllable being composed")
            << QStringList{"일기", "한글"} << QStringList{} << "하" << QStringList{"한글"};
        QTest::newRow("decomposed name")
            << QStringList{QString("한글").normalized(QString::NormalizationForm_D)}
            << QStringList{} << "한글"
            << QStringList{QString("한글").normalized(QString::NormalizationForm_D)};
        QTest::newRow("latin case")
            << QStringList{"Todo", "memo"} << QStringList{} << "TODO" << QStringList{"Todo"};
        QTest::newRow("nothing found")
            << QStringList{"a"} << QStringList{} << "없음" << QStringList{};
    }
    void ranking() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, recent);
        QFETCH(QString, query);
        QFETCH(QStringList, shown);
        TqbJumpList list;
        QStringList recentPaths;
        for (const QString& name : recent)
            recentPaths << Named(name).Path;
        list.SetRecent(recentPaths);
        list.SetQuery(query);
        // Names arrive in batches while the list is already filtered.
        for (const QString& name : names)
            list.AddNames({Named(name)});
        QCOMPARE(ShownNames(list), shown);
        QCOMPARE(list.MatchCount(), shown.size());
    }

    void rowsStopAtTheLimit() {
        TqbJumpList list;
        QList<TqbGatheredName> names;
        for (int i = 0; i < TqbJumpList::MaxRows + 50; ++i)
            names << Named(QStringLiteral("메모 %1").arg(i, 3, 10, QLatin1Char('0')));
        list.AddNames(names);
        list.SetQuery("ㅁ");
        QCOMPARE(list.RowCount(), TqbJumpList::MaxRows);
        QCOMPARE(list.MatchCount(), TqbJumpList::MaxRows + 50);
        QCOMPARE(list.Row(0).Name, "메모 000");
    }

    void gathersTheLibraryAsTheTreeListsIt() {
        QTemporaryDir dir;
        const QString root = dir.path();
        QDir(root).mkpath("폴더/하위");
        QDir(root).mkpath("__images");
        WriteBytes(root + "/메모.htm", {});
        WriteBytes(root + "/폴더/회의록.htm", {});
        WriteBytes(root + "/폴더/하위/일기.HTM", {});
        WriteBytes(root + "/폴더/___폴더설명.qb", {});
        WriteBytes(root + "/탭\t이름.htm", {});
        WriteBytes(root + "/그림.png", {});
        WriteBytes(root + "/.숨김.htm", {});
        // A name in code page 949 bytes, and one in no encoding at all, are not offered.
        const QList<QByteArray> rawNames = {QFile::encodeName(root) + "/\xB8\xDE\xB8\xF0.htm",
                                            QFile::encodeName(root) + "/\xFF\xFE\x80.htm"};
        // QTemporaryDir cannot remove names it cannot decode.
        const auto removeRaw = qScopeGuard([&] {
            for (const QByteArray& raw : rawNames)
                ::unlink(raw.constData());
        });
        for (const QByteArray& raw : rawNames)
            QVERIFY(MakeRawFile(raw));

        TqbJumpList list;
        QSignalSpy finished(&list, &TqbJumpList::GatheringFinished);
        list.Start(root, ".htm");
        QVERIFY(finished.wait());
        QCOMPARE(ShownRows(list, root),
                 (QStringList{"|메모|/메모.htm", "|탭␉이름|/탭\t이름.htm", "|폴더|/폴더/",
                              "폴더/하위|일기|/폴더/하위/일기.HTM", "폴더|하위|/폴더/하위/",
                              "폴더|회의록|/폴더/회의록.htm"}));
    }

    void hashListsTheNotesWithTheTag_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("a whole tag before tags beginning so, without case")
            << QString("#회의") << QStringList{"나", "가", "다"};
        QTest::newRow("the start of a tag") << QString("# 회") << QStringList{"가", "나", "다"};
        QTest::newRow("latin case") << QString("#PLAN") << QStringList{"라"};
        QTest::newRow("every tagged note, no folder") << QString("#")
                                                       << QStringList{"가", "나", "다", "라"};
        QTest::newRow("a tag nobody carries") << QString("#없음") << QStringList{};
    }
    void hashListsTheNotesWithTheTag() {
        QFETCH(QString, query);
        QFETCH(QStringList, names);
        QTemporaryDir dir;
        const auto note = [&](const QString& name, const QByteArray& tags) {
            WriteBytes(dir.filePath(name + ".htm"),
                       "<head><meta name=\"keywords\" content=\"" + tags + "\"></head>");
            TqbGatheredName gathered = Named(name);
            gathered.Path = dir.filePath(name + ".htm");
            return gathered;
        };
        TqbJumpList list;
        list.AddNames({note("가", "회의록"), note("나", "업무, 회의"), note("다", "회의실"),
                       note("라", "plan"), note("마", ""), Named("회의/")});
        list.SetQuery(query);
        QCOMPARE(ShownNames(list), names);
    }

    void anEmptyLibraryFinishesEmpty() {
        QTemporaryDir dir;
        TqbJumpList list;
        QSignalSpy finished(&list, &TqbJumpList::GatheringFinished);
        list.Start(dir.path() + "/없는 폴더", ".htm");
        QVERIFY(finished.wait());
        list.SetQuery("a");
        QCOMPARE(list.NameCount(), 0);
        QCOMPARE(list.RowCount(), 0);
    }

    void aNameGoneFromDiskIsNotHandedOut() {
        QTemporaryDir dir;
        WriteBytes(dir.filePath("가.htm"), {});
        WriteBytes(dir.filePath("나.htm"), {});
        TqbJumpList list;
        QSignalSpy finished(&list, &TqbJumpList::GatheringFinished);
        list.Start(dir.path(), ".htm");
        QVERIFY(finished.wait());
        QCOMPARE(ShownNames(list), (QStringList{"가", "나"}));
        QVERIFY(QFile::remove(dir.filePath("가.htm")));
        QCOMPARE(list.Choose(0), std::nullopt);
        QCOMPARE(ShownNames(list), QStringList{"나"});
        QCOMPARE(list.NameCount(), 1);
        QCOMPARE(list.Choose(0), dir.filePath("나.htm"));
    }

    void aRemovedFolderTakesItsNames() {
        TqbJumpList list;
        list.AddNames({{"/lib/d/", "d", "", qbNameMatch::Prepare("d"), {}, {}},
                       {"/lib/d/x.htm", "x", "d", qbNameMatch::Prepare("x"), {}, {}},
                       {"/lib/y.htm", "y", "", qbNameMatch::Prepare("y"), {}, {}}});
        list.Forget("/lib/d/");
        QCOMPARE(ShownNames(list), QStringList{"y"});
        QCOMPARE(list.NameCount(), 1);
    }

    void aNewWalkDropsTheOldOne() {
        // Started again before the first walk is done: only the second library's names come.
        QTemporaryDir first;
        QTemporaryDir second;
        for (int i = 0; i < 2000; ++i)
            WriteBytes(first.filePath(QStringLiteral("a%1.htm").arg(i)), {});
        WriteBytes(second.filePath("b.htm"), {});
        TqbJumpList list;
        QSignalSpy finished(&list, &TqbJumpList::GatheringFinished);
        list.Start(first.path(), ".htm");
        list.Start(second.path(), ".htm");
        QVERIFY(finished.wait());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(ShownNames(list), QStringList{"b"});
    }
};

QTEST_GUILESS_MAIN(tst_JumpList)
#include "tst_JumpList.moc"
