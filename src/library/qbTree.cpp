#include "library/qbTree.h"

#include "library/qbFolderListing.h"
#include "library/qbLibraryWatcher.h"
#include "library/qbNoteInfo.h"
#include "library/qbPaths.h"
#include "library/qbTreeHost.h"
#include "platform/qbNativeNames.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>

quint32 qbTickCount() {
    using namespace std::chrono;
    return quint32(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

namespace {

// The tree's own pictures and the pop-up menu's mark: the rows know neither.
class TqbTreeDelegate : public QStyledItemDelegate {
public:
    explicit TqbTreeDelegate(TqbTree& tree) : QStyledItemDelegate(&tree), m_tree(tree) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->icon = m_tree.IconFor(index);
        if (!option->icon.isNull())
            option->features |= QStyleOptionViewItem::HasDecoration;
        const QBrush mark = m_tree.PopupMark(index);
        if (mark.style() != Qt::NoBrush)
            option->backgroundBrush = mark;
    }

private:
    TqbTree& m_tree;
};

} // namespace

TqbTree::TqbTree(IqbTreeHost& host, TqbLibrary& library, QWidget* owner)
    : QTreeView(owner), m_host(host), m_library(library), m_tick(qbTickCount) {
    m_model = new TqbLibraryModel(m_library, this);
    // Folders are listed when the user opens them, never by the control on its own.
    m_model->SetListOnFetch(false);
    // Notes coming and going change nothing watched: a folder of thousands stays quick to use.
    const auto foldersAmong = [this](const QModelIndex& parent, int first, int last) {
        for (int row = first; row <= last; ++row)
            if (IsFolder(m_model->index(row, 0, parent)))
                return true;
        return false;
    };
    connect(m_model, &QAbstractItemModel::rowsInserted, this,
            [this, foldersAmong](const QModelIndex& parent, int first, int last) {
                RowsCame(parent, first, last);
                if (foldersAmong(parent, first, last))
                    ScheduleWatchSync();
            });
    // Before the selection model's own: a row going takes the selection along first.
    connect(m_model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this, foldersAmong](const QModelIndex& parent, int first, int last) {
                RowsGoing(parent, first, last);
                if (foldersAmong(parent, first, last))
                    ScheduleWatchSync();
            });
    setModel(m_model);
    setItemDelegate(new TqbTreeDelegate(*this));
    setHeaderHidden(true);
    setSelectionMode(SingleSelection);
    // Renaming goes through the rename dialog, never in place.
    setEditTriggers(NoEditTriggers);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    connect(this, &QTreeView::expanded, this,
            [this](const QModelIndex& node) { RefuseUnlistedExpansion(node); });
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
    connect(this, &QTreeView::expanded, this, &TqbTree::ScheduleWatchSync);
    connect(this, &QTreeView::collapsed, this, &TqbTree::ScheduleWatchSync);
    connect(&m_library.Store(), &TqbLibraryStore::Learned, this, &TqbTree::ScheduleWatchSync);
    // Drags start from the tree only and drop into it.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    CreatePopupMenu();
}

TqbTree::~TqbTree() {
    // The model outlives this part of the tree while it is taken apart.
    disconnect(m_model, nullptr, this, nullptr);
}

QModelIndex TqbTree::ContextNode() const {
    return m_contextNode;
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
    m_icons = {icon(FolderImage, FolderSelectedImage), icon(NoteImage, NoteSelectedImage)};
    viewport()->update();
}

void TqbTree::SetTickSource(std::function<quint32()> tickSource) {
    m_tick = tickSource ? std::move(tickSource) : qbTickCount;
}

const QIcon& TqbTree::IconFor(const QModelIndex& node) const {
    return ImageIndex(node) == NoteImage ? m_icons[1] : m_icons[0];
}

int TqbTree::ImageIndex(const QModelIndex& node) {
    return node.isValid() ? node.data(ImageIndexRole).toInt() : -1;
}

