#include "library/qbTree.h"

#include "library/qbFolderListing.h"
#include "library/qbLibraryWatcher.h"
#include "library/qbNameOrder.h"
#include "library/qbNoteInfo.h"
#include "library/qbPaths.h"
#include "library/qbTreeHost.h"
#include "platform/qbFileStamp.h"
#include "platform/qbNativeNames.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>

quint32 qbTickCount() {
    using namespace std::chrono;
    return quint32(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

namespace {

// Draws itself with the owning tree's images, so a node needs no icon of its own.
class TqbTreeNode : public QTreeWidgetItem {
public:
    TqbTreeNode() : QTreeWidgetItem(UserType) {}

    QVariant data(int column, int role) const override {
        if (column == 0 && role == Qt::DecorationRole) {
            if (const auto* tree = qobject_cast<const TqbTree*>(treeWidget()))
                return tree->IconFor(this);
            return {};
        }
        if (column == 0 && (role == Qt::ToolTipRole || role == Qt::ForegroundRole) &&
            QTreeWidgetItem::data(0, TqbTree::ConflictRole).toBool())
            return role == Qt::ToolTipRole ? QVariant(TqbTree::ConflictTip)
                                           : QVariant(QBrush(TqbTree::ConflictColor));
        if (column == 0 && role == Qt::BackgroundRole) {
            if (const auto* tree = qobject_cast<const TqbTree*>(treeWidget())) {
                const QBrush mark = tree->PopupMark(this);
                if (mark.style() != Qt::NoBrush)
                    return mark;
            }
        }
        return QTreeWidgetItem::data(column, role);
    }

    // The listing's order, which a sort of the children keeps.
    bool operator<(const QTreeWidgetItem& other) const override {
        return qbNameOrder::CompareItems(TqbTree::IsFolder(this), text(0),
                                         TqbTree::IsFolder(&other), other.text(0)) < 0;
    }
};

} // namespace

int TqbTree::SortedRow(const QTreeWidgetItem* owner, const QTreeWidgetItem* node) {
    int low = 0;
    int high = owner->childCount();
    while (low < high) {
        const int mid = (low + high) / 2;
        if (*owner->child(mid) < *node)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

void TqbTree::KeepInOrder(QTreeWidgetItem* node) {
    QTreeWidgetItem* owner = node->parent() ? node->parent() : invisibleRootItem();
    const int row = owner->indexOfChild(node);
    const bool inOrder = (row == 0 || *owner->child(row - 1) < *node) &&
                         (row + 1 == owner->childCount() || *node < *owner->child(row + 1));
    // A sort moves rows without taking them out: open folders and the selection stay.
    if (!inOrder)
        owner->sortChildren(0, Qt::AscendingOrder);
}

TqbTree::TqbTree(IqbTreeHost& host, TqbLibrary& library, QWidget* owner)
    : QTreeWidget(owner), m_host(host), m_library(library), m_tick(qbTickCount) {
    setColumnCount(1);
    setHeaderHidden(true);
    setSelectionMode(SingleSelection);
    // Renaming goes through the rename dialog, never in place.
    setEditTriggers(NoEditTriggers);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                CurrentNodeChanged(current, previous);
            });
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* node) { RefuseUnlistedExpansion(node); });
    connect(&m_library, &TqbLibrary::Added, this, &TqbTree::ItemAdded);
    connect(&m_library, &TqbLibrary::Moved, this, &TqbTree::ItemMoved);
    connect(&m_library, &TqbLibrary::Removed, this, &TqbTree::ItemRemoved);
    // What is watched follows what shows.
    m_watcher = new TqbLibraryWatcher(this);
    m_watcher->SetHold([this] { return m_busy > 0 || (m_watchHold && m_watchHold()); });
    connect(m_watcher, &TqbLibraryWatcher::Changed, this, [this](const QStringList& dirs) {
        // Asked first: the root's own report may come before the presence's.
        if (!m_library.Presence().Check() || m_showsGone)
            return;
        MergeBatch(dirs);
        // Folders another program made or moved in are watched as well.
        ScheduleWatchSync();
        emit OutsideChangeSeen();
    });
    m_watchSync = new QTimer(this);
    m_watchSync->setSingleShot(true);
    m_watchSync->setInterval(0);
    connect(m_watchSync, &QTimer::timeout, this, &TqbTree::SyncWatches);
    connect(&m_library.Presence(), &TqbRootPresence::Gone, this, &TqbTree::FollowPresence);
    connect(&m_library.Presence(), &TqbRootPresence::Back, this, &TqbTree::FollowPresence);
    m_goneLabel = new QLabel(viewport());
    m_goneLabel->setObjectName(QStringLiteral("libraryGone"));
    m_goneLabel->setWordWrap(true);
    m_goneLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_goneLabel->setMargin(8);
    m_goneLabel->hide();
    auto* goneLayout = new QVBoxLayout(viewport());
    goneLayout->setContentsMargins(0, 0, 0, 0);
    goneLayout->addWidget(m_goneLabel);
    connect(this, &QTreeWidget::itemExpanded, this, &TqbTree::ScheduleWatchSync);
    connect(this, &QTreeWidget::itemCollapsed, this, &TqbTree::ScheduleWatchSync);
    connect(&m_library.Store(), &TqbLibraryStore::Learned, this, &TqbTree::ScheduleWatchSync);
    // Notes coming and going change nothing watched: a folder of thousands stays quick to use.
    const auto foldersAmong = [this](const QModelIndex& parent, int first, int last) {
        for (int row = first; row <= last; ++row)
            if (IsFolder(itemFromIndex(model()->index(row, 0, parent))))
                return true;
        return false;
    };
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this, foldersAmong](const QModelIndex& parent, int first, int last) {
                if (foldersAmong(parent, first, last))
                    ScheduleWatchSync();
            });
    connect(model(), &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this, foldersAmong](const QModelIndex& parent, int first, int last) {
                if (foldersAmong(parent, first, last))
                    ScheduleWatchSync();
            });
    // Drags start from the tree only and drop into it.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    CreatePopupMenu();
}

