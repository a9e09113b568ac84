#include "platform/qbLeftovers.h"

#include "platform/qbAtomicWrite.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <unistd.h>
#endif

namespace qbLeftovers {

namespace {

const QString ViewCopyPrefix = QStringLiteral(".qbview-");
const QString ViewCopySuffix = QStringLiteral(".htm");
// The random part QTemporaryFile puts for "XXXXXX".
constexpr int ViewCopyRandomLength = 6;

// Taken while the program loads, before anything of this run can have written a file.
const qint64 LoadedAtMs = QDateTime::currentMSecsSinceEpoch();

bool IsAsciiAlnum(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

} // namespace

bool IsViewCopyName(const QString& fileName) {
    if (fileName.size() != ViewCopyPrefix.size() + ViewCopyRandomLength + ViewCopySuffix.size() ||
        !fileName.startsWith(ViewCopyPrefix) || !fileName.endsWith(ViewCopySuffix))
        return false;
    for (int i = 0; i < ViewCopyRandomLength; ++i) {
        if (!IsAsciiAlnum(fileName[ViewCopyPrefix.size() + i]))
            return false;
    }
    return true;
}

bool IsLeftoverName(const QString& fileName) {
    return qbAtomicWrite::IsTemporaryName(fileName) || IsViewCopyName(fileName);
}

QDateTime ProgramStart() {
    return QDateTime::fromMSecsSinceEpoch(LoadedAtMs);
}

namespace {

// A leftover of ours, by its kind, owner and age: links, folders, other users' files (the
// temporary folder is shared) and this run's own files stay.
bool RemoveIfOld(const QString& path, const QDateTime& before) {
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile() || info.lastModified() >= before)
        return false;
#ifdef Q_OS_UNIX
    if (info.ownerId() != ::geteuid())
        return false;
#endif
    return QFile::remove(path);
}

} // namespace

int RemoveInFolder(const QString& dir, const QDateTime& before) {
    int removed = 0;
#ifdef Q_OS_UNIX
    // Names first, straight from the folder: a folder of thousands of notes is passed over
    // without a look at each file.
    DIR* folder = ::opendir(QFile::encodeName(dir).constData());
    if (!folder)
        return 0;
    while (const dirent* entry = ::readdir(folder)) {
        if (entry->d_name[0] != '.')
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        if (IsLeftoverName(name) && RemoveIfOld(QDir(dir).filePath(name), before))
            ++removed;
    }
    ::closedir(folder);
#else
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    while (it.hasNext()) {
        it.next();
        if (IsLeftoverName(it.fileName()) && RemoveIfOld(it.filePath(), before))
            ++removed;
    }
#endif
    return removed;
}

int RemoveInTempFolder(const QDateTime& before) {
    return RemoveInFolder(QDir::tempPath(), before);
}

} // namespace qbLeftovers
