#include "library/qbFolderListing.h"
#include "library/qbNameOrder.h"
#include "library/qbNoteInfo.h"
#include "library/qbSyncNames.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool MakeSocket(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(native.size()) >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound;
}

// Entries are written as: "name/" a directory, "name@target" a symbolic link to target
// ("$OUT" in it stands for a folder outside the library), "name|" a named pipe, "name=" a
// socket, anything else an empty file (its folders made first).
bool MakeEntries(const QString& dir, const QStringList& entries, const QString& outside = {}) {
    for (const QString& entry : entries) {
        const QString path = dir + u'/' + entry;
        bool made = false;
        if (entry.endsWith(u'/')) {
            made = QDir().mkpath(path);
        } else if (const qsizetype at = entry.indexOf(u'@'); at > 0) {
            QString target = entry.mid(at + 1);
            target.replace(QStringLiteral("$OUT"), outside);
            made = QFile::link(target, dir + u'/' + entry.left(at));
        } else if (entry.endsWith(u'|')) {
            made = mkfifo(QFile::encodeName(path.chopped(1)).constData(), 0644) == 0;
        } else if (entry.endsWith(u'=')) {
            made = MakeSocket(path.chopped(1));
        } else {
            QDir().mkpath(path.section(u'/', 0, -2));
            QFile file(path);
            made = file.open(QIODevice::WriteOnly);
        }
        if (!made)
            return false;
    }
    return true;
}

bool MakeRawFile(const QByteArray& path) {
    FILE* file = std::fopen(path.constData(), "w");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

QStringList Names(const QList<TqbListedName>& entries) {
    QStringList names;
    for (const TqbListedName& entry : entries)
        names << entry.Name;
    return names;
}

} // namespace

