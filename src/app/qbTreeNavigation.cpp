#include "app/qbTreeNavigation.h"

#include "library/qbTree.h"

#include <QDir>
#include <QFileInfo>

namespace qbTreeNavigation {

namespace {

void CollectOpen(const TqbTree& tree, const QModelIndex& parent, QStringList& open) {
    const QAbstractItemModel& model = tree.Model();
    const int count = model.rowCount(parent);
    for (int i = 0; i < count; ++i) {
        const QModelIndex node = model.index(i, 0, parent);
        if (!TqbTree::IsFolder(node) || !tree.isExpanded(node))
            continue;
        open << tree.ItemPath(node);
        CollectOpen(tree, node, open);
    }
}

// path below the tree's root, cleaned; empty when it is not below it.
QString BelowRoot(const TqbTree& tree, const QString& path) {
    const QString root = QDir::cleanPath(tree.RootDir());
    const QString clean = QDir::cleanPath(path);
    if (root.isEmpty() || !clean.startsWith(root + u'/') || clean.size() == root.size() + 1)
        return {};
    return clean;
}

} // namespace

QStringList OpenFolders(const TqbTree& tree) {
    QStringList open;
    CollectOpen(tree, QModelIndex(), open);
    return open;
}

void ReopenFolders(TqbTree& tree, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QString path = BelowRoot(tree, folder);
        if (path.isEmpty())
            continue;
        if (const QModelIndex node = tree.RevealDocument(path + u'/');
            TqbTree::IsFolder(node) && tree.MakeUsable(node))
            tree.ExpandFolder(node);
    }
}

} // namespace qbTreeNavigation
