#include "dialogs/ConfigRules.h"

#include "library/qbNoteInfo.h"

#include <QDir>
#include <QTemporaryFile>

namespace ConfigRules {

QString DataDirFault(const QString& path) {
    // The library would take an empty value for its default, not for what the user chose.
    if (path.isEmpty())
        return MsgCannotCreate;
    if (QString fault = TqbNoteInfo::DataDirFault(path); !fault.isEmpty())
        return fault;
    // Permissions alone do not tell: a read-only file system or a full quota refuses too. The
    // probe's leading dot keeps it out of the tree should it ever be left behind.
    QTemporaryFile probe(QDir(path).filePath(QStringLiteral(".qbNivora-probe-XXXXXX")));
    if (!probe.open())
        return MsgCannotWrite + u'\n' + QDir::toNativeSeparators(path);
    return {};
}

} // namespace ConfigRules
