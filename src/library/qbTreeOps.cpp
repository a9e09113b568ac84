// The tree's commands: they ask and call the library; the rows follow what it announces.
#include "library/qbTree.h"

#include "library/NewNoteName.h"
#include "library/UserFileName.h"
#include "library/qbLibraryWatcher.h"
#include "library/qbPaths.h"
#include "library/qbTreeHost.h"
#include "platform/qbKeyHandOff.h"

#include <QApplication>
#include <QDir>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <utility>

namespace {

const QString NodeMimeType = QStringLiteral("application/x-qbnivora-tree-node");

} // namespace

// Typed right after a name is confirmed: meant for the page opened for it. The hand-off must
// outlive the dialog, whose end disturbs the input method, so it is made before it.
TqbKeyHandOff TqbTree::KeysAfterDialog() {
    return TqbKeyHandOff(window()->windowHandle());
}

bool TqbTree::RunDialog(QDialog& dialog, TqbKeyHandOff& handOff) {
    connect(&dialog, &QDialog::accepted, &dialog, [&handOff] { handOff.Begin(); });
    if (m_runDialog)
        return m_runDialog(dialog);
    return dialog.exec() == QDialog::Accepted;
}

void TqbTree::SetDialogRunner(std::function<bool(QDialog&)> runner) {
    m_runDialog = std::move(runner);
}

bool TqbTree::CallLibrary(const std::function<bool()>& call) {
    ++m_libraryCalls;
    const bool done = call();
    --m_libraryCalls;
    ShowMovedNodes();
    if (m_libraryCalls == 0 && std::exchange(m_currentMovedOn, false) && currentIndex().isValid())
        CurrentNodeChanged(currentIndex(), {});
    return done;
}

void TqbTree::ShowWrittenNote(const QString& filePath) {
    m_library.AnnounceWritten(filePath);
}

void TqbTree::ScheduleOpenFileWatch() {
    QMetaObject::invokeMethod(
        this, [this] { m_watcher->SetOpenFile(m_host.OpenPath()); }, Qt::QueuedConnection);
}

void TqbTree::ItemMoved(const QString& oldItemPath, const QString& newItemPath) {
    ScheduleOpenFileWatch();
    if (newItemPath.endsWith(u'/'))
        ScheduleWatchSync();
    const QString newDir = QFileInfo(StripTrailingDelim(newItemPath)).path();
    if (newDir == QFileInfo(StripTrailingDelim(oldItemPath)).path())
        return;
    // The row took its new place already; a mark on what moved away is no mark any more.
    if (m_cutNode.isValid() && qbTreeRules::Within(ItemPath(m_cutNode), newItemPath))
        m_cutNode = QPersistentModelIndex();
    m_movedInto.append(newDir);
    if (m_libraryCalls == 0)
        ShowMovedNodes();
}

void TqbTree::ShowMovedNodes() {
    const QStringList dirs = std::exchange(m_movedInto, {});
    for (const QString& dir : dirs) {
        bool found = false;
        const QModelIndex target = FolderNode(dir, &found);
        if (IsUnlisted(target))
            LoadChildren(target);
        else if (target.isValid())
            expand(target);
    }
}

void TqbTree::ItemRemoved(const QString&) {
    ScheduleOpenFileWatch();
}

void TqbTree::SelectCreated(const QString& itemPath) {
    // Its folder shows it once listed: one that showed nothing before stayed unlisted.
    const QModelIndex node = RevealDocument(itemPath, false);
    setCurrentIndex(node);
    // A refused selection (the open document could not be written) must not load over it.
    if (node.isValid() && currentIndex() == node)
        SetOpenPath(itemPath);
}

