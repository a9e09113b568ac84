#include "platform/qbTrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace qbTrash {

namespace {

QString WithoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

// Every missing level is made for the user alone, as the base directory rules ask.
bool MakePrivatePath(const QString& path, int& reason) {
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    qsizetype from = 1;
    while (from <= clean.size()) {
        qsizetype slash = clean.indexOf(u'/', from);
        if (slash < 0)
            slash = clean.size();
        const QByteArray level = QFile::encodeName(clean.left(slash));
        struct stat st {};
        if (::stat(level.constData(), &st) != 0) {
            if (::mkdir(level.constData(), 0700) != 0 && errno != EEXIST) {
                reason = errno;
                return false;
            }
        } else if (!S_ISDIR(st.st_mode)) {
            reason = ENOTDIR;
            return false;
        }
        from = slash + 1;
    }
    return true;
}

QString TrashError(const QString& target, const QString& reason) {
    return QStringLiteral("\"%1\" 을(를) 휴지통으로 옮길 수 없습니다.\n%2").arg(target, reason);
}

// Where the file system's own move to the trash may put an item: the user's trash, or the
// per-user trash at the top of another file system.
bool IsTrashPlace(const QString& path) {
    if (path.startsWith(HomeTrashDir() + QStringLiteral("/files/")))
        return true;
    static const QRegularExpression topTrash(
        QStringLiteral("/\\.Trash(-|/)%1/files/[^/]+$").arg(::getuid()));
    return topTrash.match(path).hasMatch();
}

} // namespace

QString HomeTrashDir() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Trash");
}

bool EnsureHomeTrash(QString* error) {
    const QString trash = HomeTrashDir();
    for (const QString& dir : {trash + QStringLiteral("/files"), trash + QStringLiteral("/info")}) {
        int reason = 0;
        if (!MakePrivatePath(dir, reason) ||
            ::access(QFile::encodeName(dir).constData(), W_OK | X_OK) != 0) {
            if (reason == 0)
                reason = errno;
            if (error)
                *error = QStringLiteral("휴지통 \"%1\" 을(를) 쓸 수 없습니다.\n%2")
                             .arg(QDir::toNativeSeparators(trash), qt_error_string(reason));
            return false;
        }
    }
    return true;
}

bool MoveToTrash(const QString& path, QString* error) {
    const QString target = WithoutTrailingSlash(path);
    if (!QFileInfo(target).exists() && !QFileInfo(target).isSymLink()) {
        if (error)
            *error = QStringLiteral("\"%1\" 이(가) 없습니다.").arg(target);
        return false;
    }
    // Without the user's trash the file system's move falls back to the working folder.
    QString trashError;
    if (!EnsureHomeTrash(&trashError)) {
        if (error)
            *error = TrashError(target, trashError);
        return false;
    }
    QFile file(target);
    if (!file.moveToTrash()) {
        if (error)
            *error = TrashError(target, file.errorString());
        return false;
    }
    if (IsTrashPlace(file.fileName()))
        return true;
    // It went somewhere no one would look for it: back to where it was.
    const QString strayPlace = file.fileName();
    if (error)
        *error = TrashError(target, QStringLiteral("휴지통이 아닌 \"%1\" (으)로 옮겨졌습니다.")
                                        .arg(QDir::toNativeSeparators(strayPlace)));
    if (QFile::rename(strayPlace, target) && error)
        *error = TrashError(target, QStringLiteral("휴지통을 찾을 수 없습니다."));
    return false;
}

} // namespace qbTrash
