#include "platform/qbShellMove.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

} // namespace

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
        if (!RemoveItem(to)) {
            if (error)
                *error = QStringLiteral("\"%1\" 을(를) 바꿀 수 없습니다.").arg(to);
            return TResult::Failed;
        }
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
