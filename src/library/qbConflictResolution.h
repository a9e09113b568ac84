#pragma once

#include "library/qbNoteMerge.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class TqbNoteVersions;

// What the user's answer to a note and one of its sync conflict copies does on disk. Whatever
// is not kept is put into the note's versions first, then the result is written, and only then
// is the copy removed: a step that fails throws EqbError and leaves the copy where it was, so
// both versions can still be found.
class TqbConflictResolution {
public:
    // What a note that keeps both calls the copy beside its own name.
    static inline const QString KeepBothLabel = QStringLiteral(" (다른 컴퓨터)");
    static inline const QString CopyNotRemovedMessage =
        QStringLiteral("노트는 저장했지만 충돌 사본을 지우지 못했습니다.\n%1");

    // The conflict copies that stand beside the note or folder page, in the names' order.
    static QStringList CopiesOf(const QString& notePath);

    // Reads both pages; throws EqbError when either cannot be read.
    TqbConflictResolution(TqbNoteVersions& versions, const QString& libraryRoot,
                          const QString& notePath, const QString& copyPath);

    const QString& NotePath() const { return m_notePath; }
    const QString& CopyPath() const { return m_copyPath; }
    const QByteArray& Ours() const { return m_ours; }
    const QByteArray& Theirs() const { return m_theirs; }

    // The note stays as it is; the copy becomes a version of it.
    void KeepThis();
    // The copy becomes the note; the note's page a version of it.
    void TakeOther();
    // The copy becomes a note of its own beside this one, named after it; its path.
    QString KeepBoth(const QString& noteExt);
    // The note and the copy merged against their common ancestor: the newest page both
    // computers kept in the versions, or one of the sync engine's own kept versions where that
    // leaves fewer overlaps; without any, every difference is an overlap.
    TqbMergeResult Merge() const;
    // merged becomes the note; the note's page and the copy become versions of it.
    void WriteMerged(const QByteArray& merged);

private:
    // The ancestor Merge weighs against; empty when none is known.
    QByteArray Ancestor() const;
    void RemoveCopy();

    TqbNoteVersions& m_versions;
    QString m_libraryRoot;
    QString m_notePath;
    QString m_copyPath;
    QByteArray m_ours;
    QByteArray m_theirs;
};
