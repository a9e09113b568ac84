#include "library/qbConflictIndex.h"

void TqbConflictIndex::SetFolder(const QString& dir, const QStringList& names) {
    const qsizetype before = m_paths.size();
    const QString prefix = dir + u'/';
    m_paths.removeIf([&prefix](const QString& path) {
        return path.startsWith(prefix) && !QStringView(path).sliced(prefix.size()).contains(u'/');
    });
    for (const QString& name : names)
        m_paths.insert(prefix + name);
    Changed(before);
}

void TqbConflictIndex::Add(const QStringList& filePaths) {
    const qsizetype before = m_paths.size();
    for (const QString& path : filePaths)
        m_paths.insert(path);
    Changed(before);
}

void TqbConflictIndex::Forget(const QString& itemPath) {
    const qsizetype before = m_paths.size();
    if (itemPath.endsWith(u'/'))
        m_paths.removeIf([&itemPath](const QString& path) { return path.startsWith(itemPath); });
    else
        m_paths.remove(itemPath);
    Changed(before);
}

void TqbConflictIndex::Moved(const QString& oldItemPath, const QString& newItemPath) {
    if (!oldItemPath.endsWith(u'/') || !newItemPath.endsWith(u'/'))
        return Forget(oldItemPath);
    QStringList moved;
    m_paths.removeIf([&](const QString& path) {
        if (!path.startsWith(oldItemPath))
            return false;
        moved << newItemPath + path.mid(oldItemPath.size());
        return true;
    });
    for (const QString& path : std::as_const(moved))
        m_paths.insert(path);
}

void TqbConflictIndex::Clear() {
    const qsizetype before = m_paths.size();
    m_paths.clear();
    Changed(before);
}

void TqbConflictIndex::Changed(qsizetype before) {
    // A set that only swapped members keeps its size: the count is all that is told.
    if (m_paths.size() != before)
        emit CountChanged(Count());
}

QString qbConflictCountText(int count) {
    return count > 0 ? QStringLiteral("충돌 사본이 있는 노트 %1개").arg(count) : QString();
}
