#pragma once

#include "library/qbNoteHistory.h"
#include "library/qbTagIndex.h"

#include <QObject>
#include <QString>
#include <functional>

class QMenu;
class QWidget;
class TqbIniFile;
class TqbLibrary;
class TqbOpenNote;

// The ways to a note other than the tree itself: the jump list, back and forward through the
// notes opened, and the recent notes with the note opened again at the next start. The logic is
// in TqbNoteHistory and TqbJumpList; this part ties them to the open note and the
// library's moves and removals.
class TqbNoteNavigation : public QObject {
    Q_OBJECT
public:
    static const QString NoEarlierDailyNote;
    static const QString NoLaterDailyNote;

    struct THooks {
        std::function<void()> ShowTree; // the tree panel, before a note opens
        std::function<void(const QString&)> ShowMessage;
    };

    TqbNoteNavigation(TqbLibrary& library, TqbOpenNote& openNote, THooks hooks,
                      QWidget* dialogParent);

    const TqbNoteHistory& History() const { return m_history; }
    const TqbRecentNotes& RecentNotes() const { return m_recent; }

    // Opens a document the user asked for by name (a jump, a recent note); one that is gone is
    // named in a message instead. False when nothing opened.
    bool GoToDocument(const QString& path);
    void GoThroughHistory(bool back);
    // "노트로 이동": the picker over the library, starting with query typed ("#tag").
    void JumpToNote(const QString& query = {});
    // "태그 목록": the library's tags with their counts; the one chosen lists its notes.
    void ShowTagList();
    // "오늘 일기": today's daily note, made from the 일기 template (and its folders made) the first
    // time, then opened in edit mode.
    void OpenDailyNote();
    // The daily note nearest before (after) the open one's day, or today's when another note is
    // open; a word when there is none.
    void GoDailyNote(bool earlier);

    // The recent notes of the library, as items of menu.
    void FillRecentMenu(QMenu* menu);

    void LoadRecent(const TqbIniFile& ini);
    // The note open when the program closed, when the library still holds it; false otherwise.
    bool ReopenLast(const TqbIniFile& ini);
    // Throws EqbError when the file cannot be written.
    void SaveRecent(const TqbIniFile& ini, const QString& openPath) const;

signals:
    // Back or forward may have become possible or impossible.
    void HistoryChanged();

private:
    bool MakeDailyNote(const QString& path);

    TqbLibrary& m_library;
    TqbOpenNote& m_openNote;
    THooks m_hooks;
    QWidget* m_dialogParent;
    TqbNoteHistory m_history;
    TqbRecentNotes m_recent;
    TqbTagIndex m_tags;
};
