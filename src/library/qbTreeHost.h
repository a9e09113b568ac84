#pragma once

#include "library/qbLibrary.h"

#include <QString>
#include <QStringList>

// What the note tree asks of the window that hosts it. The tree never knows the window itself;
// the open document's path is the host's, which follows the library's moves and removals on its
// own. Messages and questions go through IqbLibraryAsker (the stand-in for a question whose OK
// destroys something asks with a plain "Confirm" box with Cancel as the default).
class IqbTreeHost : public IqbLibraryAsker {
public:
    // Write the open document back if it changed; nothing when no document is open. False when
    // it could not be written: the tree then stays on the open document so nothing is lost.
    virtual bool SaveCurrentNote() = 0;
    // Make path (a note file or a folder's description file) the open document and load it,
    // creating it from the default header if missing; nothing when it is open already. Empty:
    // nothing is open any more, and what was shown is dropped without writing it.
    virtual void OpenDocument(const QString& path) = 0;
    virtual QString OpenPath() const = 0;

    // -- for the tree operations

    // Put the window into its editing view mode (saving, switching and reloading when it is not
    // in it yet; only focusing when it is).
    virtual void EnterEditMode() = 0;
    // Keyboard focus to the view that shows the open document.
    virtual void FocusCurrentView() = 0;
    // The left panel shows the tree (not the search results).
    virtual bool TreeShowing() const = 0;
    // The folder of the note templates, ending with "/".
    virtual QString TreeTemplateDir() const = 0;
    // The page a new note without a template starts from, and every folder description.
    virtual QStringList TreeDefaultHeader() const = 0;
};
