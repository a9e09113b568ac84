#include "note/qbOpenNote.h"

#include "library/qbNoteInfo.h"
#include "library/qbTree.h"
#include "note/qbNoteView.h"
#include "note/qbTypingJournal.h"
#include "platform/qbAtomicWrite.h"
#include "platform/qbError.h"
#include "platform/qbPageCodec.h"
#include "platform/qbTextFile.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>
#include <utility>

const QString TqbOpenNote::LoadFailedMessage = QStringLiteral("파일이 너무 커서 읽기에 실패했습니다.");
const QString TqbOpenNote::NoteMissingMessage = QStringLiteral("노트 파일이 없어 읽지 못했습니다.");
const QString TqbOpenNote::FolderInPlaceMessage =
    QStringLiteral("노트 자리에 같은 이름의 폴더가 있어 읽지 못했습니다.");
const QString TqbOpenNote::NoPermissionMessage =
    QStringLiteral("노트 파일을 읽을 권한이 없어 읽지 못했습니다.");

QString TqbOpenNote::LoadFailureText(const QString& path) {
    // Only a readable file the editor gave up on keeps the old words.
    const QFileInfo file(path);
    if (!file.exists())
        return NoteMissingMessage;
    if (file.isDir())
        return FolderInPlaceMessage;
    if (!file.isReadable())
        return NoPermissionMessage;
    return LoadFailedMessage;
}
const QString TqbOpenNote::SaveFailedMessage =
    QStringLiteral("노트를 저장하지 못했습니다. 고친 내용은 편집기에 그대로 남아 있습니다.");
const QString TqbOpenNote::NotReadyMessage =
    QStringLiteral("노트를 아직 다 읽지 못했습니다. 잠시 뒤에 다시 저장해 주세요.");
const QString TqbOpenNote::FolderGoneMessage =
    QStringLiteral("노트가 있던 폴더가 없어졌습니다: %1");
const QString TqbOpenNote::VersionNotKeptMessage =
    QStringLiteral("저장하기 전의 노트를 이전 버전으로 남기지 못했습니다. 노트는 저장합니다.");

TqbOpenNote::TqbOpenNote(IqbNoteView& view, IqbOpenNoteHost& host, const TqbNoteInfo& noteInfo,
                         QObject* parent)
    : QObject(parent), m_view(view), m_host(host), m_noteInfo(noteInfo) {
    m_tmrAutoSave = new QTimer(this);
    m_tmrAutoSave->setObjectName("tmrAutoSave");
    m_tmrAutoSave->setInterval(AutoSaveInterval);
    connect(m_tmrAutoSave, &QTimer::timeout, this, [this] {
        // A question on screen belongs to a save or an operation under way: a save from beneath
        // it would ask its own questions over it. The next tick saves.
        if (QApplication::activeModalWidget())
            return;
        // Where the library is not there (a disk unplugged) the journal keeps the typing; asking
        // where to save it every minute would only be in the way.
        if (m_library && !m_library->Presence().IsThere())
            return;
        SaveCurrentNote();
        CheckOutsideChange();
    });
    m_tmrJournal = new QTimer(this);
    m_tmrJournal->setObjectName("tmrJournal");
    m_tmrJournal->setInterval(JournalInterval);
    connect(m_tmrJournal, &QTimer::timeout, this, &TqbOpenNote::WriteJournal);
}

void TqbOpenNote::SetLibrary(TqbLibrary& library) {
    m_library = &library;
    connect(&library, &TqbLibrary::Moved, this, &TqbOpenNote::ItemMoved);
    connect(&library, &TqbLibrary::Removed, this, &TqbOpenNote::ItemRemoved);
    connect(&library, &TqbLibrary::Changed, this, &TqbOpenNote::NotesRewritten);
}

void TqbOpenNote::OpenDocument(const QString& path) {
    // Opening what is open already would throw away unsaved changes in the editor.
    if (path == m_path)
        return;
    m_path = path;
    m_versionWarned = false;
    if (path.isEmpty()) {
        DiscardCurrentNote();
        return;
    }
    OpenCurrentNote();
    emit DocumentOpened(path);
}

