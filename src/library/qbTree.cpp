#include "library/qbTree.h"

#include "library/qbFolderListing.h"
#include "library/qbNoteInfo.h"
#include "library/qbPaths.h"
#include "library/qbTreeHost.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <chrono>

namespace qbTreeRules {

bool WithinExpandGrace(quint32 now, quint32 lastExpand) {
    return quint32(now - lastExpand) <= ExpandGraceMs;
}

bool IsOnLabel(int x, int iconLeft) {
    return x > iconLeft;
}

QString DocumentPath(const QString& path) {
    if (!path.isEmpty() && path.endsWith(u'/'))
        return path + TqbNoteInfo::FolderDescriptionName;
    return path;
}

} // namespace qbTreeRules

quint32 qbTickCount() {
    using namespace std::chrono;
    return quint32(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

namespace {

// Draws itself with the owning tree's images, so a node needs no icon of its own.
class TqbTreeNode : public QTreeWidgetItem {
public:
    TqbTreeNode(const QString& text, int imageIndex) : QTreeWidgetItem(UserType) {
        setText(0, text);
        setData(0, TqbTree::ImageIndexRole, imageIndex);
    }

    QVariant data(int column, int role) const override {
        if (column == 0 && role == Qt::DecorationRole) {
            if (const auto* tree = qobject_cast<const TqbTree*>(treeWidget()))
                return tree->IconFor(this);
            return {};
        }
        return QTreeWidgetItem::data(column, role);
    }
};

} // namespace

TqbTree::TqbTree(IqbTreeHost& host, QWidget* owner)
    : QTreeWidget(owner), m_host(host), m_tick(qbTickCount) {
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
    // Drags start from the tree only and drop into it.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    CreatePopupMenu();
}

TqbTree::~TqbTree() = default;

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

QTreeWidgetItem* TqbTree::NewNode(const QString& text, int imageIndex) {
    return new TqbTreeNode(text, imageIndex);
}

int TqbTree::ImageIndex(const QTreeWidgetItem* node) {
    return node ? node->data(0, ImageIndexRole).toInt() : -1;
}

bool TqbTree::IsPlaceholder(const QTreeWidgetItem* node) {
    return node && node->text(0) == PlaceholderText;
}

bool TqbTree::IsFolder(const QTreeWidgetItem* node) {
    return node && ImageIndex(node) == FolderImage && !IsPlaceholder(node);
}

bool TqbTree::IsUnlisted(const QTreeWidgetItem* node) {
    return node && node->childCount() > 0 && IsPlaceholder(node->child(0));
}

void TqbTree::LoadRoot(const QString& dir) {
    clear();
    m_contextNode = QPersistentModelIndex();
    m_rootDir = dir.endsWith(u'/') ? dir.chopped(1) : dir;
    ScanFolder(nullptr, m_rootDir);
}

void TqbTree::ScanFolder(QTreeWidgetItem* node, const QString& dir) {
    const TqbFolderListing listing = ListFolder(dir, NoteExt);
    const QString prefix = dir.endsWith(u'/') ? dir : dir + u'/';
    QList<QTreeWidgetItem*> added;
    // The first entry takes over the placeholder, which keeps it in first place.
    const auto place = [&](const QString& text, int imageIndex) {
        if (IsUnlisted(node)) {
            QTreeWidgetItem* reused = node->child(0);
            reused->setText(0, text);
            reused->setData(0, ImageIndexRole, imageIndex);
            return reused;
        }
        QTreeWidgetItem* fresh = NewNode(text, imageIndex);
        added.append(fresh);
        return fresh;
    };
    // A name equal to the placeholder text would make its parent look unlisted for good.
    for (const QString& name : listing.Folders) {
        if (name == PlaceholderText)
            continue;
        QTreeWidgetItem* folder = place(name, FolderImage);
        if (FolderHasEntries(prefix + name))
            folder->addChild(NewNode(PlaceholderText, FolderImage));
    }
    for (const QString& fileName : listing.NoteFiles) {
        const QString text = FileNameNoExt(fileName);
        if (text != PlaceholderText)
            place(text, NoteImage);
    }
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

QString TqbTree::DocumentPathOf(const QTreeWidgetItem* node) const {
    if (!node)
        return {};
    return NodePath(node) + (ImageIndex(node) == NoteImage ? NoteExt : QStringLiteral("/"));
}

QString TqbTree::SelectedPath() const {
    return DocumentPathOf(currentItem());
}

void TqbTree::SetOpenPath(const QString& path) {
    const QString document = qbTreeRules::DocumentPath(path);
    // Opening what is open already would throw away unsaved changes in the editor.
    if (document == m_openPath)
        return;
    m_openPath = document;
    m_host.OpenCurrentNote();
}

void TqbTree::CurrentNodeChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (!current || IsPlaceholder(current) || m_revertingSelection)
        return;
    const QString path = DocumentPathOf(current);
    if (!m_host.SaveCurrentNote()) {
        // The open document still holds changes that could not be written: stay on it.
        m_revertingSelection = true;
        setCurrentItem(previous);
        m_revertingSelection = false;
        return;
    }
    SetOpenPath(path);
}

int TqbTree::IconLeft(const QTreeWidgetItem* node) const {
    return visualItemRect(node).left();
}

void TqbTree::PressAt(QPoint pos, Qt::MouseButton button) {
    QTreeWidgetItem* node = itemAt(pos);
    m_contextNode = node ? QPersistentModelIndex(indexFromItem(node)) : QPersistentModelIndex();
    m_pressNode = QPersistentModelIndex();
    if (button != Qt::LeftButton || !node)
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

void TqbTree::keyPressEvent(QKeyEvent* event) {
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
    // The node under the pointer, even when the menu is asked for from the keyboard.
    QTreeWidgetItem* node = itemAt(viewport()->mapFromGlobal(QCursor::pos()));
    m_contextNode = node ? QPersistentModelIndex(indexFromItem(node)) : QPersistentModelIndex();
    UpdatePopupItems();
    event->accept();
    m_popup->exec(event->globalPos());
}

QItemSelectionModel::SelectionFlags TqbTree::selectionCommand(const QModelIndex& index,
                                                              const QEvent*) const {
    // The current node is always the selected one: nothing deselects it.
    if (index.isValid())
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    return QItemSelectionModel::NoUpdate;
}
