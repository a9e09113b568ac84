#pragma once
// The library's questions answered at once with Answer; what it said is kept in Calls, in order:
// "message TEXT", "confirm TEXT" or "confirm, default no: TEXT".

#include "library/qbLibrary.h"

#include <QStringList>

class TqbFakeAsker : public IqbLibraryAsker {
public:
    QStringList Calls;
    bool Answer = true;
    void ShowMessage(const QString& text) override { Calls << "message " + text; }
    bool Confirm(const QString& text, bool defaultNo) override {
        Calls << (defaultNo ? "confirm, default no: " : "confirm ") + text;
        return Answer;
    }
};
