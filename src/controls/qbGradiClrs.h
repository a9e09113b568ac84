#pragma once

#include <QObject>

// A shared colour set of the drawn buttons. Colours are Windows colour integers (0x00BBGGRR);
// a button reads them each time it paints, so a change shows at the next paint.
class TqbGradiColors : public QObject {
    Q_OBJECT
public:
    explicit TqbGradiColors(QObject* owner = nullptr);

    // The set the main window calls "ColorsBrown": the defaults with warmer greys.
    static TqbGradiColors* CreateColorsBrown(QObject* owner);

    int clrBegin = 15662335;        // #FFFCEE
    int clrEnd = 14611192;          // #F8F2DE
    int clrMouseInBegin = 15135999; // #FFF4E6
    int clrMouseInEnd = 13035261;   // #FDE6C6
    int clrOutBright = 16777215;    // #FFFFFF
    int clrOutShadow = 11915481;    // #D9D0B5
    int clrOutBorder = 4605510;     // #464646
    int clrSelected = 16771280;     // #D0E8FF
    int clrThick = 16775150;        // #EEF7FF
    int clrMarkFace = 6336511;      // #FFAF60
    int clrMarkBorder = 30186;      // #EA7500
    int clrText = 0;
    int clrDisaText = 7169368; // #58656D
    int clrSelcText = 0;
    int clrDisabled = 13424857; // #D9D8CC

    // Kept with the set; nothing draws from them.
    int MarkLeft = -1;
    int MarkTop = -1;
    int MarkRight = -1;
    int MarkBottom = -1;
    int MarkRound = 2;
};
