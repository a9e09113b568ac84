// Platforms whose font names already come in the user's language.
#include "platform/qbFontNames.h"

namespace qbFontNames {

QHash<QString, QString> LocalNames(const QString&) {
    return {};
}

} // namespace qbFontNames
