#include "dialogs/ConfigRules.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace ConfigRules {

QString DataDirFault(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    if (path.isEmpty() || (!QFileInfo(path).isDir() && !QDir().mkpath(path)) ||
        !QFileInfo(path).isDir())
        return MsgCannotCreate + u'\n' + shown;
    // Permissions alone do not tell: a read-only file system or a full quota refuses too. The
    // probe's leading dot keeps it out of the tree should it ever be left behind.
    QTemporaryFile probe(QDir(path).filePath(QStringLiteral(".qbNivora-probe-XXXXXX")));
    if (!probe.open())
        return MsgCannotWrite + u'\n' + shown;
    return {};
}

} // namespace ConfigRules
