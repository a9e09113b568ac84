#pragma once

#include <QString>

class TqbTree;

namespace qbTreeNavigation {

// Selects the node whose document is path (a note file, or a folder's description page),
// listing the folders on the way; the tree then saves and opens as on a click. False when the
// path is not a document of the tree's library.
bool SelectPath(TqbTree& tree, const QString& path);

} // namespace qbTreeNavigation
