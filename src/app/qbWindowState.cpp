#include "app/qbWindowState.h"

#include "platform/qbIniFile.h"

namespace qbWindowState {

namespace {

const QString TreeSection = QStringLiteral("TREE");

QString OpenKey(int i) {
    return QStringLiteral("Open%1").arg(i + 1);
}

} // namespace

void SaveOpenFolders(TqbIniFile ini, const QStringList& open) {
    // A name with a line break cannot stand in a profile line: that folder stays closed.
    QStringList folders;
    for (const QString& folder : open)
        if (!folder.contains(u'\n') && !folder.contains(u'\r'))
            folders << folder;
    for (int i = 0; i < MaxOpenFolders; ++i) {
        const QString value = folders.value(i);
        const QString stored = ini.ReadString(TreeSection, OpenKey(i), {});
        if (stored != value)
            ini.WriteString(TreeSection, OpenKey(i), value);
        if (stored.isEmpty() && value.isEmpty() && i >= folders.size())
            break;
    }
}

QStringList OpenFolders(const TqbIniFile& ini) {
    QStringList folders;
    for (int i = 0; i < MaxOpenFolders; ++i) {
        const QString folder = ini.ReadString(TreeSection, OpenKey(i), {});
        if (folder.isEmpty())
            break;
        folders << folder;
    }
    return folders;
}

void SaveViewMode(TqbIniFile ini, TqbViewMode mode) {
    const int value = mode == TqbViewMode::Browse || mode == TqbViewMode::None ? 0 : 1;
    if (ini.ReadInteger(QStringLiteral("PROGRAM"), QStringLiteral("ViewMode"), 0) != value)
        ini.WriteInteger(QStringLiteral("PROGRAM"), QStringLiteral("ViewMode"), value);
}

TqbViewMode ViewMode(const TqbIniFile& ini) {
    return ini.ReadInteger(QStringLiteral("PROGRAM"), QStringLiteral("ViewMode"), 0) == 1
               ? TqbViewMode::Edit
               : TqbViewMode::Browse;
}

} // namespace qbWindowState
