#pragma once

#include <QString>
#include <QStringList>

class TqbTree;

namespace qbTreeNavigation {

// The folders shown open, parents before their children: each a directory followed by "/".
QStringList OpenFolders(const TqbTree& tree);
// Opens the folders again that are still in the tree's library, listing them as it goes.
void ReopenFolders(TqbTree& tree, const QStringList& folders);

} // namespace qbTreeNavigation
