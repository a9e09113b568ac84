#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class TqbNoteVersions;

// The common ancestor of a note and its conflict copy, from the versions the computers sharing
// the library kept. Each computer keeps the page a save replaces, so the page both sides started
// from is kept by this computer and by another one; a page either side wrote later is kept by
// that side alone. The ancestor is therefore the newest page found both among this computer's
// versions (or the note itself) and among the other computers' versions (or the copy). Versions
// named before names said whose they are count for neither side.
namespace qbMergeAncestor {
// Nothing when no page qualifies (the history is not shared, or was thinned past it).
std::optional<QByteArray> Find(const TqbNoteVersions& versions, const QString& notePath,
                               const QByteArray& ours, const QByteArray& theirs);

// The pages a sync engine kept of the note when it replaced or removed it, newest first:
// Syncthing's file versioning keeps them under ".stversions" at the root of the shared folder
// (the library), named with the time ("A/note~20261209-101010.htm" for "A/note.htm").
QList<QByteArray> EngineVersions(const QString& libraryRoot, const QString& notePath);
} // namespace qbMergeAncestor
