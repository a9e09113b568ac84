// The library's rows without a view: its answers through plain calls, and the model checked by
// Qt's model tester while the library changes. The tester reads every folder (it fetches all it
// can), so the calls that show what is not read yet go without it.
#include "common/qbFakeAsker.h"
#include "common/qbTestFiles.h"
#include "library/qbLibrary.h"
#include "library/qbLibraryModel.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QDir>
#include <QPersistentModelIndex>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class tst_LibraryModel : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_root;
    TqbFakeAsker m_asker;
    std::unique_ptr<TqbLibrary> m_library;
    std::unique_ptr<TqbLibraryModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;

    QString Lib(const QString& rel) const { return m_root + u'/' + rel; }

    // Every row read so far, one a line, indented by depth: a folder ends with "/", and one not
    // read yet that holds something with "/+".
    QString Dump(const QModelIndex& parent = {}, int depth = 0) const {
        QString text;
        for (int row = 0; row < m_model->rowCount(parent); ++row) {
            const QModelIndex index = m_model->index(row, 0, parent);
            text += QString(depth * 2, u' ') + index.data().toString();
            if (m_model->IsFolder(index))
                text += m_model->IsUnlisted(index) ? "/+" : "/";
            text += u'\n';
            text += Dump(index, depth + 1);
        }
        return text;
    }

    void Fetch(const QString& itemPath) {
        const QModelIndex index = m_model->IndexOf(Lib(itemPath));
        QVERIFY2(index.isValid(), qPrintable(itemPath));
        m_model->fetchMore(index);
    }