TqbTree::~TqbTree() {
    // The model outlives this part of the tree while it is taken apart.
    disconnect(model(), nullptr, this, nullptr);
}

QTreeWidgetItem* TqbTree::ContextNode() const {
    return m_contextNode.isValid() ? itemFromIndex(m_contextNode) : nullptr;
}

void TqbTree::SetImages(const QList<QPixmap>& images) {
    const auto image = [&](int i) { return i < images.size() ? images.at(i) : QPixmap(); };
    const auto icon = [&](int normal, int selected) {
        QIcon result;
        result.addPixmap(image(normal), QIcon::Normal);
        // Without its own selected picture the icon would be tinted when selected.
        result.addPixmap(image(selected), QIcon::Selected);
        return result;
    };
    m_icons = {icon(FolderImage, FolderSelectedImage), icon(NoteImage, NoteSelectedImage),
               icon(FolderImage, FolderImage)};
    viewport()->update();
}

void TqbTree::SetTickSource(std::function<quint32()> tickSource) {
    m_tick = tickSource ? std::move(tickSource) : qbTickCount;
}

const QIcon& TqbTree::IconFor(const QTreeWidgetItem* node) const {
    if (IsPlaceholder(node))
        return m_icons[2];
    return ImageIndex(node) == NoteImage ? m_icons[1] : m_icons[0];
}

QTreeWidgetItem* TqbTree::NewNode(const QString& text, int imageIndex, const QString& fileName,
                                  const QByteArray& rawName) {
    auto* node = new TqbTreeNode;
    SetEntry(node, text, imageIndex, fileName, rawName);
    return node;
}

QTreeWidgetItem* TqbTree::NewPlaceholder() {
    auto* node = new TqbTreeNode;
    node->setText(0, PlaceholderText);
    node->setData(0, ImageIndexRole, int(FolderImage));
    node->setData(0, PlaceholderRole, true);
    return node;
}

void TqbTree::MarkConflict(QTreeWidgetItem* node, bool conflict) {
    node->setData(0, ConflictRole, conflict ? QVariant(true) : QVariant());
}

void TqbTree::SetEntry(QTreeWidgetItem* node, const QString& text, int imageIndex,
                       const QString& fileName, const QByteArray& rawName) {
    node->setText(0, text);
    node->setData(0, ImageIndexRole, imageIndex);
    node->setData(0, PlaceholderRole, QVariant());
    node->setData(0, FileNameRole, fileName.isEmpty() ? QVariant() : QVariant(fileName));
    node->setData(0, RawNameRole, rawName.isEmpty() ? QVariant() : QVariant(rawName));
}

int TqbTree::ImageIndex(const QTreeWidgetItem* node) {
    return node ? node->data(0, ImageIndexRole).toInt() : -1;
}

