#pragma once

#include <QByteArray>
#include <QString>

// Rules for the page text that crosses between the editor and Chromium.
namespace qbDhtml {

// Every line ended by lineEnd, the last one included. The page reads the same either way: its
// parser turns every line end into LF.
QString WithLineEnds(const QString& html, QStringView lineEnd);

// The serialised page as it is written: with the file's own line ends, and without the line feed at the end of the
// body that the last line end itself becomes (the parser puts what follows "</html>" into the
// body), so that saving again and again does not grow the page. A carriage return in the text
// (from "&#13;") is written as that reference again: the parser would make a line feed of it.
// A ticked box is written as the note's own markup has it, plain "checked" (WithPlainChecked).
QString PageTextToSave(const QString& serialized, QStringView lineEnd = u"\r\n");

// The serialised page with every input's 'checked=""' written plain, 'checked'; text, comments,
// scripts and other attributes stay as they are.
QString WithPlainChecked(const QString& html);

// The length of the data address Chromium builds for a page handed over as text: each byte
// outside the unreserved ASCII set takes three characters, a Korean syllable nine.
qsizetype DataAddressLength(const QByteArray& utf8Page);
// Chromium refuses addresses longer than this; pages that would need more go through a file.
inline constexpr qsizetype MaxDataAddressLength = 2 * 1024 * 1024 - 1024;

// How long a call waits for the page: the base time, and more for a bigger document, since
// serialising or changing it takes the page longer (about 5 s for each million characters).
int PageWaitMs(int baseMs, qsizetype documentChars);

// The file a print to PDF offers: the note's name with ".pdf", in the folder the last such file
// went to, else beside the note.
QString PrintFileName(const QString& notePath, const QString& lastFile);

} // namespace qbDhtml
