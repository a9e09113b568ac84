// Another program's changes to the library reach the tree while it shows: added, removed and
// renamed notes and folders, with the open folders, the selection and the open document kept.
#include "common/qbTestFiles.h"
#include "common/qbTreeRows.h"
#include "library/UserFileName.h"
#include "library/qbLibraryWatcher.h"
#include "library/qbTree.h"
#include "platform/qbTextFile.h"
#include "qbFakeTreeHost.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_TreeWatch : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_root;
    TFakeHost m_host;
    std::unique_ptr<TqbLibrary> m_library;
    std::unique_ptr<TqbTree> m_tree;

    QString Lib(const QString& rel) const { return rel.isEmpty() ? m_root : m_root + u'/' + rel; }
    QPersistentModelIndex Find(const QString& text) const { return qbRowOf(*m_tree, text); }
    // The tree as it shows: "*" marks the selection, "[...]" an open folder's contents.
    QString Shape(const QModelIndex& node = {}) const {
        QStringList parts;
        for (int i = 0; i < m_tree->model()->rowCount(node); ++i) {
            const QModelIndex child = m_tree->model()->index(i, 0, node);
            QString part = child.data().toString() + (child == m_tree->currentIndex() ? "*" : "");
            if (m_tree->isExpanded(child))
                part += '[' + Shape(child) + ']';
            parts << part;
        }
        return parts.join(' ');
    }
    QStringList Watched(const QStringList& rels) const {
        QStringList paths;
        for (const QString& rel : rels)
            paths << Lib(rel);
        paths.sort();
        return paths;
    }

