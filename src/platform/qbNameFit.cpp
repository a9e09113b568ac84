#include "platform/qbNameFit.h"

#include <QFile>
#include <QTextBoundaryFinder>

namespace qbNameFit {

int DiskBytes(const QString& name) {
    return int(QFile::encodeName(name).size());
}

QString Fit(const QString& stem, const QString& tail, int maxBytes) {
    const int budget = maxBytes - DiskBytes(tail);
    if (DiskBytes(stem) <= budget)
        return stem + tail;
    qsizetype keep = 0;
    int used = 0;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, stem);
    for (qsizetype from = 0, to = characters.toNextBoundary(); to > 0;
         from = to, to = characters.toNextBoundary()) {
        used += DiskBytes(stem.mid(from, to - from));
        if (used > budget)
            break;
        keep = to;
    }
    while (keep > 0 && stem.at(keep - 1).isSpace())
        --keep;
    return stem.left(keep) + tail;
}

} // namespace qbNameFit
