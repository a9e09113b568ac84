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

} // namespace

bool SelectPath(TqbTree& tree, const QString& path) {
    const QString root = QDir::cleanPath(tree.RootDir());
    const QString clean = QDir::cleanPath(path);
    if (root.isEmpty() || !clean.startsWith(root + u'/'))
        return false;
    QStringList parts = clean.mid(root.size() + 1).split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    const QString last = parts.takeLast();
    const bool folderPage = last == TqbNoteInfo::FolderDescriptionName;
    if (!folderPage && QFileInfo(last).suffix().compare(u"htm", Qt::CaseInsensitive) != 0)
        return false;

    QTreeWidgetItem* node = nullptr;
    for (const QString& folder : parts) {
        // A folder still named in CP949 bytes lists nothing under the name it shows.
        if (node && !tree.MakeUsable(node))
            return false;
        if (node)
            tree.LoadChildren(node);
        node = Child(tree, node, folder, true);
        if (!node)
            return false;
    }
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
