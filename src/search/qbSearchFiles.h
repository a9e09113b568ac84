#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

// Which files a folder search reads and how its result rows are named.
namespace qbSearch {

// Adds the pages under dir to files, depth first, each folder's entries in the tree's order:
// regular files (or links to one) ending in exactly ".htm" or ".qb", in every real directory
// (not a link) whose name does not begin with ".". Picture folders are walked too. A folder that
// cannot be read adds nothing; a FIFO, a socket or a device is never taken, whatever its name.
// Stops early, with part of the list, once stop is set.
void CollectSearchFiles(const QString& dir, QStringList& files,
                        const std::atomic<bool>* stop = nullptr);
// The same pages handed to add one by one, as the walk finds them.
void CollectSearchFiles(const QString& dir, const std::function<void(const QString&)>& add,
                        const std::atomic<bool>* stop = nullptr);

// The row text of a hit under root: a note's name without extension, a folder page's folder
// name; empty for the library's own folder page, which gets no row.
QString SearchRowLabel(const QString& root, const QString& path);

} // namespace qbSearch
