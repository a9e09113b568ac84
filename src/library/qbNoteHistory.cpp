#include "library/qbNoteHistory.h"

#include "library/qbNoteInfo.h"
#include "library/qbTreeRules.h"
#include "platform/qbIniFile.h"

#include <QFileInfo>

namespace {

const QString Section = QStringLiteral("RECENT");
const QString OpenKey = QStringLiteral("Open");

QString NoteKey(int i) {
    return QStringLiteral("Note%1").arg(i + 1);
}

void FollowAll(QStringList& paths, const QString& oldItemPath, const QString& newItemPath) {
    for (QString& path : paths)
        path = qbTreeRules::Followed(path, oldItemPath, newItemPath);
}

// Writing a key that holds the value already would rewrite the whole file for nothing. A name
// with a line end in it cannot be one line of the file: that note is not kept.
void WriteChanged(TqbIniFile& ini, const QString& key, const QString& path) {
    const QString value = path.contains(u'\n') || path.contains(u'\r') ? QString() : path;
    if (ini.ReadString(Section, key, {}) != value)
        ini.WriteString(Section, key, value);
}

} // namespace

TqbNoteHistory::TqbNoteHistory(TExists exists) : m_exists(std::move(exists)) {
    if (!m_exists)
        m_exists = [](const QString& path) {
            const QFileInfo info(path);
            // A folder's page is made when the folder opens without one.
            return info.isFile() || (info.fileName() == TqbNoteInfo::FolderDescriptionName &&
                                     QFileInfo(info.path()).isDir());
        };
}

void TqbNoteHistory::Visit(const QString& path) {
    if (path.isEmpty() || (m_current >= 0 && m_entries.at(m_current) == path))
        return;
    m_entries.resize(m_current + 1);
    m_entries.append(path);
    if (m_entries.size() > MaxEntries)
        m_entries.removeFirst();
    m_current = m_entries.size() - 1;
}

std::optional<QString> TqbNoteHistory::Back() {
    return Step(-1);
}

std::optional<QString> TqbNoteHistory::Forward() {
    return Step(1);
}

std::optional<QString> TqbNoteHistory::Step(int direction) {
    qsizetype at = m_current + direction;
    while (at >= 0 && at < m_entries.size() && !m_exists(m_entries.at(at))) {
        m_entries.removeAt(at);
        if (direction < 0) {
            --m_current;
            --at;
        }
    }
    if (at < 0 || at >= m_entries.size())
        return std::nullopt;
    m_current = at;
    return m_entries.at(at);
}

void TqbNoteHistory::Follow(const QString& oldItemPath, const QString& newItemPath) {
    FollowAll(m_entries, oldItemPath, newItemPath);
    // A move onto a name that was already there leaves the same document twice in a row.
    for (qsizetype i = m_entries.size() - 1; i > 0; --i)
        if (m_entries.at(i) == m_entries.at(i - 1)) {
            m_entries.removeAt(i);
            if (m_current >= i)
                --m_current;
        }
}

void TqbNoteHistory::Forget(const QString& itemPath) {
    qsizetype kept = 0;
    qsizetype current = -1;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (!qbTreeRules::Within(m_entries.at(i), itemPath))
            m_entries[kept++] = m_entries.at(i);
        if (i == m_current)
            current = kept - 1; // the entry itself, or the last one kept before it
    }
    m_entries.resize(kept);
    m_current = current;
}

void TqbRecentNotes::Visit(const QString& path) {
    if (path.isEmpty())
        return;
    m_paths.removeAll(path);
    m_paths.prepend(path);
    if (m_paths.size() > MaxNotes)
        m_paths.resize(MaxNotes);
}

void TqbRecentNotes::Follow(const QString& oldItemPath, const QString& newItemPath) {
    FollowAll(m_paths, oldItemPath, newItemPath);
    m_paths.removeDuplicates();
}

void TqbRecentNotes::Forget(const QString& itemPath) {
    m_paths.removeIf([&](const QString& path) { return qbTreeRules::Within(path, itemPath); });
}

void TqbRecentNotes::Load(const TqbIniFile& ini) {
    m_paths.clear();
    for (int i = 0; i < MaxNotes; ++i) {
        const QString path = ini.ReadString(Section, NoteKey(i), {});
        if (!path.isEmpty() && !m_paths.contains(path))
            m_paths.append(path);
    }
}

void TqbRecentNotes::Save(TqbIniFile ini, const QString& openPath) const {
    for (int i = 0; i < MaxNotes; ++i)
        WriteChanged(ini, NoteKey(i), m_paths.value(i));
    WriteChanged(ini, OpenKey, openPath);
}

QString TqbRecentNotes::OpenAtClose(const TqbIniFile& ini) {
    return ini.ReadString(Section, OpenKey, {});
}
