#pragma once

#include <QString>

class QFontMetrics;

// Captions too long for their strip are cut by a byte budget of their code-page-949 text
// (a Hangul syllable counts two), never inside a double-byte character, and end in "...".
namespace qbCaptionCut {

// Bytes in code page 949: one for ASCII, two for every other character.
int ByteLength(const QString& text);
// `text` when it fits `budget` bytes; else its first budget - 4 bytes, one less where that
// would split a double-byte character, followed by "...".
QString CutToBudget(const QString& text, int budget);
// The budget is `pixelWidth` divided by the width of "M"; the caption strips pass their width
// less the space left of the text (20 for a dialog, 40 for the main frame).
QString CutCaption(const QString& text, int pixelWidth, const QFontMetrics& metrics);

} // namespace qbCaptionCut
