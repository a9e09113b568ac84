#pragma once

#include <QList>
#include <QStringView>
#include <utility>

// How a page's parser reads its source, as far as source mode needs it.
namespace qbSourceText {

// The stretches [begin, end) of the source where character references are not decoded: comments,
// "<!...>" and "<?...>", and the contents of script, style, xmp, iframe, noembed and noframes
// (up to their end tag), and everything after plaintext. Text, attribute values, title and
// textarea decode them.
QList<std::pair<qsizetype, qsizetype>> RawStretches(QStringView html);

} // namespace qbSourceText