bool TqbTree::IsPlaceholder(const QTreeWidgetItem* node) {
    return node && node->data(0, PlaceholderRole).toBool();
}

bool TqbTree::IsFolder(const QTreeWidgetItem* node) {
    return node && ImageIndex(node) == FolderImage && !IsPlaceholder(node);
}

bool TqbTree::IsUnlisted(const QTreeWidgetItem* node) {
    return node && node->childCount() > 0 && IsPlaceholder(node->child(0));
}

void TqbTree::LoadRoot(const QString& dir) {
    m_rootDir = dir.endsWith(u'/') ? dir.chopped(1) : dir;
    m_library.NoteExt = NoteExt;
    m_library.SetRoot(m_rootDir);
    ListRoot();
}

void TqbTree::ListRoot() {
    clear();
    m_contextNode = QPersistentModelIndex();
    m_watched.clear();
    m_showsGone = false;
    m_goneLabel->hide();
    if (!m_library.Presence().IsThere()) {
        ShowLibraryGone();
        return;
    }
    ScanFolder(nullptr, m_rootDir);
    ScheduleWatchSync();
}

void TqbTree::ScanFolder(QTreeWidgetItem* node, const QString& dir) {
    const TqbFolderListing listing = m_library.List(dir);
    const QString prefix = dir.endsWith(u'/') ? dir : dir + u'/';
    m_fresh.insert(prefix.chopped(1));
    QList<QTreeWidgetItem*> added;
    // The first entry takes over the placeholder, which keeps it in first place.
    const auto place = [&](const TqbListedName& entry, const QString& text, int imageIndex,
                           const QString& fileName) {
        QTreeWidgetItem* item = nullptr;
        if (IsUnlisted(node)) {
            item = node->child(0);
        } else {
            item = new TqbTreeNode;
            added.append(item);
        }
        SetEntry(item, text, imageIndex, fileName, entry.RawName);
        return item;
    };
    for (const TqbListedName& entry : listing.Folders) {
        QTreeWidgetItem* folder = place(entry, entry.Name, FolderImage, {});
        const bool hasEntries =
            entry.RawName.isEmpty()
                ? FolderHasEntries(prefix + entry.Name)
                : FolderHasEntries(QByteArray(QFile::encodeName(prefix) + entry.RawName));
        if (hasEntries)
            folder->addChild(NewPlaceholder());
    }
    for (const TqbListedName& entry : listing.NoteFiles)
        MarkConflict(place(entry, FileNameNoExt(entry.Name), NoteImage, entry.Name),
                     listing.Conflicted.contains(entry.Name));
    if (node)
        MarkConflict(node, listing.Conflicted.contains(TqbNoteInfo::FolderDescriptionName));
    // Whole lists go in at once: one model update instead of one per node.
    if (node)
        node->addChildren(added);
    else
        addTopLevelItems(added);
}

void TqbTree::LoadChildren(QTreeWidgetItem* node) {
    if (!IsUnlisted(node))
        return;
    ScanFolder(node, NodePath(node));
    // Refused again when the listing added nothing: such a folder stays closed.
    node->setExpanded(true);
}

void TqbTree::ExpandFolder(QTreeWidgetItem* node) {
    if (!IsFolder(node))
        return;
    if (IsUnlisted(node))
        LoadChildren(node);
    else if (node->childCount() > 0)
        node->setExpanded(true);
    m_lastExpandTick = m_tick();
}

void TqbTree::RefuseUnlistedExpansion(QTreeWidgetItem* node) {
    // Folders open only through LoadChildren, never by the control on its own.
    if (IsUnlisted(node))
        node->setExpanded(false);
}

QString TqbTree::NodeDirPrefix(const QTreeWidgetItem* node) const {
    if (!node)
        return {};
    QStringList ancestors;
    for (const QTreeWidgetItem* p = node->parent(); p; p = p->parent())
        ancestors.prepend(p->text(0));
    QString prefix = m_rootDir + u'/';
    for (const QString& text : std::as_const(ancestors))
        prefix += text + u'/';
    return prefix;
}

QString TqbTree::NodePath(const QTreeWidgetItem* node) const {
    return node ? NodeDirPrefix(node) + node->text(0) : m_rootDir;
}

QString TqbTree::NoteFileName(const QTreeWidgetItem* note) const {
    if (!note)
        return {};
    const QString fileName = note->data(0, FileNameRole).toString();
    return fileName.isEmpty() ? note->text(0) + NoteExt : fileName;
}

