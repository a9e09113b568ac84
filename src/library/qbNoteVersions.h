#pragma once

#include <QList>
#include <QString>
#include <functional>

// One kept version of a note: a copy of the page as it was before a save replaced it.
struct TqbNoteVersion {
    QString Path;
    qint64 TimeMs = 0; // when it was replaced, milliseconds since the epoch
    qint64 Bytes = 0;
    // The computer that kept it; empty for a version named before names said so.
    QString Computer;
};

// The versions of a library's notes, kept in the library itself so that they travel with it:
// a hidden folder at its root holds, under each note's relative path, a folder of the note's old
// pages named by their time and the computer that kept them
// (".qbhistory/A/note.htm/20261209-005555-123@laptop-3fa2b1.htm"). Any program reads them; the
// tree, the search and the name rules never show a name beginning with ".". Where a sync engine
// shares the library between computers, each thins and limits only the versions it kept itself
// (and those named before names said whose they are), so none deletes another's.
class TqbNoteVersions {
public:
    static inline const QString FolderName = QStringLiteral(".qbhistory");

    TqbNoteVersions();

    void SetRoot(const QString& root);
    QString HistoryDir() const;
    // Whether path lies in the history (so it is no note of the library).
    bool Holds(const QString& path) const;
    // The folder of the versions of the note or folder (a folder's item path ends with "/");
    // empty for a path outside the library.
    QString VersionsDir(const QString& itemPath) const;

    // The note's versions, newest first.
    QList<TqbNoteVersion> List(const QString& notePath) const;
    // Keeps bytes as the version the note had until now, then thins the note's versions and keeps
    // the history within its size limit. Returns the version's path; empty when the newest
    // version this computer kept already holds these bytes. Throws EqbError (a full disk: nothing is left).
    QString Keep(const QString& notePath, const QByteArray& bytes);
    // The note's file as it is now; nothing for a missing file.
    QString KeepCurrent(const QString& notePath);
    // A version kept for a save that then wrote nothing new.
    void Remove(const QString& versionPath);
    // The version's bytes become the note's, the current page kept as a version first; throws
    // EqbError, changing nothing, when either cannot be written.
    void Restore(const QString& notePath, const QString& versionPath);

    // The item moved or got a new name: its versions (a folder's: of everything in it) go along.
    // Versions left at the new place by an item replaced there go to the trash.
    void Follow(const QString& oldItemPath, const QString& newItemPath);
    // The item went to the trash: its versions follow it. False, with the reason, when they could
    // not; they then stay.
    bool Trash(const QString& itemPath, QString* error = nullptr);

    // The clock versions are stamped and aged with (tests and benchmarks set their own).
    void SetClock(std::function<qint64()> nowMs) { m_now = std::move(nowMs); }
    // The name this computer's versions carry (qbVersionRules::ComputerName); by default this
    // host's.
    void SetComputer(const QString& computer) {
        m_computer = computer;
        m_historyBytes = -1;
    }
    QString Computer() const { return m_computer; }
    // Whether the version is this computer's to thin and to limit.
    bool IsOwn(const TqbNoteVersion& version) const;

    // This computer's share of the history's size limit in bytes; 0 (the default) derives it from
    // the library's size.
    void SetSizeLimit(qint64 bytes) { m_limit = bytes; }
    // What the history holds on disk, in bytes, whoever kept it.
    qint64 DiskUse() const;

private:
    // The versions but the one just kept (newer than all of them) thinned at nowMs.
    void Thin(const QList<TqbNoteVersion>& versions, qint64 nowMs);
    void KeepWithinLimit();
    qint64 Limit();
    // This computer's versions of all notes, and what they hold.
    QList<TqbNoteVersion> OwnVersions() const;

    QString m_root;
    std::function<qint64()> m_now;
    qint64 m_limit = 0;
    qint64 m_libraryBytes = -1;
    QString m_computer;
    // What this computer's versions hold, once counted; -1 before.
    qint64 m_historyBytes = -1;
};
