#pragma once

#include <QHash>
#include <QString>

namespace qbFontNames {

// Installed families that also have a name in the language ("ko"): family -> that name. Empty
// where the platform keeps no such names.
QHash<QString, QString> LocalNames(const QString& language);

} // namespace qbFontNames
