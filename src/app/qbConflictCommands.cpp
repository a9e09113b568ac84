#include "app/qbConflictCommands.h"

#include "app/qbConflictDialog.h"
#include "library/qbConflictResolution.h"
#include "library/qbTree.h"
#include "note/qbOpenNote.h"
#include "platform/qbError.h"

#include <QFileInfo>
#include <QScopedValueRollback>

const QString TqbConflictCommands::ResolveFailedMessage =
    QStringLiteral("충돌 사본을 정리하지 못했습니다. 사본은 그대로 남아 있습니다.");

TqbConflictCommands::TqbConflictCommands(TqbOpenNote& openNote, TqbLibrary& library, TqbTree& tree,
                                         TShowMessage showMessage, QWidget* parent)
    : QObject(parent), m_openNote(openNote), m_library(library), m_tree(tree),
      m_showMessage(std::move(showMessage)), m_parent(parent) {}

void TqbConflictCommands::AskAbout(const QString& documentPath) {
    // Opening notes from within the dialog's own event loop asks nothing more.
    if (m_asking || documentPath.isEmpty() || !m_library.Store().Conflicts().Has(documentPath))
        return;
    const QScopedValueRollback<bool> asking(m_asking, true);
    for (const QString& copy : TqbConflictResolution::CopiesOf(documentPath))
        if (!Resolve(documentPath, copy))
            return;
}

bool TqbConflictCommands::Resolve(const QString& documentPath, const QString& copyPath) {
    // What the user typed meanwhile is on disk before it is weighed.
    if (documentPath == m_openNote.Path() && !m_openNote.SaveCurrentNote())
        return false;
    try {
        TqbConflictResolution resolution(m_library.Versions(), m_library.Root(), documentPath,
                                         copyPath);
        TqbConflictDialog dialog(documentPath, copyPath, resolution.Ours(), resolution.Theirs(),
                                 m_parent);
        dialog.exec();
        switch (dialog.Choice()) {
        case TqbConflictDialog::TChoice::Later:
            return false;
        case TqbConflictDialog::TChoice::KeepThis:
            resolution.KeepThis();
            return true; // the note is as the editor shows it
        case TqbConflictDialog::TChoice::TakeOther:
            resolution.TakeOther();
            break;
        case TqbConflictDialog::TChoice::KeepBoth:
            m_tree.ShowWrittenNote(resolution.KeepBoth(m_library.NoteExt));
            return true;
        case TqbConflictDialog::TChoice::Merge: {
            const TqbMergeResult merged = resolution.Merge();
            QList<bool> takeOurs;
            if (!merged.Clean) {
                TqbOverlapDialog overlaps(QFileInfo(documentPath).fileName(), merged, m_parent);
                if (overlaps.exec() != QDialog::Accepted)
                    return false;
                takeOurs = overlaps.TakeOurs();
            }
            resolution.WriteMerged(merged.Clean ? merged.Merged
                                                : TqbNoteMerge::Join(merged, takeOurs));
            break;
        }
        }
    } catch (const EqbError& error) {
        m_showMessage(ResolveFailedMessage, error.Message());
        // The note may have been written before the copy could not be removed.
        ShowWritten(documentPath);
        return false;
    }
    ShowWritten(documentPath);
    return true;
}

void TqbConflictCommands::ShowWritten(const QString& documentPath) {
    // The editor must show what the file holds now, not write its old page back.
    if (documentPath == m_openNote.Path())
        m_openNote.OpenCurrentNote();
}
