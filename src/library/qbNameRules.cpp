#include "library/qbNameRules.h"

#include "library/qbPaths.h"

#include <QFile>
#include <QFileInfo>

namespace qbNameRules {

QString TrimName(const QString& name) {
    qsizetype first = 0;
    qsizetype last = name.size();
    while (first < last && name.at(first).unicode() <= 0x20)
        ++first;
    while (last > first && name.at(last - 1).unicode() <= 0x20)
        --last;
    return name.mid(first, last - first);
}

QString CommonNameFault(const QString& trimmed, bool folder, const QString& noteExt) {
    if (trimmed.isEmpty())
        return MsgEmpty;
    for (const QChar c : trimmed)
        if (ForbiddenChars.contains(c))
            return MsgForbidden;
    for (const QChar c : trimmed)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return MsgControlChar;
    if (trimmed.startsWith(u'.'))
        return MsgLeadingDot;
    if (folder && trimmed == QStringLiteral("__images"))
        return MsgReserved;
    const QString fileName = folder ? trimmed : trimmed + noteExt;
    if (QFile::encodeName(fileName).size() > MaxNameBytes)
        return MsgTooLong;
    return {};
}

QString NewNoteNameFault(const QString& base, const QString& name, const QString& noteExt) {
    const QString trimmed = TrimName(name);
    if (QString fault = CommonNameFault(trimmed, false, noteExt); !fault.isEmpty())
        return fault;
    if (QFileInfo::exists(base + trimmed + noteExt))
        return MsgFileExists;
    return {};
}

QString UserFileNameFault(const QString& base, const QString& name, bool folderMode,
                          bool checkExisting, const QString& noteExt) {
    const QString trimmed = TrimName(name);
    if (QString fault = CommonNameFault(trimmed, folderMode, noteExt); !fault.isEmpty())
        return fault;
    if (!checkExisting)
        return {};
    if (folderMode)
        return QFileInfo(base + trimmed).isDir() ? MsgDirExists : QString();
    return QFileInfo::exists(base + trimmed + noteExt) ? MsgFileExists : QString();
}

QString ProposalStem(const QString& base) {
    const QString t = qbPaths::LastComponent(base.chopped(base.isEmpty() ? 0 : 1));
    return t.isEmpty() ? DefaultNoteBase : t;
}

QString NumberedName(const QString& stem, int n) {
    return stem + u'_' + QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString ProposeName(const QString& base, const QString& noteExt) {
    const QString stem = ProposalStem(base);
    for (int n = 1;; ++n) {
        const QString candidate = NumberedName(stem, n);
        if (!QFileInfo::exists(base + candidate + noteExt))
            return candidate;
    }
}

} // namespace qbNameRules
