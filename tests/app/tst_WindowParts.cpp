// The window's smaller parts on their own: the action table with its menus and toolbars, and
// the source editor.
#include "app/qbActionTable.h"
#include "app/qbSourceView.h"

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QTextCursor>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTest>
#include <QToolBar>
#include <QToolTip>
#include <QWidget>

namespace {

QStringList Texts(const QList<QAction*>& actions) {
    QStringList texts;
    for (QAction* action : actions)
        texts << (action->isSeparator() ? QStringLiteral("|")
                  : action->objectName().isEmpty() ? action->text().section(u'\t', 0, 0)
                                                   : action->objectName());
    return texts;
}

} // namespace

class TestWindowParts : public QObject {
    Q_OBJECT

private slots:
    void everyNameIsUniqueAndFound() {
        QSet<QString> names;
        for (const auto* list : {&qbActionTable::Actions(), &qbActionTable::MenuItems()})
            for (const TqbActionRow& row : *list) {
                QVERIFY2(!names.contains(row.Name), row.Name);
                names.insert(row.Name);
                QCOMPARE(qbActionTable::Find(row.Name), &row);
            }
        QCOMPARE(qbActionTable::Find("actNothing"), nullptr);
    }

    void toolTipIsTheHintElseTheCaption_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tip");
        QTest::newRow("hint") << "actFileSave" << "노트 저장";
        QTest::newRow("caption without &") << "actCut" << "잘라내기(T)";
    }
    void toolTipIsTheHintElseTheCaption() {
        QFETCH(QString, name);
        QFETCH(QString, tip);
        QWidget owner;
        TqbActions actions(&owner);
        QCOMPARE(actions.Action(name)->toolTip(), tip);
    }

    // What a tooltip shows is for the user: never an action's own name.
    void toolTipsNeverShowANameOfTheCode() {
        QWidget owner;
        TqbActions actions(&owner);
        for (const auto* list : {&qbActionTable::Actions(), &qbActionTable::MenuItems()})
            for (const TqbActionRow& row : *list)
                QVERIFY2(actions.Action(row.Name)->toolTip() != QLatin1String(row.Name),
                         row.Name);
        QCOMPARE(actions.Action("actAddLink")->toolTip(), QStringLiteral("링크 만들기"));
    }

    // The mode items are the menu bar's radio buttons: the checked one looks pressed, and
    // each shows its hint when the mouse rests on it.
    void modeItemsShowTheModeAndTheirHints() {
        QWidget owner;
        TqbActions actions(&owner);
        QMenuBar bar;
        actions.BuildMainMenu(&bar);
        bar.resize(bar.sizeHint().width() + 20, bar.sizeHint().height());
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QAction* edit = actions.Action("tbiEdit");
        const QRect place = bar.actionGeometry(edit);
        QVERIFY(place.isValid());
        const QImage unchecked = bar.grab(place).toImage();
        edit->setChecked(true);
        const QImage checked = bar.grab(place).toImage();
        QVERIFY(unchecked != checked);
        actions.Action("tbiBrowse")->setChecked(true);
        QCOMPARE(bar.grab(place).toImage(), unchecked);

        for (const char* name : {"tbiBrowse", "tbiEdit", "tbiSource"}) {
            QAction* item = actions.Action(name);
            const QPoint at = bar.actionGeometry(item).center();
            QHelpEvent help(QEvent::ToolTip, at, bar.mapToGlobal(at));
            QApplication::sendEvent(&bar, &help);
            QTRY_COMPARE(QToolTip::text(), QString::fromUtf8(qbActionTable::Find(name)->Hint));
        }
    }

    // The action list's keys work anywhere in the window; a menu item's only where the menu is.
    // Keys the key filter carries out are only named in the menus.
    void onlyTheActionListIsAddedToTheWindow() {
        QWidget owner;
        TqbActions actions(&owner);
        QVERIFY(owner.actions().contains(actions.Action("actCut")));
        QCOMPARE(actions.Action("actCut")->shortcut(), QKeySequence("Ctrl+X"));
        QVERIFY(!owner.actions().contains(actions.Action("tbiClose")));
        QCOMPARE(actions.Action("tbiClose")->shortcut(), QKeySequence("Alt+F4"));
        QCOMPARE(actions.Action("actFileNewNote")->text(), QString("노트 만들기(&N)\tCtrl+Ins"));
        QVERIFY(actions.ModeItems()->isExclusive());
    }

    void menusAndToolbarsInTheirOrder() {
        QWidget owner;
        TqbActions actions(&owner);
        QMenuBar bar;
        actions.BuildMainMenu(&bar);
        const QList<QAction*> top = bar.actions();
        QCOMPARE(Texts(top), QStringList({"tbiStayOnTop", "파일(F)", "편집(E)", "|", "tbiBrowse",
                                          "tbiEdit", "tbiSource"}));
        QCOMPARE(
            Texts(top.at(1)->menu()->actions()),
            QStringList({"actFileNewFolder", "actFileNewNote", "actFileRename", "actFileDelete",
                         "|", "파일 저장(&S)", "파일 인쇄(&P)", "actReload", "actVersions", "actNoteToMail", "|",
                         "최근 노트(&L)", "|", "actToolConfig", "TBItem1", "|", "tbiClose"}));
        QCOMPARE(Texts(top.at(2)->menu()->actions()),
                 QStringList({"actCut", "actCopy", "actPaste", "|", "actUndo", "actRedo", "|",
                              "링크 만들기(&K)", "|", "actToolFind", "TBItem12", "|", "actJumpToNote", "actGoBack",
                              "actGoForward", "actBacklinks", "actTagList", "actDailyNote",
                              "actDailyPrev", "actDailyNext", "|", "표(&A)", "|", "actSpellCheck"}));
        QCOMPARE(Texts(top.at(2)->menu()->actions().at(21)->menu()->actions()),
                 QStringList({"actTableInsert", "|", "actTableRowAbove", "actTableRowBelow",
                              "actTableColumnLeft", "actTableColumnRight", "|",
                              "actTableDeleteRows", "actTableDeleteColumns", "|", "actTableMerge",
                              "actTableSplit"}));
        QToolBar toolbar;
        actions.BuildNoteToolbar(&toolbar);
        QCOMPARE(Texts(toolbar.actions()),
                 QStringList({"actFileNewFolder", "actFileNewNote", "actFileDelete",
                              "actFileSave", "actFilePrint", "|", "actToolFind", "actReload",
                              "actNoteToMail"}));
        // The aliases follow their action's enabling and run it.
        QAction* save = actions.Action("actFileSave");
        QAction* alias = top.at(1)->menu()->actions().at(5);
        save->setEnabled(false);
        QVERIFY(!alias->isEnabled());
        save->setEnabled(true);
        int runs = 0;
        connect(save, &QAction::triggered, this, [&] { ++runs; });
        alias->trigger();
        QCOMPARE(runs, 1);
    }

    // What a plain-text editor would change: non-breaking spaces stay, and the line and
    // paragraph separators stay characters rather than becoming line ends: as references where
    // the page decodes them, as themselves where it does not. Typing goes on as typed.
    void sourceTextKeepsItsCharacters_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("saved");
        QTest::newRow("non-breaking space") << QStringLiteral("a\u00A0b\nline two")
                                            << QStringLiteral("a\u00A0b\nline two");
        QTest::newRow("line and paragraph separators")
            << QStringLiteral("a\u2028b\nc\u2029d") << QStringLiteral("a&#x2028;b\nc&#x2029;d");
        QTest::newRow("in a script")
            << QStringLiteral("<SCRIPT type=\"a>b\">s = \"x\u2028y\u2029\";</SCRIPT>\u2028")
            << QStringLiteral("<SCRIPT type=\"a>b\">s = \"x\u2028y\u2029\";</SCRIPT>&#x2028;");
        QTest::newRow("in a style and a comment")
            << QStringLiteral("<style>p{}\u2028</style><!-- \u2029 --><p>\u2029")
            << QStringLiteral("<style>p{}\u2028</style><!-- \u2029 --><p>&#x2029;");
        QTest::newRow("in an attribute and a title")
            << QStringLiteral("<title>\u2028</title><p title='\u2028'>")
            << QStringLiteral("<title>&#x2028;</title><p title='&#x2028;'>");
        QTest::newRow("a script left open, typing right after")
            << QStringLiteral("<script>\n\u2028") << QStringLiteral("<script>\n\u2028");
        QTest::newRow("the symbol itself stays, in an xmp too")
            << QStringLiteral("\u2424<xmp>\u2424\u2028") << QStringLiteral("\u2424<xmp>\u2424\u2028");
    }
    void sourceTextKeepsItsCharacters() {
        QFETCH(QString, text);
        QFETCH(QString, saved);
        TqbSourceView view;
        view.SetText(text);
        QCOMPARE(view.Text(), saved);
        QVERIFY(!view.document()->isModified());
        QVERIFY(!view.isReadOnly());
        view.moveCursor(QTextCursor::End);
        QTest::keyClicks(&view, "z");
        QCOMPARE(view.Text(), saved + "z");
        view.ShowNothing();
        QVERIFY(view.isReadOnly());
        QCOMPARE(view.Text(), QString());
    }

    // What the journal reads: the syllable being composed is text already, where it will land.
    void sourceTextHoldsTheComposition() {
        TqbSourceView view;
        view.SetText("ab\ncd");
        QTextCursor caret = view.textCursor();
        caret.setPosition(4);
        view.setTextCursor(caret);
        QInputMethodEvent composing(QStringLiteral("한"), {});
        QApplication::sendEvent(&view, &composing);
        QCOMPARE(view.Text(), QStringLiteral("ab\nc한d"));
        QInputMethodEvent done;
        done.setCommitString(QStringLiteral("한"));
        QApplication::sendEvent(&view, &done);
        QCOMPARE(view.Text(), QStringLiteral("ab\nc한d"));
    }

    void sourceFindGoesRoundOnce() {
        TqbSourceView view;
        view.SetText("abc\nabc");
        QTextCursor end = view.textCursor();
        end.movePosition(QTextCursor::End);
        view.setTextCursor(end);
        QVERIFY(view.FindText("ABC", false, false));
        QCOMPARE(view.textCursor().blockNumber(), 0);
        QVERIFY(!view.FindText("ABC", false, true));
    }
};

QTEST_MAIN(TestWindowParts)
#include "tst_WindowParts.moc"
