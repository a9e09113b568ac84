#include "platform/qbTrash.h"

#include "platform/qbAtomicWrite.h"
#include "platform/qbNameFit.h"
#include "platform/qbShellMove.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// An item's entry in info/ is its name in files/ followed by this.
const QString InfoSuffix = QStringLiteral(".trashinfo");

// A trash folder with its files/ and info/, and the folder its items' paths are relative to
// (empty: they are absolute).
struct TTrashPlace {
    QString dir;
    QString topDir;
};

bool MakeOwnFolder(const QByteArray& dir, int& reason) {
    if (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST) {
        reason = errno;
        return false;
    }
    struct stat st {};
    if (::lstat(dir.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        reason = EACCES;
        return false;
    }
    return true;
}

// The top folder of the file system that holds dir.
QString TopOfFileSystem(QString dir, dev_t device) {
    while (dir != QStringLiteral("/")) {
        const QString up = QFileInfo(dir).path();
        struct stat st {};
        if (::stat(QFile::encodeName(up).constData(), &st) != 0 || st.st_dev != device)
            break;
        dir = up;
    }
    return dir;
}

// An item on another file system than the user's trash goes to the trash at the top of its own:
// the shared ".Trash/<uid>" where the administrator made one (a folder, sticky, no link), else
// ".Trash-<uid>".
bool TopTrash(const QString& top, TTrashPlace& place, int& reason) {
    const QString uid = QString::number(::getuid());
    const QByteArray shared = QFile::encodeName(top + QStringLiteral("/.Trash"));
    struct stat st {};
    QString dir = top + QStringLiteral("/.Trash-") + uid;
    if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX))
        dir = top + QStringLiteral("/.Trash/") + uid;
    for (const QString& level :
         {dir, dir + QStringLiteral("/files"), dir + QStringLiteral("/info")})
        if (!MakeOwnFolder(QFile::encodeName(level), reason))
            return false;
    place = {dir, top};
    return true;
}

bool TrashFor(const QByteArray& item, TTrashPlace& place, int& reason) {
    struct stat itemStat {};
    struct stat trashStat {};
    const QString home = HomeTrashDir();
    if (::lstat(item.constData(), &itemStat) != 0 ||
        ::stat(QFile::encodeName(home + QStringLiteral("/files")).constData(), &trashStat) != 0) {
        reason = errno;
        return false;
    }
    if (itemStat.st_dev == trashStat.st_dev) {
        place = {home, QString()};
        return true;
    }
    const QString parent = QFileInfo(QFile::decodeName(item)).absolutePath();
    return TopTrash(TopOfFileSystem(parent, itemStat.st_dev), place, reason);
}

// "name", "name 2", ... each short enough for its entry in info/ to fit. A whole name is
// numbered at its end, not before what looks like an extension.
QString TrashName(const QString& name, int number, bool whole) {
    const qsizetype dot = whole ? -1 : name.lastIndexOf(u'.');
    const bool shortExtension = dot > 0 && qbNameFit::DiskBytes(name.mid(dot)) <= 16;
    const QString stem = shortExtension ? name.left(dot) : name;
    const QString extension = shortExtension ? name.mid(dot) : QString();
    const QString tail = (number > 1 ? u' ' + QString::number(number) : QString()) + extension;
    return qbNameFit::Fit(stem, tail, qbNameFit::NameMax - qbNameFit::DiskBytes(InfoSuffix));
}

QByteArray TrashInfo(const QString& item, const QString& topDir) {
    QByteArray path = QFile::encodeName(item);
    if (!topDir.isEmpty())
        path = path.mid(QFile::encodeName(topDir).size() + 1);
    return "[Trash Info]\nPath=" + path.toPercentEncoding("/") + "\nDeletionDate=" +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toUtf8() +
           '\n';
}

// The item's record in info/, written whole before the item moves, so that the trash never holds
// an item it cannot say the origin of. Claiming the record claims the name in files/ too. The
// record is removed again unless Keep() is called.
class TInfoEntry {
public:
    ~TInfoEntry() {
        if (!m_path.isEmpty() && !m_kept)
            QFile::remove(m_path);
    }

    // Returns the errno-style reason when no record could be written.
    int Write(const TTrashPlace& place, const QString& name, bool whole, const QByteArray& record) {
        for (int number = 1; number < 100000; ++number) {
            m_name = TrashName(name, number, whole);
            struct stat st {};
            if (::lstat(QFile::encodeName(FilesPath(place)).constData(), &st) == 0)
                continue;
            const QString path = place.dir + QStringLiteral("/info/") + m_name + InfoSuffix;
            const int reason = qbAtomicWrite::CreateNew(path, record, 0600);
            if (reason == 0)
                m_path = path;
            if (reason != EEXIST)
                return reason;
        }
        return EEXIST;
    }

    QString FilesPath(const TTrashPlace& place) const {
        return place.dir + QStringLiteral("/files/") + m_name;
    }
    void Keep() { m_kept = true; }

private:
    QString m_name;
    QString m_path;
    bool m_kept = false;
};

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

bool MoveToTrash(const QString& path, QString* error, const QString& name) {
    const QString target = QFileInfo(WithoutTrailingSlash(path)).absoluteFilePath();
    const QByteArray nativeTarget = QFile::encodeName(target);
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = TrashError(target, reason);
        return false;
    };
    struct stat st {};
    if (::lstat(nativeTarget.constData(), &st) != 0) {
        if (error)
            *error = QStringLiteral("\"%1\" 이(가) 없습니다.").arg(target);
        return false;
    }
    QString trashError;
    if (!EnsureHomeTrash(&trashError))
        return fail(trashError);
    TTrashPlace place;
    int reason = 0;
    if (!TrashFor(nativeTarget, place, reason))
        return fail(QStringLiteral("이 파일 시스템의 휴지통을 쓸 수 없습니다.\n%1")
                        .arg(qt_error_string(reason)));
    const QString infoFolder = QDir::toNativeSeparators(place.dir + QStringLiteral("/info"));
    TInfoEntry entry;
    reason = entry.Write(place, name.isEmpty() ? QFileInfo(target).fileName() : name, !name.isEmpty(),
                         TrashInfo(target, place.topDir));
    if (reason != 0)
        return fail(QStringLiteral("휴지통의 \"%1\" 에 기록을 남길 수 없습니다.\n%2")
                        .arg(infoFolder, qt_error_string(reason)));
    QString renameError;
    if (!qbShellMove::Rename(nativeTarget, QFile::encodeName(entry.FilesPath(place)), &renameError))
        return fail(renameError);
    entry.Keep();
    return true;
}

} // namespace qbTrash
