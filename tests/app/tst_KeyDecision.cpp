// The program's own keys as the key filter decides them, without a window.
#include "app/qbActionTable.h"
#include "app/qbKeyDecision.h"

#include <QAction>
#include <QTest>
#include <QWidget>

Q_DECLARE_METATYPE(TqbKeyCommand)

namespace {

constexpr TqbPanelMode Tree = TqbPanelMode::Tree, Search = TqbPanelMode::Search;
constexpr TqbViewMode Browse = TqbViewMode::Browse, Edit = TqbViewMode::Edit,
                      Source = TqbViewMode::Source;
constexpr int Unchanged = -1;

using enum TqbKeyCommand;

} // namespace

class TestKeyDecision : public QObject {
    Q_OBJECT

private slots:
    void everyRowOfTheTables_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<TqbPanelMode>("panelMode");
        QTest::addColumn<TqbViewMode>("viewMode");
        QTest::addColumn<bool>("mainActive");
        QTest::addColumn<bool>("tray");
        QTest::addColumn<TqbKeyCommand>("command");
        QTest::addColumn<int>("modified"); // Unchanged, 0 or 1
        QTest::addColumn<bool>("timer");
        QTest::addColumn<bool>("handled");

        const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier,
                                    ctrlShift = Qt::ControlModifier | Qt::ShiftModifier,
                                    alt = Qt::AltModifier, shift = Qt::ShiftModifier;
        const auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };
        // Plain keys: never handled.
        row("Escape hides") << int(Qt::Key_Escape) << none << Tree << Edit << true << true
                            << HideToTray << Unchanged << false << false;
        row("Escape hides from the search panel")
            << int(Qt::Key_Escape) << none << Search << Browse << true << true << HideToTray
            << Unchanged << false << false;
        row("Escape with a modal dialog up") << int(Qt::Key_Escape) << none << Tree << Edit << false
                                             << true << None << Unchanged << false << false;
        row("Escape without a notification area")
            << int(Qt::Key_Escape) << none << Tree << Edit << true << false << None << Unchanged
            << false << false;
        for (const int arrow : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down})
            QTest::addRow("arrow %x does nothing", arrow)
                << arrow << none << Tree << Edit << true << true << None << Unchanged << false
                << false;
        row("F6 browse") << int(Qt::Key_F6) << none << Tree << Edit << true << true << BrowseMode
                         << Unchanged << false << false;
        row("F7 edit") << int(Qt::Key_F7) << none << Tree << Browse << true << true << EditMode
                       << Unchanged << false << false;
        row("F8 source") << int(Qt::Key_F8) << none << Tree << Edit << true << true << SourceMode
                         << Unchanged << false << false;
        row("F7 with the search panel shown") << int(Qt::Key_F7) << none << Search << Browse << true
                                              << true << None << Unchanged << false << false;
        row("letter in edit mode") << int(Qt::Key_A) << none << Tree << Edit << true << true << None
                                   << 1 << false << false;
        row("letter in browse mode") << int(Qt::Key_A) << none << Tree << Browse << true << true
                                     << None << 1 << false << false;
        row("capital letter") << int(Qt::Key_A) << shift << Search << Browse << true << true << None
                              << 1 << false << false;
        row("Enter") << int(Qt::Key_Return) << none << Tree << Edit << true << true << None << 1
                     << false << false;
        row("Delete") << int(Qt::Key_Delete) << none << Tree << Source << true << true << None << 1
                      << false << false;
        row("letter typed in a dialog") << int(Qt::Key_A) << none << Tree << Edit << false << true
                                        << None << Unchanged << false << false;

        // Ctrl keys: each turns the hint timer on.
        row("Ctrl alone") << int(Qt::Key_Control) << ctrl << Tree << Edit << true << true << None
                          << Unchanged << true << false;
        row("Ctrl+Insert new note") << int(Qt::Key_Insert) << ctrl << Tree << Browse << true << true
                                    << NewNote << Unchanged << true << true;
        row("Ctrl+B find") << int(Qt::Key_B) << ctrl << Tree << Edit << true << true << Find
                           << Unchanged << true << true;
        row("Ctrl+F find") << int(Qt::Key_F) << ctrl << Tree << Edit << true << true << Find
                           << Unchanged << true << true;
        row("Ctrl+D search panel") << int(Qt::Key_D) << ctrl << Tree << Edit << true << true
                                   << SearchPanel << Unchanged << true << true;
        row("Ctrl+L tree panel") << int(Qt::Key_L) << ctrl << Search << Browse << true << true
                                 << TreePanel << Unchanged << true << true;
        row("Ctrl+P print") << int(Qt::Key_P) << ctrl << Tree << Browse << true << true << Print
                            << Unchanged << true << true;
        row("Ctrl+S save") << int(Qt::Key_S) << ctrl << Tree << Edit << true << true << Save
                           << Unchanged << true << true;
        row("Ctrl+J jump to a note") << int(Qt::Key_J) << ctrl << Search << Edit << true << true
                                     << JumpToNote << Unchanged << true << true;
        row("Ctrl+J in a dialog") << int(Qt::Key_J) << ctrl << Tree << Edit << false << true << None
                                  << Unchanged << false << false;
        row("Ctrl+K makes a link") << int(Qt::Key_K) << ctrl << Tree << Edit << true << true
                                   << MakeLink << Unchanged << true << true;
        row("Ctrl+K in browse mode") << int(Qt::Key_K) << ctrl << Tree << Browse << true << true
                                     << None << Unchanged << true << false;
        row("Alt+Left back") << int(Qt::Key_Left) << alt << Tree << Edit << true << true << GoBack
                             << Unchanged << false << true;
        row("Alt+Right forward") << int(Qt::Key_Right) << alt << Search << Browse << true << true
                                 << GoForward << Unchanged << false << true;
        row("Alt+Shift+Left is the table's")
            << int(Qt::Key_Left) << (alt | shift) << Tree << Edit << true << true << TableColumnLeft
            << Unchanged << false << true;
        row("Alt+Shift+M in browse mode is still the table's")
            << int(Qt::Key_M) << (alt | shift) << Tree << Browse << true << true << TableMerge
            << Unchanged << false << true;
        row("Alt+Shift+M in a dialog") << int(Qt::Key_M) << (alt | shift) << Tree << Edit << false
                                       << true << None << Unchanged << false << false;
        row("Alt+Left in a dialog") << int(Qt::Key_Left) << alt << Tree << Edit << false << true
                                    << None << Unchanged << false << false;
        row("Ctrl+V in browse mode") << int(Qt::Key_V) << ctrl << Tree << Browse << true << true
                                     << None << 0 << true << false;
        row("Ctrl+V in edit mode")
            << int(Qt::Key_V) << ctrl << Tree << Edit << true << true << None << 1 << true << false;
        row("Ctrl+V in source mode") << int(Qt::Key_V) << ctrl << Tree << Source << true << true
                                     << None << 0 << true << false;
        row("Ctrl+X in edit mode")
            << int(Qt::Key_X) << ctrl << Tree << Edit << true << true << None << 1 << true << false;
        row("Ctrl+C in edit mode")
            << int(Qt::Key_C) << ctrl << Tree << Edit << true << true << None << 1 << true << false;
        row("Ctrl+C in browse mode") << int(Qt::Key_C) << ctrl << Tree << Browse << true << true
                                     << None << Unchanged << true << false;
        row("Ctrl+Z in edit mode")
            << int(Qt::Key_Z) << ctrl << Tree << Edit << true << true << None << 1 << true << false;
        for (const int key : {Qt::Key_Y, Qt::Key_I, Qt::Key_U, Qt::Key_Backspace, Qt::Key_Delete}) {
            const QString name = QKeySequence(key).toString();
            QTest::addRow("Ctrl+%s in edit mode changes the page", qPrintable(name))
                << key << ctrl << Tree << Edit << true << true << None << 1 << true << false;
            QTest::addRow("Ctrl+%s in browse mode", qPrintable(name))
                << key << ctrl << Tree << Browse << true << true << None << Unchanged << true
                << false;
        }
        row("Ctrl+Shift+Backspace in edit mode")
            << int(Qt::Key_Backspace) << ctrlShift << Tree << Edit << true << true << None << 1
            << true << false;
        row("Ctrl+Home moves only") << int(Qt::Key_Home) << ctrl << Tree << Edit << true << true
                                    << None << Unchanged << true << false;
        row("Ctrl+A") << int(Qt::Key_A) << ctrl << Tree << Edit << true << true << None << Unchanged
                      << true << false;
        row("Ctrl+S in a dialog") << int(Qt::Key_S) << ctrl << Tree << Edit << false << true << None
                                  << Unchanged << false << false;
        row("Ctrl+Alt+S is a character") << int(Qt::Key_S) << (ctrl | alt) << Tree << Edit << true
                                         << true << None << Unchanged << true << false;

        // Ctrl+Shift keys.
        row("Ctrl+Shift+Insert new folder")
            << int(Qt::Key_Insert) << ctrlShift << Tree << Edit << true << true << NewFolder
            << Unchanged << true << true;
        row("Ctrl+Shift+Delete delete") << int(Qt::Key_Delete) << ctrlShift << Tree << Browse
                                        << true << true << DeleteNode << Unchanged << true << true;
        row("Ctrl+Shift+Z in edit mode") << int(Qt::Key_Z) << ctrlShift << Tree << Edit << true
                                         << true << None << 1 << true << false;
        row("Ctrl+Shift+S") << int(Qt::Key_S) << ctrlShift << Tree << Edit << true << true << None
                            << Unchanged << true << false;

        // Alt keys open the menus.
        row("Alt+F file menu") << int(Qt::Key_F) << alt << Tree << Edit << true << true << FileMenu
                               << Unchanged << false << true;
        row("Alt+E edit menu") << int(Qt::Key_E) << alt << Tree << Browse << true << true
                               << EditMenu << Unchanged << false << true;
        row("Alt+F with the search panel shown")
            << int(Qt::Key_F) << alt << Search << Browse << true << true << None << Unchanged
            << false << true;
        row("Alt+X") << int(Qt::Key_X) << alt << Tree << Edit << true << true << None << Unchanged
                     << false << false;
        row("Alt alone") << int(Qt::Key_Alt) << alt << Tree << Edit << true << true << None
                         << Unchanged << false << false;
    }
    void everyRowOfTheTables() {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(TqbPanelMode, panelMode);
        QFETCH(TqbViewMode, viewMode);
        QFETCH(bool, mainActive);
        QFETCH(bool, tray);
        QFETCH(TqbKeyCommand, command);
        QFETCH(int, modified);
        QFETCH(bool, timer);
        QFETCH(bool, handled);

        const TqbKeyDecision decision =
            qbKeyDecision::Decide(key, modifiers, {panelMode, viewMode, mainActive, tray});
        QCOMPARE(decision.Command, command);
        QCOMPARE(decision.NoteModified.has_value(), modified != Unchanged);
        if (modified != Unchanged)
            QCOMPARE(*decision.NoteModified, modified == 1);
        QCOMPARE(decision.StartHintTimer, timer);
        QCOMPARE(decision.Handled, handled);
    }

    // Each key the filter owns does something in the ordinary state; a list that named a key
    // the decision ignores would leave that key dead everywhere.
    void ownKeysAreDecidedKeys() {
        const TqbKeyState state{Tree, Edit, true, true};
        for (const QKeySequence& key : qbKeyDecision::OwnKeys()) {
            const QKeyCombination combination = key[0];
            const TqbKeyDecision decision =
                qbKeyDecision::Decide(combination.key(), combination.keyboardModifiers(), state);
            QVERIFY2(decision.Command != None, qPrintable(key.toString()));
        }
    }

    // A key the filter carries out is no action's shortcut, or it would run twice where the
    // focused widget lets shortcuts through; every other key stays a shortcut.
    void actionsLeaveTheFilterItsKeys() {
        QWidget owner;
        TqbActions actions(&owner);
        for (const auto* list : {&qbActionTable::Actions(), &qbActionTable::MenuItems()})
            for (const TqbActionRow& row : *list) {
                const QList<QKeySequence> keys = qbActionTable::Keys(row);
                QAction* action = actions.Action(row.Name);
                if (!keys.isEmpty() && qbKeyDecision::IsOwnKey(keys.first()))
                    QVERIFY2(action->shortcuts().isEmpty(), row.Name);
                else
                    QCOMPARE(action->shortcuts(), keys);
            }
        QVERIFY(qbKeyDecision::IsOwnKey(QKeySequence("Ctrl+S")));
        QVERIFY(!qbKeyDecision::IsOwnKey(QKeySequence("Ctrl+V")));
        QVERIFY(actions.Action("actFileSave")->text().endsWith("\tCtrl+S"));
    }
};

QTEST_MAIN(TestKeyDecision)
#include "tst_KeyDecision.moc"
