// The operations that change the library: each changes the disk and the tree together.
#include "library/qbTree.h"

#include "library/NewNoteName.h"
#include "library/UserFileName.h"
#include "platform/qbError.h"
#include "library/qbNoteInfo.h"
#include "library/qbLibraryWatcher.h"
#include "library/qbPictureCarrier.h"
#include "platform/qbShellMove.h"
#include "platform/qbTextFile.h"
#include "platform/qbTrash.h"
#include "library/qbTreeHost.h"

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

namespace {

const QString NodeMimeType = QStringLiteral("application/x-qbnivora-tree-node");

QString WithoutSlash(const QString& path) {
    return path.endsWith(u'/') ? path.chopped(1) : path;
}

// The lines of bytes, each ended with CR LF (the last one too); the bytes themselves unchanged.
QByteArray WithCrLf(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 16 + 2);
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    while (i < n) {
        const char c = bytes.at(i);
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n')
                ++i;
            ++i;
            continue;
        }
        out += c;
        ++i;
    }
    if (!out.isEmpty() && !out.endsWith("\r\n"))
        out += "\r\n";
    return out;
}

} // namespace

bool TqbTree::RunDialog(QDialog& dialog) {
    if (m_runDialog)
        return m_runDialog(dialog);
    return dialog.exec() == QDialog::Accepted;
}

void TqbTree::SetDialogRunner(std::function<bool(QDialog&)> runner) {
    m_runDialog = std::move(runner);
}

bool TqbTree::OpenPathWithin(const QString& itemPath) const {
    if (m_openPath.isEmpty() || itemPath.isEmpty())
        return false;
    return itemPath.endsWith(u'/') ? m_openPath.startsWith(itemPath) : m_openPath == itemPath;
}

void TqbTree::RetargetOpenPath(const QString& oldItemPath, const QString& newItemPath) {
    if (OpenPathWithin(oldItemPath)) {
        m_openPath = newItemPath + m_openPath.mid(oldItemPath.size());
        m_watcher->SetOpenFile(m_openPath);
    }
}

QTreeWidgetItem* TqbTree::AddNode(QTreeWidgetItem* parent, const QString& text, int imageIndex,
                                  const QString& fileName) {
    if (!parent) {
        QTreeWidgetItem* node = NewNode(text, imageIndex, fileName);
        addTopLevelItem(node);
        return node;
    }
    if (!IsUnlisted(parent)) {
        QTreeWidgetItem* node = NewNode(text, imageIndex, fileName);
        parent->addChild(node);
        return node;
    }
    QTreeWidgetItem* node = parent->child(0);
    SetEntry(node, text, imageIndex, fileName);
    return node;
}

void TqbTree::ShowWrittenNote(const QString& filePath) {
    const QFileInfo file(filePath);
    const QString prefix = m_rootDir + u'/';
    const QString dir = file.path() + u'/';
    if (!dir.startsWith(prefix))
        return;
    QTreeWidgetItem* parent = nullptr;
    for (const QString& name : dir.mid(prefix.size()).split(u'/', Qt::SkipEmptyParts)) {
        QTreeWidgetItem* folder = nullptr;
        const int count = parent ? parent->childCount() : topLevelItemCount();
        for (int i = 0; i < count && !folder; ++i) {
            QTreeWidgetItem* child = parent ? parent->child(i) : topLevelItem(i);
            if (IsFolder(child) && child->text(0) == name)
                folder = child;
        }
        if (!folder || IsUnlisted(folder))
            return;
        parent = folder;
    }
    AddNode(parent, file.completeBaseName(), NoteImage, file.fileName());
}

void TqbTree::NewFolder(bool forceRoot) {
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

    TfrmUserFileName dialog(window());
    dialog.BasePath = base;
    dialog.NoteExt = NoteExt;
    dialog.CheckExisting = true;
    dialog.SetFolderMode(true);
    if (!RunDialog(dialog))
        return;
    const QString name = dialog.Name();
    if (name.isEmpty())
        return;

    const QString folder = base + name;
    if (!QDir().mkdir(folder)) {
        m_host.ShowTreeMessage(QStringLiteral("폴더를 만들 수 없습니다.\n%1").arg(folder));
        return;
    }
    try {
        qbText::WriteLines(folder + u'/' + TqbNoteInfo::FolderDescriptionName,
                           m_host.TreeDefaultHeader());
    } catch (const EqbError& error) {
        // Half made, it would sit on disk where the tree does not show it.
        QDir().rmdir(folder);
        m_host.ShowTreeMessage(error.Message());
        return;
    }
    QTreeWidgetItem* node = AddNode(parent, name, FolderImage);
    setCurrentItem(node);
    // A refused selection (the open document could not be written) must not load over it.
    if (currentItem() == node)
        SetOpenPath(folder + u'/');
    m_host.FocusCurrentView();
}

