#pragma once

#include "library/qbLinkKeeper.h"

#include <functional>

// Rewrites the links between notes after a move: the pages that stayed are picked by a byte scan
// for the moved item's old name (as the backlinks are), the moved pages are all read. Each page
// whose links change is written atomically in its own charset, nothing else in it changed.
class TqbLinkFollower : public IqbLinkKeeper {
public:
    // Notes whose edits are not on disk yet, asked before anything is rewritten: the asker may
    // save them first and answer with those still unsaved, which are left as they are.
    using TUnsavedNotes = std::function<QStringList()>;
    explicit TqbLinkFollower(TUnsavedNotes unsavedNotes = {});

    TqbKeptLinks Follow(const QString& libraryRoot, const TqbItemMove& move,
                        const TBeforeRewrite& beforeRewrite = {},
                        const QList<TqbItemMove>& later = {}) override;

private:
    TUnsavedNotes m_unsavedNotes;
};
