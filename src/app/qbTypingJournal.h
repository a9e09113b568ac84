#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class TqbNoteVersions;

// What was typed into the open note since its last save, written aside every few seconds so a
// crash or a power cut loses at most those seconds. Two files in the program's data folder (next
// to the settings, outside the library): the page as its save would write it, readable by any
// browser, and the note's path in UTF-8. Both are written atomically; the page comes first, so a
// path always stands beside a whole page of that note.
class TqbTypingJournal {
public:
    struct TEntry {
        QString NotePath;
        QByteArray Bytes;
    };

    explicit TqbTypingJournal(const QString& dir);
    QString PagePath() const { return m_dir + QStringLiteral("/qbJournal.htm"); }
    QString NotePathFile() const { return m_dir + QStringLiteral("/qbJournal.txt"); }

    // Throws EqbError when the journal cannot be written.
    void Write(const QString& notePath, const QByteArray& bytes);
    // Nothing this run wrote is left behind; what an earlier run left waits for Drop.
    void Clear();
    // What an earlier run left goes.
    void Drop();
    // What an earlier run left: nothing when there is no whole entry.
    std::optional<TEntry> Read() const;
    // The entry's page becomes the note's, what the note held kept as a version first. Throws
    // EqbError, changing nothing, when either cannot be written.
    static void Restore(const TEntry& entry, TqbNoteVersions& versions);

private:
    QString m_dir;
    // The note the path file names now, so the same note's next entry writes only the page.
    QString m_written;
    bool m_wrote = false;
};
