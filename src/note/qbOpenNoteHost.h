#pragma once

#include <QString>

// What the open note asks of the window: which panel shows, and the questions and messages the
// user answers.
class IqbOpenNoteHost {
public:
    enum class TOutsideChoice { KeepMine, TakeTheirs, KeepBoth };

    virtual ~IqbOpenNoteHost() = default;
    // The left panel shows the tree; notes are saved only then.
    virtual bool TreeShowing() const = 0;
    // A plain message box with OK; detail, when given, below the text.
    virtual void ShowMessage(const QString& text, const QString& detail = {}) = 0;
    // OK and Cancel; true for OK. defaultNo makes Cancel the answer of a plain Enter.
    virtual bool Confirm(const QString& text, bool defaultNo = false) = 0;
    // Another program changed the file while the editor holds changes of its own.
    virtual TOutsideChoice AskOutsideChange(const QString& path) = 0;
    // Another program deleted the file while the editor holds changes; true to write them back.
    virtual bool AskRestoreDeleted(const QString& path) = 0;
    // The note's folder is gone while the editor holds changes: an existing folder to save them
    // in ("다른 이름으로 저장"), or empty when the user declines.
    virtual QString AskFolderToSaveIn(const QString& path) = 0;
    // The page held bytes its charset cannot hold; true to save anyway.
    virtual bool AskSaveUndecodable(const QString& path) = 0;
    // The page declares UTF-8 but reads cleanly only as CP949; true to read it so.
    virtual bool AskReadAsCp949(const QString& path) = 0;
    // Ends the input method's composition, keeping its syllable: what the user typed is saved
    // whole, whoever saves (the user, autosave, a tree operation, the link rewriter).
    virtual void CommitTyping() {}
};
