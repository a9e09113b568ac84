// The tree's commands: they ask, call the library, and show in the nodes what it announces.
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
#include <QScopedValueRollback>
#include <QTimer>
#include <utility>

namespace {

const QString NodeMimeType = QStringLiteral("application/x-qbnivora-tree-node");

} // namespace

bool TqbTree::RunDialog(QDialog& dialog, TqbKeyHandOff& handOff) {
    connect(&dialog, &QDialog::accepted, &dialog, [&handOff] { handOff.Begin(); });
    if (m_runDialog)
        return m_runDialog(dialog);
    return dialog.exec() == QDialog::Accepted;
}

void TqbTree::SetDialogRunner(std::function<bool(QDialog&)> runner) {
    m_runDialog = std::move(runner);
}

QTreeWidgetItem* TqbTree::AddNode(QTreeWidgetItem* parent, const QString& text, int imageIndex,
                                  const QString& fileName) {
    if (IsUnlisted(parent)) {
        QTreeWidgetItem* node = parent->child(0);
        SetEntry(node, text, imageIndex, fileName);
        return node;
    }
    QTreeWidgetItem* owner = parent ? parent : invisibleRootItem();
    QTreeWidgetItem* node = NewNode(text, imageIndex, fileName);
    owner->insertChild(SortedRow(owner, node), node);
    return node;
}

QTreeWidgetItem* TqbTree::ItemNode(const QString& itemPath) const {
    const QString prefix = m_rootDir + u'/';
    if (!itemPath.startsWith(prefix))
        return nullptr;
    const QStringList names = itemPath.mid(prefix.size()).split(u'/', Qt::SkipEmptyParts);
    const bool folder = itemPath.endsWith(u'/');
    QTreeWidgetItem* node = nullptr;
    for (qsizetype n = 0; n < names.size(); ++n) {
        const bool last = n == names.size() - 1;
        QTreeWidgetItem* next = nullptr;
        const int count = node ? node->childCount() : topLevelItemCount();
        for (int i = 0; i < count && !next; ++i) {
            QTreeWidgetItem* child = node ? node->child(i) : topLevelItem(i);
            if (last && !folder)
                next = !IsFolder(child) && !IsPlaceholder(child) && NoteFileName(child) == names[n]
                           ? child
                           : nullptr;
            else if (IsFolder(child) && child->text(0) == names[n])
                next = child;
        }
        if (!next)
            return nullptr;
        node = next;
    }
    return node;
}

void TqbTree::ItemAdded(const QString& itemPath) {
    const QString path = StripTrailingDelim(itemPath);
    const QString dir = QFileInfo(path).path();
    bool found = false;
    QTreeWidgetItem* parent = FolderNode(dir, &found);
    // A folder not listed yet shows it when opened.
    if (!found || (parent && IsUnlisted(parent)))
        return;
    const QString name = QFileInfo(path).fileName();
    QTreeWidgetItem* node = itemPath.endsWith(u'/')
                                ? AddNode(parent, name, FolderImage)
                                : AddNode(parent, FileNameNoExt(name), NoteImage, name);
    m_actingNode = QPersistentModelIndex(indexFromItem(node));
}

QScopedValueRollback<QPersistentModelIndex> TqbTree::ActOn(QTreeWidgetItem* node) {
    return QScopedValueRollback<QPersistentModelIndex>(
        m_actingNode, QPersistentModelIndex(indexFromItem(node)));
}

void TqbTree::ShowWrittenNote(const QString& filePath) {
    const auto acting = ActOn(nullptr);
    m_library.AnnounceWritten(filePath);
}

QTreeWidgetItem* TqbTree::NodeOf(const QString& itemPath) const {
    // The node the command acts on is in hand: a folder of thousands is not searched for it.
    QTreeWidgetItem* acting = itemFromIndex(m_actingNode);
    if (acting && ItemPath(acting) == itemPath)
        return acting;
    return ItemNode(itemPath);
}

void TqbTree::ScheduleOpenFileWatch() {
    QMetaObject::invokeMethod(
        this, [this] { m_watcher->SetOpenFile(m_host.OpenPath()); }, Qt::QueuedConnection);
}

void TqbTree::ItemMoved(const QString& oldItemPath, const QString& newItemPath) {
    ScheduleOpenFileWatch();
    QTreeWidgetItem* node = NodeOf(oldItemPath);
    const bool folder = newItemPath.endsWith(u'/');
    const QString newPath = StripTrailingDelim(newItemPath);
    const QString newDir = QFileInfo(newPath).path();
    if (newDir == QFileInfo(StripTrailingDelim(oldItemPath)).path()) {
        // A new name: the node keeps its open folders and the selection.
        if (!node)
            return;
        const QString name = QFileInfo(newPath).fileName();
        SetEntry(node, folder ? name : FileNameNoExt(name), ImageIndex(node),
                 folder ? QString() : name);
        KeepInOrder(node);
        if (folder)
            ScheduleWatchSync();
        viewport()->update();
        return;
    }
    m_movedNodes.append(
        {QPersistentModelIndex(node ? indexFromItem(node) : QModelIndex()), newDir});
    if (m_libraryCalls == 0)
        ShowMovedNodes();
}