bool TqbOpenNote::Open(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    if (!m_tree || (name != TqbNoteInfo::FolderDescriptionName &&
                    QFileInfo(name).suffix().compare(u"htm", Qt::CaseInsensitive) != 0))
        return false;
    const QModelIndex row = m_tree->RevealDocument(QDir::cleanPath(path));
    if (!row.isValid())
        return false;
    // A name still in CP949 bytes has no path of ours: nothing is open while the user refuses it.
    if (SaveCurrentNote())
        m_tree->SetOpenPath(m_tree->MakeUsable(row) ? m_tree->ItemPath(row) : QString());
    // Open already, it is not opened again: its row is shown all the same.
    m_tree->SelectOpenDocument();
    return true;
}

void TqbOpenNote::ItemMoved(const QString& oldItemPath, const QString& newItemPath) {
    // The edits stay in the editor and go to the new place with the next save.
    m_path = qbTreeRules::Followed(m_path, oldItemPath, newItemPath);
}

void TqbOpenNote::ItemRemoved(const QString& itemPath) {
    // Closed without writing, so nothing later writes it back to the vacated place.
    if (qbTreeRules::Within(m_path, itemPath))
        OpenDocument({});
}

void TqbOpenNote::NotesRewritten(const QStringList& filePaths) {
    // The editor would write the old picture addresses back with its next save. The page read
    // again is the same but for its addresses: the user goes on typing where the caret was.
    if (!m_path.isEmpty() && filePaths.contains(m_path)) {
        if (m_viewMode == TqbViewMode::Edit)
            m_view.KeepPlaceForNextLoad();
        OpenCurrentNote();
    }
}

// ---- loading

void TqbOpenNote::OpenCurrentNote() {
    const QString path = Path();
    if (path.isEmpty())
        return;
    m_documentReady = false;
    m_noteModified = false;
    m_undecodableAccepted = false;
    ClearJournal();
    if (!QFileInfo::exists(path)) {
        m_noteModified = true;
        try {
            qbText::WriteLines(path, m_noteInfo.DefaultHeader());
        } catch (const EqbError& error) {
            ShowLoadFailure(error.Message());
            return;
        }
    }
    m_stamp = TqbFileStamp::Of(path);
    m_documentOpen = true;
    try {
        const bool asCp949 = ReadAsCp949(path);
        if (m_viewMode == TqbViewMode::Source || m_viewMode == TqbViewMode::None) {
            const QByteArray bytes = qbText::ReadFileBytes(path);
            const std::optional<TqbPageText> cp949 =
                asCp949 ? qbPageCodec::Cp949Reading(bytes) : std::nullopt;
            const TqbPageText page = cp949 ? *cp949 : qbPageCodec::Decode(bytes);
            m_sourceCharset = page.Charset;
            m_sourceLineEnd = page.LineEnd;
            m_sourceHadDecodingErrors = page.HadDecodingErrors;
            m_view.SetSourceText(qbText::SplitLines(page.Text).join(u'\n'));
        } else {
            m_view.LoadPage(path, asCp949);
        }
        FocusCurrentView();
    } catch (const EqbError& error) {
        ShowLoadFailure(error.Message());
        return;
    }
    emit DocumentLoaded(path);
}

const QString TqbOpenNote::EditFailedMessage = QStringLiteral("노트 파일을 고치지 못했습니다.");

bool TqbOpenNote::EditFile(const std::function<QByteArray(const QByteArray&)>& edit) {
    const QString path = Path();
    if (path.isEmpty() || !m_documentOpen)
        return false;
    // Typing that cannot be saved now stays in the editor, and the file as it is.
    if (!SaveCurrentNote() || HasOwnChanges())
        return false;
    try {
        const QByteArray before = qbText::ReadFileBytes(path);
        const QByteArray after = edit(before);
        if (after == before)
            return true;
        qbAtomicWrite::ReplaceFile(path, after);
    } catch (const EqbError& error) {
        m_host.ShowMessage(EditFailedMessage, error.Message());
        return false;
    }
    Written(path);
    if (m_viewMode == TqbViewMode::Edit)
        m_view.KeepPlaceForNextLoad();
    OpenCurrentNote();
    return true;
}

