#include "app/qbKeyDecision.h"

namespace {

using enum TqbKeyCommand;

struct TTableKey {
    int Key;
    TqbKeyCommand Command;
};

// Alt+Shift with these runs a table command. Where the command cannot act the key still goes
// no further: the page would type its letter over the selection, a whole table after an undo.
// Some window managers take Alt+Shift with the arrows: each has a letter too.
constexpr TTableKey TableKeys[] = {
    {Qt::Key_T, TableInsert},
    {Qt::Key_Up, TableRowAbove},
    {Qt::Key_A, TableRowAbove},
    {Qt::Key_Down, TableRowBelow},
    {Qt::Key_B, TableRowBelow},
    {Qt::Key_Left, TableColumnLeft},
    {Qt::Key_L, TableColumnLeft},
    {Qt::Key_Right, TableColumnRight},
    {Qt::Key_R, TableColumnRight},
    {Qt::Key_Delete, TableDeleteRows},
    {Qt::Key_Backspace, TableDeleteColumns},
    {Qt::Key_M, TableMerge},
    {Qt::Key_S, TableSplit},
};

TqbKeyDecision Run(TqbKeyCommand command, bool handled, TqbKeyDecision decision = {}) {
    decision.Command = command;
    decision.Handled = handled;
    return decision;
}

TqbKeyDecision AltShiftKey(int key, const TqbKeyState& state) {
    if (!state.MainWindowActive)
        return {};
    for (const TTableKey& tableKey : TableKeys)
        if (tableKey.Key == key)
            return Run(tableKey.Command, true);
    return {};
}

// Alt with a letter opens the menu of that letter; Alt combinations are not typing.
TqbKeyDecision AltKey(int key, bool shift, const TqbKeyState& state) {
    if (shift)
        return AltShiftKey(key, state);
    // Back and forward through the notes opened; the web engine would take them for its own
    // page history.
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        if (!state.MainWindowActive)
            return {};
        return Run(key == Qt::Key_Left ? GoBack : GoForward, true);
    }
    if (key != Qt::Key_F && key != Qt::Key_E)
        return {};
    // The menu bar shows only with the tree; the key is used up either way.
    const bool menuShown = state.MainWindowActive && state.PanelMode == TqbPanelMode::Tree;
    return Run(menuShown ? (key == Qt::Key_F ? FileMenu : EditMenu) : None, true);
}

TqbKeyDecision PlainKey(int key, const TqbKeyState& state) {
    switch (key) {
    case Qt::Key_Escape:
        return Run(state.MainWindowActive && state.TrayAvailable && !state.Composing ? HideToTray
                                                                                     : None,
                   false);
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return {};
    case Qt::Key_F6:
    case Qt::Key_F7:
    case Qt::Key_F8: {
        if (!state.MainWindowActive || state.PanelMode != TqbPanelMode::Tree)
            return {};
        return Run(key == Qt::Key_F6   ? BrowseMode
                   : key == Qt::Key_F7 ? EditMode
                                       : SourceMode,
                   false);
    }
    default: {
        TqbKeyDecision decision;
        // Typing in a dialog is not typing in the note.
        if (state.MainWindowActive)
            decision.NoteModified = true;
        return decision;
    }
    }
}

TqbKeyDecision CtrlKey(int key, const TqbKeyState& state) {
    TqbKeyDecision decision;
    // A dialog or a menu takes its own keys; the window's shortcuts wait for the window.
    if (!state.MainWindowActive)
        return decision;
    decision.StartHintTimer = true;
    const auto run = [&](TqbKeyCommand command) { return Run(command, true, decision); };
    switch (key) {
    case Qt::Key_Insert:
        return run(NewNote);
    case Qt::Key_B:
    case Qt::Key_F:
        return run(Find);
    case Qt::Key_D:
        return run(SearchPanel);
    case Qt::Key_J:
        return run(JumpToNote);
    case Qt::Key_K:
        // Only the editor makes links; in browse mode the key does nothing.
        return state.ViewMode == TqbViewMode::Edit ? run(MakeLink) : decision;
    case Qt::Key_L:
        return run(TreePanel);
    case Qt::Key_P:
        return run(Print);
    case Qt::Key_S:
        return run(Save);
    case Qt::Key_V:
    case Qt::Key_X:
        decision.NoteModified = state.ViewMode == TqbViewMode::Edit;
        return decision;
    // The editor copies, undoes and redoes by itself, past the commands that would mark the
    // note changed; the key marks it as those commands do. The editor also styles text and
    // deletes whole words on its own keys: a change nothing marked would not be saved.
    case Qt::Key_C:
    case Qt::Key_Z:
    case Qt::Key_Y:
    case Qt::Key_I:
    case Qt::Key_U:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        if (state.ViewMode == TqbViewMode::Edit)
            decision.NoteModified = true;
        return decision;
    default:
        return decision;
    }
}