class tst_FolderListing : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea)); }

    void listFolder_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("notes");

        QTest::newRow("folders and notes sorted without case")
            << QStringList{"b/", "A/", "z.htm", "Y.HTM", "x.html", "w.txt"} << QStringList{"A", "b"}
            << QStringList{"Y.HTM", "z.htm"};
        QTest::newRow("__images hidden, other letter case shown")
            << QStringList{"__images/", "__Images/"} << QStringList{"__Images"} << QStringList{};
        QTest::newRow("dot names skipped") << QStringList{".hidden/", ".x.htm", ".htm", "shown.htm"}
                                           << QStringList{} << QStringList{"shown.htm"};
        QTest::newRow("description file is no note")
            << QStringList{TqbNoteInfo::FolderDescriptionName} << QStringList{} << QStringList{};
        QTest::newRow("extension from the last dot, exactly four characters")
            << QStringList{"a.b.htm", "x.htm.bak", "x.htmx", "htm", "x.HtM", "noext"}
            << QStringList{} << QStringList{"a.b.htm", "x.HtM"};
        QTest::newRow("dash names are ordinary")
            << QStringList{"-/", "-.htm"} << QStringList{"-"} << QStringList{"-.htm"};
        QTest::newRow("directory named like a note is a folder")
            << QStringList{"folder.htm/"} << QStringList{"folder.htm"} << QStringList{};
        QTest::newRow("Korean names sorted by the Korean locale")
            << QStringList{"일기/", "가나다/", "Memo/", "하루.htm", "가계부.htm", "abc.htm"}
            << QStringList{"가나다", "일기", "Memo"}
            << QStringList{"가계부.htm", "하루.htm", "abc.htm"};
        QTest::newRow("numbers by value, a note by its name without extension")
            << QStringList{"시험10/", "시험3/", "노트 10.htm", "노트 2.htm", "노트 - 사본.htm",
                           "노트.htm", "a b.htm", "a.htm"}
            << QStringList{"시험3", "시험10"}
            << QStringList{"노트.htm", "노트 - 사본.htm", "노트 2.htm", "노트 10.htm", "a.htm",
                           "a b.htm"};
        QTest::newRow("link to a directory is neither folder nor note")
            << QStringList{"real/", "linked@real", "linked.htm@real"} << QStringList{"real"}
            << QStringList{};
        QTest::newRow("name equal to the placeholder text is an ordinary folder")
            << QStringList{"-\a/"} << QStringList{"-\a"} << QStringList{};
    }

    void listFolder() {
        QFETCH(QStringList, entries);
        QTemporaryDir temp;
        QVERIFY(MakeEntries(temp.path(), entries));

        const TqbFolderListing listing = ListFolder(temp.path(), ".htm", temp.path());
        QTEST(Names(listing.Folders), "folders");
        QTEST(Names(listing.NoteFiles), "notes");
        // A trailing "/" on the folder changes nothing.
        QCOMPARE(ListFolder(temp.path() + u'/', ".htm", temp.path()).NoteFiles, listing.NoteFiles);
    }

    // Names as the engines write them beside the notes they carry, and ordinary notes that only
    // look alike.
    void syncEngineNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("original");
        QTest::addColumn<bool>("temporary");

        const QString page = TqbNoteInfo::FolderDescriptionName;
        QTest::newRow("syncthing") << "회의록.sync-conflict-20261209-101010-ABCDEFG.htm"
                                   << "회의록.htm" << false;
        QTest::newRow("syncthing, folder page")
            << "___폴더설명.sync-conflict-20261209-101010-Q2W3E4R.qb" << page << false;
        QTest::newRow("syncthing, name with dots")
            << "v1.2 계획.sync-conflict-20261209-235959-ZZZZZZZ.HTM" << "v1.2 계획.HTM" << false;
        QTest::newRow("syncthing, no extension")
            << "메모.sync-conflict-20261209-101010-ABCDEFG" << "메모" << false;
        QTest::newRow("syncthing, copy of a copy")
            << "a.sync-conflict-20261209-101010-ABCDEFG.sync-conflict-20261210-080000-BCDEFGH.htm"
            << "a.htm" << false;
        QTest::newRow("nextcloud") << "일기 (conflicted copy 2026-12-09 101010).htm" << "일기.htm"
                                   << false;
        QTest::newRow("nextcloud, name with parentheses")
            << "보고서 (최종) (conflicted copy 2026-12-09 101010).htm" << "보고서 (최종).htm"
            << false;
        QTest::newRow("nextcloud, folder page")
            << "___폴더설명 (conflicted copy 2026-12-09 101010).qb" << page << false;
        QTest::newRow("owncloud") << "todo_conflict-20261209-101010.htm" << "todo.htm" << false;
        QTest::newRow("dropbox") << "장보기 (Kim's conflicted copy 2026-12-09).htm" << "장보기.htm"
                                 << false;
        QTest::newRow("dropbox, second copy")
            << "장보기 (Kim's conflicted copy 2026-12-09 (1)).htm" << "장보기.htm" << false;
        QTest::newRow("syncthing temporary")
            << ".syncthing.회의록.htm.tmp" << "" << true;
        QTest::newRow("tilde temporary") << "~회의록.htm.tmp" << "" << true;
        QTest::newRow("partial download") << "회의록.htm.part" << "" << true;
        QTest::newRow("office lock") << ".~lock.회의록.htm#" << "" << true;

        QTest::newRow("note named sync-conflict") << "sync-conflict.htm" << "" << false;
        QTest::newRow("syncthing mark without a time")
            << "a.sync-conflict-2026-ABCDEFG.htm" << "" << false;
        QTest::newRow("syncthing mark, nothing before it")
            << ".sync-conflict-20261209-101010-ABCDEFG.htm" << "" << false;
        QTest::newRow("note about a conflicted copy")
            << "conflicted copy 정리 (2026-12-09).htm" << "" << false;
        QTest::newRow("conflicted copy without a date") << "a (conflicted copy).htm" << "" << false;
        QTest::newRow("owncloud mark without the time")
            << "budget_conflict-20261209.htm" << "" << false;
        QTest::newRow("underscore words") << "merge_conflict-notes.htm" << "" << false;
        QTest::newRow("tilde note") << "~초안.htm" << "" << false;
        QTest::newRow("part in the name") << "part 2.htm" << "" << false;
        QTest::newRow("tmp note") << "tmp.htm" << "" << false;
    }

    void syncEngineNames() {
        QFETCH(QString, name);
        QFETCH(QString, original);
        QFETCH(bool, temporary);
        QCOMPARE(qbSyncNames::ConflictOriginal(name), original);
        QCOMPARE(qbSyncNames::IsTemporary(name), temporary);
        QCOMPARE(qbSyncNames::IsEngineFile(name), temporary || !original.isEmpty());
    }

    // What engines leave beside the notes is no note: a conflict copy marks its original instead,
    // unless the original is gone, and then the copy is all there is of the note.
    void syncEngineFilesInAListing_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("notes");
        QTest::addColumn<QStringList>("conflicted");
        QTest::addColumn<bool>("hasEntries");

        const QString page = TqbNoteInfo::FolderDescriptionName;
        QTest::newRow("copies of one note from two engines")
            << QStringList{"a.htm", "a.sync-conflict-20261209-101010-ABCDEFG.htm",
                           "a (conflicted copy 2026-12-09 101010).htm", "b.htm"}
            << QStringList{"a.htm", "b.htm"} << QStringList{"a.htm"} << true;
        QTest::newRow("copies of two notes")
            << QStringList{"일기.htm", "todo.htm", "todo_conflict-20261209-101010.htm",
                           "일기 (Kim's conflicted copy 2026-12-09).htm"}
            << QStringList{"일기.htm", "todo.htm"} << QStringList{"일기.htm", "todo.htm"} << true;
        QTest::newRow("copy of the folder page")
            << QStringList{page, "___폴더설명.sync-conflict-20261209-101010-ABCDEFG.qb"}
            << QStringList{} << QStringList{page} << false;
        QTest::newRow("copy without its original")
            << QStringList{"gone.sync-conflict-20261209-101010-ABCDEFG.htm"}
            << QStringList{"gone.sync-conflict-20261209-101010-ABCDEFG.htm"} << QStringList{}
            << true;
        QTest::newRow("temporary files")
            << QStringList{"~a.htm.tmp", "a.htm.part", ".syncthing.a.htm.tmp", ".~lock.a.htm#"}
            << QStringList{} << QStringList{} << false;
        QTest::newRow("near misses are notes")
            << QStringList{"a (conflicted copy).htm", "merge_conflict-notes.htm", "~초안.htm"}
            << QStringList{"~초안.htm", "a (conflicted copy).htm", "merge_conflict-notes.htm"}
            << QStringList{} << true;
        QTest::newRow("folder named like a copy is a folder")
            << QStringList{"a.htm", "a.sync-conflict-20261209-101010-ABCDEFG.htm/"}
            << QStringList{"a.htm"} << QStringList{} << true;
    }

    void syncEngineFilesInAListing() {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, notes);
        QFETCH(QStringList, conflicted);
        QTemporaryDir temp;
        QVERIFY(MakeEntries(temp.path(), entries));

        const TqbFolderListing listing = ListFolder(temp.path(), ".htm", temp.path());
        QCOMPARE(Names(listing.NoteFiles), notes);
        QCOMPARE(listing.Conflicted, conflicted);
        QTEST(FolderHasEntries(temp.path()), "hasEntries");
    }

    // Only regular files are notes, and a link only while its target stays in the library: a
    // pipe would hang the editor, and a link out would let a page be edited elsewhere.
    void notesAreRegularFilesInsideTheLibrary_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("notes");

        QTest::newRow("link to a file beside it")
            << QStringList{"target.txt", "shown.htm@target.txt"} << QStringList{"shown.htm"};
        QTest::newRow("link into a subfolder")
            << QStringList{"sub/real.htm", "l.htm@sub/real.htm"} << QStringList{"l.htm"};
        QTest::newRow("link by absolute path inside the library")
            << QStringList{"sub/real.htm", "abs.htm@$LIB/sub/real.htm"} << QStringList{"abs.htm"};
        QTest::newRow("link to a file outside the library")
            << QStringList{"out.htm@$OUT/secret.htm"} << QStringList{};
        QTest::newRow("relative link climbing out")
            << QStringList{"up.htm@../outside/secret.htm"} << QStringList{};
        QTest::newRow("link to a link that leaves")
            << QStringList{"hop.txt@$OUT/secret.htm", "twice.htm@hop.txt"} << QStringList{};
        QTest::newRow("link to a sibling library named alike")
            << QStringList{"alike.htm@$LIB2/secret.htm"} << QStringList{};
        QTest::newRow("dangling link") << QStringList{"gone.htm@missing.htm"} << QStringList{};
        QTest::newRow("named pipe") << QStringList{"pipe.htm|", "ok.htm"} << QStringList{"ok.htm"};
        QTest::newRow("socket") << QStringList{"sock.htm="} << QStringList{};
        QTest::newRow("link to a device") << QStringList{"null.htm@/dev/null"} << QStringList{};
        QTest::newRow("link to a pipe inside")
            << QStringList{"p.txt|", "viapipe.htm@p.txt"} << QStringList{};
    }

    void notesAreRegularFilesInsideTheLibrary() {
        QFETCH(QStringList, entries);
        // The library, and beside it a folder outside it and one whose name extends its name.
        QTemporaryDir temp;
        const QString lib = temp.filePath("lib");
        const QString outside = temp.filePath("outside");
        QVERIFY(QDir().mkpath(lib) && QDir().mkpath(outside) && QDir().mkpath(lib + "2"));
        QVERIFY(MakeEntries(outside, {"secret.htm"}));
        QVERIFY(MakeEntries(lib + "2", {"secret.htm"}));
        for (QString& entry : entries)
            entry.replace("$LIB2", lib + "2").replace("$LIB", lib);
        QVERIFY(MakeEntries(lib, entries, outside));

        const TqbFolderListing listing = ListFolder(lib, ".htm", lib);
        QTEST(Names(listing.NoteFiles), "notes");
        for (const QString& note : Names(listing.NoteFiles))
            QCOMPARE(DocumentAccess(lib + u'/' + note, lib), TqbDocumentAccess::Usable);
    }

    void libraryReachedThroughALink() {
        QTemporaryDir temp;
        QVERIFY(MakeEntries(temp.path(), {"real/sub/a.htm", "real/l.htm@sub/a.htm"}));
        QVERIFY(QFile::link(temp.filePath("real"), temp.filePath("lib")));
        const QString lib = temp.filePath("lib");
        QCOMPARE(Names(ListFolder(lib, ".htm", lib).NoteFiles), QStringList{"l.htm"});
        QCOMPARE(DocumentAccess(lib + "/l.htm", lib), TqbDocumentAccess::Usable);
    }

    void documentAccess_data() {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<TqbDocumentAccess>("expected");

        QTest::newRow("regular note") << "a.htm" << TqbDocumentAccess::Usable;
        QTest::newRow("folder page not there yet")
            << "sub/" + TqbNoteInfo::FolderDescriptionName << TqbDocumentAccess::Missing;
        QTest::newRow("pipe") << "pipe.htm" << TqbDocumentAccess::NotRegular;
        QTest::newRow("directory") << "sub" << TqbDocumentAccess::Folder;
        QTest::newRow("pipe outside") << "outpipe.htm" << TqbDocumentAccess::OutsideLibrary;
        QTest::newRow("dangling link") << "gone.htm" << TqbDocumentAccess::NotRegular;
        QTest::newRow("link out") << "out.htm" << TqbDocumentAccess::OutsideLibrary;
        QTest::newRow("missing, in a folder that links out")
            << "away/new.htm" << TqbDocumentAccess::OutsideLibrary;
        QTest::newRow("missing, in no folder") << "none/new.htm" << TqbDocumentAccess::NotRegular;
    }

    void documentAccess() {
        QFETCH(QString, relative);
        QTemporaryDir temp;
        const QString lib = temp.filePath("lib");
        QVERIFY(MakeEntries(temp.path(), {"outside/secret.htm", "lib/a.htm", "lib/sub/"}));
        QVERIFY(MakeEntries(temp.path(), {"outside/pipe|"}));
        QVERIFY(MakeEntries(lib,
                            {"pipe.htm|", "gone.htm@nothing", "out.htm@$OUT/secret.htm",
                             "away@$OUT", "outpipe.htm@$OUT/pipe"},
                            temp.filePath("outside")));
        QTEST(DocumentAccess(lib + u'/' + relative, lib), "expected");
    }

    // Names copied from Windows arrive as CP949 bytes: shown decoded, reached by their bytes.
    void namesInCp949_data() {
        QTest::addColumn<QByteArray>("rawName");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("shown");

        QTest::newRow("note") << QByteArray("\xB8\xDE\xB8\xF0.htm") << false << "메모.htm";
        QTest::newRow("note with an extended syllable")
            << QByteArray("\x8C\x63.HTM") << false << "똠.HTM";
        QTest::newRow("folder") << QByteArray("\xC0\xCF\xB1\xE2") << true << "일기";
        // Also valid UTF-8, for Latin-1 letters only ("å", "¯"): the Hangul reading wins.
        QTest::newRow("note also utf-8") << QByteArray("\xC3\xA5.htm") << false << "책.htm";
        QTest::newRow("folder also utf-8") << QByteArray("a\xC3\xA5\xC2\xAF") << true << "a책짱";
        // Latin words with accented letters are what they say: only a name without a Latin
        // letter, or with a sign no word has, is read as Hangul.
        QTest::newRow("accented latin note") << QByteArray("caf\xC3\xA9.htm") << false << "café.htm";
        QTest::newRow("accented latin folder") << QByteArray("Gr\xC3\xB6\xC3\x9F" "e") << true
                                               << "Größe";
        QTest::newRow("in neither encoding: left out") << QByteArray("bad\xFF.htm") << false << "";
        QTest::newRow("folder in neither encoding: left out")
            << QByteArray("bad\xFE") << true << "";
    }

    void namesInCp949() {
        QFETCH(QByteArray, rawName);
        QFETCH(bool, folder);
        QFETCH(QString, shown);
        QTemporaryDir temp;
        QVERIFY(MakeEntries(temp.path(), {"good.htm"}));
        const QByteArray path = QFile::encodeName(temp.path()) + '/' + rawName;
        QVERIFY(folder ? ::mkdir(path.constData(), 0755) == 0 : MakeRawFile(path));
        // QTemporaryDir cannot name what it would have to remove.
        const auto removeRaw = qScopeGuard([&] {
            ::unlink(QByteArray(path + "/x.txt").constData());
            folder ? ::rmdir(path.constData()) : ::unlink(path.constData());
        });

        const TqbFolderListing listing = ListFolder(temp.path(), ".htm", temp.path());
        QList<TqbListedName> expected;
        const bool utf8Name = QFile::encodeName(shown) == rawName;
        if (!shown.isEmpty())
            expected << TqbListedName{shown, utf8Name ? QByteArray() : rawName};
        QList<TqbListedName> notes{{"good.htm", {}}};
        if (!folder)
            notes = expected + notes;
        QCOMPARE(listing.Folders, folder ? expected : QList<TqbListedName>{});
        QCOMPARE(Names(listing.NoteFiles), Names(notes));
        QCOMPARE(listing.NoteFiles, notes);
        if (folder && !shown.isEmpty()) {
            QVERIFY(!FolderHasEntries(path));
            QVERIFY(MakeRawFile(path + "/x.txt"));
            QVERIFY(FolderHasEntries(path));
        }
    }

    void unreadableFolderListsNothing_data() {
        QTest::addColumn<QString>("relative");
        QTest::newRow("missing") << "missing";
        QTest::newRow("a regular file") << "file.htm";
        QTest::newRow("below a regular file") << "file.htm/sub";
    }

    void unreadableFolderListsNothing() {
        QFETCH(QString, relative);
        QTemporaryDir temp;
        QVERIFY(MakeEntries(temp.path(), {"file.htm"}));
        const QString dir = temp.path() + u'/' + relative;

        const TqbFolderListing listing = ListFolder(dir, ".htm", temp.path());
        QVERIFY(listing.Folders.isEmpty());
        QVERIFY(listing.NoteFiles.isEmpty());
        QVERIFY(!FolderHasEntries(dir));
    }

    void folderHasEntries_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<bool>("expected");

        QTest::newRow("empty") << QStringList{} << false;
        QTest::newRow("only the description")
            << QStringList{TqbNoteInfo::FolderDescriptionName} << false;
        QTest::newRow("only dot names") << QStringList{".hidden/", ".x.htm"} << false;
        QTest::newRow("text file counts") << QStringList{"w.txt"} << true;
        QTest::newRow("__images counts") << QStringList{"__images/"} << true;
        QTest::newRow("subfolder counts") << QStringList{"sub/"} << true;
        QTest::newRow("note beside the description")
            << QStringList{TqbNoteInfo::FolderDescriptionName, "a.htm"} << true;
        QTest::newRow("link counts") << QStringList{"x@/nowhere"} << true;
        QTest::newRow("Korean name counts") << QStringList{"메모.txt"} << true;
    }

    void folderHasEntries() {
        QFETCH(QStringList, entries);
        QFETCH(bool, expected);
        QTemporaryDir temp;
        QVERIFY(MakeEntries(temp.path(), entries));

        QCOMPARE(FolderHasEntries(temp.path()), expected);
        QCOMPARE(FolderHasEntries(temp.path() + u'/'), expected);
    }

    void nameOrder_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("Korean before Latin, case aside")
            << QStringList{"b", "일기", "z", "A", "가나다", "Y"}
            << QStringList{"가나다", "일기", "A", "b", "Y", "z"};
        QTest::newRow("numbers by value")
            << QStringList{"시험10", "시험3", "시험17", "시험9", "노트 10", "노트 2", "노트 1"}
            << QStringList{"노트 1", "노트 2", "노트 10", "시험3", "시험9", "시험10", "시험17"};
        QTest::newRow("a copy right after its note")
            << QStringList{"노트 2", "노트 - 사본", "노트 1 - 사본", "노트", "노트 1"}
            << QStringList{"노트", "노트 - 사본", "노트 1", "노트 1 - 사본", "노트 2"};
        QTest::newRow("names equal but for case keep one order")
            << QStringList{"memo", "Memo", "MEMO"} << QStringList{"MEMO", "Memo", "memo"};
        QTest::newRow("one name") << QStringList{"x"} << QStringList{"x"};
    }

    // The same order whatever the user's locale, and the one Compare and the keys give.
    void nameOrder() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, expected);
        const QLocale saved;
        const auto restore = qScopeGuard([&] { QLocale::setDefault(saved); });
        for (const char* locale : {"C", "en_US", "ko_KR"}) {
            QLocale::setDefault(QLocale(locale));
            QStringList sorted = names;
            qbNameOrder::Sort(sorted);
            QCOMPARE(sorted, expected);
            for (qsizetype i = 1; i < expected.size(); ++i) {
                QCOMPARE(qbNameOrder::Compare(expected[i - 1], expected[i]), -1);
                QCOMPARE(qbNameOrder::Compare(expected[i], expected[i - 1]), 1);
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_FolderListing)
#include "tst_FolderListing.moc"