void TqbOpenNote::ShowLoadFailure(const QString& reason) {
    m_documentReady = false;
    m_documentOpen = false;
    m_noteModified = false;
    m_stamp = {};
    // Whatever the pane showed before belongs to no file now: typing there would go nowhere.
    m_view.ShowNoDocument();
    emit DocumentLoaded({});
    m_host.ShowMessage(LoadFailureText(Path()), reason);
}

void TqbOpenNote::ShowOtherPage(const QString& path) {
    m_documentReady = false;
    m_view.LoadPage(path, false);
}

// Asked only where the note can be saved: browse mode shows the page as browsers would.
bool TqbOpenNote::ReadAsCp949(const QString& path) {
    if (m_viewMode != TqbViewMode::Edit && m_viewMode != TqbViewMode::Source)
        return false;
    return qbPageCodec::Cp949Reading(qbText::ReadFileBytes(path)) && m_host.AskReadAsCp949(path);
}

void TqbOpenNote::PageComplete() {
    m_documentReady = true;
}

void TqbOpenNote::PageChanged() {
    if (m_viewMode == TqbViewMode::Edit)
        MarkModified();
}

void TqbOpenNote::MarkModified() {
    if (m_documentOpen) {
        m_noteModified = true;
        m_changedSinceJournal = true;
    }
}

void TqbOpenNote::PageLoadFailed(const QString& reason) {
    ShowLoadFailure(reason);
}

const QString TqbOpenNote::TooBigToEditQuestion = QStringLiteral(
    "이 노트는 너무 커서 수정 모드에서 고칠 수 없어 읽기 전용으로 보여 줍니다.\n소스 수정 모드로 "
    "열까요?");

void TqbOpenNote::PageTooBigToEdit() {
    if (m_viewMode != TqbViewMode::Edit)
        return;
    SetViewMode(m_host.Confirm(TooBigToEditQuestion) ? TqbViewMode::Source : TqbViewMode::Browse);
}

bool TqbOpenNote::HasOwnChanges() const {
    return (m_viewMode == TqbViewMode::Edit && m_noteModified) ||
           (m_viewMode == TqbViewMode::Source && m_view.SourceModified());
}

void TqbOpenNote::CheckOutsideChange() {
    const QString path = Path();
    if (m_saving || path.isEmpty() || !m_host.TreeShowing() || m_stamp.Matches(path))
        return;
    // Changes of our own are weighed at the next save; a vanished file is not brought back here.
    if (!HasOwnChanges() && QFileInfo::exists(path))
        OpenCurrentNote();
}

void TqbOpenNote::FileChangedOutside() {
    const QString path = Path();
    if (m_saving || path.isEmpty() || !m_documentOpen || !m_host.TreeShowing() ||
        m_stamp.Matches(path))
        return;
    if (HasOwnChanges()) {
        if (m_outsideChangeAsked.IsNull() || !m_outsideChangeAsked.Matches(path))
            SaveCurrentNote();
    } else if (QFileInfo::exists(path))
        OpenCurrentNote();
    else if (m_tree)
        m_tree->SetOpenPath({});
}

// ---- saving

QStringList TqbOpenNote::SaveBeforeLinksRewritten() {
    if (Path().isEmpty() || !HasOwnChanges() || SaveCurrentNote())
        return {};
    return {Path()};
}

bool TqbOpenNote::SaveCurrentNote() {
    if (!m_host.TreeShowing() || Path().isEmpty() || !m_documentOpen)
        return true;
    // The editor's wait for the page runs timers; a second save inside it must not start.
    if (m_saving)
        return false;
    m_host.CommitTyping();
    bool saved = true;
    {
        const QScopedValueRollback<bool> saving(m_saving, true);
        if (m_viewMode == TqbViewMode::Edit && m_noteModified)
            saved = WritePage();
        else if (m_viewMode == TqbViewMode::Source && m_view.SourceModified())
            saved = WriteSource();
    }
    if (!saved)
        return false;
    m_view.SetSourceModified(false);
    m_noteModified = false;
    ClearJournal();
    return true;
}

