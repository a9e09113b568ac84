#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What a file held when the program last read or wrote it, to tell whether another program has
// changed it since. A file touched but holding the same bytes counts as unchanged.
class TqbFileStamp {
public:
    TqbFileStamp() = default;
    // The file as it is now; a stamp that says "missing" when it does not exist.
    static TqbFileStamp Of(const QString& path);
    // Which file or folder this is (device and inode, with its birth time where the file system
    // keeps one, so that a new file given a deleted one's inode is not taken for it): the same
    // under any name and through writes in place; empty when it does not exist or the system
    // cannot tell.
    static QByteArray FileId(const QString& path);

    bool IsNull() const { return !m_taken; }
    // The SHA-1 of the bytes seen; empty when the file was missing or unreadable.
    const QByteArray& Hash() const { return m_hash; }
    bool Exists() const { return m_exists; }
    // Whether the file at path still holds what this stamp saw. A null stamp matches anything.
    bool Matches(const QString& path) const;

private:
    bool m_taken = false;
    bool m_exists = false;
    qint64 m_size = 0;
    QDateTime m_modified;
    QByteArray m_identity; // which file this is and when its inode last changed
    QByteArray m_hash;
};