void TqbTree::ShowMovedNodes() {
    const auto moved = std::exchange(m_movedNodes, {});
    for (const auto& [index, newDir] : moved) {
        QTreeWidgetItem* node = itemFromIndex(index);
        if (node && m_cutNode.isValid() &&
            (itemFromIndex(m_cutNode) == node || IsUnder(node, CutNode())))
            m_cutNode = QPersistentModelIndex();
        delete node;
        if (newDir.isEmpty())
            continue;
        bool found = false;
        QTreeWidgetItem* target = FolderNode(newDir, &found);
        if (!found)
            continue;
        if (target && IsUnlisted(target)) {
            LoadChildren(target);
        } else {
            RefreshFolder(newDir);
            if (target)
                target->setExpanded(true);
        }
    }
}

void TqbTree::ItemRemoved(const QString& itemPath) {
    ScheduleOpenFileWatch();
    if (QTreeWidgetItem* node = NodeOf(itemPath))
        m_movedNodes.append({QPersistentModelIndex(indexFromItem(node)), QString()});
    if (m_libraryCalls == 0)
        ShowMovedNodes();
}

void TqbTree::NewFolder(bool forceRoot) {
    if (RefusedWhileGone())
        return;
    const TBusy busy(*this);
    m_host.EnterEditMode();
    QTreeWidgetItem* parent = nullptr;
    QTreeWidgetItem* selected = currentItem();
    if (!forceRoot && topLevelItemCount() > 0 && selected && !IsPlaceholder(selected)) {
        parent = IsFolder(selected) ? selected : selected->parent();
        LoadChildren(parent);
    }
    // Its decoded name would make a second folder beside the real one.
    if (!MakeUsable(parent))
        return;
    const QString base = NodePath(parent) + u'/';

    // Typed right after the name is confirmed: meant for the page opened for it. It outlives
    // the dialog, whose end disturbs the input method.
    TqbKeyHandOff handOff(window()->windowHandle());
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
    const auto acting = ActOn(nullptr);
    if (!m_library.CreateFolder(folder, m_host.TreeDefaultHeader()))
        return;
    QTreeWidgetItem* node = itemFromIndex(m_actingNode);
    setCurrentItem(node);
    // A refused selection (the open document could not be written) must not load over it.
    if (node && currentItem() == node)
        SetOpenPath(folder + u'/');
    m_host.FocusCurrentView();
}

void TqbTree::NewNote(bool forceRoot) {
    if (RefusedWhileGone())
        return;
    const TBusy busy(*this);
    m_host.EnterEditMode();
    QTreeWidgetItem* parent = nullptr;
    QTreeWidgetItem* selected = currentItem();
    if (!forceRoot && selected && !IsPlaceholder(selected)) {
        parent = IsFolder(selected) ? selected : selected->parent();
        LoadChildren(parent);
    }
    // Its decoded name would make a second folder beside the real one.
    if (!MakeUsable(parent))
        return;
    const QString base = NodePath(parent) + u'/';

    const QString templateDir = m_host.TreeTemplateDir();
    // Typed right after the name is confirmed: meant for the page opened for it. It outlives
    // the dialog, whose end disturbs the input method.
    TqbKeyHandOff handOff(window()->windowHandle());
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
    const auto acting = ActOn(nullptr);
    if (!m_library.CreateNote(notePath, templateFile, m_host.TreeDefaultHeader()))
        return;
    QTreeWidgetItem* node = itemFromIndex(m_actingNode);
    setCurrentItem(node);
    if (node && currentItem() == node)
        SetOpenPath(notePath);
}

void TqbTree::RenameNode(QTreeWidgetItem* node) {
    const TBusy busy(*this);
    // A document that cannot be written stops the rename: it would otherwise be written back to
    // the old name afterwards.
    if (!m_host.SaveCurrentNote())
        return;
    if (!node || IsPlaceholder(node) || !m_host.TreeShowing())
        return;
    QTreeWidgetItem* parent = node->parent();
    LoadChildren(parent);
    const QString base = NodePath(parent) + u'/';
    const bool folder = IsFolder(node);
    const QString oldText = node->text(0);
    // A note keeps its extension as it is on disk (".HTM" stays).
    const QString oldFile = NoteFileName(node);
    const QString ext = folder ? QString() : oldFile.mid(oldFile.lastIndexOf(u'.'));
    const QByteArray raw = node->data(0, RawNameRole).toByteArray();

    // Typed right after the name is confirmed: meant for the page opened for it. It outlives
    // the dialog, whose end disturbs the input method.
    TqbKeyHandOff handOff(window()->windowHandle());
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
    {
        const auto acting = ActOn(node);
        m_library.Rename(ItemPath(node), newPath, raw);
    }
    if (currentItem())
        SetOpenPath(SelectedPath());
    m_host.FocusCurrentView();
}

