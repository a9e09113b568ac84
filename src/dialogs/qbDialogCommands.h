#pragma once

#include "dialogs/Config.h"
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
// Asks whether to drop the open note's changes that could not be saved and go on; true when the
// user agreed and they are dropped.
using TDiscardChanges = std::function<bool()>;

inline const QString MsgConfigUnsaved =
    QStringLiteral("노트를 저장하지 못했습니다. 바뀐 내용을 버리고 환경설정을 열까요?");

// "메일로 전송" is offered while a document is open.
bool NoteToMailEnabled(const QString& openPath);

// Saves the open note so that the mail carries what the user sees, then runs the mail dialog
// with the document's file (a folder's description page for a folder). A failed save (the user
// has been told) or no open document stops here; false then.
bool RunNoteToMail(QWidget* parent, const QString& nodeCaption, const QString& openPath,
                   const TSaveCurrentNote& saveCurrentNote, TqbMailSender sender = {});

// Saves the open note's edits to their own file, then runs the configuration dialog. A note
// that cannot be saved (a library gone read-only) must not keep the user from switching the
// library: discardChanges asks. After OK the default header is read again and the data
// directory (created when missing) comes back for the tree to load; nullopt when the user kept
// the unsaved changes or cancelled. The quick capture key is offered with applyCaptureKey.
std::optional<QString> RunConfig(QWidget* parent, TqbNoteInfo& noteInfo,
                                 const TSaveCurrentNote& saveCurrentNote,
                                 const TDiscardChanges& discardChanges,
                                 const QKeySequence& captureKey = {},
                                 const TApplyCaptureKey& applyCaptureKey = {});

} // namespace qbDialogCommands
