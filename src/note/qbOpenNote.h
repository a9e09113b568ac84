#pragma once

#include "library/qbTreeHost.h"
#include "note/qbModes.h"
#include "note/qbOpenNoteHost.h"
#include "platform/qbFileStamp.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class IqbNoteView;
class QTimer;
class TqbTypingJournal;
class TqbNoteInfo;
class TqbTree;

// The open note: its path, which view mode shows it, whether it has changes, when it is loaded and
// written back. The tree chooses what to open; the path then follows the library's moves and
// renames (of the note or a folder above it), and a removal closes the note. This object is
// what the tree calls back. It never touches a widget: the pane shows, the host asks the user.
class TqbOpenNote : public QObject, public IqbTreeHost {
    Q_OBJECT
public:
    static const QString LoadFailedMessage;
    // Said instead where the file system tells why a note could not be read.
    static const QString NoteMissingMessage;
    static const QString FolderInPlaceMessage;
    static const QString NoPermissionMessage;
    static QString LoadFailureText(const QString& path);
    static const QString TooBigToEditQuestion;
    static const QString SaveFailedMessage;
    static const QString NotReadyMessage;
    static const QString VersionNotKeptMessage;
    static const QString FolderGoneMessage;
    static const QString EditFailedMessage;
    // How long a save waits for a page still loading before it gives up.
    static constexpr int PageWaitMs = 30000;
    static constexpr int AutoSaveInterval = 60000;
    static constexpr int JournalInterval = 5000;
    static constexpr int JournalRetryInterval = 250;

    TqbOpenNote(IqbNoteView& view, IqbOpenNoteHost& host, const TqbNoteInfo& noteInfo,
                QObject* parent = nullptr);
    // The note follows the library's moves and removals, and its saves keep versions there.
    void SetLibrary(TqbLibrary& library);
    // The tree exists only after its host: it is given here once made.
    void SetTree(TqbTree* tree) { m_tree = tree; }
    // Where unsaved changes are written aside; none by default.
    void SetJournal(TqbTypingJournal* journal) { m_journal = journal; }

    TqbViewMode ViewMode() const { return m_viewMode; }
    bool NoteModified() const { return m_noteModified; }
    bool DocumentReady() const { return m_documentReady; }
    const QString& Path() const { return m_path; }
    // A save is under way (it may be waiting for the user's answer or for the page).
    bool Saving() const { return m_saving; }
    QTimer* AutoSaveTimer() const { return m_tmrAutoSave; }
    QTimer* JournalTimer() const { return m_tmrJournal; }
    // Writes the changes not yet saved aside (the journal timer's work); nothing while a syllable
    // is being composed or when nothing changed since the last time.
    void WriteJournal();

    // Before the library rewrites links in its notes: edits not on disk yet are saved first (an
    // operation of ours has saved them already, so nothing is asked again); the note is named
    // when they still could not be written and is then left as it is.
    QStringList SaveBeforeLinksRewritten();

    // -- what the tree asks (and the window forwards)
    bool SaveCurrentNote() override;
    void OpenDocument(const QString& path) override;
    QString OpenPath() const override { return m_path; }
    void EnterEditMode() override;
    void FocusCurrentView() override;
    bool TreeShowing() const override;
    void ShowMessage(const QString& text) override;
    bool Confirm(const QString& text, bool defaultNo) override;
    QString TreeTemplateDir() const override;
    QStringList TreeDefaultHeader() const override;

    // The one way to open a note or a folder's page from outside the tree (the jump list, the
    // history, links, search hits, the note open at the last close): the open note is saved first
    // (it stays open when that fails) and the tree selects the row of what is open. False when the
    // library holds no such document.
    bool Open(const QString& path);
    // Loads the open note again (creating it from the default header if missing).
    void OpenCurrentNote();
    // Changes the note's file by `edit` (bytes in, bytes out), leaving every byte it does not
    // touch as it is: typing not saved yet is saved first, and the note is read again after, so
    // the next save carries the change. The user is told what failed; whether it was done.
    bool EditFile(const std::function<QByteArray(const QByteArray&)>& edit);

    void SetViewMode(TqbViewMode mode);
    // An editing command or a key changed the page; with no note open there is nothing to mark.
    void MarkModified();
    // The user chose to close without the changes that could not be written.
    void DropChanges();
    // Another program may have changed the file: an unchanged note is read again.
    void CheckOutsideChange();
    // Another program changed files beside the open note, seen as it happened. What it did to
    // the note is weighed at once: changes of our own go through a save (which asks), an
    // unchanged note is read again, or closed when its file is gone.
    void FileChangedOutside();
    // A page that is not the note (a search hit's marked copy) takes the pane; it is never saved.
    void ShowOtherPage(const QString& path);

