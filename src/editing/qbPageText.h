#pragma once

#include <QByteArray>
#include <QString>

namespace qbDhtml {

// Every line ended by CR LF, as the program's text files are. The page reads the same either
// way: its parser turns CR LF back into LF.
QString WithCrLf(const QString& html);

// The bytes to write for a page the browser decoded as `charset` (a converter name), such that
// loading them again gives the same text. A charset other than the default that the text does
// not declare is marked by a byte-order mark (UTF-8, UTF-16) or, for any other charset, the page
// is written in the default code page instead; characters a charset lacks become references.
QByteArray PageBytes(const QString& html, const QByteArray& charset);

} // namespace qbDhtml
