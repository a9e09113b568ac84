#include "library/qbFolderListing.h"
#include "library/qbNoteInfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <sys/stat.h>

// Entries are written as: "name/" a directory, "name@target" a symbolic link to target,
// "name|" a named pipe, anything else an empty file.
static bool MakeEntries(const QString& dir, const QStringList& entries) {
    for (const QString& entry : entries) {
        const QString path = dir + u'/' + entry;
        bool made = false;
        if (entry.endsWith(u'/')) {
            made = QDir().mkpath(path);
        } else if (const qsizetype at = entry.indexOf(u'@'); at > 0) {
            made = QFile::link(entry.mid(at + 1), dir + u'/' + entry.left(at));
        } else if (entry.endsWith(u'|')) {
            made = mkfifo(QFile::encodeName(path.chopped(1)).constData(), 0644) == 0;
        } else {
            QFile file(path);
            made = file.open(QIODevice::WriteOnly);
        }
        if (!made)
            return false;
    }
    return true;
}

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
        QTest::newRow("link to a directory is neither folder nor note")
            << QStringList{"real/", "linked@real", "linked.htm@real"} << QStringList{"real"}
            << QStringList{};
        QTest::newRow("link to a file is a file")
            << QStringList{"target.txt", "shown.htm@target.txt"} << QStringList{}
            << QStringList{"shown.htm"};
        QTest::newRow("dangling link and pipe are no notes")
            << QStringList{"gone.htm@missing.htm", "pipe.htm|"} << QStringList{} << QStringList{};
    }

    void listFolder() {
        QFETCH(QStringList, entries);
        QTemporaryDir temp;
        QVERIFY(MakeEntries(temp.path(), entries));

        const TqbFolderListing listing = ListFolder(temp.path(), ".htm");
        QTEST(listing.Folders, "folders");
        QTEST(listing.NoteFiles, "notes");
        // A trailing "/" on the folder changes nothing.
        QCOMPARE(ListFolder(temp.path() + u'/', ".htm").NoteFiles, listing.NoteFiles);
    }

    void nameNotInFileNameEncodingLeftOut() {
        QTemporaryDir temp;
        QVERIFY(MakeEntries(temp.path(), {"good.htm"}));
        const QByteArray dir = QFile::encodeName(temp.path());
        FILE* file = fopen(dir + "/bad\xff.htm", "w");
        QVERIFY(file);
        fclose(file);
        QCOMPARE(mkdir(dir + "/bad\xfe", 0755), 0);

        const TqbFolderListing listing = ListFolder(temp.path(), ".htm");
        QCOMPARE(listing.NoteFiles, QStringList{"good.htm"});
        QVERIFY(listing.Folders.isEmpty());
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

        const TqbFolderListing listing = ListFolder(dir, ".htm");
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

    void sortByLocale_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("expected");

        const QStringList names{"b", "일기", "z", "A", "가나다", "Y"};
        QTest::newRow("C") << "C" << names << QStringList{"A", "b", "Y", "z", "가나다", "일기"};
        QTest::newRow("en_US") << "en_US" << names
                               << QStringList{"A", "b", "Y", "z", "가나다", "일기"};
        QTest::newRow("ko_KR") << "ko_KR" << names
                               << QStringList{"가나다", "일기", "A", "b", "Y", "z"};
        QTest::newRow("names equal but for case, C")
            << "C" << QStringList{"memo", "Memo", "MEMO"} << QStringList{"MEMO", "Memo", "memo"};
        QTest::newRow("names equal but for case, ko_KR")
            << "ko_KR" << QStringList{"memo", "Memo", "MEMO"}
            << QStringList{"MEMO", "Memo", "memo"};
        QTest::newRow("one name") << "ko_KR" << QStringList{"x"} << QStringList{"x"};
    }

    void sortByLocale() {
        QFETCH(QString, locale);
        QFETCH(QStringList, names);
        const QLocale saved;
        QLocale::setDefault(QLocale(locale));
        SortByLocale(names);
        QLocale::setDefault(saved);
        QTEST(names, "expected");
    }
};

QTEST_GUILESS_MAIN(tst_FolderListing)
#include "tst_FolderListing.moc"
