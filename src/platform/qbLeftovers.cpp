#include "platform/qbLeftovers.h"

#include "platform/qbAtomicWrite.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

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

int RemoveInFolder(const QString& dir, const QDateTime& before) {
    int removed = 0;
    QDirIterator it(dir, {qbAtomicWrite::TemporaryPrefix + u'*', ViewCopyPrefix + u'*'},
                    QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (!IsLeftoverName(info.fileName()) || info.isSymLink() || !info.isFile() ||
            info.lastModified() >= before)
            continue;
        if (QFile::remove(info.filePath()))
            ++removed;
    }
    return removed;
}

int RemoveInTempFolder(const QDateTime& before) {
    return RemoveInFolder(QDir::tempPath(), before);
}

} // namespace qbLeftovers
