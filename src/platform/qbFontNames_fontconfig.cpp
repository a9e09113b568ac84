// Fontconfig keeps each family's names with their languages ("NanumGothic" en, "나눔고딕" ko).
#include "platform/qbFontNames.h"

#include <fontconfig/fontconfig.h>

namespace qbFontNames {

QHash<QString, QString> LocalNames(const QString& language) {
    QHash<QString, QString> names;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    const QByteArray wanted = language.toLower().toUtf8();
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcChar8* first = nullptr;
        if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &first) != FcResultMatch)
            continue;
        const QString family = QString::fromUtf8(reinterpret_cast<const char*>(first));
        if (names.contains(family))
            continue;
        for (int k = 1;; ++k) {
            FcChar8* name = nullptr;
            FcChar8* lang = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, k, &name) != FcResultMatch)
                break;
            if (FcPatternGetString(fonts->fonts[i], FC_FAMILYLANG, k, &lang) != FcResultMatch)
                continue;
            const QByteArray tag = QByteArray(reinterpret_cast<const char*>(lang)).toLower();
            if (tag == wanted || tag.startsWith(wanted + '-')) {
                names.insert(family, QString::fromUtf8(reinterpret_cast<const char*>(name)));
                break;
            }
        }
    }
    if (fonts)
        FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return names;
}

} // namespace qbFontNames
