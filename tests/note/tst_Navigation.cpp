// The ways to a note other than the tree, without the window: the jump to a note by name, the tag
// list, back and forward through the notes opened, and the recent notes kept for the next start.
#include "common/qbTestFiles.h"
#include "dialogs/qbNotePicker.h"
#include "dialogs/qbTagListDialog.h"
#include "note/qbNoteNavigation.h"
#include "note/qbOpenNoteRig.h"
#include "platform/qbIniFile.h"

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

class tst_Navigation : public QObject, protected TqbOpenNoteRig {
    Q_OBJECT

    std::unique_ptr<TqbNoteNavigation> m_navigation;
    QStringList m_messages;

    std::unique_ptr<TqbNoteNavigation> MakeNavigation() {
        TqbNoteNavigation::THooks hooks;
        hooks.ShowTree = [] {};
        hooks.ShowMessage = [this](const QString& text) { m_messages << text; };
        return std::make_unique<TqbNoteNavigation>(*m_library, *m_note, hooks, nullptr);
    }

    // What the tree shows as chosen: the row's name.
    QString Selected() const { return m_tree->currentIndex().data().toString(); }

    // Opened as a followed link opens it, the page then finishing.
    void Open(const QString& relative) {
        QVERIFY(m_note->Open(Lib(relative)));
        FinishPage();
    }

    // Answers the modal dialogs the call brings up with `answer`, which returns true once done.
    static void Answering(const std::function<bool(QWidget*)>& answer,
                          const std::function<void()>& call) {
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal && answer(modal))
                timer.stop();
        });
        timer.start(20);
        call();
    }

