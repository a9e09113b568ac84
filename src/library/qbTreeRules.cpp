#include "library/qbTreeRules.h"

#include "library/qbNoteInfo.h"

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

bool Within(const QString& document, const QString& itemPath) {
    if (document.isEmpty() || itemPath.isEmpty())
        return false;
    return itemPath.endsWith(u'/') ? document.startsWith(itemPath) : document == itemPath;
}

QString Followed(const QString& document, const QString& oldItemPath, const QString& newItemPath) {
    return Within(document, oldItemPath) ? newItemPath + document.mid(oldItemPath.size())
                                         : document;
}

} // namespace qbTreeRules
