#pragma once

#include "app/qbPanelMode.h"
#include "note/qbModes.h"

#include <QKeySequence>
#include <QList>
#include <optional>

// What the window is doing when a key goes down: the facts the key filter decides on.
struct TqbKeyState {
    TqbPanelMode PanelMode = TqbPanelMode::Tree;
    TqbViewMode ViewMode = TqbViewMode::None;
    bool MainWindowActive = true; // no dialog, menu or other window has the keys
    bool TrayAvailable = true;    // the desktop has a notification area to hide in
    // An input method is composing, or its composition ended right before this key: the key
    // belongs to it (Escape leaves the Korean mode in some input methods).
    bool Composing = false;
};

// What a key press asks the window to do.
enum class TqbKeyCommand {
    None,
    HideToTray,
    BrowseMode,
    EditMode,
    SourceMode,
    NewNote,
    NewFolder,
    DeleteNode,
    Find,
    SearchPanel,
    TreePanel,
    Print,
    Save,
    FileMenu,
    EditMenu,
    JumpToNote,
    GoBack,
    GoForward,
    MakeLink,
    // The table commands, in the order of TqbTableEdit's.
    TableInsert,
    TableRowAbove,
    TableRowBelow,
    TableColumnLeft,
    TableColumnRight,
    TableDeleteRows,
    TableDeleteColumns,
    TableMerge,
    TableSplit,
};

struct TqbKeyDecision {
    TqbKeyCommand Command = TqbKeyCommand::None;
    // The value NoteModified takes; empty leaves it alone.
    std::optional<bool> NoteModified;
    // Turns tmr1Sec on (a key pressed with Ctrl held).
    bool StartHintTimer = false;
    // The key goes no further: the focused widget never sees it.
    bool Handled = false;

    bool operator==(const TqbKeyDecision&) const = default;
};

// The program's own keys, decided the same wherever the focus is in the main window.
namespace qbKeyDecision {

// The decision for a key press (a Qt::Key) with its modifiers.
TqbKeyDecision Decide(int key, Qt::KeyboardModifiers modifiers, const TqbKeyState& state);

// The keys this decision carries out itself: an action must not also hold them as its
// shortcut, or the command would run twice (or, in the editor, not at all).
const QList<QKeySequence>& OwnKeys();
bool IsOwnKey(const QKeySequence& key);

// The action a command triggers, by its name in the action table; nullptr for the commands the
// window carries out itself (save, hide, the panel buttons, the menus).
const char* ActionName(TqbKeyCommand command);

// Whether the command is one of the table's; its place among them is TqbTableEdit's command.
bool IsTableCommand(TqbKeyCommand command);

} // namespace qbKeyDecision