bool TqbTree::IsFolder(const QModelIndex& node) {
    return ImageIndex(node) == FolderImage;
}

bool TqbTree::IsUnlisted(const QModelIndex& node) const {
    return m_model->IsUnlisted(node);
}

void TqbTree::LoadRoot(const QString& dir) {
    m_rootDir = dir.endsWith(u'/') ? dir.chopped(1) : dir;
    m_library.NoteExt = NoteExt;
    m_library.SetRoot(m_rootDir);
    ListRoot();
}

void TqbTree::ListRoot() {
    m_contextNode = QPersistentModelIndex();
    m_watched.clear();
    m_showsGone = false;
    m_goneLabel->hide();
    if (!m_library.Presence().IsThere()) {
        ShowLibraryGone();
        return;
    }
    m_model->LoadRoot();
    m_fresh.insert(m_rootDir);
    ScheduleWatchSync();
}

void TqbTree::LoadChildren(const QModelIndex& node) {
    if (!IsUnlisted(node))
        return;
    m_model->List(node);
    m_fresh.insert(NodePath(node));
    // Refused again when the listing added nothing: such a folder stays closed.
    expand(node);
}

void TqbTree::ExpandFolder(const QModelIndex& node) {
    if (!IsFolder(node))
        return;
    if (IsUnlisted(node))
        LoadChildren(node);
    else if (m_model->rowCount(node) > 0)
        expand(node);
    m_lastExpandTick = m_tick();
}

void TqbTree::RefuseUnlistedExpansion(const QModelIndex& node) {
    // Folders open only through LoadChildren, never by the control on its own.
    if (IsUnlisted(node))
        collapse(node);
}

QString TqbTree::NodeDirPrefix(const QModelIndex& node) const {
    if (!node.isValid())
        return {};
    const QModelIndex parent = node.parent();
    return parent.isValid() ? m_model->ItemPath(parent) : m_rootDir + u'/';
}

QString TqbTree::NodePath(const QModelIndex& node) const {
    return node.isValid() ? NodeDirPrefix(node) + node.data().toString() : m_rootDir;
}

QString TqbTree::NoteFileName(const QModelIndex& note) const {
    return note.data(FileNameRole).toString();
}

QString TqbTree::ItemPath(const QModelIndex& node) const {
    return m_model->ItemPath(node);
}

QString TqbTree::SelectedPath() const {
    const QModelIndex node = currentIndex();
    if (!node.data(RawNameRole).isNull())
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

bool TqbTree::MakeUsable(const QModelIndex& node) {
    const QByteArray raw = node.data(RawNameRole).toByteArray();
    if (raw.isEmpty())
        return true;
    const TBusy busy(*this);
    const QString name = IsFolder(node) ? node.data().toString() : NoteFileName(node);
    if (!m_library.AdoptRawName(NodeDirPrefix(node), raw, name))
        return false;
    m_model->ForgetRawName(node);
    return true;
}

QModelIndex TqbTree::RevealDocument(const QString& documentPath, bool byShownNames) {
    const QString itemPath = documentPath.endsWith(u'/' + TqbNoteInfo::FolderDescriptionName)
                                 ? documentPath.chopped(TqbNoteInfo::FolderDescriptionName.size())
                                 : documentPath;
    const QString prefix = m_rootDir + u'/';
    if (m_rootDir.isEmpty() || !itemPath.startsWith(prefix))
        return {};
    for (qsizetype at = itemPath.indexOf(u'/', prefix.size()); at > 0 && at + 1 < itemPath.size();
         at = itemPath.indexOf(u'/', at + 1)) {
        // A folder still named in CP949 bytes lists nothing under the name it shows.
        const QModelIndex folder = m_model->IndexOf(itemPath.left(at + 1), byShownNames);
        if (!folder.isValid() || !MakeUsable(folder))
            return {};
        if (IsUnlisted(folder))
            LoadChildren(folder);
        else
            expand(folder);
    }
    return m_model->IndexOf(itemPath, byShownNames);
}

void TqbTree::SelectOpenDocument() {
    const QModelIndex row = RevealDocument(m_host.OpenPath(), false);
    if (!row.isValid() || row == currentIndex())
        return;
    m_selectingOpen = true;
    setCurrentIndex(row);
    m_selectingOpen = false;
}

void TqbTree::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    CurrentNodeChanged(current, previous);
}

