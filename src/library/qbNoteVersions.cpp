#include "library/qbNoteVersions.h"

#include "library/qbPaths.h"
#include "library/qbVersionRules.h"
#include "platform/qbAtomicWrite.h"
#include "platform/qbError.h"
#include "platform/qbTextFile.h"
#include "platform/qbTrash.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

qint64 FolderBytes(const QString& dir, const QString& skip = {}) {
    qint64 total = 0;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (skip.isEmpty() || !path.startsWith(skip))
            total += it.fileInfo().size();
    }
    return total;
}

TqbNoteVersion VersionOf(const QFileInfo& file) {
    const QString name = file.fileName();
    return {file.filePath(), qbVersionRules::TimeOfFileName(name), file.size(),
            qbVersionRules::ComputerOfFileName(name)};
}

} // namespace

TqbNoteVersions::TqbNoteVersions()
    : m_computer(
          qbVersionRules::ComputerName(QSysInfo::machineHostName(), QSysInfo::machineUniqueId())) {}

bool TqbNoteVersions::IsOwn(const TqbNoteVersion& version) const {
    return version.Computer.isEmpty() || version.Computer == m_computer;
}

void TqbNoteVersions::SetRoot(const QString& root) {
    m_root = StripTrailingDelim(root);
    m_libraryBytes = -1;
    m_historyBytes = -1;
}

QString TqbNoteVersions::HistoryDir() const {
    return m_root + u'/' + FolderName;
}

bool TqbNoteVersions::Holds(const QString& path) const {
    const QString dir = HistoryDir();
    return path == dir || path.startsWith(dir + u'/');
}

QString TqbNoteVersions::VersionsDir(const QString& itemPath) const {
    const QString path = QDir::cleanPath(StripTrailingDelim(itemPath));
    if (m_root.isEmpty() || !path.startsWith(m_root + u'/') || Holds(path))
        return {};
    return HistoryDir() + path.mid(m_root.size());
}

QList<TqbNoteVersion> TqbNoteVersions::List(const QString& notePath) const {
    QList<TqbNoteVersion> versions;
    const QString dir = VersionsDir(notePath);
    if (dir.isEmpty())
        return versions;
    const QFileInfoList entries =
        QDir(dir).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    versions.reserve(entries.size());
    for (const QFileInfo& entry : entries) {
        TqbNoteVersion version = VersionOf(entry);
        if (version.TimeMs >= 0)
            versions.append(std::move(version));
    }
    return versions;
}

QString TqbNoteVersions::Keep(const QString& notePath, const QByteArray& bytes) {
    const QString dir = VersionsDir(notePath);
    if (dir.isEmpty())
        return {};
    const QList<TqbNoteVersion> versions = List(notePath);
    // Only against this computer's own: the page two computers both replaced is kept by each, so
    // that a merge of their conflict finds it as their common ancestor.
    const auto ownNewest = std::find_if(versions.begin(), versions.end(),
                                        [this](const TqbNoteVersion& v) { return IsOwn(v); });
    if (ownNewest != versions.end() && ownNewest->Bytes == bytes.size() &&
        qbText::ReadFileBytes(ownNewest->Path) == bytes)
        return {};
    if (!QDir().mkpath(dir))
        throw EqbError(QStringLiteral("이전 버전을 둘 폴더를 만들 수 없습니다.\n%1")
                           .arg(QDir::toNativeSeparators(dir)));
    const QString suffix = u'.' + QFileInfo(notePath).suffix();
    const qint64 now = m_now ? m_now() : QDateTime::currentMSecsSinceEpoch();
    qint64 time = now;
    // Two saves within one millisecond: the later one takes the next free name.
    if (!versions.isEmpty())
        time = std::max(time, versions.first().TimeMs + 1);
    for (;;) {
        const QString path = dir + u'/' + qbVersionRules::FileName(time, suffix, m_computer);
        const int error = qbAtomicWrite::CreateNew(path, bytes, 0644);
        if (error == EEXIST) {
            ++time;
            continue;
        }
        if (error != 0)
            throw EqbError(QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path),
                                                         QString::fromLocal8Bit(std::strerror(error))));
        if (m_historyBytes >= 0)
            m_historyBytes += bytes.size();
        Thin(versions, now);
        KeepWithinLimit();
        return path;
    }
}

