#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class TqbNoteVersions;

// What was typed into the open note since its last save, written aside every few seconds so a
// crash or a power cut loses at most those seconds. Files in the program's data folder (next
// to the settings, outside the library): the page as its save would write it, readable by any
// browser; the SHA-1 (hex) of the note's bytes the typing started from; and the note's path in
// UTF-8. All are written atomically; the path comes last, so it always stands beside a whole page
// of that note and its start.
class TqbTypingJournal {
public:
    struct TEntry {
        QString NotePath;
        QByteArray Bytes;
        // Empty when unknown (an older journal, a note that could not be read).
        QByteArray BaseHash;
    };

    explicit TqbTypingJournal(const QString& dir);
    QString PagePath() const { return m_dir + QStringLiteral("/qbJournal.htm"); }
    QString NotePathFile() const { return m_dir + QStringLiteral("/qbJournal.txt"); }
    QString BaseFile() const { return m_dir + QStringLiteral("/qbJournal.base"); }

    // baseHash: the SHA-1 of the note's bytes the typing started from. Throws EqbError when the
    // journal cannot be written.
    void Write(const QString& notePath, const QByteArray& bytes, const QByteArray& baseHash);
    // Nothing this run wrote is left behind; what an earlier run left waits for Drop.
    void Clear();
    // What an earlier run left goes.
    void Drop();
    // What an earlier run left: nothing when there is no whole entry.
    std::optional<TEntry> Read() const;
    // The entry's page becomes the note's, what the note held kept as a version first. Throws
    // EqbError, changing nothing, when either cannot be written.
    static void Restore(const TEntry& entry, TqbNoteVersions& versions);
    // Another program wrote the note after the typing started from it (or that start is
    // unknown): writing the entry over it would lose that program's change. A missing note
    // loses nothing.
    static bool NoteChangedSince(const TEntry& entry);

private:
    QString m_dir;
    // The note the path file names now, so the same note's next entry writes only the page.
    QString m_written;
    bool m_wrote = false;
};
