#include "library/qbMergeAncestor.h"

#include "library/qbNoteVersions.h"
#include "platform/qbError.h"
#include "platform/qbTextFile.h"

#include <QSet>

namespace qbMergeAncestor {

std::optional<QByteArray> Find(const TqbNoteVersions& versions, const QString& notePath,
                               const QByteArray& ours, const QByteArray& theirs) {
    // Newest first, each with the bytes and whose side kept it.
    struct Kept {
        QByteArray Bytes;
        bool Own;
    };
    QList<Kept> kept;
    for (const TqbNoteVersion& version : versions.List(notePath)) {
        if (version.Computer.isEmpty())
            continue;
        try {
            kept.append(
                {qbText::ReadFileBytes(version.Path), version.Computer == versions.Computer()});
        } catch (const EqbError&) {
            // A version another computer is still sending: not one to merge against.
        }
    }
    QSet<QByteArray> ownPages{ours}, otherPages{theirs};
    for (const Kept& k : kept)
        (k.Own ? ownPages : otherPages).insert(k.Bytes);
    // The sides themselves are newer than any version.
    if (otherPages.contains(ours))
        return ours;
    if (ownPages.contains(theirs))
        return theirs;
    for (const Kept& k : kept)
        if (ownPages.contains(k.Bytes) && otherPages.contains(k.Bytes))
            return k.Bytes;
    return std::nullopt;
}

} // namespace qbMergeAncestor