private slots:
    void init() {
        m_temp = std::make_unique<QTemporaryDir>();
        m_root = MakeSampleLibrary(m_temp->path());
        for (const char* rel : {"노트 10.htm", "노트 2.htm", "b.HTM", "가.htm", "A/Sub2/.hidden",
                                "x.html", "E/.keep"})
            WriteBytes(Lib(QString::fromUtf8(rel)), "x");
        QVERIFY(QDir().mkpath(Lib("Empty")));
        m_asker = {};
        m_library = std::make_unique<TqbLibrary>(m_asker);
        m_library->SetRoot(m_root);
        m_model = std::make_unique<TqbLibraryModel>(*m_library);
        m_model->LoadRoot();
    }

    void cleanup() {
        m_tester.reset();
        m_model.reset();
        m_library.reset();
        QCOMPARE(m_asker.Calls, QStringList{});
    }

    // Folders first, then notes by their names without the extension, numbers by their value; a
    // folder is read when fetched, and one holding only hidden entries has nothing to show.
    void listsLazilyInTheNamesOrder() {
        QCOMPARE(Dump(), "A/+\nB/+\nE/\nEmpty/\n가\n노트 2\n노트 10\nb\ntop\n");
        Fetch("A/");
        Fetch("A/Sub/");
        QCOMPARE(Dump(),
                 "A/\n  Sub/\n    s1\n  Sub2/\n  a1\nB/+\nE/\nEmpty/\n가\n노트 2\n노트 10\nb\n"
                 "top\n");
        QVERIFY(m_model->IsListed(m_root));
        QVERIFY(m_model->IsListed(Lib("A")));
        QVERIFY(!m_model->IsListed(Lib("B")));
        QVERIFY(!m_model->canFetchMore(m_model->IndexOf(Lib("A/"))));
        QCOMPARE(m_model->IndexOf(Lib("b.HTM")).data(TqbLibraryModel::FileNameRole).toString(),
                 "b.HTM");
        QCOMPARE(m_model->IndexOf(Lib("A/")).data(TqbLibraryModel::ImageIndexRole).toInt(),
                 int(TqbLibraryModel::FolderImage));
        QCOMPARE(m_model->IndexOf(Lib("top.htm")).data(TqbLibraryModel::ImageIndexRole).toInt(),
                 int(TqbLibraryModel::NoteImage));
    }

    // The row of an item path, and the item path of that row; by the names the rows show, a
    // note's extension may be written in another case.
    void rowOfAPath_data() {
        QTest::addColumn<QString>("itemPath");
        QTest::addColumn<QString>("text"); // empty: no row
        QTest::addColumn<QString>("shown"); // the row found by the names shown
        QTest::newRow("top-level note") << "top.htm"
                                        << "top"
                                        << "top";
        QTest::newRow("note by its own extension") << "b.HTM"
                                                   << "b"
                                                   << "b";
        QTest::newRow("note by another case of its extension") << "b.htm"
                                                               << ""
                                                               << "b";
        QTest::newRow("folder") << "A/"
                                << "A"
                                << "A";
        QTest::newRow("folder without its slash is no note") << "A"
                                                             << ""
                                                             << "";
        QTest::newRow("note in a listed folder") << "A/a1.htm"
                                                 << "a1"
                                                 << "a1";
        QTest::newRow("folder in a listed folder") << "A/Sub/"
                                                   << "Sub"
                                                   << "Sub";
        QTest::newRow("note in a folder not read yet") << "B/b1.htm"
                                                       << ""
                                                       << "";
        QTest::newRow("missing") << "A/zz.htm"
                                 << ""
                                 << "";
        QTest::newRow("the top level") << ""
                                       << ""
                                       << "";
    }

    void rowOfAPath() {
        QFETCH(QString, itemPath);
        QFETCH(QString, text);
        Fetch("A/");
        const QModelIndex index = m_model->IndexOf(Lib(itemPath));
        QCOMPARE(index.data().toString(), text);
        QCOMPARE(m_model->ItemPath(index), text.isEmpty() ? QString() : Lib(itemPath));
        QCOMPARE(index.data(TqbLibraryModel::ItemPathRole).toString(),
                 text.isEmpty() ? QString() : Lib(itemPath));
        QVERIFY(!m_model->IndexOf(m_temp->filePath("elsewhere/" + itemPath)).isValid());
        QTEST(m_model->IndexOf(Lib(itemPath), true).data().toString(), "shown");
    }

    // The note tree lists a folder itself, when the user opens it: a view's own fetch reads
    // nothing then. A folder whose listing shows nothing (only a text file) stays unread and keeps
    // its expand arrow, and is listed again at the next try.
    void listingOnDemand() {
        m_model->SetListOnFetch(false);
        WriteBytes(Lib("T/w.txt"), "x");
        QVERIFY(m_model->Refresh(m_root));
        const QModelIndex a = m_model->IndexOf(Lib("A/"));
        QVERIFY(m_model->IsUnlisted(a) && !m_model->canFetchMore(a));
        m_model->fetchMore(a);
        QVERIFY(m_model->IsUnlisted(a));
        const QModelIndex t = m_model->IndexOf(Lib("T/"));
        for (int attempt = 0; attempt < 2; ++attempt) {
            m_model->List(t);
            QVERIFY(m_model->IsUnlisted(t) && m_model->hasChildren(t));
            QCOMPARE(m_model->rowCount(t), 0);
        }
        WriteBytes(Lib("T/n.htm"), "x");
        m_model->List(t);
        m_model->List(a);
        QVERIFY(!m_model->IsUnlisted(t) && !m_model->IsUnlisted(a));
        QCOMPARE(Dump(), "A/\n  Sub/+\n  Sub2/\n  a1\nB/+\nE/\nEmpty/\nT/\n  n\n가\n노트 2\n"
                         "노트 10\nb\ntop\n");
        m_model->List(m_model->IndexOf(Lib("top.htm")));
        QVERIFY(!m_model->IsUnlisted(m_model->IndexOf(Lib("top.htm"))));
    }

    // A sync engine's conflict copy is no row: it marks its original, and a folder by its page
    // once the folder is read; listing it again puts the mark on and takes it off.
    void conflictCopiesMarkTheirOriginals() {
        const QString copy = Lib("A/a1.sync-conflict-20261209-101010-ABCDEFG.htm");
        const QString pageCopy = Lib("A/___폴더설명 (conflicted copy 2026-12-09 101010).qb");
        WriteBytes(Lib("A/___폴더설명.qb"), "page");
        WriteBytes(pageCopy, "page 2");
        WriteBytes(copy, "a1 elsewhere");
        const auto marked = [this](const QString& itemPath) {
            const QModelIndex index = m_model->IndexOf(Lib(itemPath));
            const bool conflict = index.data(TqbLibraryModel::ConflictRole).toBool();
            // Drawn so, or not at all.
            const QVariant colour = index.data(Qt::ForegroundRole);
            if (index.data(Qt::ToolTipRole) !=
                    (conflict ? QVariant(TqbLibraryModel::ConflictTip) : QVariant()) ||
                (conflict ? colour.value<QBrush>().color() != TqbLibraryModel::ConflictColor
                          : colour.isValid()))
                return QStringLiteral("drawn otherwise");
            return conflict ? QStringLiteral("marked") : QStringLiteral("");
        };
        QCOMPARE(marked("A/"), "");
        Fetch("A/");
        QCOMPARE(Dump(), "A/\n  Sub/+\n  Sub2/\n  a1\nB/+\nE/\nEmpty/\n가\n노트 2\n노트 10\nb\n"
                         "top\n");
        QCOMPARE(marked("A/"), "marked");
        QCOMPARE(marked("A/a1.htm"), "marked");
        QCOMPARE(marked("A/Sub/") + marked("top.htm"), "");
        QVERIFY(QFile::remove(copy) && QFile::remove(pageCopy));
        QVERIFY(!m_model->Refresh(Lib("A")));
        QCOMPARE(marked("A/") + marked("A/a1.htm"), "");
        WriteBytes(copy, "a1 elsewhere again");
        QVERIFY(!m_model->Refresh(Lib("A")));
        QCOMPARE(marked("A/a1.htm"), "marked");
    }

    // The library's own operations show in the rows (A and the top level read); a row that moves
    // keeps its index, open rows inside a moved folder go with it.
    void followsTheLibrary_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("to"); // a move's "": the top level
        QTest::addColumn<QString>("dump");
        QTest::addColumn<QString>("heldAt"); // where the row of path is afterwards; "": gone

        const QString rest = "B/+\nE/\nEmpty/\n가\n노트 2\n노트 10\nb\ntop\n";
        QTest::newRow("new note") << "note"
                                  << "A/n.htm"
                                  << ""
                                  << "A/\n  Sub/+\n  Sub2/\n  a1\n  n\n" + rest << "";
        QTest::newRow("new note in a folder not read") << "note"
                                                       << "B/n.htm"
                                                       << ""
                                                       << "A/\n  Sub/+\n  Sub2/\n  a1\n" + rest
                                                       << "";
        QTest::newRow("new note in a folder that held nothing")
            << "note"
            << "E/n.htm"
            << ""
            << "A/\n  Sub/+\n  Sub2/\n  a1\nB/+\nE/\n  n\nEmpty/\n가\n노트 2\n노트 10\nb\ntop\n"
            << "";
        QTest::newRow("new folder") << "folder"
                                    << "A/F"
                                    << ""
                                    << "A/\n  F/\n  Sub/+\n  Sub2/\n  a1\n" + rest << "";
        QTest::newRow("rename note to its place in the order")
            << "rename"
            << "top.htm"
            << "노트 3.htm"
            << "A/\n  Sub/+\n  Sub2/\n  a1\nB/+\nE/\nEmpty/\n가\n노트 2\n노트 3\n노트 10\nb\n"
            << "노트 3.htm";
        QTest::newRow("rename folder, its rows read go with it")
            << "rename"
            << "A/"
            << "C/"
            << "B/+\nC/\n  Sub/+\n  Sub2/\n  a1\nE/\nEmpty/\n가\n노트 2\n노트 10\nb\ntop\n"
            << "C/";
        QTest::newRow("move note into a read folder")
            << "move"
            << "top.htm"
            << "A"
            << "A/\n  Sub/+\n  Sub2/\n  a1\n  top\nB/+\nE/\nEmpty/\n가\n노트 2\n노트 10\nb\n"
            << "A/top.htm";
        QTest::newRow("move note into a folder not read") << "move"
                                                          << "A/a1.htm"
                                                          << "B"
                                                          << "A/\n  Sub/+\n  Sub2/\n" + rest << "";
        QTest::newRow("move note into an empty folder")
            << "move"
            << "top.htm"
            << "Empty"
            << "A/\n  Sub/+\n  Sub2/\n  a1\nB/+\nE/\nEmpty/\n  top\n가\n노트 2\n노트 10\nb\n"
            << "Empty/top.htm";
        QTest::newRow("move folder to the top")
            << "move"
            << "A/Sub/"
            << ""
            << "A/\n  Sub2/\n  a1\nB/+\nE/\nEmpty/\nSub/+\n가\n노트 2\n노트 10\nb\ntop\n"
            << "Sub/";
        QTest::newRow("trash note") << "trash"
                                    << "A/a1.htm"
                                    << ""
                                    << "A/\n  Sub/+\n  Sub2/\n" + rest << "";
        QTest::newRow("trash folder") << "trash"
                                      << "A/"
                                      << ""
                                      << "B/+\nE/\nEmpty/\n가\n노트 2\n노트 10\nb\ntop\n"
                                      << "";
    }

    void followsTheLibrary() {
        QFETCH(QString, operation);
        QFETCH(QString, path);
        QFETCH(QString, to);
        QFETCH(QString, dump);
        QFETCH(QString, heldAt);
        Fetch("A/");
        const QPersistentModelIndex held = m_model->IndexOf(Lib(path));
        const QStringList header{"<HTML></HTML>"};
        bool done = false;
        if (operation == "note")
            done = m_library->CreateNote(Lib(path), {}, header);
        else if (operation == "folder")
            done = m_library->CreateFolder(Lib(path), header);
        else if (operation == "rename")
            done = m_library->Rename(Lib(path), Lib(to));
        else if (operation == "move")
            done = m_library->Move(Lib(path), to.isEmpty() ? m_root : Lib(to));
        else if (operation == "trash")
            done = m_library->Trash(Lib(path));
        QVERIFY(done);
        QCOMPARE(Dump(), dump);
        if (!heldAt.isEmpty()) {
            QCOMPARE(m_model->ItemPath(held), Lib(heldAt));
            QCOMPARE(m_model->IndexOf(Lib(heldAt)), QModelIndex(held));
        } else if (operation == "move" || operation == "trash") {
            QVERIFY(!held.isValid());
        }
    }

    // Another program's changes, merged when a folder is listed again.
    void refresh_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("dir"); // "": the top level
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("dump");

        const QString a = "A/\n  Sub/+\n  Sub2/\n  a1\n";
        QTest::newRow("nothing") << ""
                                 << "" << false
                                 << a + "B/+\nE/\nEmpty/\n가\n노트 2\n노트 10\nb\ntop\n";
        QTest::newRow("notes come and go")
            << "rm top.htm; add 나.htm; add 0.htm"
            << "" << true << a + "B/+\nE/\nEmpty/\n0\n가\n나\n노트 2\n노트 10\nb\n";
        QTest::newRow("a folder appears")
            << "add D/d.htm"
            << "" << true << a + "B/+\nD/+\nE/\nEmpty/\n가\n노트 2\n노트 10\nb\ntop\n";
        QTest::newRow("rename in a read folder")
            << "mv A/a1.htm A/a0.htm"
            << "A" << true
            << "A/\n  Sub/+\n  Sub2/\n  a0\nB/+\nE/\nEmpty/\n가\n노트 2\n노트 10\nb\ntop\n";
        QTest::newRow("a folder not read is emptied")
            << "rm B/b1.htm"
            << "B" << true << a + "B/\nE/\nEmpty/\n가\n노트 2\n노트 10\nb\ntop\n";
        QTest::newRow("a read empty folder is filled")
            << "add A/Sub2/n.htm"
            << "A" << true
            << "A/\n  Sub/+\n  Sub2/+\n  a1\nB/+\nE/\nEmpty/\n가\n노트 2\n노트 10\nb\ntop\n";
        QTest::newRow("a folder read is emptied")
            << "rm A/a1.htm; rm A/Sub2/.hidden; rmdir A/Sub2; "
               "rm A/Sub/s1.htm; rmdir A/Sub"
            << "A" << true << "A/\nB/+\nE/\nEmpty/\n가\n노트 2\n노트 10\nb\ntop\n";
        QTest::newRow("a folder not shown")
            << "add B/n.htm"
            << "B/Deeper" << false << a + "B/+\nE/\nEmpty/\n가\n노트 2\n노트 10\nb\ntop\n";
    }

    void refresh() {
        QFETCH(QString, change);
        QFETCH(QString, dir);
        QFETCH(bool, changed);
        QFETCH(QString, dump);
        Fetch("A/");
        for (const QString& step : change.split(u';', Qt::SkipEmptyParts)) {
            const QStringList words = step.trimmed().split(u' ');
            if (words[0] == "rm")
                QVERIFY(QFile::remove(Lib(words[1])));
            else if (words[0] == "rmdir")
                QVERIFY(QDir().rmdir(Lib(words[1])));
            else if (words[0] == "add")
                WriteBytes(Lib(words[1]), "x");
            else if (words[0] == "mv")
                QVERIFY(QFile::rename(Lib(words[1]), Lib(words[2])));
        }
        QCOMPARE(m_model->Refresh(dir.isEmpty() ? m_root : Lib(dir)), changed);
        QCOMPARE(Dump(), dump);
        QVERIFY(!m_model->Refresh(dir.isEmpty() ? m_root : Lib(dir)));
    }

    // Another program's rename of a closed folder, found by the library, moves the row with its
    // rows read.
    void followsAnOutsideMove() {
        Fetch("A/");
        Fetch("B/");
        // What was listed is remembered from the event loop.
        QTRY_VERIFY(!m_library->Store().Learning());
        const QPersistentModelIndex a1 = m_model->IndexOf(Lib("A/a1.htm"));
        QVERIFY(QDir().rename(Lib("A"), Lib("Zz")));
        const QList<TqbItemMove> moves = m_library->FollowOutsideMoves({m_root}, {});
        QCOMPARE(moves.size(), 1);
        QCOMPARE(Dump(),
                 "B/\n  b1\nE/\nEmpty/\nZz/\n  Sub/+\n  Sub2/\n  a1\n가\n노트 2\n노트 10\nb\n"
                 "top\n");
        QCOMPARE(m_model->ItemPath(a1), Lib("Zz/a1.htm"));
    }

    // Every kind of change checked by the model tester on the whole library read.
    void staysConsistent() {
        m_tester = std::make_unique<QAbstractItemModelTester>(
            m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(Dump(), "A/\n  Sub/\n    s1\n  Sub2/\n  a1\nB/\n  b1\nE/\nEmpty/\n가\n노트 2\n"
                         "노트 10\nb\ntop\n");
        const QStringList header{"<HTML></HTML>"};
        QVERIFY(m_library->CreateNote(Lib("A/Sub/s0.htm"), {}, header));
        QVERIFY(m_library->CreateFolder(Lib("A/0"), header));
        QVERIFY(m_library->Rename(Lib("top.htm"), Lib("노트 3.htm")));
        QVERIFY(m_library->Rename(Lib("A/"), Lib("Z/")));
        QVERIFY(m_library->Move(Lib("Z/Sub/"), Lib("B")));
        QVERIFY(m_library->Move(Lib("b.HTM"), Lib("Empty")));
        QVERIFY(m_library->Trash(Lib("B/b1.htm")));
        QCOMPARE(Dump(), "B/\n  Sub/\n    s0\n    s1\nE/\nEmpty/\n  b\nZ/\n  0/\n  Sub2/\n  a1\n"
                         "가\n노트 2\n노트 3\n노트 10\n");
        QVERIFY(QFile::rename(Lib("가.htm"), Lib("B/Sub/가.htm")));
        WriteBytes(Lib("Z/0/n.htm"), "x");
        QVERIFY(QFile::remove(Lib("노트 2.htm")));
        QVERIFY(m_model->Refresh(m_root));
        QVERIFY(m_model->Refresh(Lib("B/Sub")));
        QVERIFY(m_model->Refresh(Lib("Z/0")));
        QCOMPARE(Dump(), "B/\n  Sub/\n    가\n    s0\n    s1\nE/\nEmpty/\n  b\nZ/\n  0/\n    n\n"
                         "  Sub2/\n  a1\n노트 3\n노트 10\n");
        // The tester would read the folders again while the reset is still being told.
        m_tester.reset();
        m_model->LoadRoot();
        QCOMPARE(Dump(), "B/+\nE/\nEmpty/+\nZ/+\n노트 3\n노트 10\n");
    }

    // A name in CP949 bytes shows decoded, is no path of ours until it is renamed.
    void rawName() {
        QVERIFY(MakeRawFile(QFile::encodeName(m_root) + "/\xC0\xCF.htm"));
        QVERIFY(m_model->Refresh(m_root));
        QCOMPARE(Dump(), "A/+\nB/+\nE/\nEmpty/\n가\n노트 2\n노트 10\n일\nb\ntop\n");
        const QModelIndex raw = m_model->index(m_model->rowCount() - 3, 0);
        QCOMPARE(raw.data(TqbLibraryModel::RawNameRole).toByteArray(), "\xC0\xCF.htm");
        QVERIFY(!m_model->IndexOf(Lib("일.htm")).isValid());
        QCOMPARE(m_model->IndexOf(Lib("일.htm"), true), raw);
        QVERIFY(m_library->AdoptRawName(m_root + u'/', "\xC0\xCF.htm", "일.htm"));
        m_asker.Calls.clear();
        m_model->ForgetRawName(raw);
        QCOMPARE(m_model->IndexOf(Lib("일.htm")), raw);
        QVERIFY(!m_model->Refresh(m_root));
    }
};

QTEST_GUILESS_MAIN(tst_LibraryModel)
#include "tst_LibraryModel.moc"
