// The tree operations over a temporary library and a temporary trash.
#include "common/qbTestFiles.h"
#include "common/qbTreeRows.h"
#include "library/NewNoteName.h"
#include "library/UserFileName.h"
#include "library/qbNameRules.h"
#include "library/qbNoteInfo.h"
#include "library/qbTree.h"
#include "library/qbWaitCursorAsker.h"
#include "qbFakeTreeHost.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray ReadMaybe(const QString& path) {
    return ReadBytes(path, "<missing>");
}

// Notes whether the wait cursor is up when a question shows.
class TCursorHost : public TFakeHost {
public:
    QList<bool> Waiting;
    bool Confirm(const QString& text, bool defaultNo) override {
        Waiting << (QApplication::overrideCursor() != nullptr);
        return TFakeHost::Confirm(text, defaultNo);
    }
};

} // namespace

class tst_TreeOps : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_root;
    QString m_trash;
    TFakeHost m_host;
    std::unique_ptr<TqbLibrary> m_library;
    std::unique_ptr<TqbTree> m_tree;
    // What the next name dialog gets typed into it; empty: cancelled.
    QString m_typed;
    QString m_template;
    QString m_proposed;
    QString m_shownName;
    int m_dialogs = 0;

    QString Lib(const QString& rel) const { return m_root + u'/' + rel; }
    QPersistentModelIndex Find(const QString& text) const { return qbRowOf(*m_tree, text); }
    QStringList TopTexts() const { return qbRowTexts(*m_tree); }
    QStringList ChildTexts(const QModelIndex& node) const { return qbRowTexts(*m_tree, node); }
    QString CurrentText() const { return m_tree->currentIndex().data().toString(); }
    QStringList Trashed() const {
        return QDir(m_trash + "/Trash/files").entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }

