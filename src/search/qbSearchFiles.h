#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

// Which files a folder search reads and how its result rows are named.
namespace qbSearch {

// Adds the pages under dir to files by the bytes of their paths (a name copied from Windows is
// in code page 949, which no path of ours reaches), depth first in the tree's order (a folder's
// own page, its folders, its notes; each by qbNameOrder): regular files (or links to one)
// ending in exactly ".htm" or ".qb", in every real directory (not a link) whose name does not
// begin with ".". Names are read as the tree
// reads them; one the tree cannot show is not taken either. Picture folders are walked too. A
// folder that cannot be read adds nothing; a FIFO, a socket or a device is never taken,
// whatever its name. Stops early, with part of the list, once stop is set.
void CollectSearchFiles(const QString& dir, QList<QByteArray>& files,
                        const std::atomic<bool>* stop = nullptr);
// The same pages handed to add one by one, as the walk finds them.
void CollectSearchFiles(const QString& dir, const std::function<void(const QByteArray&)>& add,
                        const std::atomic<bool>* stop = nullptr);

// The row text of a hit under root: a note's name without extension, a folder page's folder
// name; empty for the library's own folder page, which gets no row.
QString SearchRowLabel(const QString& root, const QString& path);
// The folder a hit's row lies in under root ("a/b"; empty at the top): for a folder page, the
// folder holding that folder.
QString SearchRowFolder(const QString& root, const QString& path);

} // namespace qbSearch
