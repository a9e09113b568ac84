#pragma once

#include <QString>
#include <QStringList>

// The default note templates: compiled into the program (resources/templates/), and installed
// with it into the shared folder's "qbTemplate/".
namespace qbTemplates {

// The resource folder that holds them: ":/qbTemplate/".
QString BuiltInDir();
// File names of the built-in templates and their icons.
QStringList BuiltInFiles();
// Copies every file of sourceDir (ending with "/") that dir (ending with "/") lacks, creating
// dir; files already there, changed or not, are kept. Returns the names copied.
QStringList InstallMissing(const QString& dir, const QString& sourceDir = BuiltInDir());

} // namespace qbTemplates
