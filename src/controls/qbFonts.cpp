#include "controls/qbFonts.h"

#include <QStringList>

namespace {

// The first face of the list that is installed, at a pixel size.
QFont FirstOf(const QStringList& families, QFont::StyleHint hint, int pixelSize) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

QFont qbGulimChe(int pixelSize) {
    return FirstOf({QStringLiteral("굴림체"), QStringLiteral("GulimChe"),
                    QStringLiteral("NanumGothicCoding"), QStringLiteral("D2Coding"),
                    QStringLiteral("Noto Sans Mono CJK KR"), QStringLiteral("monospace")},
                   QFont::Monospace, pixelSize);
}

QFont qbArial(int pixelSize, bool bold) {
    QFont font = FirstOf({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                          QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans"),
                          QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans")},
                         QFont::SansSerif, pixelSize);
    font.setBold(bold);
    return font;
}
