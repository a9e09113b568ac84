#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QWidget;
class TqbLibrary;
class TqbOpenNote;
class TqbTree;

// A note opened with a sync engine's conflict copy beside it: the user is shown both and
// chooses, copy after copy, what the note keeps.
class TqbConflictCommands : public QObject {
    Q_OBJECT
public:
    static const QString ResolveFailedMessage;

    using TShowMessage = std::function<void(const QString& text, const QString& detail)>;
    TqbConflictCommands(TqbOpenNote& openNote, TqbLibrary& library, TqbTree& tree,
                        TShowMessage showMessage, QWidget* parent);

    // Asks about each copy beside the document in turn, until the user puts it off.
    void AskAbout(const QString& documentPath);

private:
    // False when the user put it off or it failed: the copies left wait for the next time.
    bool Resolve(const QString& documentPath, const QString& copyPath);
    void ShowWritten(const QString& documentPath);

    TqbOpenNote& m_openNote;
    TqbLibrary& m_library;
    TqbTree& m_tree;
    TShowMessage m_showMessage;
    QWidget* m_parent;
    bool m_asking = false;
};
