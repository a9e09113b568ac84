#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

// The notes and folder pages of the library that a sync engine's conflict copy stands beside, as
// the listings found them (qbFolderListing's Conflicted), so that the user is told how many
// there are without a walk of the library each time.
class TqbConflictIndex : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // What a listing of dir (no trailing "/") found: names of the files in it that have copies.
    void SetFolder(const QString& dir, const QStringList& names);
    // Found by a walk: file paths that have copies.
    void Add(const QStringList& filePaths);
    // The item (a folder's path ends with "/") went away, or a note moved: its copies stay
    // behind and are notes of their own now.
    void Forget(const QString& itemPath);
    // A folder's copies go with it; a note's stay behind.
    void Moved(const QString& oldItemPath, const QString& newItemPath);
    void Clear();

    int Count() const { return int(m_paths.size()); }
    bool Has(const QString& filePath) const { return m_paths.contains(filePath); }

signals:
    void CountChanged(int count);

private:
    void Changed(qsizetype before);

    QSet<QString> m_paths;
};

// What the status bar says of count notes with conflict copies; empty for none.
QString qbConflictCountText(int count);
