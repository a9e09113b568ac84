#pragma once

#include <QString>
#include <QStringList>

// The skin folder beside the program ("qbSkinFiles2/"): what it lists and the skins the
// program brings along.
namespace qbSkinFolder {

// `programDir` ends with "/"; so does the result.
QString Dir(const QString& programDir);
// The folder's entries, files as well as folders, leaving out names that begin with ".", in
// the order the file system gives them. Empty when the folder is missing. Entries named in code
// page 949 bytes (copied from Windows) are renamed to their decoded names first.
QStringList List(const QString& skinsDir);
// The resource folder of the skins compiled into the program.
QString BuiltInDir();
// The skins compiled into the program: their folder names.
QStringList BuiltInSkins();
// Copies each skin of `sourceDir` (ending with "/") whose folder `skinsDir` lacks; a folder
// already there is left as the user made it. Returns the names copied.
QStringList InstallMissing(const QString& skinsDir, const QString& sourceDir = BuiltInDir());

} // namespace qbSkinFolder
