#pragma once

#include <QString>
#include <QStringList>

struct TqbItemMove;

struct TqbKeptLinks {
    QStringList Rewritten; // the note files whose links now lead to the new place
    QStringList Failures;  // the notes that still lead to the old place, one line each
};

// Keeps the links between notes leading where they led once a note or folder has moved; the
// library calls it after the files moved and it announced the move.
class IqbLinkKeeper {
public:
    virtual ~IqbLinkKeeper() = default;
    virtual TqbKeptLinks Follow(const QString& libraryRoot, const TqbItemMove& move) = 0;
};
