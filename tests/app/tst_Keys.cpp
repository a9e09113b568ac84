// The program's own keys in the real window, wherever the focus is: the HTML editor, the source
// view, the tree and the search box.
#include "app/main.h"
#include "app/qbHistoryCommands.h"
#include "app/qbShortcutBadges.h"
#include "app/qbStatusPanel.h"
#include "app/qbTableCommands.h"
#include "app/qbTrayKeeper.h"
#include "common/qbAppTestMain.h"
#include "common/qbDialogAnswerer.h"
#include "common/qbWindowFixture.h"
#include "editing/qbDhtmlEdit.h"
#include "editing/qbFindDialog.h"
#include "library/qbTree.h"
#include "platform/qbTextFile.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

class TestKeys : public QObject {
    Q_OBJECT

    TqbWindowFixture F;

    QWidget* PageWidget() const { return F.PageWidget(); }
    QLineEdit* SearchBox() const { return F.Window->findChild<QLineEdit*>("edtSearch"); }

    // The widget that has the focus when the key is typed.
    QWidget* Focus(const QString& where) {
        QWidget* widget = nullptr;
        if (where == "page") {
            F.EnterMode(TqbViewMode::Edit);
            F.Window->Dhtml()->FocusAtStart();
            widget = PageWidget();
        } else if (where == "source") {
            F.EnterMode(TqbViewMode::Source);
            widget = F.Window->RchDhtml();
        } else if (where == "search box") {
            F.Window->SetPanelMode(TqbPanelMode::Search);
            widget = SearchBox();
        } else {
            widget = F.Tree();
        }
        widget->setFocus();
        [&] {
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), widget,
                                      TqbWindowFixture::PageTimeoutMs);
        }();
        return widget;
    }

    // In edit mode: the caret in the text before the table, the caret in a cell, or the whole
    // table selected; waits until the page reported it.
    void SelectInTable(const QString& selection) {
        F.EnterMode(TqbViewMode::Edit);
        TqbDhtmlEdit* edit = F.Window->Dhtml();
        edit->FocusAtStart();
        const QString script =
            QStringLiteral("(function () {"
                           "  const table = document.getElementsByTagName('table')[0];"
                           "  const text = table.rows[0].cells[1].firstChild;"
                           "  const range = document.createRange();"
                           "  if ('%1' === 'table') range.selectNode(table);"
                           "  else if ('%1' === 'cell') range.setStart(text, 1);"
                           "  else range.setStart(document.body.firstChild.firstChild, 6);"
                           "  getSelection().removeAllRanges();"
                           "  getSelection().addRange(range);"
                           "})();");
        edit->findChild<QWebEngineView*>()->page()->runJavaScript(
            script.arg(selection), QWebEngineScript::ApplicationWorld);
        const auto reported = [&] {
            const TqbSelectionState state = edit->SelectionState();
            return state.Valid && state.Editable && state.InTable == (selection == "cell") &&
                   state.HasSelection == (selection == "table");
        };
        QTRY_VERIFY_WITH_TIMEOUT(reported(), TqbWindowFixture::PageTimeoutMs);
    }

