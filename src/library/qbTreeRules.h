#pragma once

#include <QString>
#include <QtGlobal>

// The tree's decisions that need no widget.
namespace qbTreeRules {

// A double-click this soon after an expansion is the second half of the click that expanded.
inline constexpr quint32 ExpandGraceMs = 200;

// The tick counter wraps; the difference is taken unsigned.
bool WithinExpandGrace(quint32 now, quint32 lastExpand);
// iconLeft is where the node's icon starts; anything right of it acts on the node itself,
// anything left of it on the indentation and expand button.
bool IsOnLabel(int x, int iconLeft);
// A path ending in "/" stands for that folder's description page.
QString DocumentPath(const QString& path);
// The document is the item (a file) or lies inside it (a folder's path ending with "/").
bool Within(const QString& document, const QString& itemPath);
// Where the document is after the item moved or got a new name; unchanged when not within it.
QString Followed(const QString& document, const QString& oldItemPath, const QString& newItemPath);

// "name - 사본.htm", "name - 사본 2.htm", ...: a name beside the file that nothing uses yet, for
// a copy that keeps what would otherwise be written over. Always a note (noteExt), so that a
// copy of a folder's page shows in the tree too; a long name is shortened to leave room.
QString FreeCopyName(const QString& path, const QString& noteExt);
// The same with another label: "name<label>.htm", "name<label> 2.htm", ...
QString FreeNameBeside(const QString& path, const QString& noteExt, const QString& label);

} // namespace qbTreeRules
