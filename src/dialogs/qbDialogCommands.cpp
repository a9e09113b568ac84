#include "dialogs/qbDialogCommands.h"

#include "dialogs/Config.h"
#include "library/qbNoteInfo.h"
#include "library/qbTree.h"

namespace qbDialogCommands {

bool NoteToMailEnabled(const QString& openPath) {
    return !openPath.isEmpty();
}

bool RunNoteToMail(QWidget* parent, const QString& nodeCaption, const QString& openPath,
                   const TSaveCurrentNote& saveCurrentNote, TqbMailSender sender) {
    if (!NoteToMailEnabled(openPath) || !saveCurrentNote())
        return false;
    TfrmNoteToMail dialog(nodeCaption, qbTreeRules::DocumentPath(openPath), std::move(sender),
                          parent);
    dialog.exec();
    return true;
}

std::optional<QString> RunConfig(QWidget* parent, TqbNoteInfo& noteInfo,
                                 const TSaveCurrentNote& saveCurrentNote,
                                 const TDiscardChanges& discardChanges,
                                 const QKeySequence& captureKey,
                                 const TApplyCaptureKey& applyCaptureKey) {
    // Saved before the library can change under the open note.
    if (!saveCurrentNote() && !discardChanges())
        return std::nullopt;
    TfrmConfig dialog(noteInfo, parent);
    if (applyCaptureKey)
        dialog.SetCaptureKey(captureKey, applyCaptureKey);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    noteInfo.LoadDefaultHeader();
    return noteInfo.GetDataDir();
}

} // namespace qbDialogCommands