QString TqbTree::ItemPath(const QTreeWidgetItem* node) const {
    if (!node || IsPlaceholder(node))
        return {};
    if (IsFolder(node))
        return NodePath(node) + u'/';
    return NodeDirPrefix(node) + NoteFileName(node);
}

QString TqbTree::SelectedPath() const {
    const QTreeWidgetItem* node = currentItem();
    if (node && !node->data(0, RawNameRole).isNull())
        return {};
    return ItemPath(node);
}

QString TqbTree::OpenPath() const {
    return m_host.OpenPath();
}

void TqbTree::SetOpenPath(const QString& path) {
    const QString document = qbTreeRules::DocumentPath(path);
    // Opening what is open already would throw away unsaved changes in the editor.
    if (document == m_host.OpenPath())
        return;
    if (document.isEmpty()) {
        CloseOpenDocument();
        return;
    }
    // A folder copied from Windows keeps its page under a CP949 name, which no path of ours
    // reaches: without its own name, opening would make an empty page beside it.
    if (path.endsWith(u'/')) {
        const QString error =
            qbNativeNames::AdoptCp949Name(path, TqbNoteInfo::FolderDescriptionName);
        if (!error.isEmpty())
            m_host.ShowMessage(error);
    }
    switch (DocumentAccess(document, m_rootDir)) {
    case TqbDocumentAccess::Usable:
    case TqbDocumentAccess::Missing:
    case TqbDocumentAccess::Folder: // the host's load fails and says so
        break;
    case TqbDocumentAccess::NotRegular:
        CloseOpenDocument();
        m_host.ShowMessage(NotANoteMessage.arg(QDir::toNativeSeparators(document)));
        return;
    case TqbDocumentAccess::OutsideLibrary:
        CloseOpenDocument();
        m_host.ShowMessage(OutsideLibraryMessage.arg(QDir::toNativeSeparators(document)));
        return;
    }
    m_watcher->SetOpenFile(document);
    m_host.OpenDocument(document);
}

void TqbTree::CloseOpenDocument() {
    if (m_host.OpenPath().isEmpty())
        return;
    m_watcher->SetOpenFile({});
    m_host.OpenDocument({});
}

bool TqbTree::MakeUsable(QTreeWidgetItem* node) {
    const QByteArray raw = node ? node->data(0, RawNameRole).toByteArray() : QByteArray();
    if (raw.isEmpty())
        return true;
    const TBusy busy(*this);
    const QString name = IsFolder(node) ? node->text(0) : NoteFileName(node);
    if (!m_library.AdoptRawName(NodeDirPrefix(node), raw, name))
        return false;
    node->setData(0, RawNameRole, QVariant());
    return true;
}

void TqbTree::CurrentNodeChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (!current || IsPlaceholder(current) || m_revertingSelection || m_merging)
        return;
    const TBusy busy(*this);
    if (!m_host.SaveCurrentNote()) {
        // The open document still holds changes that could not be written: stay on it.
        m_revertingSelection = true;
        setCurrentItem(previous);
        m_revertingSelection = false;
        return;
    }
    // A name left in CP949 bytes has no path of ours: nothing is open while it is selected.
    const bool usable = MakeUsable(current);
    SetOpenPath(usable ? ItemPath(current) : QString());
}

int TqbTree::IconLeft(const QTreeWidgetItem* node) const {
    return visualItemRect(node).left();
}

void TqbTree::PressAt(QPoint pos, Qt::MouseButton button) {
    const TBusy busy(*this);
    QTreeWidgetItem* node = itemAt(pos);
    m_contextNode = node ? QPersistentModelIndex(indexFromItem(node)) : QPersistentModelIndex();
    m_pressNode = QPersistentModelIndex();
    if (button != Qt::LeftButton || !node)
        return;
    // Asked before anything lists or opens it; a refusal leaves the tree as it was.
    if (!MakeUsable(node))
        return;
    m_pressPos = pos;
    m_pressNode = QPersistentModelIndex(indexFromItem(node));
    const int iconLeft = IconLeft(node);
    if (qbTreeRules::IsOnLabel(pos.x(), iconLeft)) {
        if (!node->isExpanded())
            ExpandFolder(node);
    } else if (IsUnlisted(node)) {
        LoadChildren(node);
    } else if (node->childCount() > 0 && pos.x() > iconLeft - indentation()) {
        // The expand button of a listed folder: the last indentation step before the icon.
        node->setExpanded(!node->isExpanded());
    }
    setCurrentItem(node);
}

