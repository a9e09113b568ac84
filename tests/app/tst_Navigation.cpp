// Finding the way in the window: the jump to a note by name, back and forward through the notes
// opened, the recent notes and the note opened again at the next start.
#include "app/main.h"
#include "app/qbNoteNavigation.h"
#include "common/qbAppTestMain.h"
#include "common/qbTestFiles.h"
#include "common/qbWindowFixture.h"
#include "dialogs/qbNotePicker.h"
#include "dialogs/qbTagListDialog.h"

#include <QAction>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QTreeWidget>

class tst_Navigation : public QObject {
    Q_OBJECT

    TqbWindowFixture F;

    static void Fill(TqbWindowFixture& f) {
        QDir(f.Lib("")).mkpath("폴더");
        WriteBytes(f.Lib("메모.htm"), "<HTML><BODY>memo</BODY></HTML>\r\n");
        WriteBytes(f.Lib("폴더/회의록.htm"), "<HTML><BODY>minutes</BODY></HTML>\r\n");
        WriteBytes(f.Lib("폴더/일기.htm"), "<HTML><BODY>diary</BODY></HTML>\r\n");
    }

    QString OpenPath() const { return F.Window->OpenNote()->Path(); }

    // The window as the next start shows it, over the same program folder.
    void Restart(TqbViewMode mode = TqbViewMode::Browse) {
        if (F.Window->isVisible())
            F.Window->close();
        F.Window.reset();
        F.Notes = std::make_unique<TqbNoteInfo>(*F.Prj);
        F.Window = std::make_unique<TfrmMainNivora>(*F.Prj, *F.Notes);
        F.Window->show();
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->ViewMode(), mode, TqbWindowFixture::PageTimeoutMs);
        F.WaitForPage();
    }

    // Opens a note of a folder the tree has not listed yet, as a followed link does.
    void Open(const QString& relative) {
        F.Window->OpenLinkedNote(F.Lib(relative));
        F.WaitForPage();
    }

    void Trigger(const char* action) {
        F.Window->Action(action)->trigger();
        F.WaitForPage();
    }

