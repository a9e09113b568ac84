#pragma once

#include <QString>
#include <QStringList>

// What the note tree asks of the window that hosts it. The tree never knows the window itself.
class IqbTreeHost {
public:
    virtual ~IqbTreeHost() = default;
    // Write the open document back if it changed; nothing when no document is open. False when
    // it could not be written: the tree then stays on the open document so nothing is lost.
    virtual bool SaveCurrentNote() = 0;
    // Load the document the tree's OpenPath names, creating it from the default header if missing.
    virtual void OpenCurrentNote() = 0;

    // -- for the tree operations

    // Put the window into its editing view mode (saving, switching and reloading when it is not
    // in it yet; only focusing when it is).
    virtual void EnterEditMode() = 0;
    // Keyboard focus to the view that shows the open document.
    virtual void FocusCurrentView() = 0;
    // The left panel shows the tree (not the search results).
    virtual bool TreeShowing() const = 0;
    // The open document is gone from the disk: drop it from the editor without writing it.
    virtual void DiscardCurrentNote() = 0;
    // A message box with OK.
    virtual void ShowTreeMessage(const QString& text) = 0;
    // A confirmation box with OK and Cancel; true for OK.
    virtual bool ConfirmTreeQuestion(const QString& text) = 0;
    // The same box with Cancel as the default button, for questions whose OK destroys
    // something: one Enter keeps everything as it is. The stand-in asks with a plain "Confirm"
    // box over the active window.
    virtual bool ConfirmTreeQuestionDefaultNo(const QString& text);
    // The folder of the note templates, ending with "/".
    virtual QString TreeTemplateDir() const = 0;
    // The page a new note without a template starts from, and every folder description.
    virtual QStringList TreeDefaultHeader() const = 0;
};