bool TqbOpenNote::WritePage() {
    if (!m_view.PageReady() && !m_view.WaitForPage(PageWaitMs)) {
        m_host.ShowMessage(SaveFailedMessage, NotReadyMessage);
        return false;
    }
    // A page only looked at is never rewritten: sync tools and backups see no change.
    try {
        if (!m_view.PageChanged())
            return true;
    } catch (const EqbError& error) {
        m_host.ShowMessage(SaveFailedMessage, error.Message());
        return false;
    }
    return WriteWith(m_view.PageHadDecodingErrors(), [this](const QString& path) {
        const TqbFileStamp before = TqbFileStamp::Of(path);
        m_view.SavePage(path);
        return !before.Matches(path);
    });
}

bool TqbOpenNote::WriteSource() {
    return WriteWith(m_sourceHadDecodingErrors, [this](const QString& path) {
        return qbPageCodec::WriteIfChanged(path, SourceToWrite(), m_sourceCharset);
    });
}

bool TqbOpenNote::WriteWith(bool hadDecodingErrors,
                            const std::function<bool(const QString&)>& write) {
    const QString path = Path();
    if (!MayWriteUndecodable(hadDecodingErrors))
        return true; // the user keeps the file as it is
    try {
        if (!ResolveOutsideChange())
            return true;
        const std::optional<QByteArray> replaced = BytesBeforeSave(path);
        if (write(path) && replaced)
            KeepVersion(path, *replaced);
    } catch (const EqbError& error) {
        m_host.ShowMessage(SaveFailedMessage, error.Message());
        return false;
    }
    Written(path);
    return true;
}

void TqbOpenNote::Written(const QString& path) {
    m_stamp = TqbFileStamp::Of(path);
    // Written anew, the file is a new one under the same name: still this note.
    if (m_library)
        m_library->NoteWritten(path);
}

// Bytes the charset could not read are written as U+FFFD: the user is asked once per opened
// note, in either mode.
bool TqbOpenNote::MayWriteUndecodable(bool hadDecodingErrors) {
    if (!hadDecodingErrors || m_undecodableAccepted)
        return true;
    m_undecodableAccepted = m_host.AskSaveUndecodable(Path());
    return m_undecodableAccepted;
}

// True: write over the file. False: the file now holds what the user chose, nothing to write.
// A copy that could not be kept throws: then nothing is written and the edits stay unsaved.
bool TqbOpenNote::ResolveOutsideChange() {
    const QString path = Path();
    if (m_stamp.Matches(path))
        return true;
    m_outsideChangeAsked = TqbFileStamp::Of(path);
    if (!QFileInfo::exists(path)) {
        if (!QFileInfo(path).dir().exists()) {
            SaveElsewhere(path);
            return false;
        }
        if (!m_host.AskRestoreDeleted(path)) {
            // Left deleted, as the other program meant: nothing is open any more.
            DiscardCurrentNote();
            return false;
        }
        // Made again while the user was asked: the new file is weighed as any other change.
        if (!QFileInfo::exists(path))
            return true;
    }
    switch (m_host.AskOutsideChange(path)) {
    case IqbOpenNoteHost::TOutsideChoice::KeepMine:
        return true;
    case IqbOpenNoteHost::TOutsideChoice::KeepBoth:
        SaveCopyBeside(path);
        break;
    case IqbOpenNoteHost::TOutsideChoice::TakeTheirs:
        // Theirs stays in the file; ours is not thrown away.
        KeepOwnChangesAsVersion(path);
        break;
    }
    m_noteModified = false;
    m_view.SetSourceModified(false);
    OpenCurrentNote();
    return false;
}

