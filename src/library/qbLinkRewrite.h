#pragma once

#include <QString>

// A note or folder that moved or was renamed; a folder's paths end with '/'.
struct TqbItemMove {
    QString From;
    QString To;
};

struct TqbRewrittenLinks {
    QString Html;
    int Count = 0; // the hrefs rewritten
};

// Keeps links between notes leading where they led when a note or folder moves: only the href
// values that would now miss are rewritten, relative and encoded as qbNoteLinks::Href writes
// them, with what follows '?' or '#' kept as written; every other character stays.
namespace qbLinkRewrite {

// A page that stayed at pagePath, whose links may lead into the moved item.
TqbRewrittenLinks LinksTo(const QString& html, const QString& pagePath, const TqbItemMove& move);

// A page that moved itself, or along with its folder, from oldPagePath to newPagePath: its
// relative links must still reach the notes they led to, which may have moved with it.
TqbRewrittenLinks LinksOfMoved(const QString& html, const QString& oldPagePath,
                               const QString& newPagePath, const TqbItemMove& move);

} // namespace qbLinkRewrite
