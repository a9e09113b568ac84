#pragma once

#include "dialogs/NoteToMail.h"

#include <QString>
#include <functional>
#include <optional>

class QWidget;
class TqbNoteInfo;

// The window's two commands around the mail and configuration dialogs. The window lends its
// save; it stays unknown here.
namespace qbDialogCommands {

using TSaveCurrentNote = std::function<bool()>;

// "메일로 전송" is offered while a document is open.
bool NoteToMailEnabled(const QString& openPath);

// Saves the open note so that the mail carries what the user sees, then runs the mail dialog
// with the document's file (a folder's description page for a folder). A failed save (the user
// has been told) or no open document stops here; false then.
bool RunNoteToMail(QWidget* parent, const QString& nodeCaption, const QString& openPath,
                   const TSaveCurrentNote& saveCurrentNote, TqbMailSender sender = {});

// Saves the open note's edits to their own file, then runs the configuration dialog. After
// OK the default header is read again and the data directory (created when missing) comes
// back for the tree to load; nullopt when the save failed or the user cancelled.
std::optional<QString> RunConfig(QWidget* parent, TqbNoteInfo& noteInfo,
                                 const TSaveCurrentNote& saveCurrentNote);

} // namespace qbDialogCommands
