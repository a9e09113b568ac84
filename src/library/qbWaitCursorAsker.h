#pragma once

#include "library/qbLibrary.h"

#include <QObject>

// Passes the library's questions on with the wait cursor out of the way: a long move puts it up,
// and a question in its middle must not look busy.
class TqbWaitCursorAsker : public QObject, public IqbLibraryAsker {
    Q_OBJECT

public:
    TqbWaitCursorAsker(IqbLibraryAsker& asker, QObject* parent = nullptr)
        : QObject(parent), m_asker(asker) {}

    void ShowMessage(const QString& text) override;
    bool Confirm(const QString& text, bool defaultNo) override;

private:
    IqbLibraryAsker& m_asker;
};
