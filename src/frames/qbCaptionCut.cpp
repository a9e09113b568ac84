#include "frames/qbCaptionCut.h"

#include <QFontMetrics>
#include <QList>

namespace qbCaptionCut {

namespace {

int CodeLength(char32_t code) {
    return code < 0x80 ? 1 : 2;
}

} // namespace

int ByteLength(const QString& text) {
    int bytes = 0;
    for (const char32_t code : text.toUcs4())
        bytes += CodeLength(code);
    return bytes;
}

QString CutToBudget(const QString& text, int budget) {
    if (ByteLength(text) <= budget)
        return text;
    const int keep = budget - 4;
    QString kept;
    int bytes = 0;
    for (const char32_t code : text.toUcs4()) {
        bytes += CodeLength(code);
        if (bytes > keep)
            break;
        kept += QString::fromUcs4(&code, 1);
    }
    return kept + QStringLiteral("...");
}

QString CutCaption(const QString& text, int pixelWidth, const QFontMetrics& metrics) {
    const int letter = metrics.horizontalAdvance(QLatin1Char('M'));
    if (letter <= 0)
        return text;
    return CutToBudget(text, pixelWidth / letter);
}

} // namespace qbCaptionCut