void TqbTree::NewFolder(bool forceRoot) {
    if (RefusedWhileGone())
        return;
    const TBusy busy(*this);
    m_host.EnterEditMode();
    QModelIndex parent;
    const QModelIndex selected = currentIndex();
    if (!forceRoot && m_model->rowCount() > 0 && selected.isValid()) {
        parent = IsFolder(selected) ? selected : selected.parent();
        LoadChildren(parent);
    }
    // Its decoded name would make a second folder beside the real one.
    if (!MakeUsable(parent))
        return;
    const QString base = NodePath(parent) + u'/';

    TqbKeyHandOff handOff = KeysAfterDialog();
    TfrmUserFileName dialog(window());
    dialog.BasePath = base;
    dialog.NoteExt = NoteExt;
    dialog.CheckExisting = true;
    dialog.SetFolderMode(true);
    if (!RunDialog(dialog, handOff))
        return;
    const QString name = dialog.Name();
    if (name.isEmpty())
        return;

    const QString folder = base + name;
    if (!m_library.CreateFolder(folder, m_host.TreeDefaultHeader()))
        return;
    SelectCreated(folder + u'/');
    m_host.FocusCurrentView();
}

void TqbTree::NewNote(bool forceRoot) {
    if (RefusedWhileGone())
        return;
    const TBusy busy(*this);
    m_host.EnterEditMode();
    QModelIndex parent;
    const QModelIndex selected = currentIndex();
    if (!forceRoot && selected.isValid()) {
        parent = IsFolder(selected) ? selected : selected.parent();
        LoadChildren(parent);
    }
    // Its decoded name would make a second folder beside the real one.
    if (!MakeUsable(parent))
        return;
    const QString base = NodePath(parent) + u'/';

    const QString templateDir = m_host.TreeTemplateDir();
    TqbKeyHandOff handOff = KeysAfterDialog();
    TfrmNewNoteName dialog(templateDir, window());
    dialog.NoteExt = NoteExt;
    dialog.ProposeName(base);
    if (!RunDialog(dialog, handOff))
        return;
    const QString name = dialog.Name();
    const QString templateName = dialog.SelectedTemplate();
    if (name.isEmpty())
        return;

    const QString notePath = base + name + NoteExt;
    // No template selected: the default header.
    const QString templateFile =
        templateName.isEmpty() ? QString() : templateDir + templateName + QStringLiteral(".htm");
    if (!m_library.CreateNote(notePath, templateFile, m_host.TreeDefaultHeader()))
        return;
    SelectCreated(notePath);
}

void TqbTree::RenameNode(const QModelIndex& row) {
    const TBusy busy(*this);
    // Held across the save and the dialog.
    const QPersistentModelIndex node = row;
    // A document that cannot be written stops the rename: it would otherwise be written back to
    // the old name afterwards.
    if (!m_host.SaveCurrentNote())
        return;
    if (!node.isValid() || !m_host.TreeShowing())
        return;
    const QModelIndex parent = node.parent();
    LoadChildren(parent);
    const QString base = NodePath(parent) + u'/';
    const bool folder = IsFolder(node);
    const QString oldText = node.data().toString();
    // A note keeps its extension as it is on disk (".HTM" stays).
    const QString oldFile = NoteFileName(node);
    const QString ext = folder ? QString() : oldFile.mid(oldFile.lastIndexOf(u'.'));
    const QByteArray raw = node.data(RawNameRole).toByteArray();

    TqbKeyHandOff handOff = KeysAfterDialog();
    TfrmUserFileName dialog(window());
    dialog.edtName->setText(oldText);
    dialog.BasePath = base;
    dialog.NoteExt = folder ? NoteExt : ext;
    dialog.CheckExisting = false;
    dialog.SetFolderMode(folder);
    if (!RunDialog(dialog, handOff))
        return;
    const QString newName = dialog.Name();
    if (newName.isEmpty())
        return;

    const QString newPath = base + newName + (folder ? QStringLiteral("/") : ext);
    const QString oldPath = ItemPath(node);
    CallLibrary([&] { return m_library.Rename(oldPath, newPath, raw); });
    if (currentIndex().isValid())
        SetOpenPath(SelectedPath());
    m_host.FocusCurrentView();
}

void TqbTree::DeleteNode(const QModelIndex& row) {
    const TBusy busy(*this);
    // Held across the questions.
    const QPersistentModelIndex node = row;
    if (!node.isValid())
        return;
    QString question = node.data().toString() + DeleteQuestionSuffix;
    if (m_linkingNames) {
        const QStringList names = m_linkingNames(qbTreeRules::DocumentPath(ItemPath(node)));
        if (!names.isEmpty())
            question += QStringLiteral("\n\n") + LinkedFromText.arg(names.size()) + u'\n' +
                        names.join(u'\n');
    }
    if (!m_host.Confirm(question))
        return;
    if (!MakeUsable(node))
        return;
    if (!ShellDelete(ItemPath(node)))
        return;
    if (currentIndex().isValid())
        SetOpenPath(SelectedPath());
}

