#include "frames/qbSkinFolder.h"

#include "frames/qbSkin.h"
#include "platform/qbNativeNames.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace qbSkinFolder {

namespace {

// Copies every file of a skin folder; false when one could not be copied.
bool CopySkin(const QString& from, const QString& to) {
    if (!QDir().mkpath(to))
        return false;
    for (const QString& name : QDir(from).entryList(QDir::Files, QDir::Name)) {
        const QString target = to + name;
        if (!QFile::copy(from + name, target))
            return false;
        // Resource files and installed files come out read-only.
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
    }
    return true;
}

} // namespace

QString BuiltInDir() {
    return QStringLiteral(":/%1/").arg(QLatin1String(qbSkin::FolderName));
}

QString Dir(const QString& programDir) {
    return programDir + QLatin1String(qbSkin::FolderName) + '/';
}

QStringList List(const QString& skinsDir) {
    // A skin copied from Windows is named in CP949 bytes, which no path of ours reaches.
    qbNativeNames::AdoptCp949Names(skinsDir);
    QStringList names;
    QDirIterator it(skinsDir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString name = it.nextFileInfo().fileName();
        if (!name.startsWith(u'.'))
            names << name;
    }
    return names;
}

QStringList BuiltInSkins() {
    return QDir(BuiltInDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList InstallMissing(const QString& skinsDir, const QString& sourceDir) {
    QStringList copied;
    for (const QString& name :
         QDir(sourceDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString target = skinsDir + name + '/';
        if (QFileInfo::exists(target))
            continue;
        if (CopySkin(sourceDir + name + '/', target))
            copied << name;
    }
    return copied;
}

} // namespace qbSkinFolder
