#include "note/qbNoteNavigation.h"

#include "dialogs/qbNotePicker.h"
#include "dialogs/qbTagListDialog.h"
#include "library/qbDailyNotes.h"
#include "library/qbNoteInfo.h"
#include "library/qbTreeRules.h"
#include "note/qbOpenNote.h"
#include "platform/qbError.h"
#include "platform/qbIniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

TqbNoteNavigation::TqbNoteNavigation(TqbLibrary& library, TqbOpenNote& openNote, THooks hooks,
                                     QWidget* dialogParent)
    : QObject(dialogParent), m_library(library), m_openNote(openNote),
      m_hooks(std::move(hooks)), m_dialogParent(dialogParent) {
    connect(&m_openNote, &TqbOpenNote::DocumentOpened, this, [this](const QString& path) {
        m_history.Visit(path);
        if (QFileInfo(path).fileName() != TqbNoteInfo::FolderDescriptionName)
            m_recent.Visit(path);
        emit HistoryChanged();
    });
    connect(&m_library, &TqbLibrary::Moved, this,
            [this](const QString& oldItemPath, const QString& newItemPath) {
                m_history.Follow(oldItemPath, newItemPath);
                m_recent.Follow(oldItemPath, newItemPath);
                emit HistoryChanged();
            });
    connect(&library, &TqbLibrary::Removed, this, [this](const QString& itemPath) {
        m_history.Forget(itemPath);
        m_recent.Forget(itemPath);
        emit HistoryChanged();
    });
}

bool TqbNoteNavigation::GoToDocument(const QString& path) {
    const QFileInfo info(path);
    const bool folderPage = info.fileName() == TqbNoteInfo::FolderDescriptionName;
    if (folderPage ? !QFileInfo(info.path()).isDir() : !info.isFile()) {
        m_recent.Forget(path);
        m_hooks.ShowMessage(TqbJumpList::GoneMessage.arg(QDir::toNativeSeparators(path)));
        return false;
    }
    m_hooks.ShowTree();
    if (m_openNote.Open(path))
        return true;
    m_hooks.ShowMessage(QStringLiteral("이 노트는 지금 라이브러리에 없습니다: %1")
                            .arg(QDir::toNativeSeparators(path)));
    return false;
}

void TqbNoteNavigation::GoThroughHistory(bool back) {
    while (const std::optional<QString> path = back ? m_history.Back() : m_history.Forward()) {
        m_hooks.ShowTree();
        if (m_openNote.Open(*path))
            break;
        // Not in the library shown now (another library): passed over like a deleted one.
        m_history.Forget(*path);
    }
    emit HistoryChanged();
}

void TqbNoteNavigation::JumpToNote(const QString& query) {
    TqbNotePicker picker(QStringLiteral("노트로 이동"), QStringLiteral("열기"), m_library.Root(),
                         m_library.NoteExt, m_recent.Paths(), m_dialogParent);
    picker.List().SetTagIndex(&m_tags);
    picker.QueryBox()->setText(query);
    connect(&m_library, &TqbLibrary::Removed, &picker.List(), &TqbJumpList::Forget);
    if (picker.exec() == QDialog::Accepted)
        GoToDocument(qbTreeRules::DocumentPath(picker.ChosenPath()));
}

void TqbNoteNavigation::ShowTagList() {
    // Notes saved just now are read from the disk, as are the others.
    m_openNote.SaveCurrentNote();
    TqbTagListDialog dialog(m_tags.Count(TqbTagIndex::NotesBelow(m_library.Root(), m_library.NoteExt)),
                            m_dialogParent);
    if (dialog.exec() == QDialog::Accepted && !dialog.ChosenTag().isEmpty())
        JumpToNote(u'#' + dialog.ChosenTag());
}

const QString TqbNoteNavigation::NoEarlierDailyNote =
    QStringLiteral("이보다 앞선 일기가 없습니다.");
const QString TqbNoteNavigation::NoLaterDailyNote = QStringLiteral("이보다 뒤의 일기가 없습니다.");

void TqbNoteNavigation::OpenDailyNote() {
    const QString path =
        qbDailyNotes::PathOf(m_library.Root(), QDate::currentDate(), m_library.NoteExt);
    const bool made = !QFileInfo::exists(path);
    if (made && !MakeDailyNote(path))
        return;
    if (GoToDocument(path) && made)
        m_openNote.EnterEditMode();
}

bool TqbNoteNavigation::MakeDailyNote(const QString& path) {
    TqbLibrary& library = m_library;
    const QStringList header = m_openNote.TreeDefaultHeader();
    // The folders on the way, each with its description page, as the tree makes folders.
    const QString year = QFileInfo(path).path();
    for (const QString& dir : {QFileInfo(year).path(), year})
        if (!QFileInfo(dir).isDir() && !library.CreateFolder(dir, header))
            return false;
    const QString templateFile = QDir(m_openNote.TreeTemplateDir())
                                     .filePath(qbDailyNotes::TemplateName + QStringLiteral(".htm"));
    return library.CreateNote(path, QFileInfo(templateFile).isFile() ? templateFile : QString(),
                              header);
}

void TqbNoteNavigation::GoDailyNote(bool earlier) {
    const QString root = m_library.Root();
    const QDate from =
        qbDailyNotes::DayOf(root, m_openNote.Path(), m_library.NoteExt).value_or(QDate::currentDate());
    const std::optional<QDate> day =
        qbDailyNotes::Neighbour(qbDailyNotes::Days(root, m_library.NoteExt), from, earlier);
    if (!day) {
        m_hooks.ShowMessage(earlier ? NoEarlierDailyNote : NoLaterDailyNote);
        return;
    }
    GoToDocument(qbDailyNotes::PathOf(root, *day, m_library.NoteExt));
}

void TqbNoteNavigation::FillRecentMenu(QMenu* menu) {
    menu->clear();
    const QString root = QDir::cleanPath(m_library.Root()) + u'/';
    int number = 0;
    for (const QString& path : m_recent.Paths()) {
        if (!path.startsWith(root))
            continue; // another library's
        const QFileInfo info(path);
        const QString folder = info.path().mid(root.size());
        QString text = qbVisibleName(info.completeBaseName());
        if (!folder.isEmpty())
            text += QStringLiteral("  (%1)").arg(qbVisibleName(folder));
        text.replace(u'&', QStringLiteral("&&"));
        if (++number <= 9)
            text = QStringLiteral("&%1 ").arg(number) + text;
        QAction* item = menu->addAction(text);
        connect(item, &QAction::triggered, this, [this, path] { GoToDocument(path); });
    }
    if (menu->isEmpty())
        menu->addAction(QStringLiteral("최근에 연 노트가 없습니다"))->setEnabled(false);
}

void TqbNoteNavigation::LoadRecent(const TqbIniFile& ini) {
    try {
        m_recent.Load(ini);
    } catch (const EqbError&) {
        // An unreadable settings file only costs the list of recent notes.
    }
}

bool TqbNoteNavigation::ReopenLast(const TqbIniFile& ini) {
    const QString last = TqbRecentNotes::OpenAtClose(ini);
    return !last.isEmpty() && QFileInfo::exists(last) && m_openNote.Open(last);
}

void TqbNoteNavigation::SaveRecent(const TqbIniFile& ini, const QString& openPath) const {
    m_recent.Save(ini, openPath);
}