bool TqbTree::IsUnder(const QModelIndex& source, const QModelIndex& target) {
    if (!target.isValid() || !target.parent().isValid())
        return false;
    for (QModelIndex p = target; p.isValid(); p = p.parent())
        if (p == source)
            return true;
    return false;
}

void TqbTree::MoveNode(const QModelIndex& targetNode, const QModelIndex& sourceNode) {
    const TBusy busy(*this);
    // Held across the questions and listings below, which may move rows.
    QPersistentModelIndex source = sourceNode;
    QPersistentModelIndex target = targetNode;
    if (!source.isValid())
        return;
    if (!MakeUsable(source) || !MakeUsable(target.isValid() && !IsFolder(target) ? target.parent() : QModelIndex(target)))
        return;
    ExpandFolder(target);
    if (IsUnder(source, target)) {
        m_host.ShowMessage(MoveBelowMessage);
        return;
    }
    if (target.isValid() && !IsFolder(target))
        target = target.parent();
    const QString targetPath = NodePath(target);
    const QString sourcePath = StripTrailingDelim(ItemPath(source));
    LoadChildren(target);
    if (sourcePath == targetPath)
        return;
    // Already in that folder: nothing to move.
    if (QFileInfo(sourcePath).path() == targetPath)
        return;

    // Cut and Paste, like a drag, writes the open document first, so nothing is lost or written
    // to the vacated place afterwards.
    if (!m_host.SaveCurrentNote())
        return;
    MoveItem(ItemPath(source), targetPath);
}

bool TqbTree::MoveItem(const QString& itemPath, const QString& destFolder) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool moved = CallLibrary([&] {
        const bool done = m_library.Move(itemPath, destFolder);
        QApplication::restoreOverrideCursor();
        return done;
    });
    return moved;
}

bool TqbTree::ShellMove(const QString& source, const QString& destFolder) {
    return MoveItem(QFileInfo(source).isDir() ? StripTrailingDelim(source) + u'/' : source, destFolder);
}

bool TqbTree::ShellDelete(const QString& path) {
    return CallLibrary([&] {
        return m_library.Trash(path.endsWith(u'/') || !QFileInfo(path).isDir() ? path : path + u'/');
    });
}

// -- pop-up menu, Cut and Paste