QString TqbNoteVersions::KeepCurrent(const QString& notePath) {
    const QFileInfo file(notePath);
    if (!file.isFile())
        return {};
    return Keep(notePath, qbText::ReadFileBytes(notePath));
}

void TqbNoteVersions::Remove(const QString& versionPath) {
    const TqbNoteVersion version = VersionOf(QFileInfo(versionPath));
    if (Holds(versionPath) && QFile::remove(versionPath) && m_historyBytes >= 0 && IsOwn(version))
        m_historyBytes -= version.Bytes;
}

void TqbNoteVersions::Restore(const QString& notePath, const QString& versionPath) {
    const QByteArray bytes = qbText::ReadFileBytes(versionPath);
    KeepCurrent(notePath);
    qbAtomicWrite::ReplaceFile(notePath, bytes);
}

void TqbNoteVersions::Thin(const QList<TqbNoteVersion>& versions, qint64 nowMs) {
    QList<qint64> times;
    times.reserve(versions.size());
    for (const TqbNoteVersion& version : versions)
        if (IsOwn(version))
            times << version.TimeMs;
    QList<qint64> dropped = qbVersionRules::Thinned(times, nowMs);
    std::sort(dropped.begin(), dropped.end());
    for (const TqbNoteVersion& version : versions)
        if (IsOwn(version) && std::binary_search(dropped.begin(), dropped.end(), version.TimeMs))
            Remove(version.Path);
}

qint64 TqbNoteVersions::Limit() {
    if (m_limit > 0)
        return m_limit;
    // Counted once a run: the library seldom changes its size by much while it is open.
    if (m_libraryBytes < 0)
        m_libraryBytes = FolderBytes(m_root, HistoryDir() + u'/');
    return qbVersionRules::SizeLimit(m_libraryBytes);
}

QList<TqbNoteVersion> TqbNoteVersions::OwnVersions() const {
    QList<TqbNoteVersion> own;
    QDirIterator it(HistoryDir(), QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        TqbNoteVersion version = VersionOf(it.fileInfo());
        if (version.TimeMs >= 0 && IsOwn(version))
            own.append(std::move(version));
    }
    return own;
}

void TqbNoteVersions::KeepWithinLimit() {
    QList<TqbNoteVersion> own;
    if (m_historyBytes < 0) {
        own = OwnVersions();
        m_historyBytes = 0;
        for (const TqbNoteVersion& version : std::as_const(own))
            m_historyBytes += version.Bytes;
    }
    const qint64 limit = Limit();
    if (m_historyBytes <= limit)
        return;
    if (own.isEmpty())
        own = OwnVersions();
    QList<qbVersionRules::TVersionAge> ages;
    ages.reserve(own.size());
    for (const TqbNoteVersion& version : std::as_const(own))
        ages.append({version.TimeMs, version.Bytes});
    for (const qsizetype i : qbVersionRules::OverLimit(ages, limit))
        Remove(own[i].Path);
}

qint64 TqbNoteVersions::DiskUse() const {
    return FolderBytes(HistoryDir());
}

void TqbNoteVersions::Follow(const QString& oldItemPath, const QString& newItemPath) {
    const QString from = VersionsDir(oldItemPath);
    const QString to = VersionsDir(newItemPath);
    if (from.isEmpty() || to.isEmpty() || from == to || !QFileInfo(from).isDir())
        return;
    if (QFileInfo::exists(to)) {
        if (!qbTrash::MoveToTrash(to))
            return;
        m_historyBytes = -1;
    }
    QDir().mkpath(QFileInfo(to).path());
    QDir().rename(from, to);
}

bool TqbNoteVersions::Trash(const QString& itemPath, QString* error) {
    const QString dir = VersionsDir(itemPath);
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return true;
    // Beside the note in the trash, named so that a user tells the two apart.
    const QFileInfo item(StripTrailingDelim(itemPath));
    const bool folder = itemPath.endsWith(u'/');
    const QString shown =
        (folder ? item.fileName() : item.completeBaseName()) + QStringLiteral(" (이전 버전)");
    if (!qbTrash::MoveToTrash(dir, error, shown))
        return false;
    m_historyBytes = -1;
    return true;
}
