#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

class QAction;
class QComboBox;
class QWidget;
class TColorPickerButton;
class TqbActions;
class TqbDhtmlEdit;
class TqbFindDialog;
class TqbNoteInfo;
class TqbOpenNote;
class TqbSourceView;
class TqbTree;

// The widgets of the note pane the editing commands act on.
struct TqbEditWidgets {
    TqbDhtmlEdit* Dhtml = nullptr;
    TqbSourceView* Source = nullptr;
    QComboBox* FontName = nullptr;
    QComboBox* FontSize = nullptr;
    TColorPickerButton* FontColor = nullptr;
    TColorPickerButton* BackColor = nullptr;
    TqbFindDialog* Find = nullptr;
};

// The editing commands of the menus, the editing toolbar and the insert panel, and the update
// handlers that keep their check marks and enabling in step with the selection. Every command
// that acts on the page marks the open note modified.
class TqbEditCommands : public QObject {
    Q_OBJECT
public:
    struct TCommandState {
        bool Enabled = false;
        bool Latched = false;
    };

    // The first line of the warning when a pasted or dropped picture could not be kept.
    static const QString PictureNotKeptMessage;

    TqbEditCommands(const TqbEditWidgets& widgets, const TqbActions& actions, TqbOpenNote& note,
                    const TqbNoteInfo& noteInfo, QWidget* dialogParent);

    // The selection's value for a command name; null while no document is ready.
    QVariant QuerySelectionValue(const QString& name) const;
    // Applies the value unless the selection already has it; marks the note modified.
    void ApplySelectionCommand(const QString& name, const QVariant& value);
    void RunDocumentCommand(int id, bool prompt);
    // The library a link to a note is picked from.
    void SetNoteTree(const TqbTree* tree) { m_noteTree = tree; }
    TCommandState DocumentCommandState(int id) const;
    void RunControlCommand(int id);
    void InsertHtmlAtSelection(const QString& html);
    // Keeps a picture pasted or dropped as data in the note's folder and links it where it was
    // put; when it cannot be written, says so and puts nothing in.
    void KeepPicture(const QByteArray& bytes, const QString& type, const QString& name);
    // Cleans pasted HTML (an office program's, or any with pictures from files or data) and puts
    // it where it was pasted, its pictures kept in the note's folder; a picture that cannot be
    // kept is left out, with a warning.
    void PasteOfficeHtml(const QString& html, const QStringList& noteClasses);

    void UpdateFontControls();
    void UpdateStyleChecks();
    // The idle update handlers of the clipboard, undo and selection commands.
    void UpdateEditingActions();

    // Handlers
    void actClipBrdExecute(int tag);
    void actUndoExecute(int tag);
    void actStyleExecute(QAction* action);
    void actIndentExecute(int tag);
    void actToolFindExecute();
    void actAddLinkExecute();
    void btnImageClick();
    void btnBRClick();

private:
    void ConnectActions(const TqbActions& actions);
    void ConnectFontControls();
    void cmbFontNameChange();
    void cmbFontSizeChange();
    void clrFontChange();
    void clrBackChange();
    void actClipBrdUpdate();
    void actUndoUpdate();
    void actOnSelectionUpdate();
    // Asks for a picture; null when the user cancelled.
    QString PromptForPicture();
    QAction* Action(const char* name) const;

    TqbEditWidgets m_w;
    const TqbActions& m_actions;
    TqbOpenNote& m_note;
    const TqbNoteInfo& m_noteInfo;
    QWidget* m_dialogParent;
    const TqbTree* m_noteTree = nullptr;
    bool m_settingFontControls = false;
    bool m_applyingSelection = false;
};
