#pragma once

#include <QMenu>
#include <QStringList>

// The skin submenu "(&S)스킨 선택....": the Windows look, the basic skin, then one item per entry
// of the skin folder, numbered from command 2003.
class TqbSkinMenu : public QMenu {
    Q_OBJECT
public:
    enum : int { CmdWindowsLook = 2000, CmdBasicSkin = 2001, CmdFirstSkin = 2003 };
    // Only the first 21 skins are acted on; items for more are shown but do nothing.
    static constexpr int ActedSkins = 21;

    explicit TqbSkinMenu(QWidget* parent = nullptr);

    // "(&" + the letter with code 65 + index + ")" + name: the letters restart at "A" after
    // the two fixed items.
    static QString SkinItemText(int index, const QString& name);
    // The entry of `names` that a command chooses, or -1 when the command chooses none.
    static int SkinIndex(int command, int count);

    // Replaces the skin items by one per name.
    void SetSkinNames(const QStringList& names);
    QAction* CommandAction(int command) const;

signals:
    // Before the menu shows: the owner lists the skin folder again.
    void Rebuild();
    // A fixed item (2000, 2001) or a skin item within the first 21 was chosen.
    void Command(int command);

private:
    QList<QAction*> m_skinItems;
};
