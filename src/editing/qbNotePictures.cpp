#include "editing/qbNotePictures.h"

#include "platform/qbAtomicWrite.h"
#include "platform/qbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QUrl>
#include <cerrno>
#include <functional>

namespace qbPicture {

namespace {

bool IsWebAddress(const QString& text) {
    const QUrl url(text);
    const QString scheme = url.scheme().toLower();
    // One letter is a drive, not a scheme.
    return scheme.size() > 1 && scheme != u"file";
}

bool IsInside(const QString& path, const QString& folder) {
    const QString root = QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) + '/';
    return QDir::cleanPath(path).startsWith(root);
}

bool SameBytes(const QString& a, const QString& b) {
    QFile first(a), second(b);
    if (first.size() != second.size() || !first.open(QIODevice::ReadOnly) ||
        !second.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 Chunk = 64 * 1024;
    while (!first.atEnd()) {
        if (first.read(Chunk) != second.read(Chunk))
            return false;
    }
    return true;
}

bool Holds(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.size() == bytes.size() && file.open(QIODevice::ReadOnly) && file.readAll() == bytes;
}

// The name a picture has or gets in `folder`: `name` itself, else the first "<base>_<n>.<ext>"
// that is free or already holds the same picture.
QString NameInFolder(const QDir& folder, const QString& name,
                     const std::function<bool(const QString&)>& holdsSame) {
    const QFileInfo info(name);
    const QString base = info.completeBaseName(), suffix = info.suffix();
    QString free = name;
    for (int n = 2; folder.exists(free) && !holdsSame(folder.filePath(free)); ++n)
        free = suffix.isEmpty() ? QStringLiteral("%1_%2").arg(base).arg(n)
                                : QStringLiteral("%1_%2.%3").arg(base).arg(n).arg(suffix);
    return folder.filePath(free);
}

QDir ImagesDir(const QString& notePath) {
    const QString path = QFileInfo(notePath).absoluteDir().filePath(QLatin1String(ImagesFolder));
    if (!QDir().mkpath(path))
        throw EqbError(QStringLiteral("그림 폴더를 만들지 못했습니다: %1\n%2")
                           .arg(QDir::toNativeSeparators(path), qt_error_string(errno)));
    return QDir(path);
}

QString AddressInNote(const QString& notePath, const QString& picture) {
    const QString relative = QFileInfo(notePath).absoluteDir().relativeFilePath(picture);
    return QString::fromUtf8(QUrl::toPercentEncoding(relative, "/"));
}

} // namespace

QString PlaceInNote(const QString& picture, const QString& notePath, const QString& libraryDir) {
    const QString text = picture.trimmed();
    if (text.isEmpty() || IsWebAddress(text))
        return text;
    QString path = text;
    if (QUrl(text).scheme() == u"file")
        path = QUrl(text).toLocalFile();
    const QFileInfo source(path);
    if (!source.isFile())
        throw EqbError(QStringLiteral("그림 파일이 없습니다: %1").arg(path));
    QString placed = source.absoluteFilePath();
    if (!IsInside(placed, libraryDir)) {
        const QString target =
            NameInFolder(ImagesDir(notePath), source.fileName(),
                         [&placed](const QString& other) { return SameBytes(other, placed); });
        if (!QFile::exists(target)) {
            QFile file(placed);
            if (!file.copy(target))
                throw EqbError(QStringLiteral("그림을 노트 폴더에 복사하지 못했습니다: %1\n%2")
                                   .arg(QDir::toNativeSeparators(target), file.errorString()));
        }
        placed = target;
    }
    return AddressInNote(notePath, placed);
}

QString KeepInNote(const QByteArray& bytes, const QString& mimeType, const QString& name,
                   const QString& notePath, const QDateTime& now) {
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeType);
    if (!type.isValid() || !type.name().startsWith(u"image/") || type.preferredSuffix().isEmpty())
        throw EqbError(QStringLiteral("그림으로 넣을 수 없는 형식입니다: %1").arg(mimeType));
    if (bytes.isEmpty())
        throw EqbError(name.isEmpty() ? QStringLiteral("그림이 비어 있습니다 (0바이트).")
                                      : QStringLiteral("그림 파일이 비어 있습니다 (0바이트): %1")
                                            .arg(QFileInfo(name).fileName()));
    const QString wanted =
        !name.isEmpty()
            ? QFileInfo(name).fileName()
            : now.toString(QStringLiteral("'pasted-'yyyyMMdd-HHmmss.")) + type.preferredSuffix();
    const QString target =
        NameInFolder(ImagesDir(notePath), wanted,
                     [&bytes](const QString& other) { return Holds(other, bytes); });
    if (!QFile::exists(target))
        qbAtomicWrite::ReplaceFile(target, bytes);
    return AddressInNote(notePath, target);
}

QString KeepPasted(const QString& address, const QString& notePath, const QString& libraryDir,
                   const QDateTime& now) {
    const QString scheme = QUrl(address).scheme().toLower();
    if (scheme == u"file")
        return PlaceInNote(address, notePath, libraryDir);
    if (scheme != u"data")
        return address;
    // data:[<type>][;base64],<bytes>
    const qsizetype comma = address.indexOf(u',');
    if (comma < 0)
        throw EqbError(QStringLiteral("그림 주소가 올바르지 않습니다: %1").arg(address.left(40)));
    const QStringList header = address.mid(5, comma - 5).split(u';');
    const QByteArray data = QByteArray::fromPercentEncoding(address.mid(comma + 1).toLatin1());
    const QByteArray bytes =
        header.contains(QStringLiteral("base64"), Qt::CaseInsensitive) ? QByteArray::fromBase64(data)
                                                                       : data;
    return KeepInNote(bytes, header.first().trimmed(), {}, notePath, now);
}

} // namespace qbPicture