void TqbTree::DeleteNode(QTreeWidgetItem* node) {
    const TBusy busy(*this);
    if (!node || IsPlaceholder(node))
        return;
    QString question = node->text(0) + DeleteQuestionSuffix;
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
    const auto acting = ActOn(node);
    if (!ShellDelete(ItemPath(node)))
        return;
    if (currentItem())
        SetOpenPath(SelectedPath());
}

bool TqbTree::IsUnder(const QTreeWidgetItem* source, const QTreeWidgetItem* target) {
    if (!target || !target->parent())
        return false;
    for (const QTreeWidgetItem* p = target; p; p = p->parent())
        if (p == source)
            return true;
    return false;
}

void TqbTree::MoveNode(QTreeWidgetItem* target, QTreeWidgetItem* source) {
    const TBusy busy(*this);
    if (!source || IsPlaceholder(source))
        return;
    if (!MakeUsable(source) || !MakeUsable(target && !IsFolder(target) ? target->parent() : target))
        return;
    ExpandFolder(target);
    if (target && target->childCount() == 1 && IsPlaceholder(target->child(0)))
        delete target->child(0);
    if (IsUnder(source, target)) {
        m_host.ShowMessage(MoveBelowMessage);
        return;
    }
    if (target && !IsFolder(target))
        target = target->parent();
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
    const auto acting = ActOn(source);
    MoveItem(ItemPath(source), targetPath);
}

bool TqbTree::MoveItem(const QString& itemPath, const QString& destFolder) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++m_libraryCalls;
    const bool moved = m_library.Move(itemPath, destFolder);
    --m_libraryCalls;
    QApplication::restoreOverrideCursor();
    ShowMovedNodes();
    return moved;
}

bool TqbTree::ShellMove(const QString& source, const QString& destFolder) {
    return MoveItem(QFileInfo(source).isDir() ? StripTrailingDelim(source) + u'/' : source, destFolder);
}

bool TqbTree::ShellDelete(const QString& path) {
    ++m_libraryCalls;
    const bool trashed =
        m_library.Trash(path.endsWith(u'/') || !QFileInfo(path).isDir() ? path : path + u'/');
    --m_libraryCalls;
    ShowMovedNodes();
    return trashed;
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

QTreeWidgetItem* TqbTree::CutNode() const {
    return m_cutNode.isValid() ? itemFromIndex(m_cutNode) : nullptr;
}

void TqbTree::SetContextNode(QTreeWidgetItem* node) {
    m_contextNode = node ? QPersistentModelIndex(indexFromItem(node)) : QPersistentModelIndex();
}

void TqbTree::UpdatePopupItems() {
    const bool overNode = ContextNode() != nullptr;
    m_itemCut->setEnabled(overNode);
    m_itemRename->setEnabled(overNode);
    m_itemDelete->setEnabled(overNode);
    m_itemVersions->setEnabled(overNode);
    m_itemBacklinks->setEnabled(overNode);
    // A mark whose node is gone (deleted, moved, reloaded) is cleared, never pasted.
    if (!CutNode())
        m_cutNode = QPersistentModelIndex();
    m_itemPaste->setEnabled(CutNode() != nullptr);
}

void TqbTree::PopupCut() {
    m_cutNode = m_contextNode;
    m_itemPaste->setEnabled(CutNode() != nullptr);
}

void TqbTree::PopupPaste() {
    QTreeWidgetItem* source = CutNode();
    QTreeWidgetItem* target = ContextNode();
    m_cutNode = QPersistentModelIndex();
    m_itemPaste->setEnabled(false);
    if (source)
        MoveNode(target, source);
}

bool TqbTree::RefusedWhileGone() {
    if (m_showsGone)
        m_host.ShowMessage(LibraryGoneMessage.arg(QDir::toNativeSeparators(m_rootDir)));
    return m_showsGone;
}

void TqbTree::PopupCreate(void (TqbTree::*create)(bool forceRoot)) {
    const TBusy busy(*this);
    QTreeWidgetItem* node = ContextNode();
    if (!node || (!IsFolder(node) && !node->parent())) {
        (this->*create)(true);
        return;
    }
    QTreeWidgetItem* folder = IsFolder(node) ? node : node->parent();
    setCurrentItem(folder);
    if (currentItem() == folder)
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
    if (const QTreeWidgetItem* node = ContextNode())
        emit VersionsRequested(ItemPath(node));
}

void TqbTree::PopupBacklinks() {
    if (const QTreeWidgetItem* node = ContextNode())
        emit BacklinksRequested(qbTreeRules::DocumentPath(ItemPath(node)));
}

// -- drag and drop inside the tree

void TqbTree::StartNodeDrag() {
    const TBusy busy(*this);
    QTreeWidgetItem* node = currentItem();
    if (!node || IsPlaceholder(node))
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
    QTreeWidgetItem* selected = currentItem();
    if (!selected)
        return;
    QTreeWidgetItem* target = itemAt(pos);
    if (target && !IsFolder(target))
        target = target->parent();
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
