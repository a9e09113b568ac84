// The library's operations as plain calls, without a window: what lands on disk and what is
// announced.
#include "common/qbFakeAsker.h"
#include "common/qbSmallDisk.h"
#include "common/qbTestFiles.h"
#include "library/qbLibrary.h"
#include "platform/qbFileStamp.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

} // namespace

class tst_Library : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_root;
    TqbFakeAsker m_asker;
    std::unique_ptr<TqbLibrary> m_library;
    // What the library announced, with the root cut off the paths.
    QStringList m_told;

    QString Lib(const QString& rel) const { return m_root + u'/' + rel; }
    QString Rel(const QString& path) const { return path.mid(m_root.size() + 1); }
    QStringList Trashed() const {
        return QDir(m_temp->filePath("xdg/Trash/files"))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
    void Watch(TqbLibrary& library) {
        connect(&library, &TqbLibrary::Added, this,
                [this](const QString& p) { m_told << "added " + Rel(p); });
        connect(&library, &TqbLibrary::Moved, this, [this](const QString& from, const QString& to) {
            m_told << "moved " + Rel(from) + " > " + Rel(to);
        });
        connect(&library, &TqbLibrary::Removed, this,
                [this](const QString& p) { m_told << "removed " + Rel(p); });
        connect(&library, &TqbLibrary::Changed, this, [this](const QStringList& files) {
            for (const QString& file : files)
                m_told << "changed " + Rel(file);
        });
    }

private slots:
    void init() {
        m_temp = std::make_unique<QTemporaryDir>();
        m_root = MakeSampleLibrary(m_temp->path());
        WriteBytes(m_temp->filePath("tpl.htm"), "line1\nline2\r\n\xC0\xCF");
        m_asker = {};
        m_told.clear();
        m_library = std::make_unique<TqbLibrary>(m_asker);
        m_library->SetRoot(m_root + u'/');
        Watch(*m_library);
    }

    void listing() {
        QCOMPARE(m_library->Root(), m_root);
        const TqbFolderListing top = m_library->List(m_root);
        QCOMPARE(top.Folders.size(), 2);
        QCOMPARE(top.Folders.value(1).Name, QStringLiteral("B"));
        QCOMPARE(top.NoteFiles.size(), 1);
        QCOMPARE(top.NoteFiles.value(0).Name, QStringLiteral("top.htm"));
    }

    // Another program moved an item: found by its identity among the folders given, or by a
    // bounded look through the library.
    void findById_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to"); // empty: deleted
        QTest::addColumn<QString>("dirs");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("found");
        QTest::newRow("note, folder given") << "A/a1.htm" << "B/a1.htm" << "A,B" << 0 << "B/a1.htm";
        QTest::newRow("note renamed on the way") << "A/a1.htm" << "B/x.htm" << "B" << 0 << "B/x.htm";
        QTest::newRow("folder, folder given") << "A/Sub" << "Sub" << "" << 0 << "Sub/";
        QTest::newRow("folder not given, no look") << "A/a1.htm" << "B/a1.htm" << "A" << 0 << "";
        QTest::newRow("folder not given, looked for") << "A/a1.htm" << "B/Deep/a1.htm" << "A" << 100 << "B/Deep/a1.htm";
        QTest::newRow("folder looked for") << "A" << "B/A" << "" << 100 << "B/A/";
        QTest::newRow("deleted") << "A/a1.htm" << "" << "A,B" << 100 << "";
        QTest::newRow("look too short") << "A/a1.htm" << "B/Deep/a1.htm" << "A" << 1 << "";
    }
    void findById() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, dirs);
        QFETCH(int, limit);
        QFETCH(QString, found);
        const QByteArray id = TqbFileStamp::FileId(Lib(from));
        QVERIFY(!id.isEmpty());
        if (to.isEmpty()) {
            QVERIFY(QFile::remove(Lib(from)));
        } else {
            QVERIFY(QDir().mkpath(QFileInfo(Lib(to)).path()));
            QVERIFY(QDir().rename(Lib(from), Lib(to)));
        }
        QStringList given;
        for (const QString& dir : dirs.split(u',', Qt::SkipEmptyParts))
            given << Lib(dir);
        if (dirs.isEmpty())
            given << m_root;
        const bool folder = !from.endsWith(".htm");
        const QString path = m_library->FindById(id, folder, given, limit);
        QCOMPARE(path.isEmpty() ? path : Rel(path), found);
    }

    // Each operation done: the disk afterwards, and exactly what was announced.
    void operations_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("exists"); // a file there afterwards, with its bytes
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("gone");

        QTest::newRow("new note") << "note" << "A/n.htm" << "" << "added A/n.htm" << "A/n.htm"
                                  << QByteArray("<HTML></HTML>\r\n") << "";
        QTest::newRow("new note from a template, lines in CR LF, the caret's place marked")
            << "template" << "n.htm" << "" << "added n.htm" << "n.htm"
            << QByteArray("line1\r\nline2\r\n\xC0\xCF<!--qbCaret-->\r\n") << "";
        QTest::newRow("new folder") << "folder" << "A/F" << "" << "added A/F/" << "A/F/___폴더설명.qb"
                                    << QByteArray("<HTML></HTML>\r\n") << "";
        QTest::newRow("rename note") << "rename" << "top.htm" << "new.htm"
                                     << "moved top.htm > new.htm" << "new.htm" << QByteArray("top")
                                     << "top.htm";
        QTest::newRow("rename folder") << "rename" << "A/" << "C/" << "moved A/ > C/"
                                       << "C/Sub/s1.htm" << QByteArray("s1") << "A";
        QTest::newRow("same name") << "rename" << "top.htm" << "top.htm" << "" << "top.htm"
                                   << QByteArray("top") << "";
        QTest::newRow("move note") << "move" << "top.htm" << "B" << "moved top.htm > B/top.htm"
                                   << "B/top.htm" << QByteArray("top") << "top.htm";
        QTest::newRow("move folder") << "move" << "A/Sub/" << "B" << "moved A/Sub/ > B/Sub/"
                                     << "B/Sub/s1.htm" << QByteArray("s1") << "A/Sub";
        QTest::newRow("trash note") << "trash" << "top.htm" << "" << "removed top.htm" << ""
                                    << QByteArray() << "top.htm";
        QTest::newRow("trash folder") << "trash" << "A/" << "" << "removed A/" << "" << QByteArray()
                                      << "A";
    }

    void operations() {
        QFETCH(QString, operation);
        QFETCH(QString, path);
        QFETCH(QString, to);
        QFETCH(QString, told);
        QFETCH(QString, exists);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, gone);
        const QStringList header{"<HTML></HTML>"};
        bool done = false;
        if (operation == "note")
            done = m_library->CreateNote(Lib(path), {}, header);
        else if (operation == "template")
            done = m_library->CreateNote(Lib(path), m_temp->filePath("tpl.htm"), header);
        else if (operation == "folder")
            done = m_library->CreateFolder(Lib(path), header);
        else if (operation == "rename")
            done = m_library->Rename(Lib(path), Lib(to));
        else if (operation == "move")
            done = m_library->Move(Lib(path), Lib(to));
        else if (operation == "trash")
            done = m_library->Trash(Lib(path));
        QVERIFY(done);
        QCOMPARE(m_asker.Calls, QStringList{});
        QCOMPARE(m_told, told.isEmpty() ? QStringList{} : QStringList{told});
        if (!exists.isEmpty())
            QCOMPARE(ReadBytes(Lib(exists), "<missing>"), bytes);
        if (!gone.isEmpty())
            QVERIFY(!QFileInfo::exists(Lib(gone)));
        if (operation == "trash")
            QCOMPARE(Trashed(), QStringList{QFileInfo(Lib(gone)).fileName()});
    }

    // An item of the same name in the way: asked with Cancel as the default; a yes sends the old
    // one to the trash (a folder with what it holds), a no changes nothing.
    void moveOverAnItem_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("inTheWay"); // a file of the item in the way
        QTest::addColumn<QString>("moved");    // a file of the item where it went
        QTest::addColumn<QByteArray>("bytes"); // of moved
        QTest::addColumn<bool>("agree");
        QTest::newRow("note replaced") << "top.htm" << "B/top.htm" << "B/top.htm" << QByteArray("top") << true;
        QTest::newRow("note kept") << "top.htm" << "B/top.htm" << "B/top.htm" << QByteArray("old") << false;
        QTest::newRow("folder replaced") << "A/" << "B/A/kept.htm" << "B/A/a1.htm" << QByteArray("a1") << true;
        QTest::newRow("folder kept") << "A/" << "B/A/kept.htm" << "B/A/a1.htm" << QByteArray("<missing>") << false;
    }

    void moveOverAnItem() {
        QFETCH(QString, item);
        QFETCH(QString, inTheWay);
        QFETCH(QString, moved);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, agree);
        WriteBytes(Lib(inTheWay), "old");
        const QString slash = item.endsWith(u'/') ? "/" : "";
        const QString name = item.chopped(slash.size());
        m_asker.Answer = agree;
        QCOMPARE(m_library->Move(Lib(item), Lib("B")), agree);
        QCOMPARE(m_asker.Calls, QStringList{"confirm, default no: " +
                                            TqbLibrary::ReplaceQuestion.arg(Lib("B/" + name))});
        QCOMPARE(ReadBytes(Lib(moved), "<missing>"), bytes);
        QCOMPARE(QFileInfo::exists(Lib(item)), !agree);
        const QStringList told{"removed B/" + name + slash,
                               "moved " + item + " > B/" + name + slash};
        QCOMPARE(m_told, agree ? told : QStringList{});
        QCOMPARE(Trashed(), agree ? QStringList{name} : QStringList{});
        if (agree)
            QCOMPARE(ReadBytes(m_temp->filePath("xdg/Trash/files/") + inTheWay.mid(2)),
                     QByteArray("old"));
    }

    void renameOntoAnExistingName() {
        QVERIFY(!m_library->Rename(Lib("top.htm"), Lib("A/")));
        QCOMPARE(m_asker.Calls, QStringList{"message " + TqbLibrary::RenameFailedMessage});
        QCOMPARE(m_told, QStringList{});
        QCOMPARE(ReadBytes(Lib("top.htm")), QByteArray("top"));
    }

    // A name copied from Windows in CP949 bytes gets its decoded name only once the user agrees.
    void rawName_data() {
        QTest::addColumn<bool>("agree");
        QTest::newRow("agreed") << true;
        QTest::newRow("refused") << false;
    }

    void rawName() {
        QFETCH(bool, agree);
        const QByteArray raw = "\xB8\xDE\xB8\xF0.htm";
        QVERIFY(MakeRawFile(QFile::encodeName(Lib("")) + raw, "memo"));
        m_asker.Answer = agree;
        QCOMPARE(m_library->AdoptRawName(Lib(""), raw, "메모.htm"), agree);
        QCOMPARE(m_asker.Calls,
                 QStringList{"confirm " + TqbLibrary::RawNameQuestion.arg("메모.htm")});
        QCOMPARE(ReadBytes(Lib("메모.htm"), "<missing>"), QByteArray(agree ? "memo" : "<missing>"));
        if (agree)
            return;
        // A rename goes from the bytes too.
        QVERIFY(m_library->Rename(Lib("메모.htm"), Lib("새 이름.htm"), raw));
        QCOMPARE(ReadBytes(Lib("새 이름.htm")), QByteArray("memo"));
        QCOMPARE(m_told, QStringList{"moved 메모.htm > 새 이름.htm"});
    }

    // A note whose picture address had to change is announced, so the editor reads it again;
    // what it held before is kept as a version, where it followed the note.
    void picturesRewrittenAreAnnounced() {
        const QByteArray page = "<HTML><BODY><IMG src=\"../shared/s.png\"></BODY></HTML>\r\n";
        WriteBytes(Lib("A/p.htm"), page);
        WriteBytes(Lib("shared/s.png"), "png");
        QVERIFY(m_library->Move(Lib("A/p.htm"), Lib("A/Sub")));
        QCOMPARE(m_told, (QStringList{"moved A/p.htm > A/Sub/p.htm", "changed A/Sub/p.htm"}));
        QVERIFY(ReadBytes(Lib("A/Sub/p.htm")).contains("../../shared/s.png"));
        const QList<TqbNoteVersion> kept = m_library->Versions().List(Lib("A/Sub/p.htm"));
        QCOMPARE(kept.size(), 1);
        QCOMPARE(ReadBytes(kept.first().Path), page);
    }

    // The root going (moved away, its disk's folder gone, deleted) is told and nothing makes it
    // again; back in its place, the same folder or a copy, it lists as before.
    void rootGoneAndBack_data() {
        QTest::addColumn<QString>("away"); // what goes, below the scratch folder
        QTest::addColumn<bool>("copy");
        QTest::newRow("root moved away") << "disk/BookData" << false;
        QTest::newRow("disk unplugged") << "disk" << false;
        QTest::newRow("root deleted, a copy put back") << "disk/BookData" << true;
    }
    void rootGoneAndBack() {
        QFETCH(QString, away);
        QFETCH(bool, copy);
        m_root = MakeSampleLibrary(m_temp->filePath("disk"));
        TqbLibrary library(m_asker);
        library.SetRoot(m_root);
        Watch(library);
        QVERIFY(library.Presence().IsThere());
        QSignalSpy gone(&library.Presence(), &TqbRootPresence::Gone);
        QSignalSpy back(&library.Presence(), &TqbRootPresence::Back);
        const QString path = m_temp->filePath(away);
        const QString aside = m_temp->filePath("aside");
        if (copy) {
            QVERIFY(QFile::copy(Lib("top.htm"), m_temp->filePath("top.htm")));
            QVERIFY(QDir(m_root).removeRecursively());
        } else {
            QVERIFY(QDir().rename(path, aside));
        }
        QVERIFY(gone.wait());
        QVERIFY(!library.Presence().IsThere());
        QVERIFY(!QFileInfo::exists(m_temp->filePath("disk/BookData")));
        QCOMPARE(m_told, QStringList{});
        if (copy) {
            WriteBytes(m_temp->filePath("aside/A/a1.htm"), "a1");
            WriteBytes(m_temp->filePath("aside/B/b1.htm"), "b1");
            QVERIFY(QFile::rename(m_temp->filePath("top.htm"), m_temp->filePath("aside/top.htm")));
        }
        QVERIFY(QDir().rename(aside, path));
        QVERIFY(back.wait());
        QCOMPARE(gone.size(), 1);
        QVERIFY(library.Presence().IsThere());
        const TqbFolderListing top = library.List(m_root);
        QCOMPARE(top.Folders.size(), 2);
        QCOMPARE(top.NoteFiles.value(0).Name, QStringLiteral("top.htm"));
    }

    // Neither a new folder nor a trash half happens on a full disk: each says why.
    void fullDiskChangesNothing() {
        TqbSmallDisk disk(256 * 1024);
        if (!disk.IsMounted())
            QSKIP(qPrintable("no small disk: " + disk.Error()));
        m_root = disk.FilePath("BookData");
        WriteBytes(Lib("note.htm"), "note");
        TqbLibrary library(m_asker);
        library.SetRoot(m_root);
        Watch(library);
        disk.Fill();
        QVERIFY(!library.CreateFolder(Lib("새 폴더"), {"<HTML></HTML>"}));
        QVERIFY(!library.Trash(Lib("note.htm")));
        QCOMPARE(m_asker.Calls.size(), 2);
        for (const QString& call : std::as_const(m_asker.Calls))
            QVERIFY2(call.startsWith("message ") && call.contains(qt_error_string(ENOSPC)),
                     qPrintable(call));
        QVERIFY(!QFileInfo::exists(Lib("새 폴더")));
        QCOMPARE(ReadBytes(Lib("note.htm")), QByteArray("note"));
        QCOMPARE(m_told, QStringList{});
    }
};

QTEST_GUILESS_MAIN(tst_Library)
#include "tst_Library.moc"
