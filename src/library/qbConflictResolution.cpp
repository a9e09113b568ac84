#include "library/qbConflictResolution.h"

#include "library/qbMergeAncestor.h"
#include "library/qbNameOrder.h"
#include "library/qbNoteVersions.h"
#include "library/qbSyncNames.h"
#include "library/qbTreeRules.h"
#include "platform/qbAtomicWrite.h"
#include "platform/qbError.h"
#include "platform/qbTextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Weighing more of the engine's versions than this finds nothing better in practice.
constexpr qsizetype EngineVersionsWeighed = 5;

qsizetype Overlaps(const TqbMergeResult& result) {
    return std::count_if(result.Parts.cbegin(), result.Parts.cend(),
                         [](const TqbMergePart& part) { return part.Overlap; });
}

} // namespace

QStringList TqbConflictResolution::CopiesOf(const QString& notePath) {
    const QFileInfo note(notePath);
    QStringList copies;
    const QStringList names =
        QDir(note.path()).entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& name : names)
        if (qbSyncNames::ConflictOriginal(name) == note.fileName())
            copies << name;
    qbNameOrder::Sort(copies);
    for (QString& copy : copies)
        copy = note.path() + u'/' + copy;
    return copies;
}

TqbConflictResolution::TqbConflictResolution(TqbNoteVersions& versions, const QString& libraryRoot,
                                             const QString& notePath, const QString& copyPath)
    : m_versions(versions), m_libraryRoot(libraryRoot), m_notePath(notePath), m_copyPath(copyPath),
      m_ours(qbText::ReadFileBytes(notePath)), m_theirs(qbText::ReadFileBytes(copyPath)) {}

void TqbConflictResolution::KeepThis() {
    m_versions.Keep(m_notePath, m_theirs);
    RemoveCopy();
}

void TqbConflictResolution::TakeOther() {
    // What the file holds now, should it have changed since it was read.
    m_versions.KeepCurrent(m_notePath);
    qbAtomicWrite::ReplaceFile(m_notePath, m_theirs);
    RemoveCopy();
}

QString TqbConflictResolution::KeepBoth(const QString& noteExt) {
    for (;;) {
        const QString path = qbTreeRules::FreeNameBeside(m_notePath, noteExt, KeepBothLabel);
        const int error = qbAtomicWrite::CreateNew(path, m_theirs, 0644);
        // Taken between the look and the write: the next free name.
        if (error == EEXIST)
            continue;
        if (error != 0)
            throw EqbError(QStringLiteral("%1\n%2").arg(
                QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error))));
        RemoveCopy();
        return path;
    }
}

QByteArray TqbConflictResolution::Ancestor() const {
    QList<QByteArray> candidates;
    if (const auto kept = qbMergeAncestor::Find(m_versions, m_notePath, m_ours, m_theirs))
        candidates << *kept;
    // A page equal to one side would silently drop the other side's changes: the engine's
    // versions are no proof that both descend from it.
    const QList<QByteArray> engine = qbMergeAncestor::EngineVersions(m_libraryRoot, m_notePath);
    for (qsizetype i = 0; i < engine.size() && i < EngineVersionsWeighed; ++i)
        if (engine[i] != m_ours && engine[i] != m_theirs && !candidates.contains(engine[i]))
            candidates << engine[i];
    if (candidates.size() < 2)
        return candidates.value(0);
    // The history's own ancestor, then the newer, unless another overlaps less.
    QByteArray best = candidates.first();
    qsizetype fewest = Overlaps(TqbNoteMerge::Merge(best, m_ours, m_theirs));
    for (qsizetype i = 1; i < candidates.size() && fewest > 0; ++i) {
        const qsizetype overlaps = Overlaps(TqbNoteMerge::Merge(candidates[i], m_ours, m_theirs));
        if (overlaps < fewest) {
            fewest = overlaps;
            best = candidates[i];
        }
    }
    return best;
}

TqbMergeResult TqbConflictResolution::Merge() const {
    return TqbNoteMerge::Merge(Ancestor(), m_ours, m_theirs);
}

void TqbConflictResolution::WriteMerged(const QByteArray& merged) {
    m_versions.KeepCurrent(m_notePath);
    m_versions.Keep(m_notePath, m_theirs);
    qbAtomicWrite::ReplaceFile(m_notePath, merged);
    RemoveCopy();
}

void TqbConflictResolution::RemoveCopy() {
    QFile copy(m_copyPath);
    if (!copy.remove() && copy.exists())
        throw EqbError(CopyNotRemovedMessage.arg(QDir::toNativeSeparators(m_copyPath)));
}
