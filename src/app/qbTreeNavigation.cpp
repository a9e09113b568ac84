#include "app/qbTreeNavigation.h"

#include "library/qbNoteInfo.h"
#include "library/qbTree.h"

#include <QDir>
#include <QFileInfo>

namespace qbTreeNavigation {

namespace {

QTreeWidgetItem* Child(TqbTree& tree, QTreeWidgetItem* parent, const QString& text, bool folder) {
    const int count = parent ? parent->childCount() : tree.topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem* node = parent ? parent->child(i) : tree.topLevelItem(i);
        if (!TqbTree::IsPlaceholder(node) && TqbTree::IsFolder(node) == folder &&
            node->text(0) == text)
            return node;
    }
    return nullptr;
}

// The relative parts of path below the tree's root; empty when it is not below it.
QStringList PartsBelowRoot(const TqbTree& tree, const QString& path) {
    const QString root = QDir::cleanPath(tree.RootDir());
    const QString clean = QDir::cleanPath(path);
    if (root.isEmpty() || !clean.startsWith(root + u'/'))
        return {};
    return clean.mid(root.size() + 1).split(u'/', Qt::SkipEmptyParts);
}

// Lists each folder on the way and returns the last; null where one is missing or unusable.
QTreeWidgetItem* ListFolders(TqbTree& tree, const QStringList& folders) {
    QTreeWidgetItem* node = nullptr;
    for (const QString& folder : folders) {
        // A folder still named in CP949 bytes lists nothing under the name it shows.
        if (node && !tree.MakeUsable(node))
            return nullptr;
        if (node)
            tree.LoadChildren(node);
        node = Child(tree, node, folder, true);
        if (!node)
            return nullptr;
    }
    return node;
}

void CollectOpen(const TqbTree& tree, const QTreeWidgetItem* parent, QStringList& open) {
    const int count = parent ? parent->childCount() : tree.topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        const QTreeWidgetItem* node = parent ? parent->child(i) : tree.topLevelItem(i);
        if (TqbTree::IsPlaceholder(node) || !TqbTree::IsFolder(node) || !node->isExpanded())
            continue;
        open << tree.ItemPath(node);
        CollectOpen(tree, node, open);
    }
}

} // namespace

QStringList OpenFolders(const TqbTree& tree) {
    QStringList open;
    CollectOpen(tree, nullptr, open);
    return open;
}

void ReopenFolders(TqbTree& tree, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QStringList parts = PartsBelowRoot(tree, folder);
        if (parts.isEmpty())
            continue;
        if (QTreeWidgetItem* node = ListFolders(tree, parts); node && tree.MakeUsable(node))
            tree.ExpandFolder(node);
    }
}

bool SelectPath(TqbTree& tree, const QString& path) {
    QStringList parts = PartsBelowRoot(tree, path);
    if (parts.isEmpty())
        return false;
    const QString last = parts.takeLast();
    const bool folderPage = last == TqbNoteInfo::FolderDescriptionName;
    if (!folderPage && QFileInfo(last).suffix().compare(u"htm", Qt::CaseInsensitive) != 0)
        return false;

    QTreeWidgetItem* node = parts.isEmpty() ? nullptr : ListFolders(tree, parts);
    if (!parts.isEmpty() && !node)
        return false;
    if (!folderPage) {
        if (node && !tree.MakeUsable(node))
            return false;
        if (node)
            tree.LoadChildren(node);
        node = Child(tree, node, QFileInfo(last).completeBaseName(), false);
    }
    if (!node)
        return false;
    tree.setCurrentItem(node);
    return true;
}

} // namespace qbTreeNavigation