    // -- the pane's reports
    void PageComplete();
    void PageChanged();
    void PageLoadFailed(const QString& reason);
    // The page shows read-only in edit mode: the user is told before typing, and may edit the
    // note in source mode instead.
    void PageTooBigToEdit();

signals:
    void ViewModeChanged(TqbViewMode mode);
    // The tree chose another document (a note's file, a folder's page).
    void DocumentOpened(const QString& path);
    // The open document was read (again) from its file, or none is open any more (empty path).
    void DocumentLoaded(const QString& path);

private:
    // The library moved, renamed or removed an item; the note may be it or lie inside it.
    void ItemMoved(const QString& oldItemPath, const QString& newItemPath);
    void ItemRemoved(const QString& itemPath);
    void NotesRewritten(const QStringList& filePaths);
    // The file is gone: what the pane shows is dropped without writing it.
    void DiscardCurrentNote();
    void ShowLoadFailure(const QString& reason);
    // The note declares UTF-8 but holds CP949, and the user would read it as CP949.
    bool ReadAsCp949(const QString& path);
    bool HasOwnChanges() const;
    bool WritePage();
    bool WriteSource();
    // Writes the note by `write` (whether the file changed) once the user allowed what is asked
    // (undecodable bytes, another program's change); the file's former bytes kept as a version.
    bool WriteWith(bool hadDecodingErrors, const std::function<bool(const QString&)>& write);
    // After a write of ours: what the file holds now is our own.
    void Written(const QString& path);
    // Whether the write may go ahead over what another program put in the file.
    bool ResolveOutsideChange();
    // Whether a page that held undecodable bytes may be written; asks the user the first time.
    bool MayWriteUndecodable(bool hadDecodingErrors);
    void SaveCopyBeside(const QString& path);
    // The note's folder is gone: the typing goes into a folder the user chooses, and the page
    // written there becomes the open note. Throws EqbError when the user declines.
    void SaveElsewhere(const QString& path);
    void WriteCopy(const QString& copy);
    QString NoteExt() const;
    // The source view's text with the line ends the file had.
    QString SourceToWrite() const;
    // The bytes a save of the open note would write now.
    QByteArray BytesToWrite();
    // What a save is about to replace, held in memory: the note is written first and its old
    // page kept as a version after, so a disk with room for the note alone still takes the save.
    // Nothing for a missing file or without a library.
    std::optional<QByteArray> BytesBeforeSave(const QString& path);
    // A version that cannot be kept never stops the save; the user hears of it once per note.
    void KeepVersion(const QString& path, const QByteArray& replaced);
    void WarnVersionNotKept(const QString& reason);
    void KeepOwnChangesAsVersion(const QString& path);
    void ClearJournal();
    // Whether the journal took the page; a failure is only logged: the note itself is untouched.
    bool WriteJournalEntry(const QString& path, const QByteArray& bytes);

    IqbNoteView& m_view;
    IqbOpenNoteHost& m_host;
    const TqbNoteInfo& m_noteInfo;
    TqbLibrary* m_library = nullptr;
    TqbTree* m_tree = nullptr;
    QString m_path;
    QTimer* m_tmrAutoSave = nullptr;
    QTimer* m_tmrJournal = nullptr;
    TqbTypingJournal* m_journal = nullptr;
    // The page changed since it was last written aside; the source text written aside last.
    bool m_changedSinceJournal = false;
    // Counts the journal's page requests; a save or another note makes older answers stale.
    quint64 m_journalEntry = 0;
    QString m_journaledSource;
    // A version could not be kept: said once for the note opened.
    bool m_versionWarned = false;

    TqbViewMode m_viewMode = TqbViewMode::None;
    bool m_noteModified = false;
    bool m_documentReady = false;
    // The pane shows the note (or is loading it), not the empty page of a failed load.
    bool m_documentOpen = false;
    bool m_saving = false;
    bool m_undecodableAccepted = false;
    // The file as last read or written, and the charset and line ends the source text came in.
    TqbFileStamp m_stamp;
    // Another program's change the user was last asked about: a notice of it that comes late
    // does not ask again.
    TqbFileStamp m_outsideChangeAsked;
    QByteArray m_sourceCharset;
    QString m_sourceLineEnd = QStringLiteral("\r\n");
    bool m_sourceHadDecodingErrors = false;
};