void TqbTree::NewNote(bool forceRoot) {
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
    TfrmNewNoteName dialog(templateDir, window());
    dialog.NoteExt = NoteExt;
    dialog.ProposeName(base);
    if (!RunDialog(dialog))
        return;
    const QString name = dialog.Name();
    const QString templateName = dialog.SelectedTemplate();
    if (name.isEmpty())
        return;

    const QString notePath = base + name + NoteExt;
    try {
        if (templateName.isEmpty()) {
            // No template selected: the default header.
            qbText::WriteLines(notePath, m_host.TreeDefaultHeader());
        } else {
            const QByteArray bytes =
                qbText::ReadFileBytes(templateDir + templateName + QStringLiteral(".htm"));
            qbText::WriteFileBytes(notePath, WithCrLf(bytes));
        }
    } catch (const EqbError& error) {
        m_host.ShowTreeMessage(error.Message());
        return;
    }
    QTreeWidgetItem* node = AddNode(parent, name, NoteImage, name + NoteExt);
    setCurrentItem(node);
    if (currentItem() == node)
        SetOpenPath(notePath);
}

void TqbTree::RenameNode(QTreeWidgetItem* node) {
    const TBusy busy(*this);
    // Unlike the Part, a document that cannot be written stops the rename: it would otherwise be
    // written back to the old name afterwards.
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

    TfrmUserFileName dialog(window());
    dialog.edtName->setText(oldText);
    dialog.BasePath = base;
    dialog.NoteExt = folder ? NoteExt : ext;
    dialog.CheckExisting = false;
    dialog.SetFolderMode(folder);
    if (!RunDialog(dialog))
        return;
    const QString newName = dialog.Name();
    if (newName.isEmpty())
        return;

    const QString oldPath = ItemPath(node);
    const QString newPath = base + newName + (folder ? QStringLiteral("/") : ext);
    bool renamed = newName == oldText && raw.isEmpty();
    if (!renamed) {
        // A name still in CP949 bytes is renamed from those bytes.
        const QByteArray nativeBase = QFile::encodeName(base);
        const QByteArray from = raw.isEmpty() ? QFile::encodeName(WithoutSlash(oldPath))
                                              : nativeBase + raw;
        renamed = qbShellMove::Rename(from, QFile::encodeName(WithoutSlash(newPath)));
    }
    if (renamed) {
        SetEntry(node, newName, ImageIndex(node), folder ? QString() : newName + ext);
        if (folder)
            ScheduleWatchSync();
        // The open document (the note, or a page inside the folder) was saved: it follows.
        RetargetOpenPath(oldPath, newPath);
        KeepPictures(oldPath, newPath);
        viewport()->update();
    } else {
        m_host.ShowTreeMessage(RenameFailedMessage);
    }
    if (currentItem())
        SetOpenPath(SelectedPath());
    m_host.FocusCurrentView();
}

