#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class TqbIniFile;

// The documents opened, in order, with a place to go back and forward from, as a browser keeps
// pages. Entries follow the library's moves and renames and leave with its removals; stepping
// back or forward passes over entries whose file is gone (another program deleted them) and
// drops them. Paths are document paths: a note's file or a folder's description page.
class TqbNoteHistory {
public:
    using TExists = std::function<bool(const QString&)>;
    static constexpr int MaxEntries = 200;

    // exists: whether a document is still there (the file system unless given).
    explicit TqbNoteHistory(TExists exists = {});

    // A document was opened: entries after the current one are dropped, as in a browser.
    // Opening the current one again (the step back itself) changes nothing.
    void Visit(const QString& path);
    std::optional<QString> Back();
    std::optional<QString> Forward();
    bool CanGoBack() const { return m_current > 0; }
    bool CanGoForward() const { return m_current + 1 < m_entries.size(); }

    void Follow(const QString& oldItemPath, const QString& newItemPath);
    void Forget(const QString& itemPath);

    const QStringList& Entries() const { return m_entries; }
    qsizetype Current() const { return m_current; }

private:
    std::optional<QString> Step(int direction);

    TExists m_exists;
    QStringList m_entries;
    qsizetype m_current = -1;
};

// The last notes opened, the latest first, kept in the settings file between runs, with the
// document open when the program closed.
class TqbRecentNotes {
public:
    static constexpr int MaxNotes = 20;

    void Visit(const QString& path);
    void Follow(const QString& oldItemPath, const QString& newItemPath);
    void Forget(const QString& itemPath);
    const QStringList& Paths() const { return m_paths; }

    // Section "RECENT", keys "Note1" to "Note20" and "Open".
    void Load(const TqbIniFile& ini);
    // Writes only what changed; throws EqbError when the file cannot be written.
    void Save(TqbIniFile ini, const QString& openPath) const;
    static QString OpenAtClose(const TqbIniFile& ini);

private:
    QStringList m_paths;
};