private slots:
    void init() {
        m_temp = std::make_unique<QTemporaryDir>();
        m_root = MakeSampleLibrary(m_temp->path());
        m_trash = m_temp->filePath("xdg");
        WriteBytes(m_temp->filePath("tpl/일기.htm"), "line1\nline2\r\n\xC0\xCF\xB1\xE2");
        m_host.Templates = m_temp->filePath("tpl/");
        m_host.Calls.clear();
        m_host.Answer = true;
        m_host.SaveSucceeds = true;
        m_library = std::make_unique<TqbLibrary>(m_host);
        m_tree = std::make_unique<TqbTree>(m_host, *m_library, nullptr);
        m_host.Attach(*m_library, m_tree.get());
        m_typed.clear();
        m_template.clear();
        m_dialogs = 0;
        m_tree->SetDialogRunner([this](QDialog& dialog) {
            ++m_dialogs;
            if (auto* user = dynamic_cast<TfrmUserFileName*>(&dialog)) {
                m_shownName = user->edtName->text();
                if (m_typed.isEmpty())
                    return false;
                user->edtName->setText(m_typed);
                user->btnConfirmClick();
                return user->result() == QDialog::Accepted;
            }
            auto* note = dynamic_cast<TfrmNewNoteName*>(&dialog);
            m_proposed = note->edtName->text();
            if (m_typed.isEmpty())
                return false;
            if (m_typed != "<proposed>")
                note->edtName->setText(m_typed);
            if (m_template.isEmpty())
                note->lstTemplate->clearSelection();
            else
                note->lstTemplate->findItems(m_template, Qt::MatchExactly).value(0)->setSelected(true);
            note->btnConfirmClick();
            return note->result() == QDialog::Accepted;
        });
        m_tree->LoadRoot(m_root);
    }
    // The question in the middle of a move shows with the normal cursor; the wait cursor comes
    // back for the rest of the move, and is gone once it is done.
    void questionsShowWithoutTheWaitCursor() {
        TCursorHost host;
        TqbWaitCursorAsker asker(host);
        TqbLibrary library(asker);
        TqbTree tree(host, library, nullptr);
        host.Attach(library, &tree);
        tree.LoadRoot(m_root);
        WriteBytes(m_root + "/B/top.htm", "old");
        QVERIFY(tree.ShellMove(m_root + "/top.htm", m_root + "/B"));
        QCOMPARE(host.Waiting, QList<bool>{false});
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(ReadMaybe(m_root + "/B/top.htm"), "top");
    }

    void cleanup() {
        m_tree.reset();
        m_library.reset();
    }

    void newFolderTopLevel() {
        m_typed = "새 폴더";
        m_tree->NewFolder(false);
        QCOMPARE(m_host.Calls.value(0), QStringLiteral("edit mode"));
        QVERIFY(QFileInfo(Lib("새 폴더")).isDir());
        QCOMPARE(ReadMaybe(Lib("새 폴더/___폴더설명.qb")), QByteArray("<HTML>\xB1\xE2\xBA\xBB</HTML>\r\n"));
        // In its place among the folders (Korean names first), before the notes, and selected.
        QCOMPARE(TopTexts(), (QStringList{"새 폴더", "A", "B", "top"}));
        QCOMPARE(CurrentText(), QStringLiteral("새 폴더"));
        QCOMPARE(m_tree->OpenPath(), Lib("새 폴더/___폴더설명.qb"));
        QCOMPARE(m_host.Calls.last(), QStringLiteral("focus"));
    }

    void newFolderInsideAndBeside() {
        m_tree->setCurrentIndex(Find("A"));
        m_typed = "Inner";
        m_tree->NewFolder(false);
        QVERIFY(QFileInfo(Lib("A/Inner")).isDir());
        QCOMPARE(ChildTexts(Find("A")), (QStringList{"Inner", "Sub", "a1"}));
        // Beside a note: a sibling of it.
        m_tree->setCurrentIndex(Find("a1"));
        m_typed = "Beside";
        m_tree->NewFolder(false);
        QVERIFY(QFileInfo(Lib("A/Beside")).isDir());
        // The existence check refuses a folder that is there.
        m_typed = "Sub";
        m_tree->NewFolder(false);
        QCOMPARE(ChildTexts(Find("A")).count("Sub"), 1);
        // Forced to the top level.
        m_tree->setCurrentIndex(Find("a1"));
        m_typed = "Root";
        m_tree->NewFolder(true);
        QVERIFY(QFileInfo(Lib("Root")).isDir());
        QCOMPARE(TopTexts(), (QStringList{"A", "B", "Root", "top"}));
    }

    void newFolderCancelledOrRefused() {
        m_typed.clear();
        m_tree->NewFolder(false);
        QCOMPARE(TopTexts().size(), 3);
        for (const QString bad : {".hidden", "__images"}) {
            m_typed = bad;
            m_tree->NewFolder(false);
            QVERIFY(!QFileInfo::exists(Lib(bad)));
        }
        QCOMPARE(TopTexts().size(), 3);
    }

    // The pop-up menu's new folder and new note go where the menu was opened.
    void newItemFromPopup_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("over"); // empty: empty space
        QTest::addColumn<QString>("created");
        QTest::newRow("folder over a note in a folder: beside it") << "itemNewFolder" << "a1" << "A/P";
        QTest::newRow("folder over empty space: top level") << "itemNewFolder" << "" << "P";
        QTest::newRow("folder over a top-level note: top level") << "itemNewFolder" << "top" << "P";
        QTest::newRow("folder over a folder: inside") << "itemNewFolder" << "B" << "B/P";
        QTest::newRow("note over a note in a folder: beside it") << "itemNewNote" << "a1" << "A/P.htm";
        QTest::newRow("note over empty space: top level") << "itemNewNote" << "" << "P.htm";
        QTest::newRow("note over a folder: inside") << "itemNewNote" << "B" << "B/P.htm";
    }
    void newItemFromPopup() {
        QFETCH(QString, item);
        QFETCH(QString, over);
        QFETCH(QString, created);
        m_tree->ExpandFolder(Find("A"));
        m_tree->SetContextNode(over.isEmpty() ? QPersistentModelIndex() : Find(over));
        m_typed = "P";
        m_tree->PopupItem(item)->trigger();
        QVERIFY(QFileInfo::exists(Lib(created)));
        QCOMPARE(m_tree->OpenPath(),
                 Lib(created.endsWith(".htm") ? created : created + "/___폴더설명.qb"));
    }

    // The menu acts on the row it was opened for and marks that row while it is open: the row
    // under the pointer where the click's own event says, the current row from the keyboard.
    void popupActsOnItsRow_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QString>("question");
        QTest::newRow("right click, the pointer's screen place stale") << "mouse" << "B" << "B";
        QTest::newRow("right click on empty space") << "mouse" << "" << "";
        QTest::newRow("menu key") << "key" << "" << "A";
        QTest::newRow("Shift+F10") << "shift+f10" << "" << "A";
    }
    void popupActsOnItsRow() {
        QFETCH(QString, how);
        QFETCH(QString, clicked);
        QFETCH(QString, question);
        m_tree->resize(300, 400);
        m_tree->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_tree.get()));
        m_tree->setCurrentIndex(Find("A"));
        // Where the window thinks the pointer is: another row.
        QCursor::setPos(m_tree->viewport()->mapToGlobal(m_tree->visualRect(Find("top")).center()));
        m_host.Answer = false;
        m_host.Calls.clear();
        QStringList marked;
        QStringList enabled;
        connect(m_tree->PopupMenu(), &QMenu::aboutToShow, this, [&] {
            QMetaObject::invokeMethod(this, [&] {
                for (const QString& text : TopTexts())
                    if (m_tree->PopupMark(Find(text)).style() != Qt::NoBrush)
                        marked << text;
                for (QAction* a : m_tree->PopupMenu()->actions())
                    if (!a->isSeparator() && a->isEnabled())
                        enabled << a->objectName();
                m_tree->PopupItem("itemDelete")->trigger();
                m_tree->PopupMenu()->close();
            }, Qt::QueuedConnection);
        });
        if (how == "mouse") {
            const QPoint at = clicked.isEmpty() ? QPoint(5, m_tree->viewport()->height() - 5)
                                                : m_tree->visualRect(Find(clicked)).center();
            QContextMenuEvent event(QContextMenuEvent::Mouse, at,
                                    m_tree->viewport()->mapToGlobal(at) + QPoint(0, 25));
            QApplication::sendEvent(m_tree->viewport(), &event);
        } else if (how == "key") {
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                    m_tree->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(m_tree.get(), &event);
        } else {
            QTest::keyClick(m_tree.get(), Qt::Key_F10, Qt::ShiftModifier);
        }
        QCOMPARE(marked, question.isEmpty() ? QStringList() : QStringList{question});
        QCOMPARE(m_host.Calls, question.isEmpty()
                                   ? QStringList()
                                   : QStringList{"confirm " + question + TqbTree::DeleteQuestionSuffix});
        const QStringList always{"itemNewNote", "itemNewFolder", "itemRefresh"};
        const QStringList overRow = QStringList{"itemCut", "itemRename", "itemDelete"} + always +
                                    QStringList{"itemVersions", "itemBacklinks"};
        QCOMPARE(enabled, question.isEmpty() ? always : overRow);
        // The mark goes with the menu; nothing was opened.
        QCOMPARE(m_tree->PopupMark(Find(question.isEmpty() ? "A" : question)).style(), Qt::NoBrush);
        QCOMPARE(m_tree->currentIndex(), QModelIndex(Find("A")));
    }

    // A move without the mouse: Ctrl+X on a row, Ctrl+V on the folder it goes to, also where the
    // window has its own editing shortcuts on those keys.
    void cutAndPasteKeys() {
        QAction windowCut;
        windowCut.setShortcut(QKeySequence::Cut);
        QAction windowPaste;
        windowPaste.setShortcut(QKeySequence::Paste);
        m_tree->addActions({&windowCut, &windowPaste});
        QSignalSpy windowKeys(&windowCut, &QAction::triggered);
        QSignalSpy windowPasteKeys(&windowPaste, &QAction::triggered);
        m_tree->show();
        m_tree->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_tree.get()));
        m_tree->setCurrentIndex(Find("top"));
        QTest::keyClick(m_tree.get(), Qt::Key_X, Qt::ControlModifier);
        QVERIFY(m_tree->PopupItem("itemPaste")->isEnabled());
        m_tree->setCurrentIndex(Find("B"));
        QTest::keyClick(m_tree.get(), Qt::Key_V, Qt::ControlModifier);
        QVERIFY(QFileInfo::exists(Lib("B/top.htm")));
        QVERIFY(!QFileInfo::exists(Lib("top.htm")));
        QCOMPARE(ChildTexts(Find("B")), (QStringList{"b1", "top"}));
        QCOMPARE(windowKeys.size() + windowPasteKeys.size(), 0);
    }

    void newNoteFromTemplate() {
        m_tree->setCurrentIndex(Find("A"));
        m_typed = "<proposed>";
        m_template = "일기";
        m_tree->NewNote(false);
        QCOMPARE(m_proposed, QStringLiteral("A_01"));
        // The template's bytes, each line ended with CR LF, and the caret's place marked.
        QCOMPARE(ReadMaybe(Lib("A/A_01.htm")),
                 QByteArray("line1\r\nline2\r\n\xC0\xCF\xB1\xE2<!--qbCaret-->\r\n"));
        QCOMPARE(ChildTexts(Find("A")), (QStringList{"Sub", "A_01", "a1"}));
        QCOMPARE(CurrentText(), QStringLiteral("A_01"));
        QCOMPARE(m_tree->OpenPath(), Lib("A/A_01.htm"));
        // Beside a note, without a template: the default header.
        m_tree->setCurrentIndex(Find("a1"));
        m_typed = "둘째";
        m_template.clear();
        m_tree->NewNote(false);
        QCOMPARE(ReadMaybe(Lib("A/둘째.htm")), QByteArray("<HTML>\xB1\xE2\xBA\xBB</HTML>\r\n"));
        // At the top level the proposal is named after the data directory.
        m_tree->setCurrentIndex({});
        m_typed = "<proposed>";
        m_tree->NewNote(false);
        QCOMPARE(m_proposed, QStringLiteral("BookData_01"));
        QVERIFY(QFileInfo::exists(Lib("BookData_01.htm")));
        // An existing name keeps the dialog open: nothing is written.
        m_typed = "top";
        m_tree->NewNote(true);
        QCOMPARE(ReadMaybe(Lib("top.htm")), QByteArray("top"));
    }

    void renameNote() {
        m_tree->setCurrentIndex(Find("top"));
        m_typed = "renamed";
        m_tree->RenameNode(Find("top"));
        QCOMPARE(m_shownName, QStringLiteral("top"));
        QVERIFY(QFileInfo::exists(Lib("renamed.htm")));
        QVERIFY(!QFileInfo::exists(Lib("top.htm")));
        QVERIFY(Find("renamed").isValid());
        QCOMPARE(m_tree->OpenPath(), Lib("renamed.htm"));
        QCOMPARE(m_host.Calls.last(), QStringLiteral("focus"));
    }

    void renameFolderAboveOpenNote() {
        m_tree->ExpandFolder(Find("A"));
        m_tree->ExpandFolder(Find("Sub"));
        m_tree->setCurrentIndex(Find("s1"));
        QCOMPARE(m_tree->OpenPath(), Lib("A/Sub/s1.htm"));
        m_host.Calls.clear();
        m_typed = "C";
        m_tree->RenameNode(Find("A"));
        QVERIFY(QFileInfo::exists(Lib("C/Sub/s1.htm")));
        QCOMPARE(m_tree->OpenPath(), Lib("C/Sub/s1.htm"));
        QCOMPARE(m_tree->SelectedPath(), Lib("C/Sub/s1.htm"));
        // In its new place at once, still open, and nothing else was opened for it.
        QCOMPARE(TopTexts(), (QStringList{"B", "C", "top"}));
        QVERIFY(m_tree->isExpanded(Find("C")) && m_tree->isExpanded(Find("Sub")));
        QVERIFY(m_host.Calls.filter("open ").isEmpty());
        // Saving now writes to the new place, and the old one stays gone.
        m_host.SaveCurrentNote();
        QVERIFY(!QFileInfo::exists(Lib("A")));
    }

    void deleteToTrash() {
        m_tree->setCurrentIndex(Find("B"));
        m_host.Calls.clear();
        m_tree->DeleteNode(Find("top"));
        QCOMPARE(m_host.Calls.value(0), QStringLiteral("confirm top 을(를) 삭제합니까?"));
        QVERIFY(!QFileInfo::exists(Lib("top.htm")));
        QVERIFY(!Find("top").isValid());
        QVERIFY(Trashed().contains("top.htm"));
        // Cancel keeps it.
        m_host.Answer = false;
        m_tree->DeleteNode(Find("B"));
        QVERIFY(QFileInfo::exists(Lib("B")));
        QVERIFY(Find("B").isValid());
    }

    void deleteOpenNoteIsNotWrittenBack() {
        m_tree->setCurrentIndex(Find("top"));
        m_host.Calls.clear();
        m_tree->DeleteNode(Find("top"));
        QVERIFY(m_host.Calls.contains("discard"));
        QVERIFY(m_tree->OpenPath() != Lib("top.htm"));
        // No later save names the deleted place.
        m_host.SaveCurrentNote();
        QVERIFY(m_host.Calls.filter("save " + Lib("top.htm")).isEmpty());
        QVERIFY(!QFileInfo::exists(Lib("top.htm")));
    }

    void deleteFolderAboveOpenNote() {
        m_tree->ExpandFolder(Find("A"));
        m_tree->setCurrentIndex(Find("a1"));
        m_tree->DeleteNode(Find("A"));
        QVERIFY(!m_tree->OpenPath().startsWith(Lib("A/")));
        QVERIFY(!QFileInfo::exists(Lib("A")));
    }

    void moveIntoFolderOntoNoteAndTop() {
        m_tree->ExpandFolder(Find("A"));
        m_tree->MoveNode(Find("B"), Find("top"));
        QVERIFY(QFileInfo::exists(Lib("B/top.htm")));
        QVERIFY(!QFileInfo::exists(Lib("top.htm")));
        QVERIFY(m_tree->isExpanded(Find("B")));
        QCOMPARE(ChildTexts(Find("B")), (QStringList{"b1", "top"}));
        // Onto a note: into that note's folder.
        m_tree->MoveNode(Find("a1"), Find("b1"));
        QVERIFY(QFileInfo::exists(Lib("A/b1.htm")));
        QCOMPARE(ChildTexts(Find("A")), (QStringList{"Sub", "a1", "b1"}));
        // To the top level: merged in its sorted place, the open folders stay open.
        m_tree->MoveNode({}, Find("Sub"));
        QVERIFY(QFileInfo::exists(Lib("Sub/s1.htm")));
        QCOMPARE(TopTexts(), (QStringList{"A", "B", "Sub"}));
        QVERIFY(m_tree->isExpanded(Find("A")) && m_tree->isExpanded(Find("B")));
        QVERIFY(!m_tree->currentIndex().isValid());
    }

    void moveBelowItselfIsRefused() {
        m_tree->ExpandFolder(Find("A"));
        m_tree->MoveNode(Find("Sub"), Find("A"));
        QCOMPARE(m_host.Messages(), QStringList{"message " + TqbTree::MoveBelowMessage});
        QVERIFY(QFileInfo::exists(Lib("A/Sub/s1.htm")));
        // A nested folder onto itself: the same message; a top-level one onto itself: nothing.
        m_host.Calls.clear();
        m_tree->MoveNode(Find("Sub"), Find("Sub"));
        QCOMPARE(m_host.Messages().size(), 1);
        m_host.Calls.clear();
        m_tree->MoveNode(Find("A"), Find("A"));
        QVERIFY(m_host.Messages().isEmpty());
        QVERIFY(TqbTree::IsUnder(Find("A"), Find("Sub")));
        QVERIFY(!TqbTree::IsUnder(Find("A"), {}));
        QVERIFY(!TqbTree::IsUnder(Find("A"), Find("B")));
    }

    // A note whose extension is not written ".htm" is acted on under its own name by every
    // operation; nothing makes a "x.htm" beside it.
    void upperCaseExtension_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("result"); // where the note ends up; "" for the trash

        QTest::newRow("open") << "open" << "B/Up.HTM";
        QTest::newRow("rename keeps the extension") << "rename" << "B/Down.HTM";
        QTest::newRow("move") << "move" << "A/Up.HTM";
        QTest::newRow("cut and paste") << "paste" << "A/Up.HTM";
        QTest::newRow("drag and drop") << "drop" << "A/Up.HTM";
        QTest::newRow("delete") << "delete" << "";
    }

    void upperCaseExtension() {
        QFETCH(QString, operation);
        QFETCH(QString, result);
        WriteBytes(Lib("B/Up.HTM"), "upper");
        m_tree->LoadRoot(m_root);
        m_tree->resize(300, 400);
        m_tree->ExpandFolder(Find("B"));
        const QPersistentModelIndex up = Find("Up");
        QVERIFY(up.isValid());
        QCOMPARE(m_tree->ItemPath(up), Lib("B/Up.HTM"));
        m_tree->setCurrentIndex(up);
        QCOMPARE(m_tree->OpenPath(), Lib("B/Up.HTM"));

        if (operation == "rename") {
            m_typed = "Down";
            m_tree->RenameNode(up);
            QCOMPARE(m_tree->OpenPath(), Lib("B/Down.HTM"));
        } else if (operation == "move") {
            m_tree->MoveNode(Find("A"), up);
        } else if (operation == "paste") {
            m_tree->SetContextNode(up);
            m_tree->PopupCut();
            m_tree->SetContextNode(Find("A"));
            m_tree->PopupPaste();
        } else if (operation == "drop") {
            m_tree->show();
            m_tree->DropAt(m_tree->visualRect(Find("A")).center());
        } else if (operation == "delete") {
            m_tree->DeleteNode(up);
            QCOMPARE(ReadMaybe(m_trash + "/Trash/files/Up.HTM"), QByteArray("upper"));
        }
        QVERIFY(m_host.Messages().isEmpty());
        if (!result.isEmpty())
            QCOMPARE(ReadMaybe(Lib(result)), QByteArray("upper"));
        if (result != "B/Up.HTM")
            QVERIFY(!QFileInfo::exists(Lib("B/Up.HTM")));
        // No lower-case twin anywhere, and a fresh listing shows the note once.
        QStringList twins;
        QDirIterator files(m_root, {"Up.htm", "Down.htm"}, QDir::Files | QDir::CaseSensitive,
                           QDirIterator::Subdirectories);
        while (files.hasNext())
            twins << files.next();
        QCOMPARE(twins, QStringList{});
        m_tree->LoadRoot(m_root);
        for (const QString folder : {"A", "B"})
            m_tree->ExpandFolder(Find(folder));
        const int expected = result.isEmpty() ? 0 : 1;
        const QString text = QFileInfo(result).completeBaseName();
        if (!text.isEmpty())
            QCOMPARE(qbRowsShowing(*m_tree, text).size(), expected);
    }

    void cutAndPaste() {
        QVERIFY(!m_tree->PopupItem("itemPaste")->isEnabled());
        m_tree->setCurrentIndex(Find("top"));
        m_tree->SetContextNode(Find("top"));
        m_tree->PopupCut();
        QVERIFY(m_tree->PopupItem("itemPaste")->isEnabled());
        QVERIFY(QFileInfo::exists(Lib("top.htm")));
        m_host.Calls.clear();
        m_tree->SetContextNode(Find("A"));
        m_tree->PopupPaste();
        // The open note was written first, and follows to its new place.
        QCOMPARE(m_host.Calls.value(0), "save " + Lib("top.htm"));
        QVERIFY(QFileInfo::exists(Lib("A/top.htm")));
        QVERIFY(!m_tree->PopupItem("itemPaste")->isEnabled());
        QVERIFY(!m_tree->CutNode().isValid());
        QVERIFY(!QFileInfo::exists(Lib("top.htm")));
        QVERIFY(m_host.Calls.filter("save " + Lib("top.htm")).size() == 1);
        // Paste over empty space: to the top level.
        m_tree->SetContextNode(Find("b1").isValid() ? Find("b1") : Find("B"));
        m_tree->SetContextNode(Find("A"));
        m_tree->PopupCut();
        m_tree->SetContextNode({});
        m_tree->PopupPaste();
        QVERIFY(!m_host.Messages().isEmpty() || QFileInfo::exists(Lib("A")));
    }

    void openNoteFollowsMove() {
        m_tree->ExpandFolder(Find("A"));
        m_tree->setCurrentIndex(Find("a1"));
        m_tree->SetContextNode(Find("a1"));
        m_tree->PopupCut();
        m_tree->SetContextNode(Find("B"));
        m_tree->PopupPaste();
        QVERIFY(QFileInfo::exists(Lib("B/a1.htm")));
        QVERIFY(!QFileInfo::exists(Lib("A/a1.htm")));
        // The open document now lives at the new place (or another node was opened).
        QVERIFY(!m_tree->OpenPath().startsWith(Lib("A/a1")));
        m_host.SaveCurrentNote();
        QVERIFY(!QFileInfo::exists(Lib("A/a1.htm")));
    }

    void staleCutMarkIsCleared() {
        m_tree->SetContextNode(Find("top"));
        m_tree->PopupCut();
        m_tree->DeleteNode(Find("top"));
        QVERIFY(!m_tree->CutNode().isValid());
        m_tree->SetContextNode(Find("A"));
        m_tree->UpdatePopupItems();
        QVERIFY(!m_tree->PopupItem("itemPaste")->isEnabled());
        // After a reload as well.
        m_tree->SetContextNode(Find("B"));
        m_tree->PopupCut();
        m_tree->PopupRefresh();
        QVERIFY(!m_tree->CutNode().isValid());
        m_tree->SetContextNode(Find("A"));
        m_tree->PopupPaste();
        QVERIFY(QFileInfo::exists(Lib("B/b1.htm")));
    }

    void dropAtPoint() {
        m_tree->resize(300, 400);
        m_tree->show();
        m_tree->setCurrentIndex(Find("top"));
        m_tree->DropAt(m_tree->visualRect(Find("B")).center());
        QVERIFY(QFileInfo::exists(Lib("B/top.htm")));
        // Onto empty space: the top level.
        m_tree->ExpandFolder(Find("B"));
        m_tree->setCurrentIndex(Find("b1"));
        m_tree->DropAt(QPoint(5, 390));
        QVERIFY(QFileInfo::exists(Lib("b1.htm")));
    }

    // Names copied from Windows in CP949 bytes: shown decoded, and renamed to that name (from
    // the bytes) only when the user agrees, before anything acts on them.
    void cp949Names_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("agree");
        QTest::addColumn<QString>("result"); // where the note ends up; "" for the trash

        QTest::newRow("open, agreed") << "open" << true << "메모.htm";
        QTest::newRow("open, refused") << "open" << false << "";
        QTest::newRow("press, agreed") << "press" << true << "메모.htm";
        QTest::newRow("rename from the bytes") << "rename" << true << "새 이름.htm";
        QTest::newRow("move, agreed") << "move" << true << "A/메모.htm";
        QTest::newRow("move, refused") << "move" << false << "";
        QTest::newRow("delete, agreed") << "delete" << true << "";
    }

    void cp949Names() {
        QFETCH(QString, operation);
        QFETCH(bool, agree);
        QFETCH(QString, result);
        const QByteArray raw = QFile::encodeName(m_root) + "/\xB8\xDE\xB8\xF0.htm";
        FILE* file = std::fopen(raw.constData(), "w");
        QVERIFY(file);
        std::fputs("cp949 name", file);
        std::fclose(file);
        const auto removeRaw = qScopeGuard([&] { ::unlink(raw.constData()); });
        m_tree->LoadRoot(m_root);
        m_tree->resize(300, 400);
        m_tree->show();
        const QPersistentModelIndex memo = Find("메모");
        QVERIFY(memo.isValid());
        QCOMPARE(TqbTree::ImageIndex(memo), int(TqbTree::NoteImage));
        m_host.Calls.clear();
        m_host.Answer = agree;
        const QString question = "confirm " + TqbTree::RawNameQuestion.arg("메모.htm");

        if (operation == "open") {
            m_tree->setCurrentIndex(memo);
        } else if (operation == "press") {
            QTest::mouseClick(m_tree->viewport(), Qt::LeftButton, {},
                              m_tree->visualRect(memo).center());
        } else if (operation == "rename") {
            m_typed = "새 이름";
            m_tree->RenameNode(memo);
        } else if (operation == "move") {
            m_tree->MoveNode(Find("A"), memo);
        } else if (operation == "delete") {
            m_tree->DeleteNode(memo);
        }
        QVERIFY(m_host.Messages().isEmpty());
        QCOMPARE(m_host.Calls.count(question), operation == "rename" ? 0 : 1);
        if (!agree) {
            // Nothing renamed, nothing created, nothing opened.
            QCOMPARE(ReadMaybe(QFile::decodeName(raw)), QByteArray("<missing>"));
            QVERIFY(::access(raw.constData(), F_OK) == 0);
            QVERIFY(!QFileInfo::exists(Lib("메모.htm")));
            QVERIFY(m_host.Calls.filter("open").isEmpty());
            QCOMPARE(m_tree->OpenPath(), QString());
            return;
        }
        QVERIFY(::access(raw.constData(), F_OK) != 0);
        if (result.isEmpty())
            QCOMPARE(ReadMaybe(m_trash + "/Trash/files/메모.htm"), QByteArray("cp949 name"));
        else
            QCOMPARE(ReadMaybe(Lib(result)), QByteArray("cp949 name"));
        if (operation == "open" || operation == "press")
            QCOMPARE(m_tree->OpenPath(), Lib(result));
    }

    void cp949FolderBecomesUsable() {
        const QByteArray raw = QFile::encodeName(m_root) + "/\xC0\xCF\xB1\xE2";
        QCOMPARE(::mkdir(raw.constData(), 0755), 0);
        QVERIFY(std::fclose(std::fopen(QByteArray(raw + "/in.htm").constData(), "w")) == 0);
        QVERIFY(MakeRawFile(raw + '/' + Cp949PageName, "its page"));
        const auto removeRaw = qScopeGuard([&] {
            ::unlink(QByteArray(raw + "/in.htm").constData());
            ::unlink(QByteArray(raw + '/' + Cp949PageName).constData());
            ::rmdir(raw.constData());
        });
        m_tree->LoadRoot(m_root);
        const QPersistentModelIndex diary = Find("일기");
        QVERIFY(diary.isValid());
        // Its contents are there: it can be opened once it has a name of ours.
        QVERIFY(m_tree->IsUnlisted(diary));
        // Refused: nothing is made under the decoded name beside it.
        m_host.Answer = false;
        m_tree->setCurrentIndex(diary);
        m_typed = "새 것";
        m_tree->NewNote(false);
        m_tree->NewFolder(false);
        QCOMPARE(m_dialogs, 0);
        QVERIFY(!QFileInfo::exists(Lib("일기")));
        QCOMPARE(m_tree->OpenPath(), QString());
        m_host.Answer = true;
        m_tree->setCurrentIndex({});
        m_tree->setCurrentIndex(diary);
        QCOMPARE(m_tree->OpenPath(), Lib("일기/___폴더설명.qb"));
        // The page it came with is the one shown, not an empty one made beside it.
        QCOMPARE(ReadMaybe(Lib("일기/___폴더설명.qb")), QByteArray("its page"));
        QVERIFY(m_host.Messages().isEmpty());
        m_tree->LoadChildren(diary);
        QCOMPARE(ChildTexts(diary), QStringList{"in"});
        QVERIFY(QFileInfo::exists(Lib("일기/in.htm")));
    }

    // A template copied from Windows is named in CP949 bytes: listed decoded, and used.
    void cp949TemplateIsListed() {
        const QByteArray memo = "\xB8\xDE\xB8\xF0.htm";
        QVERIFY(MakeRawFile(QFile::encodeName(m_host.Templates) + memo, "memo"));
        m_tree->setCurrentIndex(Find("B"));
        m_typed = "새 메모";
        m_template = "메모";
        m_tree->NewNote(false);
        QCOMPARE(ReadMaybe(Lib("B/새 메모.htm")), QByteArray("memo<!--qbCaret-->\r\n"));
        QCOMPARE(QDir(m_host.Templates).entryList(QDir::Files),
                 QStringList({"메모.htm", "일기.htm"}));
        QVERIFY(m_host.Messages().isEmpty());
    }

    // A folder named in UTF-8 may still hold its page under the CP949 name Windows gave it.
    void cp949FolderPageFollowsARename() {
        const QByteArray page = QFile::encodeName(Lib("B/")) + Cp949PageName;
        QVERIFY(MakeRawFile(page, "its page"));
        m_typed = "C";
        m_tree->RenameNode(Find("B"));
        m_tree->setCurrentIndex(Find("C"));
        QCOMPARE(m_tree->OpenPath(), Lib("C/___폴더설명.qb"));
        QCOMPARE(ReadMaybe(Lib("C/___폴더설명.qb")), QByteArray("its page"));
        QCOMPARE(QDir(Lib("C")).entryList(QDir::Files), QStringList({"___폴더설명.qb", "b1.htm"}));
        QVERIFY(m_host.Messages().isEmpty());
    }

    // What changed on disk after the listing is checked again before it is opened.
    void unusableDocumentIsNotOpened_data() {
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("message");

        QTest::newRow("pipe") << "pipe" << TqbTree::NotANoteMessage;
        QTest::newRow("link out of the library") << "link" << TqbTree::OutsideLibraryMessage;
    }

    void unusableDocumentIsNotOpened() {
        QFETCH(QString, replacement);
        QFETCH(QString, message);
        WriteBytes(m_temp->filePath("outside.htm"), "outside");
        m_tree->setCurrentIndex(Find("top"));
        QCOMPARE(m_tree->OpenPath(), Lib("top.htm"));
        m_tree->ExpandFolder(Find("B"));
        QVERIFY(QFile::remove(Lib("B/b1.htm")));
        if (replacement == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(Lib("B/b1.htm")).constData(), 0644), 0);
        else
            QVERIFY(QFile::link(m_temp->filePath("outside.htm"), Lib("B/b1.htm")));
        m_host.Calls.clear();
        m_tree->setCurrentIndex(Find("b1"));
        // The open note was written, then closed; the refused one is named in the message.
        QCOMPARE(m_host.Calls, (QStringList{"save " + Lib("top.htm"), "discard",
                                            "message " + message.arg(Lib("B/b1.htm"))}));
        QCOMPARE(m_tree->OpenPath(), QString());
        QCOMPARE(ReadMaybe(m_temp->filePath("outside.htm")), QByteArray("outside"));
    }

    void popupItems() {
        QMenu* menu = m_tree->PopupMenu();
        QStringList captions;
        for (QAction* a : menu->actions())
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(captions, (QStringList{"잘라내기", "붙여넣기", "-", "이름 바꾸기", "삭제", "-",
                                        "새 노트", "새 폴더 만들기", "트리 갱신", "-", "이전 버전",
                                        "이 노트를 가리키는 노트"}));
        m_tree->SetContextNode({});
        m_tree->UpdatePopupItems();
        QVERIFY(!m_tree->PopupItem("itemCut")->isEnabled());
        QVERIFY(!m_tree->PopupItem("itemRename")->isEnabled());
        QVERIFY(!m_tree->PopupItem("itemDelete")->isEnabled());
        QVERIFY(!m_tree->PopupItem("itemVersions")->isEnabled());
        QVERIFY(m_tree->PopupItem("itemNewFolder")->isEnabled());
        m_tree->SetContextNode(Find("A"));
        m_tree->UpdatePopupItems();
        QVERIFY(m_tree->PopupItem("itemCut")->isEnabled());
        QVERIFY(m_tree->PopupItem("itemDelete")->isEnabled());
        // A folder's versions are its page's: the window is handed the folder's item path.
        QSignalSpy versions(m_tree.get(), &TqbTree::VersionsRequested);
        m_tree->PopupItem("itemVersions")->trigger();
        QCOMPARE(versions.value(0).value(0).toString(), Lib("A") + u'/');
        // Its backlinks are those of its page.
        QSignalSpy backlinks(m_tree.get(), &TqbTree::BacklinksRequested);
        m_tree->PopupItem("itemBacklinks")->trigger();
        QCOMPARE(backlinks.value(0).value(0).toString(), Lib("A/___폴더설명.qb"));
    }
};

QTEST_MAIN(tst_TreeOps)
#include "tst_TreeOps.moc"
