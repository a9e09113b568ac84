#pragma once

#include <QString>
#include <QStringList>

class TqbTree;

namespace qbTreeNavigation {

// Selects the node whose document is path (a note file, or a folder's description page),
// listing the folders on the way; the tree then saves and opens as on a click. False when the
// path is not a document of the tree's library.
bool SelectPath(TqbTree& tree, const QString& path);

// The folders shown open, parents before their children: each a directory followed by "/".
QStringList OpenFolders(const TqbTree& tree);
// Opens the folders again that are still in the tree's library, listing them as it goes.
void ReopenFolders(TqbTree& tree, const QStringList& folders);

} // namespace qbTreeNavigation