QString TqbOpenNote::NoteExt() const {
    return m_tree ? m_tree->NoteExt : QStringLiteral(".htm");
}

void TqbOpenNote::WriteCopy(const QString& copy) {
    if (m_viewMode == TqbViewMode::Source)
        qbPageCodec::Write(copy, SourceToWrite(), m_sourceCharset);
    else
        m_view.SavePage(copy);
}

void TqbOpenNote::SaveElsewhere(const QString& path) {
    const QString folder = m_host.AskFolderToSaveIn(path);
    if (folder.isEmpty())
        throw EqbError(FolderGoneMessage.arg(QDir::toNativeSeparators(QFileInfo(path).path())));
    QString target = QDir(folder).filePath(QFileInfo(path).fileName());
    if (QFileInfo(target).exists() || QFileInfo(target).isSymLink())
        target = qbTreeRules::FreeCopyName(target, NoteExt());
    WriteCopy(target);
    m_noteModified = false;
    m_view.SetSourceModified(false);
    if (!m_tree)
        return;
    // The note now is the page written: the tree shows it and the typing goes on there.
    if (target.startsWith(m_tree->RootDir() + u'/')) {
        m_tree->ShowWrittenNote(target);
        m_tree->SetOpenPath(target);
    } else {
        m_tree->SetOpenPath({});
        m_host.ShowMessage(QStringLiteral("고친 내용을 다음 파일에 저장했습니다."),
                           QDir::toNativeSeparators(target));
    }
}

void TqbOpenNote::SaveCopyBeside(const QString& path) {
    const QString copy = qbTreeRules::FreeCopyName(path, NoteExt());
    try {
        WriteCopy(copy);
    } catch (const EqbError& error) {
        throw EqbError(
            QStringLiteral("사본 \"%1\" 을(를) 만들지 못해 두 파일 모두 그대로 두었습니다.\n%2")
                .arg(QDir::toNativeSeparators(copy), error.Message()));
    }
    if (m_tree)
        m_tree->ShowWrittenNote(copy);
    m_host.ShowMessage(QStringLiteral("고친 내용을 다음 파일에 따로 저장했습니다."),
                       QDir::toNativeSeparators(copy));
}

void TqbOpenNote::DropChanges() {
    m_noteModified = false;
    m_view.SetSourceModified(false);
    ClearJournal();
}

// ---- versions and the journal

QByteArray TqbOpenNote::BytesToWrite() {
    if (m_viewMode == TqbViewMode::Source)
        return qbPageCodec::Encode(SourceToWrite(), m_sourceCharset);
    return m_view.PageBytes();
}

QString TqbOpenNote::SourceToWrite() const {
    return qbText::JoinLines(qbText::SplitLines(m_view.SourceText()), m_sourceLineEnd);
}

std::optional<QByteArray> TqbOpenNote::BytesBeforeSave(const QString& path) {
    if (!m_library || !QFileInfo(path).isFile())
        return std::nullopt;
    try {
        return qbText::ReadFileBytes(path);
    } catch (const EqbError& error) {
        WarnVersionNotKept(error.Message());
        return std::nullopt;
    }
}

void TqbOpenNote::KeepVersion(const QString& path, const QByteArray& replaced) {
    try {
        m_library->Versions().Keep(path, replaced);
    } catch (const EqbError& error) {
        WarnVersionNotKept(error.Message());
    }
}

void TqbOpenNote::WarnVersionNotKept(const QString& reason) {
    if (!std::exchange(m_versionWarned, true))
        m_host.ShowMessage(VersionNotKeptMessage, reason);
}

void TqbOpenNote::KeepOwnChangesAsVersion(const QString& path) {
    if (!m_library)
        return;
    try {
        m_library->Versions().Keep(path, BytesToWrite());
    } catch (const EqbError& error) {
        m_host.ShowMessage(VersionNotKeptMessage, error.Message());
    }
}

