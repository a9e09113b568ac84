#pragma once

#include "note/qbModes.h"

#include <QStringList>

class TqbIniFile;

// What the window looked like at close, beside its size and the open note: the folders open in
// the tree and browse or edit mode. Source mode comes back as edit mode.
namespace qbWindowState {

constexpr int MaxOpenFolders = 200;

// Section "TREE", keys "Open1" to "Open200". Writes only what changed; throws EqbError when the
// file cannot be written.
void SaveOpenFolders(TqbIniFile ini, const QStringList& folders);
QStringList OpenFolders(const TqbIniFile& ini);

// Section "PROGRAM", key "ViewMode": 0 browse, 1 edit.
void SaveViewMode(TqbIniFile ini, TqbViewMode mode);
TqbViewMode ViewMode(const TqbIniFile& ini);

} // namespace qbWindowState
