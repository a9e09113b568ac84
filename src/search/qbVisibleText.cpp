#include "search/qbVisibleText.h"

#include "search/qbMarkupScanner.h"

TqbVisibleText::TqbVisibleText(QStringView page, bool withSources) : m_withSources(withSources) {
    m_text.reserve(page.size());
    if (withSources)
        m_sources.reserve(size_t(page.size()));
    TqbMarkupScanner<char16_t> scanner(page.utf16(), page.size());
    TqbMarkupPiece piece;
    while (scanner.Next(piece)) {
        switch (piece.kind) {
        case TqbMarkupPiece::Text:
            for (qsizetype i = piece.begin; i < piece.end; ++i) {
                const QChar c = page[i];
                const bool lineEnd = c == u'\r' || c == u'\n';
                Append(lineEnd ? QChar(u'\n') : c, i, i + 1, piece.markable && !lineEnd);
            }
            break;
        case TqbMarkupPiece::Reference:
            for (const QChar c : QChar::fromUcs4(piece.character))
                Append(c, piece.begin, piece.end, piece.markable);
            break;
        case TqbMarkupPiece::Markup:
            if (piece.breaks)
                Append(u'\n', piece.begin, piece.begin, false);
            break;
        }
    }
}

void TqbVisibleText::Append(QChar c, qsizetype begin, qsizetype end, bool markable) {
    m_text += c;
    if (m_withSources)
        m_sources.push_back({begin, end, markable});
}
