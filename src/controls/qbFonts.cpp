#include "controls/qbFonts.h"

#include <QStringList>

QFont qbGulimChe(int pixelSize) {
    QFont font;
    font.setFamilies({QStringLiteral("굴림체"), QStringLiteral("GulimChe"),
                      QStringLiteral("NanumGothicCoding"), QStringLiteral("D2Coding"),
                      QStringLiteral("Noto Sans Mono CJK KR"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(pixelSize);
    return font;
}