private slots:
    void init() {
        StartRig([this] {
            QDir().mkpath(Lib("폴더"));
            WriteBytes(Lib("메모.htm"), "<HTML><BODY>memo</BODY></HTML>\r\n");
            WriteBytes(Lib("폴더/회의록.htm"), "<HTML><BODY>minutes</BODY></HTML>\r\n");
            WriteBytes(Lib("폴더/일기.htm"), "<HTML><BODY>diary</BODY></HTML>\r\n");
        });
        m_navigation = MakeNavigation();
        m_messages.clear();
    }
    void cleanup() {
        m_navigation.reset();
        StopRig();
    }

    // Typed as an input method types: "회" still being composed already lists "회의록", and the
    // tree selects it in a folder it had not opened.
    void jumpOpensTheNoteTyped() {
        QStringList shown;
        Answering(
            [&](QWidget* modal) {
                auto* picker = qobject_cast<TqbNotePicker*>(modal);
                if (!picker || picker->List().Gathering() || picker->List().NameCount() == 0)
                    return false;
                QInputMethodEvent composing("회", {});
                QApplication::sendEvent(picker->QueryBox(), &composing);
                if (picker->Rows()->topLevelItemCount() != 1)
                    return false;
                const QTreeWidgetItem* row = picker->Rows()->topLevelItem(0);
                shown << row->text(0) << row->text(1);
                QTest::keyClick(picker->QueryBox(), Qt::Key_Return);
                return true;
            },
            [&] { m_navigation->JumpToNote(); });
        QCOMPARE(shown, (QStringList{"회의록", "폴더"}));
        QCOMPARE(m_note->Path(), Lib("폴더/회의록.htm"));
        QCOMPARE(Selected(), "회의록");
    }

    // The tag list counts the library's tags; the tag chosen lists its notes in the jump list.
    void tagListLeadsToTheTaggedNotes() {
        WriteBytes(Lib("폴더/회의록.htm"), "<HTML><HEAD><meta name=\"keywords\" content=\"업무, "
                                           "회의\"></HEAD><BODY>minutes</BODY></HTML>\r\n");
        WriteBytes(Lib("메모.htm"), "<HTML><HEAD><meta name=\"keywords\" content=\"회의\">"
                                    "</HEAD><BODY>memo</BODY></HTML>\r\n");
        QStringList tags;
        QStringList notes;
        Answering(
            [&](QWidget* modal) {
                if (auto* list = qobject_cast<TqbTagListDialog*>(modal)) {
                    for (int i = 0; i < list->Rows()->count(); ++i)
                        tags << list->Rows()->item(i)->text();
                    list->Rows()->setCurrentRow(1);
                    list->accept();
                    return false;
                }
                auto* picker = qobject_cast<TqbNotePicker*>(modal);
                if (!picker || picker->List().Gathering() ||
                    picker->Rows()->topLevelItemCount() < 2)
                    return false;
                for (int i = 0; i < picker->Rows()->topLevelItemCount(); ++i)
                    notes << picker->Rows()->topLevelItem(i)->text(0);
                picker->Rows()->setCurrentItem(picker->Rows()->topLevelItem(1));
                picker->accept();
                return true;
            },
            [&] { m_navigation->ShowTagList(); });
        QCOMPARE(tags, (QStringList{"업무 (1)", "회의 (2)"}));
        QCOMPARE(notes, (QStringList{"메모", "회의록"}));
        QCOMPARE(m_note->Path(), Lib("폴더/회의록.htm"));
    }

    // A note deleted behind the program's back is stepped over; a name gone is named in a
    // message instead of opened.
    void backAndForwardAcrossFolders() {
        for (const char* note : {"폴더/일기.htm", "메모.htm", "폴더/회의록.htm", "폴더/일기.htm"})
            Open(note);
        QVERIFY(QFile::remove(Lib("폴더/회의록.htm")));
        QStringList visited;
        for (const bool back : {true, true, true, false, false}) {
            m_navigation->GoThroughHistory(back);
            visited << Selected();
        }
        QCOMPARE(visited, (QStringList{"메모", "일기", "일기", "메모", "일기"}));
        QVERIFY(!m_navigation->History().CanGoForward());
        QVERIFY(!m_navigation->GoToDocument(Lib("폴더/회의록.htm")));
        QCOMPARE(m_messages, QStringList{TqbJumpList::GoneMessage.arg(Lib("폴더/회의록.htm"))});
        QCOMPARE(m_note->Path(), Lib("폴더/일기.htm"));
    }

    // The latest first, the folder beside the name; a note renamed since is listed by its new
    // name; a choice opens the note.
    void recentNotesInTheFileMenu() {
        Open("메모.htm");
        Open("폴더/회의록.htm");
        QVERIFY(m_library->Rename(Lib("메모.htm"), Lib("메모 & 할 일.htm")));
        QMenu menu;
        m_navigation->FillRecentMenu(&menu);
        QStringList items;
        for (const QAction* item : menu.actions())
            items << item->text();
        QCOMPARE(items, (QStringList{"&1 회의록  (폴더)", "&2 메모 && 할 일"}));
        menu.actions().at(1)->trigger();
        QCOMPARE(m_note->Path(), Lib("메모 & 할 일.htm"));
    }

    // The note open at the close opens at the next start when the library still holds it.
    void theNoteOpenAtCloseOpensAgain_data() {
        QTest::addColumn<QString>("open");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QString>("reopened");
        QTest::newRow("still there") << "폴더/회의록.htm" << false << "폴더/회의록.htm";
        QTest::newRow("deleted meanwhile") << "폴더/회의록.htm" << true << "";
        QTest::newRow("a folder's page") << "폴더/" + TqbNoteInfo::FolderDescriptionName << false
                                         << "폴더/" + TqbNoteInfo::FolderDescriptionName;
    }
    void theNoteOpenAtCloseOpensAgain() {
        QFETCH(QString, open);
        QFETCH(bool, deleted);
        QFETCH(QString, reopened);
        WriteBytes(Lib("폴더/") + TqbNoteInfo::FolderDescriptionName, "<HTML></HTML>\r\n");
        Open(open);
        const TqbIniFile ini(m_dir->filePath("qbNivora.ini"));
        m_navigation->SaveRecent(ini, m_note->Path());
        m_navigation.reset();
        m_note->OpenDocument({});
        if (deleted)
            QVERIFY(QFile::remove(Lib(open)));
        m_navigation = MakeNavigation();
        m_navigation->LoadRecent(ini);
        QCOMPARE(m_navigation->ReopenLast(ini), !reopened.isEmpty());
        QCOMPARE(m_note->Path(), reopened.isEmpty() ? QString() : Lib(reopened));
    }
};

QTEST_MAIN(tst_Navigation)
#include "tst_Navigation.moc"
