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

QStringList InstallMissing(const QString& dir) {
    QStringList copied;
    const QStringList files = BuiltInFiles();
    if (files.isEmpty() || !QDir().mkpath(dir))
        return copied;
    for (const QString& name : files) {
        const QString target = dir + name;
        if (QFileInfo::exists(target))
            continue;
        if (QFile::copy(BuiltInDir() + name, target)) {
            // Resource files come out read-only.
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
            copied << name;
        }
    }
    return copied;
}

} // namespace qbTemplates