TqbKeyDecision CtrlShiftKey(int key, const TqbKeyState& state) {
    TqbKeyDecision decision;
    if (!state.MainWindowActive)
        return decision;
    decision.StartHintTimer = true;
    if (key == Qt::Key_Insert)
        return Run(NewFolder, true, decision);
    if (key == Qt::Key_Delete)
        return Run(DeleteNode, true, decision);
    // Redo, and deleting up to the line's end or start, as the Ctrl keys above.
    if ((key == Qt::Key_Z || key == Qt::Key_Backspace) && state.ViewMode == TqbViewMode::Edit)
        decision.NoteModified = true;
    return decision;
}

} // namespace

namespace qbKeyDecision {

TqbKeyDecision Decide(int key, Qt::KeyboardModifiers modifiers, const TqbKeyState& state) {
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier) || key == Qt::Key_Control;
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool alt = modifiers.testFlag(Qt::AltModifier) || key == Qt::Key_Alt;
    if (ctrl) {
        TqbKeyDecision decision = shift ? CtrlShiftKey(key, state) : CtrlKey(key, state);
        // Ctrl with Alt is AltGr on many layouts: a character, never a command.
        if (alt) {
            decision.Command = None;
            decision.Handled = false;
            decision.NoteModified.reset();
        }
        return decision;
    }
    if (alt)
        return AltKey(key, shift, state);
    return PlainKey(key, state);
}

const QList<QKeySequence>& OwnKeys() {
    static const QList<QKeySequence> keys = [] {
        QList<QKeySequence> own = {
            QKeySequence(Qt::Key_Escape),
            QKeySequence(Qt::Key_F6),
            QKeySequence(Qt::Key_F7),
            QKeySequence(Qt::Key_F8),
            QKeySequence(Qt::CTRL | Qt::Key_Insert),
            QKeySequence(Qt::CTRL | Qt::Key_B),
            QKeySequence(Qt::CTRL | Qt::Key_F),
            QKeySequence(Qt::CTRL | Qt::Key_D),
            QKeySequence(Qt::CTRL | Qt::Key_K),
            QKeySequence(Qt::CTRL | Qt::Key_L),
            QKeySequence(Qt::CTRL | Qt::Key_P),
            QKeySequence(Qt::CTRL | Qt::Key_S),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Insert),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete),
            QKeySequence(Qt::ALT | Qt::Key_F),
            QKeySequence(Qt::ALT | Qt::Key_E),
            QKeySequence(Qt::CTRL | Qt::Key_J),
            QKeySequence(Qt::ALT | Qt::Key_Left),
            QKeySequence(Qt::ALT | Qt::Key_Right),
        };
        for (const TTableKey& tableKey : TableKeys)
            own << QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key(tableKey.Key));
        return own;
    }();
    return keys;
}

bool IsOwnKey(const QKeySequence& key) {
    return OwnKeys().contains(key);
}

const char* ActionName(TqbKeyCommand command) {
    switch (command) {
    case BrowseMode:
        return "tbiBrowse";
    case EditMode:
        return "tbiEdit";
    case SourceMode:
        return "tbiSource";
    case NewNote:
        return "actFileNewNote";
    case NewFolder:
        return "actFileNewFolder";
    case DeleteNode:
        return "actFileDelete";
    case Find:
        return "actToolFind";
    case Print:
        return "actFilePrint";
    case JumpToNote:
        return "actJumpToNote";
    case GoBack:
        return "actGoBack";
    case GoForward:
        return "actGoForward";
    case MakeLink:
        return "actAddLink";
    case TableInsert:
        return "actTableInsert";
    case TableRowAbove:
        return "actTableRowAbove";
    case TableRowBelow:
        return "actTableRowBelow";
    case TableColumnLeft:
        return "actTableColumnLeft";
    case TableColumnRight:
        return "actTableColumnRight";
    case TableDeleteRows:
        return "actTableDeleteRows";
    case TableDeleteColumns:
        return "actTableDeleteColumns";
    case TableMerge:
        return "actTableMerge";
    case TableSplit:
        return "actTableSplit";
    default:
        return nullptr;
    }
}

bool IsTableCommand(TqbKeyCommand command) {
    return command >= TableInsert && command <= TableSplit;
}

} // namespace qbKeyDecision
