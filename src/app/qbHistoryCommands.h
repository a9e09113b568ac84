#pragma once

#include "app/qbVersionsDialog.h"
#include "library/qbNoteVersions.h"
#include "note/qbOpenNoteHost.h"
#include "note/qbTypingJournal.h"

#include <QObject>
#include <QString>
#include <functional>

class QWidget;
class TqbLibrary;
class TqbOpenNote;
class TqbTree;

// "이전 버전" and the journal of unsaved typing, as the window offers them: the versions of a
// note listed, shown and restored, and what a crashed run left in the journal brought back.
class TqbHistoryCommands : public QObject {
    Q_OBJECT
public:
    struct THooks {
        // Saves the open note; false when it could not be written (the user was told).
        std::function<bool()> SaveCurrentNote;
        // Shows a page of the library in the tree.
        std::function<void(const QString& path)> OpenPage;
        std::function<void(const QString& text, const QString& detail)> ShowMessage;
        // Another program changed the note since the journal's typing began from it.
        std::function<IqbOpenNoteHost::TOutsideChoice(const QString& path)> AskOutsideChange;
    };
    static const QString NoVersionsMessage;
    static const QString RestoreFailedMessage;
    static const QString JournalQuestion;

    TqbHistoryCommands(TqbOpenNote& openNote, TqbLibrary& library, TqbTree& tree,
                       const QString& journalDir, THooks hooks, QWidget* parent);

    TqbTypingJournal& Journal() { return m_journal; }
    // The versions of the note or folder page at itemPath (a folder's ends with "/"); the one
    // the user restores replaces the page.
    void ShowVersions(const QString& itemPath);
    // What an earlier run typed and never saved: shown, restored or dropped as the user says.
    void OfferJournal();

    // The rows the dialog lists, newest first, with their local time.
    static QList<TqbVersionRow> Rows(const QList<TqbNoteVersion>& versions);

private:
    // The page at versionPath becomes the note's, the current one kept first.
    bool Restore(const QString& notePath, const QString& versionPath);
    // The entry's page into the library as the user chose; the page that shows the typing now.
    // Throws EqbError, changing nothing, when it cannot be written.
    QString RestoreJournal(const TqbTypingJournal::TEntry& entry);

    TqbOpenNote& m_openNote;
    TqbLibrary& m_library;
    TqbTree& m_tree;
    TqbTypingJournal m_journal;
    THooks m_hooks;
    QWidget* m_parent;
};
