#include "library/qbNoteLinks.h"

#include <QDir>
#include <QFileInfo>

namespace qbNoteLinks {

QUrl Resolve(const QString& href, const QString& notePath) {
    const QUrl base = QUrl::fromLocalFile(QFileInfo(notePath).absoluteFilePath());
    return base.resolved(QUrl(href.trimmed(), QUrl::TolerantMode));
}

QString Href(const QString& fromNote, const QString& toPath) {
    const QString relative = QDir(QFileInfo(fromNote).absolutePath())
                                 .relativeFilePath(QFileInfo(toPath).absoluteFilePath());
    QStringList parts = relative.split(u'/');
    for (QString& part : parts)
        if (part != u".." && part != u".")
            part = QString::fromLatin1(QUrl::toPercentEncoding(part));
    return parts.join(u'/');
}

} // namespace qbNoteLinks
