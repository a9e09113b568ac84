#include "library/qbTreeRules.h"

#include "library/qbNoteInfo.h"
#include "platform/qbNameFit.h"

#include <QFileInfo>

namespace qbTreeRules {

bool WithinExpandGrace(quint32 now, quint32 lastExpand) {
    return quint32(now - lastExpand) <= ExpandGraceMs;
}

bool IsOnLabel(int x, int iconLeft) {
    return x > iconLeft;
}

QString DocumentPath(const QString& path) {
    if (!path.isEmpty() && path.endsWith(u'/'))
        return path + TqbNoteInfo::FolderDescriptionName;
    return path;
}

bool Within(const QString& document, const QString& itemPath) {
    if (document.isEmpty() || itemPath.isEmpty())
        return false;
    return itemPath.endsWith(u'/') ? document.startsWith(itemPath) : document == itemPath;
}

QString Followed(const QString& document, const QString& oldItemPath, const QString& newItemPath) {
    return Within(document, oldItemPath) ? newItemPath + document.mid(oldItemPath.size())
                                         : document;
}

QString FreeCopyName(const QString& path, const QString& noteExt) {
    return FreeNameBeside(path, noteExt, QStringLiteral(" - 사본"));
}

QString FreeNameBeside(const QString& path, const QString& noteExt, const QString& label) {
    const QFileInfo info(path);
    const QString suffix = info.suffix().compare(noteExt.mid(1), Qt::CaseInsensitive) == 0
                               ? u'.' + info.suffix()
                               : noteExt;
    const auto candidate = [&](int n) {
        const QString ending =
            label + (n > 1 ? u' ' + QString::number(n) : QString()) + suffix;
        return info.path() + u'/' + qbNameFit::Fit(info.completeBaseName(), ending);
    };
    int n = 1;
    while (QFileInfo(candidate(n)).exists() || QFileInfo(candidate(n)).isSymLink())
        ++n;
    return candidate(n);
}

} // namespace qbTreeRules