void TqbTree::DeleteNode(QTreeWidgetItem* node) {
    const TBusy busy(*this);
    if (!node || IsPlaceholder(node))
        return;
    if (!m_host.ConfirmTreeQuestion(node->text(0) + DeleteQuestionSuffix))
        return;
    if (!MakeUsable(node))
        return;
    const QString itemPath = ItemPath(node);
    // Notes elsewhere that show pictures from a folder going away keep copies of them.
    if (itemPath.endsWith(u'/')) {
        TqbPictureCarrier carrier;
        carrier.KeepForOthers(m_rootDir, WithoutSlash(itemPath));
        if (!m_openPath.isEmpty() && carrier.Rewritten().contains(m_openPath) &&
            !OpenPathWithin(itemPath))
            m_host.OpenCurrentNote();
        if (!carrier.Failures().isEmpty())
            m_host.ShowTreeMessage(PicturesNotKeptMessage + carrier.Failures().join(u'\n'));
    }
    if (!ShellDelete(WithoutSlash(itemPath)))
        return;
    if (OpenPathWithin(itemPath)) {
        // The open document went with it: closed without writing, so the next selection change
        // cannot bring it back.
        m_openPath.clear();
        m_watcher->SetOpenFile({});
        m_host.DiscardCurrentNote();
    }
    if (m_cutNode.isValid() && (itemFromIndex(m_cutNode) == node || IsUnder(node, CutNode())))
        m_cutNode = QPersistentModelIndex();
    delete node;
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
        m_host.ShowTreeMessage(MoveBelowMessage);
        return;
    }
    if (target && !IsFolder(target))
        target = target->parent();
    const bool folder = IsFolder(source);
    const QString targetPath = NodePath(target);
    const QString sourcePath = WithoutSlash(ItemPath(source));
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
    const QString oldItem = ItemPath(source);
    const QString newItem =
        targetPath + u'/' + (folder ? source->text(0) + u'/' : NoteFileName(source));
    const bool replacesOpen =
        OpenPathWithin(newItem) && !OpenPathWithin(oldItem) &&
        QFileInfo::exists(WithoutSlash(newItem));
    if (!ShellMove(sourcePath, targetPath))
        return;
    if (replacesOpen) {
        m_openPath.clear();
        m_watcher->SetOpenFile({});
        m_host.DiscardCurrentNote();
    }
    // The open note (or a page inside the moved folder) keeps its edits and follows.
    RetargetOpenPath(oldItem, newItem);
    KeepPictures(oldItem, newItem);

    delete source;
    if (target) {
        while (target->childCount() > 0)
            delete target->takeChild(target->childCount() - 1);
        target->addChild(NewPlaceholder());
        ExpandFolder(target);
        target->setExpanded(true);
    } else {
        LoadRoot(m_rootDir);
    }
}

void TqbTree::KeepPictures(const QString& oldItemPath, const QString& newItemPath) {
    TqbPictureCarrier carrier;
    if (oldItemPath.endsWith(u'/'))
        carrier.FolderMoved(WithoutSlash(oldItemPath), WithoutSlash(newItemPath));
    else
        carrier.NoteMoved(oldItemPath, newItemPath);
    carrier.OthersFollow(m_rootDir);
    // The editor would write the old addresses back with its next save.
    if (!m_openPath.isEmpty() && carrier.Rewritten().contains(m_openPath))
        m_host.OpenCurrentNote();
    if (!carrier.Failures().isEmpty())
        m_host.ShowTreeMessage(PicturesNotKeptMessage + carrier.Failures().join(u'\n'));
}

bool TqbTree::ShellMove(const QString& source, const QString& destFolder) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const auto result = qbShellMove::Move(
        source, destFolder,
        [this](const QString& existing) {
            QApplication::restoreOverrideCursor();
            const bool replace = m_host.ConfirmTreeQuestionDefaultNo(
                ReplaceQuestion.arg(QDir::toNativeSeparators(existing)));
            QApplication::setOverrideCursor(Qt::WaitCursor);
            return replace;
        },
        &error);
    QApplication::restoreOverrideCursor();
    if (result == qbShellMove::TResult::Failed)
        m_host.ShowTreeMessage(error);
    return result == qbShellMove::TResult::Moved;
}

bool TqbTree::ShellDelete(const QString& path) {
    QString error;
    if (qbTrash::MoveToTrash(path, &error))
        return true;
    m_host.ShowTreeMessage(error);
    return false;
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
    item("itemNewFolder", QStringLiteral("새 폴더 만들기"), &TqbTree::PopupNewFolder);
    item("itemRefresh", QStringLiteral("트리 갱신"), &TqbTree::PopupRefresh);
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

void TqbTree::PopupNewFolder() {
    const TBusy busy(*this);
    QTreeWidgetItem* node = ContextNode();
    if (!node || (!IsFolder(node) && !node->parent())) {
        NewFolder(true);
        return;
    }
    QTreeWidgetItem* folder = IsFolder(node) ? node : node->parent();
    setCurrentItem(folder);
    if (currentItem() == folder)
        NewFolder(false);
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
