#pragma once

#include <QObject>
#include <QString>
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

    // The status bar's word when a command's key is pressed where the command cannot act.
    static const QString NotEditingMessage;
    static const QString NotInTableMessage;
    static const QString NothingToMergeMessage;
    static const QString NothingToSplitMessage;

    // The idle update: enables each action by where the selection is.
    void UpdateActions();
    // Runs the command of the tag (TqbTableEdit's) from its menu item or its key; a key pressed
    // where the command cannot act changes nothing and is told why.
    void Execute(int tag);

signals:
    void Refused(const QString& why);

private:
    // Why the command cannot act where the selection is; empty when it can.
    QString WhyNot(int tag) const;
    void AddToPopup(QMenu* menu);

    TqbDhtmlEdit* m_dhtml;
    const TqbActions& m_actions;
    TqbOpenNote& m_note;
    QWidget* m_dialogParent;
    std::unique_ptr<TqbTableEdit> m_tables;
};
