#pragma once

#include "library/qbLinkRewrite.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

struct TqbKeptLinks {
    QStringList Rewritten; // the note files whose links now lead to the new place
    QStringList Failures;  // the notes that still lead to the old place, one line each
};

// Keeps the links between notes leading where they led once a note or folder has moved; the
// library calls it after the files moved and it announced the move, with what to do with a note
// just before its text is rewritten (keep it as a version). Moves of one batch are followed one
// by one; later ones, already made on disk, are given so that a page they moved is read as it was.
class IqbLinkKeeper {
public:
    using TBeforeRewrite = std::function<void(const QString& notePath)>;
    virtual ~IqbLinkKeeper() = default;
    virtual TqbKeptLinks Follow(const QString& libraryRoot, const TqbItemMove& move,
                                const TBeforeRewrite& beforeRewrite,
                                const QList<TqbItemMove>& later) = 0;
};