private slots:
    void init() {
        m_temp = std::make_unique<QTemporaryDir>();
        m_root = MakeSampleLibrary(m_temp->path());
        m_host.Calls.clear();
        m_library = std::make_unique<TqbLibrary>(m_host);
        m_tree = std::make_unique<TqbTree>(m_host, *m_library, nullptr);
        m_host.Attach(*m_library, m_tree.get());
        m_tree->LoadRoot(m_root);
        m_tree->ExpandFolder(Find("A"));
        m_tree->ExpandFolder(Find("Sub"));
        m_tree->setCurrentIndex(Find("a1"));
        QCOMPARE(Shape(), QStringLiteral("A[Sub[s1] a1*] B top"));
        // Open folders, the closed B for its arrow and the open note are watched.
        QTRY_COMPARE(m_tree->Watcher().Watched(), Watched({"", "A", "A/Sub", "A/a1.htm", "B"}));
    }
    void cleanup() {
        m_tree.reset();
        m_library.reset();
    }

    void outsideChangesShow_data() {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("openPath");
        QTest::newRow("note added") << "add"
                                    << "A/a0.htm"
                                    << ""
                                    << "A[Sub[s1] a0 a1*] B top"
                                    << "A/a1.htm";
        QTest::newRow("note removed") << "remove"
                                      << "top.htm"
                                      << ""
                                      << "A[Sub[s1] a1*] B"
                                      << "A/a1.htm";
        QTest::newRow("open note removed") << "remove"
                                           << "A/a1.htm"
                                           << ""
                                           << "A[Sub[s1]] B top"
                                           << "A/a1.htm";
        QTest::newRow("note renamed") << "rename"
                                      << "top.htm"
                                      << "zz.htm"
                                      << "A[Sub[s1] a1*] B zz"
                                      << "A/a1.htm";
        QTest::newRow("open note renamed") << "rename"
                                           << "A/a1.htm"
                                           << "A/a9.htm"
                                           << "A[Sub[s1] a9*] B top"
                                           << "A/a9.htm";
        QTest::newRow("open note written anew, then renamed") << "write, rename"
                                                              << "A/a1.htm"
                                                              << "A/a9.htm"
                                                              << "A[Sub[s1] a9*] B top"
                                                              << "A/a9.htm";
        QTest::newRow("open note swapped with another") << "swap"
                                                        << "A/a1.htm"
                                                        << "top.htm"
                                                        << "A[Sub[s1] a1] B top*"
                                                        << "top.htm";
        QTest::newRow("folder added") << "add"
                                      << "C/c1.htm"
                                      << ""
                                      << "A[Sub[s1] a1*] B C top"
                                      << "A/a1.htm";
        QTest::newRow("folder removed") << "remove"
                                        << "B"
                                        << ""
                                        << "A[Sub[s1] a1*] top"
                                        << "A/a1.htm";
        QTest::newRow("open folder renamed") << "rename"
                                             << "A/Sub"
                                             << "A/Sub2"
                                             << "A[Sub2[s1] a1*] B top"
                                             << "A/a1.htm";
        QTest::newRow("folder above the open note renamed") << "rename"
                                                            << "A"
                                                            << "A2"
                                                            << "A2[Sub[s1] a1*] B top"
                                                            << "A2/a1.htm";
        QTest::newRow("folder above the open note renamed to a later place")
            << "rename"
            << "A"
            << "C"
            << "B C[Sub[s1] a1*] top"
            << "C/a1.htm";
        QTest::newRow("open note moved to an open folder") << "rename"
                                                           << "A/a1.htm"
                                                           << "A/Sub/a1.htm"
                                                           << "A[Sub[a1* s1]] B top"
                                                           << "A/Sub/a1.htm";
        QTest::newRow("open note moved to the top level") << "rename"
                                                          << "A/a1.htm"
                                                          << "a1.htm"
                                                          << "A[Sub[s1]] B a1* top"
                                                          << "a1.htm";
        QTest::newRow("open note moved to a closed folder") << "rename"
                                                            << "A/a1.htm"
                                                            << "B/a1.htm"
                                                            << "A[Sub[s1]] B[a1* b1] top"
                                                            << "B/a1.htm";
        QTest::newRow("folder above the open note moved") << "rename"
                                                          << "A"
                                                          << "B/A"
                                                          << "B[A[Sub a1*] b1] top"
                                                          << "B/A/a1.htm";
        QTest::newRow("open note moved to a folder not shown") << "rename"
                                                               << "A/a1.htm"
                                                               << "B/Deep/a1.htm"
                                                               << "A[Sub[s1]] B[Deep[a1*] b1] top"
                                                               << "B/Deep/a1.htm";
        QTest::newRow("open folder moved to a closed folder") << "rename"
                                                              << "A/Sub"
                                                              << "B/Sub"
                                                              << "A[a1*] B[Sub b1] top"
                                                              << "A/a1.htm";
    }
    void outsideChangesShow() {
        QFETCH(QString, op);
        QFETCH(QString, path);
        QFETCH(QString, to);
        QFETCH(QString, shape);
        QFETCH(QString, openPath);
        QSignalSpy refreshed(m_tree.get(), &TqbTree::FoldersRefreshed);
        if (op == "add")
            WriteBytes(Lib(path), "new");
        else if (op == "remove")
            QVERIFY(QFileInfo(Lib(path)).isDir() ? QDir(Lib(path)).removeRecursively()
                                                 : QFile::remove(Lib(path)));
        else if (op == "swap")
            QVERIFY(QDir().rename(Lib(path), Lib(path) + ".t") &&
                    QDir().rename(Lib(to), Lib(path)) && QDir().rename(Lib(path) + ".t", Lib(to)));
        if (op == "write, rename") {
            // Written as every save writes: a new file under the old name.
            qbText::WriteFileBytes(Lib(path), "written");
            m_library->NoteWritten(Lib(path));
        }
        if (op.endsWith("rename"))
            QVERIFY(QDir().mkpath(QFileInfo(Lib(to)).path()) && QDir().rename(Lib(path), Lib(to)));
        QVERIFY(refreshed.wait());
        QCOMPARE(Shape(), shape);
        QCOMPARE(m_tree->OpenPath(), Lib(openPath));
        // Nothing was opened, saved or closed for it.
        QCOMPARE(m_host.Calls.filter("open ").size(), 1);
        QVERIFY(m_host.Calls.filter("discard").isEmpty());
    }

    // A copy the program wrote beside the open note, deleted by another program, leaves no
    // trace behind that a later rename could trip over.
    void writtenCopyGoneThenRename() {
        QSignalSpy refreshed(m_tree.get(), &TqbTree::FoldersRefreshed);
        const QString copy = Lib(QStringLiteral("A/a1 - 사본.htm"));
        WriteBytes(copy, "copy");
        m_tree->ShowWrittenNote(copy);
        QCOMPARE(Shape(), QStringLiteral("A[Sub[s1] a1* a1 - 사본] B top"));
        QVERIFY(QFile::remove(copy));
        QTRY_COMPARE(Shape(), QStringLiteral("A[Sub[s1] a1*] B top"));
        refreshed.clear();
        QVERIFY(QDir().rename(Lib("top.htm"), Lib("zz.htm")));
        QVERIFY(refreshed.wait());
        QCOMPARE(Shape(), QStringLiteral("A[Sub[s1] a1*] B zz"));
        QCOMPARE(m_tree->OpenPath(), Lib("A/a1.htm"));
    }

    // A sync engine's conflict copy is no row: it marks its original (a folder by its page), and
    // the library counts the notes so marked, those in folders never shown too.
    void conflictCopyMarksItsOriginal() {
        const TqbConflictIndex& conflicts = m_library->Store().Conflicts();
        const auto marked = [this](const QString& text) {
            return Find(text).data(TqbTree::ConflictRole).toBool();
        };
        const QString copy = Lib("A/a1.sync-conflict-20261209-101010-ABCDEFG.htm");
        WriteBytes(Lib("A/___폴더설명.qb"), "page");
        WriteBytes(Lib("A/___폴더설명 (conflicted copy 2026-12-09 101010).qb"), "page 2");
        WriteBytes(copy, "a1 elsewhere");
        QTRY_VERIFY(marked("a1") && marked("A"));
        QTRY_COMPARE(conflicts.Count(), 2);
        QCOMPARE(Shape(), QStringLiteral("A[Sub[s1] a1*] B top"));
        QVERIFY(!marked("top") && !marked("Sub"));
        QVERIFY(QFile::remove(copy));
        QTRY_VERIFY(!marked("a1"));
        QTRY_COMPARE(conflicts.Count(), 1);

        WriteBytes(Lib("B/b1 (Kim's conflicted copy 2026-12-09).htm"), "b1 elsewhere");
        QSignalSpy learned(&m_library->Store(), &TqbLibraryStore::Learned);
        m_tree->LoadRoot(m_root);
        QVERIFY(learned.wait());
        QCOMPARE(conflicts.Count(), 2);
        QCOMPARE(qbConflictCountText(conflicts.Count()),
                 QStringLiteral("충돌 사본이 있는 노트 2개"));
        m_tree->ExpandFolder(Find("B"));
        QCOMPARE(Shape(), QStringLiteral("A B[b1] top"));
        QVERIFY(marked("b1"));
    }

    // Our own operations leave nothing for the watcher to merge: the only refresh is the one
    // another program causes afterwards, in another folder.
    void ownChangesAreNoOutsideChanges_data() {
        QTest::addColumn<QString>("op");
        QTest::newRow("rename") << "rename";
        QTest::newRow("delete") << "delete";
        QTest::newRow("move") << "move";
        QTest::newRow("kept copy") << "copy";
    }
    void ownChangesAreNoOutsideChanges() {
        QFETCH(QString, op);
        m_tree->ExpandFolder(Find("B"));
        QTRY_VERIFY(m_tree->Watcher().Watched().contains(Lib("B")));
        m_tree->SetDialogRunner([](QDialog& dialog) {
            auto& name = dynamic_cast<TfrmUserFileName&>(dialog);
            name.edtName->setText("a2");
            name.btnConfirmClick();
            return name.result() == QDialog::Accepted;
        });
        QSignalSpy refreshed(m_tree.get(), &TqbTree::FoldersRefreshed);
        if (op == "rename")
            m_tree->RenameNode(Find("a1"));
        else if (op == "delete")
            m_tree->DeleteNode(Find("s1"));
        else if (op == "move")
            m_tree->MoveNode(Find("Sub"), Find("a1"));
        else {
            WriteBytes(Lib("A/a1 - 사본.htm"), "copy");
            m_tree->ShowWrittenNote(Lib("A/a1 - 사본.htm"));
        }
        const QString shape = Shape();
        WriteBytes(Lib("B/b2.htm"), "b2");
        QVERIFY(refreshed.wait());
        QCOMPARE(refreshed.size(), 1);
        QCOMPARE(refreshed.at(0).at(0).toStringList(), QStringList{Lib("B")});
        QCOMPARE(Shape(), QString(shape).replace("b1]", "b1 b2]"));
    }

    // A closed folder shows its expand arrow as soon as it has entries, and loses it when emptied.
    void closedFolderArrow_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("note");
        QTest::addColumn<bool>("arrow");
        // Opened afterwards.
        QTest::addColumn<QString>("shape");
        QTest::newRow("first entry") << "E"
                                     << "E/e1.htm" << true << "A[Sub[s1] a1*] B E[e1] top";
        QTest::newRow("last entry gone") << "B"
                                         << "B/b1.htm" << false << "A[Sub[s1] a1*] B top";
        QTest::newRow("listed before, last entry gone")
            << "A/Sub"
            << "A/Sub/s1.htm" << false << "A[Sub a1*] B top";
    }
    void closedFolderArrow() {
        QFETCH(QString, folder);
        QFETCH(QString, note);
        QFETCH(bool, arrow);
        QFETCH(QString, shape);
        const QString name = QFileInfo(folder).fileName();
        QSignalSpy refreshed(m_tree.get(), &TqbTree::FoldersRefreshed);
        if (!QFileInfo::exists(Lib(folder))) {
            QVERIFY(QDir().mkdir(Lib(folder)));
            QVERIFY(refreshed.wait());
        }
        m_tree->collapse(Find(name));
        QTRY_VERIFY(m_tree->Watcher().Watched().contains(Lib(folder)));
        QCOMPARE(m_tree->model()->hasChildren(Find(name)), !arrow);
        if (arrow)
            WriteBytes(Lib(note), "new");
        else
            QVERIFY(QFile::remove(Lib(note)));
        QVERIFY(refreshed.wait());
        QCOMPARE(m_tree->model()->hasChildren(Find(name)), arrow);
        QVERIFY(!m_tree->isExpanded(Find(name)));
        m_tree->ExpandFolder(Find(name));
        QCOMPARE(Shape(), shape);
    }

    void refreshKeepsOpenFoldersAndSelection() {
        m_tree->SetContextNode(Find("B"));
        m_tree->PopupCut();
        WriteBytes(Lib("C/c1.htm"), "c1");
        QFile::remove(Lib("top.htm"));
        m_tree->PopupRefresh();
        QCOMPARE(Shape(), QStringLiteral("A[Sub[s1] a1*] B C"));
        QVERIFY(!m_tree->CutNode().isValid());
    }

    // A closed folder listed before stays watched, and what it held: another program's change
    // there is merged at once (the library follows renames as they happen) and shows when it
    // opens.
    void aClosedFolderStaysWatched() {
        m_tree->collapse(Find("A"));
        QTRY_COMPARE(m_tree->Watcher().Watched(), Watched({"", "A", "A/Sub", "A/a1.htm", "B"}));
        QSignalSpy refreshed(m_tree.get(), &TqbTree::FoldersRefreshed);
        WriteBytes(Lib("A/Sub/s2.htm"), "s2");
        QVERIFY(refreshed.wait());
        QCOMPARE(refreshed.at(0).at(0).toStringList(), QStringList{Lib("A/Sub")});
        m_tree->ExpandFolder(Find("A"));
        QCOMPARE(Shape(), QStringLiteral("A[Sub[s1 s2] a1*] B top"));
    }

    // B was never listed: the library learned what is in it all the same.
    // Listed at the start by nobody, or brought in whole by another program while running.
    void aFolderNeverListedIsFollowed_data() {
        QTest::addColumn<bool>("broughtIn");
        QTest::newRow("there at the start") << false;
        QTest::newRow("brought in later") << true;
    }
    void aFolderNeverListedIsFollowed() {
        QFETCH(bool, broughtIn);
        const QString made = broughtIn ? m_temp->filePath("elsewhere/Deep") : Lib("B/Deep");
        WriteBytes(made + "/d1.htm", "d1");
        QSignalSpy learned(&m_library->Store(), &TqbLibraryStore::Learned);
        m_tree->LoadRoot(m_root);
        QVERIFY(learned.wait());
        if (broughtIn)
            QVERIFY(QDir().rename(made, Lib("B/Deep")));
        QTRY_VERIFY(m_tree->Watcher().Watched().contains(Lib("B/Deep")));
        QSignalSpy moved(m_library.get(), &TqbLibrary::Moved);
        QVERIFY(QDir().rename(Lib("B/Deep/d1.htm"), Lib("B/Deep/d2.htm")));
        QVERIFY(moved.wait());
        QCOMPARE(moved.at(0), (QVariantList{Lib("B/Deep/d1.htm"), Lib("B/Deep/d2.htm")}));
        QCOMPARE(Shape(), QStringLiteral("A B top"));
    }

    // A root that goes is no deletion of what it holds: the tree says so in place of its rows,
    // the open note stays open, nothing there is watched, made or asked; back, the tree lists it
    // again with the open note selected.
    void libraryGoneAndBack_data() {
        QTest::addColumn<bool>("deleted"); // else moved away
        QTest::newRow("moved away") << false;
        QTest::newRow("deleted, a copy put back") << true;
    }
    void libraryGoneAndBack() {
        QFETCH(bool, deleted);
        const QString aside =
            deleted ? MakeSampleLibrary(m_temp->filePath("copy")) : m_root + ".away";
        QSignalSpy gone(&m_library->Presence(), &TqbRootPresence::Gone);
        QSignalSpy back(&m_library->Presence(), &TqbRootPresence::Back);
        // The open note would weigh its file gone, and be closed.
        QSignalSpy seen(m_tree.get(), &TqbTree::OutsideChangeSeen);
        const QStringList before = m_host.Calls;
        QVERIFY(deleted ? QDir(m_root).removeRecursively() : QDir().rename(m_root, aside));
        QVERIFY(gone.wait());
        QVERIFY(m_tree->ShowsLibraryGone());
        QCOMPARE(Shape(), QString());
        const auto* label = m_tree->findChild<QLabel*>("libraryGone");
        QVERIFY(label && !label->isHidden());
        QVERIFY(label->text().startsWith(TqbTree::LibraryGoneMessage.arg(m_root) + "\n\n"));
        QCOMPARE(m_tree->Watcher().Watched(), QStringList{});
        m_tree->NewNote(true);
        m_tree->NewFolder(true);
        QVERIFY(!QFileInfo::exists(m_root));
        QVERIFY(QDir().rename(aside, m_root));
        QVERIFY(back.wait());
        QVERIFY(!m_tree->ShowsLibraryGone());
        QVERIFY(label->isHidden());
        QCOMPARE(Shape(), QStringLiteral("A[Sub a1*] B top"));
        QCOMPARE(m_tree->OpenPath(), Lib("A/a1.htm"));
        QCOMPARE(m_host.Calls.mid(before.size()),
                 QStringList(2, "message " + TqbTree::LibraryGoneMessage.arg(m_root)));
        QCOMPARE(seen.size(), 0);
        QTRY_COMPARE(m_tree->Watcher().Watched(), Watched({"", "A", "A/Sub", "A/a1.htm", "B"}));
    }

    void firstShownRowStays() {
        for (int i = 0; i < 60; ++i)
            WriteBytes(Lib(QStringLiteral("n%1.htm").arg(i, 2, 10, QLatin1Char('0'))), "n");
        m_tree->PopupRefresh();
        m_tree->resize(200, 200);
        m_tree->show();
        m_tree->scrollTo(Find("n30"), QAbstractItemView::PositionAtTop);
        QCOMPARE(m_tree->indexAt(QPoint(1, 1)), QModelIndex(Find("n30")));
        QSignalSpy refreshed(m_tree.get(), &TqbTree::FoldersRefreshed);
        WriteBytes(Lib("A/a0.htm"), "a0");
        WriteBytes(Lib("B0/b.htm"), "b");
        QVERIFY(refreshed.wait());
        QCOMPARE(m_tree->indexAt(QPoint(1, 1)), QModelIndex(Find("n30")));
    }
};

QTEST_MAIN(tst_TreeWatch)
#include "tst_TreeWatch.moc"