void TqbOpenNote::WriteJournal() {
    if (!m_journal || Path().isEmpty() || !m_documentOpen || !HasOwnChanges())
        return;
    // Busy now: soon again rather than a whole interval later.
    if (m_saving) {
        m_tmrJournal->start(JournalRetryInterval);
        return;
    }
    if (m_tmrJournal->interval() != JournalInterval)
        m_tmrJournal->start(JournalInterval);
    if (m_viewMode == TqbViewMode::Source) {
        // The source view's text holds the syllable being composed too.
        const QString text = m_view.SourceText();
        if (text != m_journaledSource && WriteJournalEntry(Path(), BytesToWrite()))
            m_journaledSource = text;
        return;
    }
    if (!m_changedSinceJournal || !m_view.PageReady())
        return;
    m_changedSinceJournal = false;
    // Nothing waits for the page: the typing goes on, a composition included. An answer that
    // comes after a save or after another note was opened is of no use any more.
    const QPointer<TqbOpenNote> self(this);
    const QString path = Path();
    const quint64 entry = ++m_journalEntry;
    m_view.ReadPageBytes([self, path, entry](const QByteArray& bytes) {
        if (!self || entry != self->m_journalEntry || path != self->Path() ||
            self->m_viewMode != TqbViewMode::Edit)
            return;
        if (!self->WriteJournalEntry(path, bytes))
            self->m_changedSinceJournal = true;
    });
}

bool TqbOpenNote::WriteJournalEntry(const QString& path, const QByteArray& bytes) {
    try {
        m_journal->Write(path, bytes, m_stamp.Hash().toHex());
        return true;
    } catch (const EqbError& error) {
        // The next change tries again; the note itself is untouched.
        qWarning("%s", qPrintable(error.Message()));
        return false;
    }
}

void TqbOpenNote::ClearJournal() {
    ++m_journalEntry; // a page asked for before is not written after
    m_changedSinceJournal = false;
    m_journaledSource.clear();
    if (m_journal)
        m_journal->Clear();
}

// ---- view modes

void TqbOpenNote::SetViewMode(TqbViewMode mode) {
    if (mode == m_viewMode) {
        FocusCurrentView();
        return;
    }
    if (!SaveCurrentNote()) {
        // The old view keeps the unsaved text.
        emit ViewModeChanged(m_viewMode);
        return;
    }
    m_viewMode = mode;
    m_documentReady = false;
    if (mode == TqbViewMode::Edit || mode == TqbViewMode::Source) {
        m_tmrAutoSave->start();
        m_tmrJournal->start();
    } else {
        m_tmrAutoSave->stop();
        m_tmrJournal->stop();
    }
    m_view.ShowViewMode(mode);
    emit ViewModeChanged(mode);
    QCoreApplication::processEvents();
    OpenCurrentNote();
}

void TqbOpenNote::FocusCurrentView() {
    if (m_viewMode == TqbViewMode::Browse) {
        if (m_tree)
            m_tree->setFocus();
    } else if (m_viewMode == TqbViewMode::Edit || m_viewMode == TqbViewMode::Source) {
        m_view.FocusEditor(m_viewMode);
    }
}

// ---- the rest of what the tree asks

void TqbOpenNote::EnterEditMode() {
    SetViewMode(TqbViewMode::Edit);
}

bool TqbOpenNote::TreeShowing() const {
    return m_host.TreeShowing();
}

void TqbOpenNote::DiscardCurrentNote() {
    ClearJournal();
    m_noteModified = false;
    m_documentReady = false;
    m_documentOpen = false;
    m_stamp = {};
    m_view.SetSourceModified(false);
    m_view.ShowNoDocument();
    emit DocumentLoaded({});
}

void TqbOpenNote::ShowMessage(const QString& text) {
    m_host.ShowMessage(text);
}

bool TqbOpenNote::Confirm(const QString& text, bool defaultNo) {
    return m_host.Confirm(text, defaultNo);
}

QString TqbOpenNote::TreeTemplateDir() const {
    return m_noteInfo.TemplateDir();
}

QStringList TqbOpenNote::TreeDefaultHeader() const {
    return m_noteInfo.DefaultHeader();
}
