#include "platform/qbShellMove.h"

#include "platform/qbNativeNames.h"
#include "platform/qbTrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace qbShellMove {

namespace {

QString WithoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

bool RemoveItem(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}

bool SameItem(const QByteArray& a, const QByteArray& b) {
    struct stat sa {};
    struct stat sb {};
    return ::lstat(a.constData(), &sa) == 0 && ::lstat(b.constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool RenameNoReplace(const QByteArray& from, const QByteArray& to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    // Some file systems cannot promise it; the check below is the best they allow.
    if (errno != EINVAL && errno != ENOSYS)
        return false;
#endif
    struct stat existing {};
    if (::lstat(to.constData(), &existing) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.constData(), to.constData()) == 0;
}

} // namespace

bool Rename(const QByteArray& nativeFrom, const QByteArray& nativeTo, QString* error) {
    if (RenameNoReplace(nativeFrom, nativeTo))
        return true;
    int reason = errno;
    if (reason == EEXIST && SameItem(nativeFrom, nativeTo)) {
        if (::rename(nativeFrom.constData(), nativeTo.constData()) == 0)
            return true;
        reason = errno;
    }
    if (error)
        *error = QStringLiteral("\"%1\" 의 이름을 \"%2\" (으)로 바꿀 수 없습니다.\n%3")
                     .arg(qbNativeNames::ShownPath(nativeFrom), qbNativeNames::ShownPath(nativeTo),
                          qt_error_string(reason));
    return false;
}

bool CopyRecursively(const QString& source, const QString& dest) {
    const QFileInfo info(source);
    if (!info.isDir() || info.isSymLink())
        return QFile::copy(source, dest);
    if (!QDir().mkpath(dest))
        return false;
    const QDir dir(source);
    const auto entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : entries)
        if (!CopyRecursively(source + u'/' + name, dest + u'/' + name))
            return false;
    return true;
}

TResult Move(const QString& source, const QString& destFolder, const TAskReplace& askReplace,
             QString* error) {
    const QString from = WithoutTrailingSlash(source);
    const QFileInfo fromInfo(from);
    if (!fromInfo.exists() && !fromInfo.isSymLink()) {
        if (error)
            *error = QStringLiteral("\"%1\" 이(가) 없습니다.").arg(from);
        return TResult::Failed;
    }
    const QString to = WithoutTrailingSlash(destFolder) + u'/' + fromInfo.fileName();
    if (QFileInfo(from).absoluteFilePath() == QFileInfo(to).absoluteFilePath())
        return TResult::Moved;
    const QFileInfo toInfo(to);
    if (toInfo.exists() || toInfo.isSymLink()) {
        if (!askReplace || !askReplace(to))
            return TResult::Cancelled;
        // The replaced item can be brought back from the trash, like any deleted one.
        if (!qbTrash::MoveToTrash(to, error))
            return TResult::Failed;
    }
    if (QFile::rename(from, to))
        return TResult::Moved;
    // Across file systems a rename is refused: copy, then remove the original.
    if (!CopyRecursively(from, to)) {
        RemoveItem(to);
    } else if (RemoveItem(from)) {
        return TResult::Moved;
    }
    if (error)
        *error = QStringLiteral("\"%1\" 을(를) \"%2\" (으)로 옮길 수 없습니다.")
                     .arg(from, WithoutTrailingSlash(destFolder));
    return TResult::Failed;
}

} // namespace qbShellMove
