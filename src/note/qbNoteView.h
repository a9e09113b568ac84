#pragma once

#include "note/qbModes.h"

#include <QByteArray>
#include <QString>
#include <functional>

// What the open note asks of the pane that shows it. The pane never decides when to load or
// save; the open note never touches a widget.
class IqbNoteView {
public:
    virtual ~IqbNoteView() = default;

    // Shows what the view mode shows: editing toolbar, insert panel, which editor, read-only page.
    virtual void ShowViewMode(TqbViewMode mode) = 0;
    // Starts loading the page, read as CP949 when asked; the pane then reports it complete or
    // failed. Throws on failure.
    virtual void LoadPage(const QString& path, bool asCp949) = 0;
    // Writes the page to the file in the charset it came in. Throws, writing nothing, on failure.
    virtual void SavePage(const QString& path) = 0;
    // The bytes SavePage would write now. Throws when the page does not answer.
    virtual QByteArray PageBytes() = 0;
    // The same bytes, handed to `done` once the page answers, without waiting for it: typing
    // goes on meanwhile, and a syllable still being composed is in them as text. Nothing comes
    // when another document is shown by then.
    virtual void ReadPageBytes(std::function<void(const QByteArray&)> done) = 0;
    virtual bool PageReady() const = 0;
    // Whether the user changed anything in the page since it finished loading. Throws when the
    // page does not answer.
    virtual bool PageChanged() = 0;
    // Waits for a load in progress (user input held back); whether the page is ready now.
    virtual bool WaitForPage(int milliseconds) = 0;
    // The page held bytes its charset could not read; saving would replace them.
    virtual bool PageHadDecodingErrors() const = 0;
    // An empty page that takes no typing: no document is open.
    virtual void ShowNoDocument() = 0;

    // The source editor: its text (lines joined by "\n") and its own modified flag.
    virtual void SetSourceText(const QString& text) = 0;
    virtual QString SourceText() const = 0;
    virtual bool SourceModified() const = 0;
    virtual void SetSourceModified(bool modified) = 0;

    // The next page loaded keeps the caret's place and the scroll, for the same note read again.
    virtual void KeepPlaceForNextLoad() {}
    // Focus into the editor of edit or source mode, the caret at the start in edit mode.
    virtual void FocusEditor(TqbViewMode mode) = 0;
};
