#include "controls/qbGradiClrs.h"

TqbGradiColors::TqbGradiColors(QObject* owner) : QObject(owner) {}

TqbGradiColors* TqbGradiColors::CreateColorsBrown(QObject* owner) {
    auto* colors = new TqbGradiColors(owner);
    colors->setObjectName(QStringLiteral("ColorsBrown"));
    colors->clrEnd = 15201786;       // #FAF5E7
    colors->clrOutShadow = 14412012; // #ECE8DB
    colors->clrOutBorder = 5263440;  // #505050
    colors->clrSelected = 12306636;  // #CCC8BB
    colors->clrMarkFace = 10270146;  // #C2B59C
    colors->clrSelcText = 4276545;   // #414141
    colors->clrDisabled = 14542054;  // #E6E4DD
    return colors;
}
