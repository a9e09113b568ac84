#pragma once

#include <QObject>
#include <memory>

class QMenu;
class QWidget;
class TqbActions;
class TqbDhtmlEdit;
class TqbOpenNote;
class TqbTableEdit;

// The table actions of the edit menu and the page's pop-up menu: each runs its table command
// on the open note in edit mode and marks it modified, and is greyed where it does not apply.
class TqbTableCommands : public QObject {
    Q_OBJECT
public:
    TqbTableCommands(TqbDhtmlEdit* dhtml, const TqbActions& actions, TqbOpenNote& note,
                     QWidget* dialogParent);
    ~TqbTableCommands() override;

    // The idle update: enables each action by where the selection is.
    void UpdateActions();

private:
    void Execute(int tag);
    void AddToPopup(QMenu* menu);

    TqbDhtmlEdit* m_dhtml;
    const TqbActions& m_actions;
    TqbOpenNote& m_note;
    QWidget* m_dialogParent;
    std::unique_ptr<TqbTableEdit> m_tables;
};
