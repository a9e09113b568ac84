// The trash over a temporary home folder: what a fresh account looks like.
#include "common/qbSmallDisk.h"
#include "platform/qbShellMove.h"
#include "platform/qbTrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <sys/stat.h>

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

int Mode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

QStringList Sorted(QStringList names) {
    std::sort(names.begin(), names.end());
    return names;
}

QStringList Entries(const QString& dir) {
    return Sorted(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

// The item's record in the trash, its deletion time checked for form and left out.
QString InfoWithoutDate(const QString& trashDir, const QString& name) {
    QString info = QString::fromUtf8(ReadBytes(trashDir + "/info/" + name + ".trashinfo"));
    static const QRegularExpression date(
        "DeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$");
    return info.remove(date);
}

} // namespace

class tst_Trash : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_lib;
    QString m_savedCwd;
    QByteArray m_savedHome;
    QByteArray m_savedXdg;

    QString Lib(const QString& rel) const { return m_lib + u'/' + rel; }

private slots:
    void initTestCase() {
        m_savedCwd = QDir::currentPath();
        m_savedHome = qgetenv("HOME");
        m_savedXdg = qgetenv("XDG_DATA_HOME");
    }

    void init() {
        m_temp = std::make_unique<QTemporaryDir>();
        m_lib = m_temp->filePath("lib");
        QVERIFY(QDir().mkpath(m_temp->filePath("home")));
        WriteBytes(Lib("note.htm"), "note");
        WriteBytes(Lib("folder/inner.htm"), "inner");
        qputenv("HOME", QFile::encodeName(m_temp->filePath("home")));
        qunsetenv("XDG_DATA_HOME");
        // Started from inside the library, as a user may do.
        QVERIFY(QDir::setCurrent(m_lib));
    }

    void cleanup() {
        QDir::setCurrent(m_savedCwd);
        qputenv("HOME", m_savedHome);
        if (m_savedXdg.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", m_savedXdg);
        m_temp.reset();
    }

    void intoTheUsersTrash_data() {
        QTest::addColumn<QString>("xdgDataHome"); // relative to the temporary folder; "": unset
        QTest::addColumn<QString>("trash");

        QTest::newRow("fresh home without .local/share") << ""
                                                         << "home/.local/share/Trash";
        QTest::newRow("data home given, not there yet") << "xdg"
                                                        << "xdg/Trash";
        QTest::newRow("existing trash") << ""
                                        << "home/.local/share/Trash";
    }

    void intoTheUsersTrash() {
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, trash);
        if (!xdgDataHome.isEmpty())
            qputenv("XDG_DATA_HOME", QFile::encodeName(m_temp->filePath(xdgDataHome)));
        if (QByteArray(QTest::currentDataTag()) == "existing trash")
            QVERIFY(QDir().mkpath(m_temp->filePath(trash + "/files")));
        const QString trashDir = m_temp->filePath(trash);
        QCOMPARE(qbTrash::HomeTrashDir(), trashDir);

        QString error;
        QVERIFY2(qbTrash::MoveToTrash(Lib("note.htm"), &error), qPrintable(error));
        QVERIFY(qbTrash::MoveToTrash(Lib("folder/"), &error));

        QVERIFY(!QFileInfo::exists(Lib("note.htm")));
        QCOMPARE(ReadBytes(trashDir + "/files/note.htm"), QByteArray("note"));
        QCOMPARE(ReadBytes(trashDir + "/files/folder/inner.htm"), QByteArray("inner"));
        QVERIFY(QFileInfo::exists(trashDir + "/info/note.htm.trashinfo"));
        // The folders made for it are the user's alone; nothing lands in the working folder.
        QCOMPARE(Mode(trashDir + "/info"), 0700);
        if (QByteArray(QTest::currentDataTag()) != "existing trash") {
            QCOMPARE(Mode(trashDir + "/files"), 0700);
            QCOMPARE(Mode(trashDir), 0700);
        }
        QCOMPARE(Entries(m_lib), QStringList{});
    }

    // Two items of one name, from two folders, each with its record of where it came from. The
    // record's name is the item's plus ".trashinfo": a long name is shortened to leave it room.
    void trashNamesFitAndStayUnique_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");

        QTest::newRow("short name") << "note.htm"
                                    << "note.htm"
                                    << "note 2.htm";
        // 250 bytes: 82 syllables of three bytes and ".htm".
        QTest::newRow("long Korean note")
            << QString("가").repeated(82) + ".htm" << QString("가").repeated(80) + ".htm"
            << QString("가").repeated(79) + " 2.htm";
        QTest::newRow("long folder name")
            << QString("나").repeated(84) << QString("나").repeated(81)
            << QString("나").repeated(81) + " 2";
    }

    void trashNamesFitAndStayUnique() {
        QFETCH(QString, name);
        QFETCH(QString, first);
        QFETCH(QString, second);
        const bool folder = !name.contains(u'.');
        for (const QString from : {"one", "two"}) {
            const QString item = Lib(from + u'/' + name);
            if (folder)
                WriteBytes(item + "/inner.htm", from.toUtf8());
            else
                WriteBytes(item, from.toUtf8());
            QString error;
            QVERIFY2(qbTrash::MoveToTrash(item, &error), qPrintable(error));
            QVERIFY(!QFileInfo::exists(item));
        }
        const QString trash = qbTrash::HomeTrashDir();
        QCOMPARE(Entries(trash + "/files"), Sorted({first, second}));
        QCOMPARE(Entries(trash + "/info"), Sorted({first + ".trashinfo", second + ".trashinfo"}));
        const QString inner = folder ? "/inner.htm" : "";
        QCOMPARE(ReadBytes(trash + "/files/" + first + inner), QByteArray("one"));
        QCOMPARE(ReadBytes(trash + "/files/" + second + inner), QByteArray("two"));
        const auto record = [&](const QString& from) {
            return "[Trash Info]\nPath=" +
                   QString::fromLatin1(
                       QFile::encodeName(Lib(from + u'/' + name)).toPercentEncoding("/")) +
                   "\n";
        };
        QCOMPARE(InfoWithoutDate(trash, first), record("one"));
        QCOMPARE(InfoWithoutDate(trash, second), record("two"));
    }

    // A trash that cannot keep the record of where the item came from takes nothing.
    void fullDiskTrashesNothing() {
        TqbSmallDisk disk(256 * 1024);
        if (!disk.IsMounted())
            QSKIP(qPrintable("no small disk: " + disk.Error()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(disk.FilePath("data")));
        QVERIFY(qbTrash::EnsureHomeTrash());
        const QString note = disk.FilePath("lib/note.htm");
        WriteBytes(note, "note");
        disk.Fill();
        QString error;
        QVERIFY(!qbTrash::MoveToTrash(note, &error));
        QVERIFY2(error.contains(note) && error.contains(qt_error_string(ENOSPC)),
                 qPrintable(error));
        QCOMPARE(ReadBytes(note), QByteArray("note"));
        QCOMPARE(Entries(qbTrash::HomeTrashDir() + "/files"), QStringList());
        QCOMPARE(Entries(qbTrash::HomeTrashDir() + "/info"), QStringList());
    }

    // An item on another file system goes to the trash at that file system's top, its path
    // recorded from there.
    void otherFileSystemUsesItsOwnTrash() {
        TqbSmallDisk disk(256 * 1024);
        if (!disk.IsMounted())
            QSKIP(qPrintable("no small disk: " + disk.Error()));
        const QString note = disk.FilePath("lib/새 노트.htm");
        WriteBytes(note, "note");
        QString error;
        QVERIFY2(qbTrash::MoveToTrash(note, &error), qPrintable(error));
        const QString trash = disk.FilePath(".Trash-" + QString::number(::getuid()));
        QCOMPARE(ReadBytes(trash + "/files/새 노트.htm"), QByteArray("note"));
        QCOMPARE(InfoWithoutDate(trash, "새 노트.htm"),
                 "[Trash Info]\nPath=lib/%EC%83%88%20%EB%85%B8%ED%8A%B8.htm\n");
        QCOMPARE(Mode(trash), 0700);
        QCOMPARE(Entries(qbTrash::HomeTrashDir() + "/files"), QStringList());
    }

    void unusableTrashRemovesNothing() {
        // The data folder's place is taken by a file: no trash can be made.
        WriteBytes(m_temp->filePath("home/.local"), "not a folder");
        QString error;
        QVERIFY(!qbTrash::MoveToTrash(Lib("note.htm"), &error));
        QVERIFY(error.contains("note.htm"));
        QVERIFY(error.size() > QStringLiteral("\"%1\"").arg(Lib("note.htm")).size());
        QCOMPARE(ReadBytes(Lib("note.htm")), QByteArray("note"));
        QCOMPARE(Entries(m_lib), (QStringList{"folder", "note.htm"}));
    }

    void missingItemIsAFailure() {
        QString error;
        QVERIFY(!qbTrash::MoveToTrash(Lib("gone.htm"), &error));
        QVERIFY(error.contains("gone.htm"));
    }

    // A move onto an item of the same name replaces it only when asked, and the replaced item
    // goes to the trash.
    void moveReplacesIntoTheTrash_data() {
        QTest::addColumn<bool>("replace");
        QTest::newRow("replaced") << true;
        QTest::newRow("kept") << false;
    }

    void moveReplacesIntoTheTrash() {
        QFETCH(bool, replace);
        WriteBytes(Lib("folder/note.htm"), "other note");
        QStringList asked;
        const auto result =
            qbShellMove::Move(Lib("note.htm"), Lib("folder"), [&](const QString& existing) {
                asked << existing;
                return replace;
            });
        QCOMPARE(asked, QStringList{Lib("folder/note.htm")});
        const QString trashed = qbTrash::HomeTrashDir() + "/files/note.htm";
        if (replace) {
            QCOMPARE(result, qbShellMove::TResult::Moved);
            QCOMPARE(ReadBytes(Lib("folder/note.htm")), QByteArray("note"));
            QCOMPARE(ReadBytes(trashed), QByteArray("other note"));
        } else {
            QCOMPARE(result, qbShellMove::TResult::Cancelled);
            QCOMPARE(ReadBytes(Lib("note.htm")), QByteArray("note"));
            QCOMPARE(ReadBytes(Lib("folder/note.htm")), QByteArray("other note"));
            QVERIFY(!QFileInfo::exists(trashed));
        }
    }

    void moveWithUnusableTrashReplacesNothing() {
        WriteBytes(Lib("folder/note.htm"), "other note");
        WriteBytes(m_temp->filePath("home/.local"), "not a folder");
        QString error;
        const auto result = qbShellMove::Move(
            Lib("note.htm"), Lib("folder"), [](const QString&) { return true; }, &error);
        QCOMPARE(result, qbShellMove::TResult::Failed);
        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadBytes(Lib("note.htm")), QByteArray("note"));
        QCOMPARE(ReadBytes(Lib("folder/note.htm")), QByteArray("other note"));
    }

    void renameNeverReplaces_data() {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<bool>("renamed");

        QTest::newRow("free name") << QByteArray("note.htm") << QByteArray("new.htm") << true;
        QTest::newRow("taken name") << QByteArray("note.htm") << QByteArray("folder") << false;
        QTest::newRow("from CP949 bytes")
            << QByteArray("\xB8\xDE\xB8\xF0.htm") << QByteArray("메모.htm") << true;
        QTest::newRow("missing source") << QByteArray("gone.htm") << QByteArray("x.htm") << false;
    }

    void renameNeverReplaces() {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(bool, renamed);
        const QByteArray dir = QFile::encodeName(m_lib) + '/';
        const QByteArray source = dir + from;
        if (QByteArray(QTest::currentDataTag()) == "from CP949 bytes") {
            FILE* file = std::fopen(source.constData(), "w");
            QVERIFY(file);
            std::fputs("raw", file);
            std::fclose(file);
        }
        const bool existed = ::access(source.constData(), F_OK) == 0;
        QString error;
        QCOMPARE(qbShellMove::Rename(source, dir + to, &error), renamed);
        QCOMPARE(error.isEmpty(), renamed);
        QCOMPARE(::access(source.constData(), F_OK) == 0, existed && !renamed);
        QVERIFY(QFileInfo(Lib("folder/inner.htm")).isFile());
        if (renamed)
            QCOMPARE(ReadBytes(QFile::decodeName(dir + to)).isEmpty(), false);
        ::unlink(source.constData());
    }
};

QTEST_GUILESS_MAIN(tst_Trash)
#include "tst_Trash.moc"