void TqbTree::DoubleClickAt(QPoint pos) {
    if (qbTreeRules::WithinExpandGrace(m_tick(), m_lastExpandTick))
        return;
    QTreeWidgetItem* node = itemAt(pos);
    if (node && qbTreeRules::IsOnLabel(pos.x(), IconLeft(node)) && node->isExpanded())
        node->setExpanded(false);
}

void TqbTree::mousePressEvent(QMouseEvent* event) {
    // Expansion and selection are decided here alone: the base class would toggle the folder a
    // second time, and would select on a right press.
    PressAt(event->position().toPoint(), event->button());
    event->accept();
}

void TqbTree::mouseReleaseEvent(QMouseEvent* event) {
    // The base class toggles expansion on release in some styles.
    event->accept();
}

void TqbTree::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton) {
        QTreeWidget::mouseMoveEvent(event);
        return;
    }
    // Moving with the left button down from a node starts a drag; it never sweeps the selection
    // along, which would open every note passed over.
    if ((event->buttons() & Qt::LeftButton) && m_pressNode.isValid() &&
        (event->position().toPoint() - m_pressPos).manhattanLength() >=
            QApplication::startDragDistance()) {
        m_pressNode = QPersistentModelIndex();
        StartNodeDrag();
    }
    event->accept();
}

void TqbTree::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        DoubleClickAt(event->position().toPoint());
    event->accept();
}

bool TqbTree::IsTreeEditKey(const QKeyEvent* event) const {
    return event->modifiers() == Qt::ControlModifier &&
           (event->key() == Qt::Key_X || event->key() == Qt::Key_V);
}

bool TqbTree::event(QEvent* event) {
    // The window's editing shortcuts would take these keys from the tree.
    if (event->type() == QEvent::ShortcutOverride &&
        IsTreeEditKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTreeWidget::event(event);
}

void TqbTree::keyPressEvent(QKeyEvent* event) {
    if (IsTreeEditKey(event)) {
        event->accept();
        QTreeWidgetItem* node = currentItem();
        SetContextNode(IsPlaceholder(node) ? nullptr : node);
        if (event->key() == Qt::Key_X) {
            if (ContextNode())
                PopupCut();
        } else {
            PopupPaste();
        }
        return;
    }
    // The menu key itself comes as a context menu event from the platform.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        event->accept();
        ShowPopupAtCurrent();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Enter:
    case Qt::Key_Return:
        LoadChildren(currentItem());
        break;
    default:
        break;
    }
    QTreeWidget::keyPressEvent(event);
}

void TqbTree::focusInEvent(QFocusEvent* event) {
    // The base class would make the first node current when focus arrives, which opens it; a
    // reload must leave no node selected, also when focus comes back from a menu.
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TqbTree::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    if (event->reason() == QContextMenuEvent::Mouse) {
        // The event's own place in the viewport: the window's place on the screen may not be
        // known yet, and a global position mapped back would name another row.
        ShowPopup(itemAt(event->pos()), event->globalPos());
        return;
    }
    ShowPopupAtCurrent();
}

void TqbTree::ShowPopupAtCurrent() {
    QTreeWidgetItem* node = currentItem();
    if (IsPlaceholder(node))
        node = nullptr;
    const QRect row = node ? visualItemRect(node) : QRect();
    ShowPopup(node, viewport()->mapToGlobal(row.isValid() ? QPoint(IconLeft(node), row.bottom())
                                                          : QPoint(0, 0)));
}

void TqbTree::ShowPopup(QTreeWidgetItem* node, QPoint globalPos) {
    const TBusy busy(*this);
    SetContextNode(node);
    UpdatePopupItems();
    // The row the menu acts on stands out while it is open.
    m_popupShowing = true;
    viewport()->update();
    m_popup->exec(globalPos);
    m_popupShowing = false;
    viewport()->update();
}

QBrush TqbTree::PopupMark(const QTreeWidgetItem* node) const {
    if (!m_popupShowing || !node || node != ContextNode())
        return {};
    QColor mark = palette().color(QPalette::Highlight);
    mark.setAlpha(96);
    return mark;
}

QItemSelectionModel::SelectionFlags TqbTree::selectionCommand(const QModelIndex& index,
                                                              const QEvent*) const {
    // The current node is always the selected one: nothing deselects it.
    if (index.isValid())
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    return QItemSelectionModel::NoUpdate;
}