void TqbTree::CreatePopupMenu() {
    m_popup = new QMenu(this);
    m_popup->setObjectName("popupTree");
    const auto item = [this](const char* name, const QString& caption, void (TqbTree::*slot)()) {
        QAction* action = m_popup->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    m_itemCut = item("itemCut", QStringLiteral("잘라내기"), &TqbTree::PopupCut);
    m_itemPaste = item("itemPaste", QStringLiteral("붙여넣기"), &TqbTree::PopupPaste);
    m_popup->addSeparator();
    m_itemRename = item("itemRename", QStringLiteral("이름 바꾸기"), &TqbTree::PopupRename);
    m_itemDelete = item("itemDelete", QStringLiteral("삭제"), &TqbTree::PopupDelete);
    m_popup->addSeparator();
    item("itemNewNote", QStringLiteral("새 노트"), &TqbTree::PopupNewNote);
    item("itemNewFolder", QStringLiteral("새 폴더 만들기"), &TqbTree::PopupNewFolder);
    item("itemRefresh", QStringLiteral("트리 갱신"), &TqbTree::PopupRefresh);
    m_popup->addSeparator();
    m_itemVersions = item("itemVersions", QStringLiteral("이전 버전"), &TqbTree::PopupVersions);
    m_itemBacklinks =
        item("itemBacklinks", QStringLiteral("이 노트를 가리키는 노트"), &TqbTree::PopupBacklinks);
    m_itemPaste->setEnabled(false);
}

QAction* TqbTree::PopupItem(const QString& objectName) const {
    return m_popup->findChild<QAction*>(objectName);
}

QModelIndex TqbTree::CutNode() const {
    return m_cutNode;
}

void TqbTree::SetContextNode(const QModelIndex& node) {
    m_contextNode = node;
}

void TqbTree::UpdatePopupItems() {
    const bool overNode = ContextNode().isValid();
    m_itemCut->setEnabled(overNode);
    m_itemRename->setEnabled(overNode);
    m_itemDelete->setEnabled(overNode);
    m_itemVersions->setEnabled(overNode);
    m_itemBacklinks->setEnabled(overNode);
    // A mark whose node is gone (deleted, moved, reloaded) is cleared, never pasted.
    m_itemPaste->setEnabled(CutNode().isValid());
}

void TqbTree::PopupCut() {
    m_cutNode = m_contextNode;
    m_itemPaste->setEnabled(CutNode().isValid());
}

void TqbTree::PopupPaste() {
    const QPersistentModelIndex source = m_cutNode;
    const QPersistentModelIndex target = m_contextNode;
    m_cutNode = QPersistentModelIndex();
    m_itemPaste->setEnabled(false);
    if (source.isValid())
        MoveNode(target, source);
}

bool TqbTree::RefusedWhileGone() {
    if (m_showsGone)
        m_host.ShowMessage(LibraryGoneMessage.arg(QDir::toNativeSeparators(m_rootDir)));
    return m_showsGone;
}

void TqbTree::PopupCreate(void (TqbTree::*create)(bool forceRoot)) {
    const TBusy busy(*this);
    const QModelIndex node = ContextNode();
    if (!node.isValid() || (!IsFolder(node) && !node.parent().isValid())) {
        (this->*create)(true);
        return;
    }
    const QPersistentModelIndex folder = IsFolder(node) ? node : node.parent();
    setCurrentIndex(folder);
    if (currentIndex() == folder)
        (this->*create)(false);
}

void TqbTree::PopupNewFolder() {
    PopupCreate(&TqbTree::NewFolder);
}

void TqbTree::PopupNewNote() {
    PopupCreate(&TqbTree::NewNote);
}

void TqbTree::PopupRename() {
    RenameNode(ContextNode());
}

void TqbTree::PopupDelete() {
    DeleteNode(ContextNode());
}

void TqbTree::PopupRefresh() {
    // A refresh starts over with the cut mark, as a reload did.
    m_cutNode = QPersistentModelIndex();
    Refresh();
}

void TqbTree::PopupVersions() {
    if (const QModelIndex node = ContextNode(); node.isValid())
        emit VersionsRequested(ItemPath(node));
}

void TqbTree::PopupBacklinks() {
    if (const QModelIndex node = ContextNode(); node.isValid())
        emit BacklinksRequested(qbTreeRules::DocumentPath(ItemPath(node)));
}

// -- drag and drop inside the tree

void TqbTree::StartNodeDrag() {
    const TBusy busy(*this);
    const QModelIndex node = currentIndex();
    if (!node.isValid())
        return;
    // The open document is written before anything is dragged.
    if (!m_host.SaveCurrentNote())
        return;
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(NodeMimeType, NodePath(node).toUtf8());
    drag->setMimeData(mime);
    drag->setPixmap(IconFor(node).pixmap(16, 16));
    drag->exec(Qt::MoveAction);
}

void TqbTree::DropAt(QPoint pos) {
    const TBusy busy(*this);
    const QModelIndex selected = currentIndex();
    if (!selected.isValid())
        return;
    QModelIndex target = indexAt(pos);
    if (target.isValid() && !IsFolder(target))
        target = target.parent();
    MoveNode(target, selected);
}

void TqbTree::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() == this && event->mimeData()->hasFormat(NodeMimeType))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TqbTree::dragMoveEvent(QDragMoveEvent* event) {
    if (event->source() == this && event->mimeData()->hasFormat(NodeMimeType))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TqbTree::dropEvent(QDropEvent* event) {
    if (event->source() != this || !event->mimeData()->hasFormat(NodeMimeType)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction); // the tree moves the item itself
    event->accept();
    const QPoint pos = event->position().toPoint();
    // Outside the drag's own event loop, so messages and questions can show.
    QTimer::singleShot(0, this, [this, pos] { DropAt(pos); });
}
