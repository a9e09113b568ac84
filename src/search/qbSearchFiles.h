#pragma once

#include <QString>
#include <QStringList>

// Which files a folder search reads and how its result rows are named.
namespace qbSearch {

// Adds the pages under dir to files, depth first, each folder's entries in the tree's order:
// files ending in exactly ".htm" or ".qb", in every real directory (not a link) whose name does
// not begin with ".". Picture folders are walked too. A folder that cannot be read adds nothing.
void CollectSearchFiles(const QString& dir, QStringList& files);

// The row text of a hit under root: a note's name without extension, a folder page's folder
// name; empty for the library's own folder page, which gets no row.
QString SearchRowLabel(const QString& root, const QString& path);

} // namespace qbSearch