private slots:
    void init() { F.Open(Fill); }
    void cleanup() { F.Close(); }

    // Typed as an input method types: "회" still being composed already lists "회의록".
    void jumpOpensTheNoteTypedInTheTree() {
        QStringList shown;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* picker = qobject_cast<TqbNotePicker*>(QApplication::activeModalWidget());
            if (!picker || picker->List().Gathering() || picker->List().NameCount() == 0)
                return;
            answer.stop();
            QInputMethodEvent composing("회", {});
            QApplication::sendEvent(picker->QueryBox(), &composing);
            QTRY_COMPARE(picker->Rows()->topLevelItemCount(), 1);
            const QTreeWidgetItem* row = picker->Rows()->topLevelItem(0);
            shown << row->text(0) << row->text(1);
            QTest::keyClick(picker->QueryBox(), Qt::Key_Return);
        });
        answer.start(20);
        F.Window->Action("actJumpToNote")->trigger();
        QCOMPARE(shown, (QStringList{"회의록", "폴더"}));
        QCOMPARE(OpenPath(), F.Lib("폴더/회의록.htm"));
        QCOMPARE(F.Tree()->currentIndex().data().toString(), "회의록");
    }

    // The tag list counts the library's tags; the tag chosen lists its notes in the jump list.
    void tagListLeadsToTheTaggedNotes() {
        WriteBytes(F.Lib("폴더/회의록.htm"), "<HTML><HEAD><meta name=\"keywords\" content=\"업무, "
                                             "회의\"></HEAD><BODY>minutes</BODY></HTML>\r\n");
        WriteBytes(F.Lib("메모.htm"), "<HTML><HEAD><meta name=\"keywords\" content=\"회의\">"
                                      "</HEAD><BODY>memo</BODY></HTML>\r\n");
        QStringList tags;
        QStringList notes;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* list = qobject_cast<TqbTagListDialog*>(modal)) {
                for (int i = 0; i < list->Rows()->count(); ++i)
                    tags << list->Rows()->item(i)->text();
                list->Rows()->setCurrentRow(1);
                list->accept();
            } else if (auto* picker = qobject_cast<TqbNotePicker*>(modal)) {
                if (picker->List().Gathering() || picker->Rows()->topLevelItemCount() < 2)
                    return;
                answer.stop();
                for (int i = 0; i < picker->Rows()->topLevelItemCount(); ++i)
                    notes << picker->Rows()->topLevelItem(i)->text(0);
                picker->Rows()->setCurrentItem(picker->Rows()->topLevelItem(1));
                picker->accept();
            }
        });
        answer.start(20);
        F.Window->Action("actTagList")->trigger();
        QCOMPARE(tags, (QStringList{"업무 (1)", "회의 (2)"}));
        QCOMPARE(notes, (QStringList{"메모", "회의록"}));
        QCOMPARE(OpenPath(), F.Lib("폴더/회의록.htm"));
    }

    void backAndForwardAcrossFolders() {
        const QString first = OpenPath();
        F.Select("메모");
        Open("폴더/회의록.htm");
        Open("폴더/일기.htm");
        // Deleted behind the program's back: stepped over.
        QVERIFY(QFile::remove(F.Lib("폴더/회의록.htm")));
        Trigger("actGoBack");
        QCOMPARE(OpenPath(), F.Lib("메모.htm"));
        Trigger("actGoBack");
        QCOMPARE(OpenPath(), first);
        QVERIFY(!F.Window->Navigation()->History().CanGoBack());
        Trigger("actGoForward");
        QCOMPARE(OpenPath(), F.Lib("메모.htm"));
        Trigger("actGoForward");
        QCOMPARE(OpenPath(), F.Lib("폴더/일기.htm"));
    }

    void recentNotesInTheFileMenu() {
        F.Select("메모");
        Open("폴더/회의록.htm");
        auto* menu = F.Window->findChild<QMenu*>("mnuRecentNotes");
        QVERIFY(menu);
        emit menu->aboutToShow();
        QStringList items;
        for (const QAction* item : menu->actions())
            items << item->text();
        QCOMPARE(items, (QStringList{"&1 회의록  (폴더)", "&2 메모"}));
        menu->actions().at(1)->trigger();
        F.WaitForPage();
        QCOMPARE(OpenPath(), F.Lib("메모.htm"));
    }

    void theNoteOpenAtCloseOpensAtStart_data() {
        QTest::addColumn<bool>("deleted");
        QTest::newRow("still there") << false;
        QTest::newRow("deleted meanwhile: the first node") << true;
    }
    void theNoteOpenAtCloseOpensAtStart() {
        QFETCH(bool, deleted);
        const QString first = OpenPath();
        Open("폴더/회의록.htm");
        if (deleted) {
            F.Window->close();
            QVERIFY(QFile::remove(F.Lib("폴더/회의록.htm")));
        }
        Restart();
        QCOMPARE(OpenPath(), deleted ? first : F.Lib("폴더/회의록.htm"));
    }

    // The folders left open and the mode come back with the note.
    void theWindowAsLeftAtClose_data() {
        QTest::addColumn<TqbViewMode>("mode");
        QTest::addColumn<bool>("folderOpen");
        QTest::newRow("edit mode, folder open") << TqbViewMode::Edit << true;
        QTest::newRow("source mode comes back as edit") << TqbViewMode::Source << true;
        QTest::newRow("browse mode, folder closed") << TqbViewMode::Browse << false;
    }
    void theWindowAsLeftAtClose() {
        QFETCH(TqbViewMode, mode);
        QFETCH(bool, folderOpen);
        Open("폴더/회의록.htm");
        F.Select("메모");
        F.Tree()->setExpanded(F.Node("폴더"), folderOpen);
        F.EnterMode(mode);
        Restart(mode == TqbViewMode::Browse ? TqbViewMode::Browse : TqbViewMode::Edit);
        QCOMPARE(OpenPath(), F.Lib("메모.htm"));
        QCOMPARE(F.Tree()->isExpanded(F.Node("폴더")), folderOpen);
    }
};

QB_APP_TEST_MAIN(tst_Navigation)
#include "tst_Navigation.moc"
