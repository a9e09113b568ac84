#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QObject;
class QToolBar;
class QWidget;

// One command of the main window: what the user sees of it and the tag its handler reads.
struct TqbActionRow {
    const char* Name;
    const char* Caption;
    const char* Hint;
    const char* Key; // keys parted by "; ", the first shown in menus
    int Tag;
    int Glyph; // a qbImg constant; -1 for none
    bool Checkable;
};

// The window's commands as data, and the menus and toolbars laid out from them.
namespace qbActionTable {

// Every action of the action list, in its order.
const QList<TqbActionRow>& Actions();
// The menu items that are not actions: stay-on-top, home page, quit, find in folder, the modes.
const QList<TqbActionRow>& MenuItems();
const TqbActionRow* Find(const QString& name);

// The hint as a tooltip shows it: the hint, else the caption without its "&"; never the
// action's own name.
QString ToolTip(const TqbActionRow& row);

// The row's key as a menu shows it.
QList<QKeySequence> Keys(const TqbActionRow& row);
QString KeyText(const TqbActionRow& row);

// A QAction for the row, owned by owner. An action of the action list is also added to owner, so
// its key works wherever the focus is in the window; a menu item's key works only where the
// menu bar shows. A key the key filter carries out is named in the text instead, never made a
// shortcut.
QAction* Create(const TqbActionRow& row, QWidget* owner, bool addToOwner);

} // namespace qbActionTable

// The window's actions and menu items, found by name.
class TqbActions {
public:
    // Creates every action and menu item on owner.
    explicit TqbActions(QWidget* owner);

    QAction* Action(const QString& name) const;
    QActionGroup* ModeItems() const { return m_modeItems; }

    // "파일(F)", "편집(E)", then the three mode items. The skin menu, when given, goes into
    // the file menu after the settings.
    void BuildMainMenu(QMenuBar* menu, QMenu* skinMenu = nullptr);
    // The file menu's "최근 노트", filled by the window as it opens.
    QMenu* RecentMenu() const { return m_recentMenu; }
    // The table commands, for the edit menu's "표" and the page's pop-up menu.
    void BuildTableMenu(QMenu* menu) const;
    // The note toolbar of the tree side.
    void BuildNoteToolbar(QToolBar* bar) const;
    // The first row of the editing toolbar.
    void BuildEditRow(QToolBar* bar) const;

private:
    QWidget* m_owner;
    // Looked up several times a tick of the idle update: a search of the window's children
    // each time cost the idle window 1 % of a core.
    QHash<QString, QAction*> m_byName;
    QActionGroup* m_modeItems = nullptr;
    QMenu* m_recentMenu = nullptr;
};
