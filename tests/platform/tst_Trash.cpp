// The trash over a temporary home folder: what a fresh account looks like.
#include "platform/qbShellMove.h"
#include "platform/qbTrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
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

QStringList Entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
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