private slots:
    void init() {
        F.Open([](TqbWindowFixture& f) {
            WriteBytes(f.Lib("노트.htm"), "<HTML><BODY><DIV>text</DIV></BODY></HTML>\r\n");
            WriteBytes(f.Lib("둘째.htm"), "<HTML><BODY><DIV>second</DIV></BODY></HTML>\r\n");
            WriteBytes(f.Lib("표.htm"), "<HTML><BODY><DIV>before text</DIV><TABLE border=1><TBODY>"
                                        "<TR><TD>a1</TD><TD>b1</TD></TR><TR><TD>a2</TD><TD>b2</TD>"
                                        "</TR></TBODY></TABLE></BODY></HTML>\r\n");
        });
        QVERIFY(QTest::qWaitForWindowActive(F.Window.get()));
    }
    void cleanup() { F.Close(); }

    // Ctrl+Insert typed in the editor used to go to the page, which took it for copy.
    void dialogKeysInTheEditor_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("Ctrl+Insert new note") << int(Qt::Key_Insert) << "frmNewNoteName";
        QTest::newRow("Ctrl+J jump list") << int(Qt::Key_J) << "dlgNotePicker";
        // The note has none yet: the command says so.
        QTest::newRow("Ctrl+H versions") << int(Qt::Key_H) << TqbHistoryCommands::NoVersionsMessage;
    }
    void dialogKeysInTheEditor() {
        QFETCH(int, key);
        QFETCH(QString, dialog);
        QWidget* page = Focus("page");
        TqbDialogAnswerer answerer; // cancels the dialog
        QTest::keyClick(page, Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(answerer.texts, QStringList{dialog});
    }

    // The web engine would take Alt+Left and the mouse's back button for its own history.
    void backAndForwardFromTheEditor() {
        const QString first = F.Window->OpenNote()->Path();
        F.Window->OpenLinkedNote(F.Lib("둘째.htm"));
        F.WaitForPage();
        QTest::keyClick(Focus("page"), Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(F.Window->OpenNote()->Path(), first);
        F.WaitForPage();
        QTest::mouseClick(Focus("page"), Qt::ForwardButton);
        QCOMPARE(F.Window->OpenNote()->Path(), F.Lib("둘째.htm"));
    }

    void keysWhereverTheFocusIs_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("effect");
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, none = Qt::NoModifier,
                                    alt = Qt::AltModifier;
        QTest::newRow("Ctrl+D in the editor") << "page" << int(Qt::Key_D) << ctrl << "search panel";
        QTest::newRow("Ctrl+L in the search box")
            << "search box" << int(Qt::Key_L) << ctrl << "tree panel";
        QTest::newRow("Ctrl+B in the editor") << "page" << int(Qt::Key_B) << ctrl << "find";
        QTest::newRow("Ctrl+F in the source view") << "source" << int(Qt::Key_F) << ctrl << "find";
        QTest::newRow("F8 in the editor") << "page" << int(Qt::Key_F8) << none << "source mode";
        QTest::newRow("F6 in the source view")
            << "source" << int(Qt::Key_F6) << none << "browse mode";
        QTest::newRow("F7 in the tree") << "tree" << int(Qt::Key_F7) << none << "edit mode";
        QTest::newRow("F7 in the search box")
            << "search box" << int(Qt::Key_F7) << none << "browse mode";
        QTest::newRow("Alt+F in the editor") << "page" << int(Qt::Key_F) << alt << "파일(F)";
        QTest::newRow("Alt+E in the tree") << "tree" << int(Qt::Key_E) << alt << "편집(E)";
        QTest::newRow("Escape in the editor") << "page" << int(Qt::Key_Escape) << none << "hidden";
    }
    void keysWhereverTheFocusIs() {
        QFETCH(QString, where);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, effect);
        F.Window->TrayKeeper()->SetAvailable([] { return true; });
        QWidget* target = Focus(where);
        QTest::keyClick(target, Qt::Key(key), modifiers);
        if (effect == "search panel")
            QCOMPARE(F.Window->PanelMode(), TqbPanelMode::Search);
        else if (effect == "tree panel")
            QCOMPARE(F.Window->PanelMode(), TqbPanelMode::Tree);
        else if (effect == "find")
            QTRY_VERIFY_WITH_TIMEOUT(F.Window->FindDialog()->isVisible(),
                                     TqbWindowFixture::PageTimeoutMs);
        else if (effect.endsWith("mode"))
            QCOMPARE(F.Window->ViewMode(), effect == "browse mode" ? TqbViewMode::Browse
                                           : effect == "edit mode" ? TqbViewMode::Edit
                                                                   : TqbViewMode::Source);
        else if (effect == "hidden")
            QVERIFY(!F.Window->isVisible());
        else {
            QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QMenu*>(QApplication::activePopupWidget()),
                                     TqbWindowFixture::PageTimeoutMs);
            auto* menu = static_cast<QMenu*>(QApplication::activePopupWidget());
            QCOMPARE(menu->title(), effect);
            menu->close();
        }
        F.Window->FindDialog()->hide();
        F.Window->RestoreFromTray();
    }

    // The key marks the note in edit mode and the paste still happens, in either editor.
    void ctrlVStillPastes_data() {
        QTest::addColumn<QString>("where");
        QTest::newRow("editor") << "page";
        QTest::newRow("source view") << "source";
    }
    void ctrlVStillPastes() {
        QFETCH(QString, where);
        QWidget* target = Focus(where);
        QApplication::clipboard()->setText(QStringLiteral("붙임"));
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
        if (where == "page") {
            QVERIFY(F.Window->NoteModified());
            QTRY_VERIFY_WITH_TIMEOUT(
                F.Window->Dhtml()->DocumentHtml().contains(QStringLiteral("붙임")),
                TqbWindowFixture::PageTimeoutMs);
        } else {
            QVERIFY(F.Window->RchDhtml()->toPlainText().startsWith(QStringLiteral("붙임")));
        }
    }

    // The editor copies, styles and deletes words by itself; the key still marks the note, so
    // what it changed is saved.
    void editorKeysMarkTheNote_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Ctrl+C copy") << int(Qt::Key_C);
        QTest::newRow("Ctrl+Backspace deletes a word") << int(Qt::Key_Backspace);
        QTest::newRow("Ctrl+I italic") << int(Qt::Key_I);
    }
    void editorKeysMarkTheNote() {
        QFETCH(int, key);
        QWidget* page = Focus("page");
        QVERIFY(!F.Window->NoteModified());
        QTest::keyClick(page, Qt::Key(key), Qt::ControlModifier);
        QVERIFY(F.Window->NoteModified());
    }

    void heldCtrlShowsTheBadgesOverTheirControls() {
        QWidget* page = Focus("page");
        TqbShortcutBadges* badges = F.Window->ShortcutBadges();
        QTest::keyPress(page, Qt::Key_Control, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(badges->Showing(), TqbWindowFixture::PageTimeoutMs);
        QStringList letters;
        for (QLabel* badge : badges->Badges()) {
            QVERIFY(badge->isVisible());
            letters << badge->text();
        }
        QCOMPARE(letters, QStringList({"S", "P", "F", "L", "D"}));
        const auto over = [&](const char* letter, QWidget* control) {
            QLabel* badge = F.Window->findChild<QLabel*>(QString("badge") + letter);
            const QRect place(control->mapTo(F.Window.get(), QPoint()), control->size());
            const QRect shown(badge->mapTo(F.Window.get(), QPoint()), badge->size());
            QVERIFY2(shown.intersects(place), letter);
        };
        over("L", F.Window->findChild<QWidget*>("btnToTreeMode"));
        over("D", F.Window->findChild<QWidget*>("btnToSearchMode"));
        auto* toolbar = F.Window->findChild<QToolBar*>("TBToolbar1");
        over("S", toolbar->widgetForAction(F.Window->Action("actFileSave")));
        QTest::keyRelease(page, Qt::Key_Control);
        QVERIFY(!badges->Showing());
    }

    // A table key where its command cannot act changes nothing: its letter would have replaced
    // the selection, a whole table as an undo of a table command leaves it. It says why.
    void tableKeysWhereTheyCannotAct_data() {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("why");
        const QString notInTable = TqbTableCommands::NotInTableMessage;
        const struct {
            const char* name;
            int key;
        } outsideKeys[] = {{"A", Qt::Key_A},
                           {"B", Qt::Key_B},
                           {"L", Qt::Key_L},
                           {"R", Qt::Key_R},
                           {"Up", Qt::Key_Up},
                           {"Del", Qt::Key_Delete},
                           {"Backspace", Qt::Key_Backspace},
                           {"M", Qt::Key_M},
                           {"S", Qt::Key_S}};
        for (const auto& outside : outsideKeys)
            QTest::addRow("Alt+Shift+%s in the text", outside.name)
                << "text" << outside.key << notInTable;
        QTest::newRow("Alt+Shift+M in one cell")
            << "cell" << int(Qt::Key_M) << TqbTableCommands::NothingToMergeMessage;
        QTest::newRow("Alt+Shift+S in one cell")
            << "cell" << int(Qt::Key_S) << TqbTableCommands::NothingToSplitMessage;
        QTest::newRow("Alt+Shift+B over the whole table")
            << "table" << int(Qt::Key_B) << notInTable;
        QTest::newRow("Alt+Shift+T in browse mode")
            << "browse" << int(Qt::Key_T) << TqbTableCommands::NotEditingMessage;
    }
    void tableKeysWhereTheyCannotAct() {
        QFETCH(QString, selection);
        QFETCH(int, key);
        QFETCH(QString, why);
        F.Select("표");
        if (selection != "browse")
            SelectInTable(selection);
        QWidget* page = PageWidget();
        page->setFocus();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), page,
                                  TqbWindowFixture::PageTimeoutMs);
        const QString before = F.Window->Dhtml()->DocumentHtml();
        QTest::keyClick(page, Qt::Key(key), Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(F.Window->StatusPanel()->Notice(), why);
        QCOMPARE(F.Window->Dhtml()->DocumentHtml(), before);
    }

    void ctrlSInTheSourceViewSaves() {
        QWidget* source = Focus("source");
        QTest::keyClicks(source, "x");
        QTest::keyClick(source, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(ReadBytes(F.Lib("노트.htm")).startsWith("x<HTML>"));
    }
};

QB_APP_TEST_MAIN(TestKeys)
#include "tst_Keys.moc"
