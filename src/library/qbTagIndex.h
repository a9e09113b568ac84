#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// One tag and how many notes carry it.
struct TqbTagCount {
    QString Tag;
    int Notes = 0;
    bool operator==(const TqbTagCount&) const = default;
};

// The tags of the library's notes, each file read once per version of it: a note is read again
// only when its size or time changed since, so a list asked for at every key stays cheap.
class TqbTagIndex {
public:
    // A note's tags; none for a file that cannot be read.
    QStringList TagsOf(const QString& path);
    // Every note below root (by the tree's listing rules, names in the tree's order).
    static QStringList NotesBelow(const QString& root, const QString& noteExt);
    // The tags of these notes with how many carry each, in the names' order; tags differing only
    // in case are one, named as first seen.
    QList<TqbTagCount> Count(const QStringList& paths);
    // Whether a note carries a tag (compared without case).
    bool Carries(const QString& path, const QString& tag);

private:
    struct TEntry {
        qint64 Size = -1;
        QDateTime Modified;
        QStringList Tags;
    };
    QHash<QString, TEntry> m_entries;
};