void TqbTree::CurrentNodeChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (!current.isValid() || m_revertingSelection || m_merging || m_selectingOpen)
        return;
    if (m_libraryCalls > 0) {
        m_currentMovedOn = true;
        return;
    }
    const TBusy busy(*this);
    if (!m_host.SaveCurrentNote()) {
        // The open document still holds changes that could not be written: stay on it.
        m_revertingSelection = true;
        setCurrentIndex(previous);
        m_revertingSelection = false;
        return;
    }
    // A name left in CP949 bytes has no path of ours: nothing is open while it is selected.
    const bool usable = MakeUsable(current);
    SetOpenPath(usable ? ItemPath(current) : QString());
}

int TqbTree::IconLeft(const QModelIndex& node) const {
    return visualRect(node).left();
}

void TqbTree::PressAt(QPoint pos, Qt::MouseButton button) {
    const TBusy busy(*this);
    const QModelIndex node = indexAt(pos);
    m_contextNode = node;
    m_pressNode = QPersistentModelIndex();
    if (button != Qt::LeftButton || !node.isValid())
        return;
    // Asked before anything lists or opens it; a refusal leaves the tree as it was.
    if (!MakeUsable(node))
        return;
    m_pressPos = pos;
    m_pressNode = node;
    const int iconLeft = IconLeft(node);
    if (qbTreeRules::IsOnLabel(pos.x(), iconLeft)) {
        if (!isExpanded(node))
            ExpandFolder(node);
    } else if (IsUnlisted(node)) {
        LoadChildren(node);
    } else if (m_model->rowCount(node) > 0 && pos.x() > iconLeft - indentation()) {
        // The expand button of a listed folder: the last indentation step before the icon.
        setExpanded(node, !isExpanded(node));
    }
    setCurrentIndex(node);
}

void TqbTree::DoubleClickAt(QPoint pos) {
    if (qbTreeRules::WithinExpandGrace(m_tick(), m_lastExpandTick))
        return;
    const QModelIndex node = indexAt(pos);
    if (node.isValid() && qbTreeRules::IsOnLabel(pos.x(), IconLeft(node)) && isExpanded(node))
        collapse(node);
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
        QTreeView::mouseMoveEvent(event);
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
    return QTreeView::event(event);
}

void TqbTree::keyPressEvent(QKeyEvent* event) {
    if (IsTreeEditKey(event)) {
        event->accept();
        SetContextNode(currentIndex());
        if (event->key() == Qt::Key_X) {
            if (ContextNode().isValid())
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
        LoadChildren(currentIndex());
        break;
    default:
        break;
    }
    QTreeView::keyPressEvent(event);
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
        ShowPopup(indexAt(event->pos()), event->globalPos());
        return;
    }
    ShowPopupAtCurrent();
}

void TqbTree::ShowPopupAtCurrent() {
    const QModelIndex node = currentIndex();
    const QRect row = node.isValid() ? visualRect(node) : QRect();
    ShowPopup(node, viewport()->mapToGlobal(row.isValid() ? QPoint(IconLeft(node), row.bottom())
                                                          : QPoint(0, 0)));
}

void TqbTree::ShowPopup(const QModelIndex& node, QPoint globalPos) {
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

QBrush TqbTree::PopupMark(const QModelIndex& node) const {
    if (!m_popupShowing || !node.isValid() || node != m_contextNode)
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
