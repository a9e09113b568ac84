#include "library/qbTemplates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qbTemplates {

QString BuiltInDir() {
    return QStringLiteral(":/qbTemplate/");
}

QStringList BuiltInFiles() {
    return QDir(BuiltInDir()).entryList(QDir::Files, QDir::Name);
}

QStringList InstallMissing(const QString& dir, const QString& sourceDir) {
    QStringList copied;
    const QStringList files = QDir(sourceDir).entryList(QDir::Files, QDir::Name);
    if (files.isEmpty() || !QDir().mkpath(dir))
        return copied;
    for (const QString& name : files) {
        const QString target = dir + name;
        if (QFileInfo::exists(target))
            continue;
        if (QFile::copy(sourceDir + name, target)) {
            // Resource files and installed files come out read-only.
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
            copied << name;
        }
    }
    return copied;
}

} // namespace qbTemplates
