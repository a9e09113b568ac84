#pragma once

#include "editing/qbSelectionState.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QInputMethodQueryEvent;
class QMenu;
class QTimer;
class QPrinter;
class TqbPagePrinter;
class QWebChannel;
class QWebEngineLoadingInfo;
class QWebEngineProfile;
class QWebEngineView;
class TqbDhtmlBridge;
class TqbDhtmlPage;
class TqbPageRequestFilter;
class TqbPageScheme;
class TqbSpellCheck;
class TqbTypingCatcher;

namespace qbDhtml {

// Control commands (ExecCommand / QueryStatus).
inline constexpr int DECMD_COPY = 5002;
inline constexpr int DECMD_CUT = 5003;
inline constexpr int DECMD_FINDTEXT = 5008;
inline constexpr int DECMD_PASTE = 5032;

// Document commands (DocExec / DocQueryStatus).
inline constexpr int IDM_REDO = 29;
inline constexpr int IDM_UNDO = 43;
inline constexpr int IDM_HYPERLINK = 2124;
inline constexpr int IDM_HORIZONTALLINE = 2150;
inline constexpr int IDM_IMAGE = 2168;
inline constexpr int IDM_ORDERLIST = 2184;
inline constexpr int IDM_UNORDERLIST = 2185;
inline constexpr int IDM_INDENT = 2186;
inline constexpr int IDM_OUTDENT = 2187;

// Command status flags.
inline constexpr int OLECMDF_SUPPORTED = 1;
inline constexpr int OLECMDF_ENABLED = 2;
inline constexpr int OLECMDF_LATCHED = 4;

} // namespace qbDhtml

// The note pane's HTML editor: the only code that touches the page. Operations that fail throw
// EqbError with the reason. Saving and the editing commands wait for the page's answer (user
// input held back, timers running); one such wait at a time, a nested call throws.
class TqbDhtmlEdit : public QWidget {
    Q_OBJECT
public:
    explicit TqbDhtmlEdit(QWidget* parent = nullptr);
    ~TqbDhtmlEdit() override;

    // The engine's profile the editors' pages live in. The first call starts the engine, so the
    // page scheme is registered before: call this, never the engine's default, to set it up.
    static QWebEngineProfile* EngineProfile();
    // The web view and its page are made with the first document shown, so that a window
    // shows before the web engine starts; this makes them now.
    void PreparePage() { CreateView(); }

    // A synchronous call waits for the page: nothing else may call into it until it returns.
    bool Waiting() const { return m_waiting; }

    // Starts loading the file, decoded in its own charset; DocumentComplete or
    // DocumentLoadFailed follows (a file that cannot be read fails too, after the call returns).
    // Throws only when a save is waiting for the page. asCp949: a page that declares UTF-8 but
    // holds CP949 is read as CP949 (qbPageCodec::Cp949Reading).
    void LoadDocument(const QString& path, bool asCp949 = false);
    // Shows HTML text in place of the document, relative addresses resolved against the current
    // document's file (or basePath when given); it is saved in the charset the document came in,
    // or in the one the text now declares. With neither, there is no document (ShowNoDocument).
    void SetDocumentHtml(const QString& html, const QString& basePath = {});
    // An empty page that takes no typing: after a failed load, or when the open note is gone.
    // Not ready, nothing to save, no document path.
    void ShowNoDocument();
    // True from the end of a load (with the browse mode applied) until the next load starts.
    bool IsDocumentReady() const { return m_ready; }
    // True while input typed during a load is handed to the page: it was seen once already,
    // when it was typed, and is no new typing.
    static bool HandingOverHeldInput() { return s_handingOver > 0; }
    // Waits for the load in progress, user input held back; whether the document is ready.
    // False at once when no load is under way (no document, or it failed).
    bool WaitUntilReady(int milliseconds);
    QString DocumentPath() const { return m_docPath; }
    // The charset the document's file came in and is written back in.
    QByteArray DocumentCharset() const { return m_fileCharset; }
    // Some bytes of the file were not valid in its charset: they show as U+FFFD, and a save
    // writes them so. The window asks the user before the first save of such a page.
    bool HadDecodingErrors() const { return m_hadDecodingErrors; }

    // Folders the page may load local files from (the library, the program folder, the temp
    // folder); the open note's own folder always may. Nothing is loaded from the web.
    void SetAllowedRoots(const QStringList& folders);

    // Writes the page to the file in the document's charset, atomically, every line ended by
    // CR LF, unless the file already holds those bytes; whether it wrote. Throws, writing
    // nothing, when the document is not ready (still loading, failed, or none) or the page does
    // not answer in time.
    bool SaveDocument(const QString& path);
    // Whether anything in the document changed since it finished loading (typing, a command, a
    // paste). Throws as SaveDocument does.
    bool DocumentChanged();
    // The text SaveDocument writes.
    QString DocumentHtml();
    // The bytes SaveDocument would write now. Throws as SaveDocument does.
    QByteArray DocumentBytes();
    // The same bytes, handed to `done` when the page answers; nothing waits for it, so typing and
    // an input method's composition go on undisturbed (the syllable being composed is in the page
    // as text). Nothing comes when no document is ready or another one is shown by then.
    void ReadDocumentBytes(std::function<void(const QByteArray&)> done);

    void SetBrowseMode(bool browse);
    bool BrowseMode() const { return m_browse; }

    // DECMD_CUT, DECMD_COPY, DECMD_PASTE, DECMD_FINDTEXT (the last emits FindRequested).
    void ExecCommand(int id);
    // OLECMDF flags; (flags & 3) == 3 means usable; 0 for ids this control does not know.
    int QueryStatus(int id) const;
    // IDM_* commands. Link and image take the address from `address` (the caller asks for it);
    // without one they do nothing.
    void DocExec(int id, const QString& address = {});
    int DocQueryStatus(int id) const;

    // "Bold", "Italic", "Underline", "JustifyLeft", "JustifyCenter", "JustifyRight" (bool),
    // "FontName" (QString), "FontSize" (int 1..7), "ForeColor", "BackColor" (Windows colour
    // int): the selection's value as last reported, null when it has none or no document is
    // ready. Throws for other names.
    QVariant QueryCommandValue(const QString& name) const;
    // Applies the value to the selection; the styles are set to the given bool, not toggled.
    // Returns false when the page refused (as where nothing is editable).
    bool ExecSelectionCommand(const QString& name, const QVariant& value);
    // Replaces the selection (or inserts at the caret) with the HTML fragment; false when the
    // page refused.
    bool PasteHtml(const QString& html);
    // Puts a picture at the selection of the document that gave PictureGiven; call it from the
    // slot. The engine inserts nothing of a picture pasted or dropped as data by itself.
    void InsertPicture(const QString& address);
    // Puts cleaned HTML at the selection of the document that gave OfficeHtmlPasted, as one
    // step to undo; call it from the slot. `done` runs once it is in: a window opened before
    // would take the page's focus, and an insertion into a page without it cannot be undone.
    void InsertPastedHtml(const QString& html, const std::function<void()>& done);
    const TqbSelectionState& SelectionState() const { return m_state; }
    // Runs one of the page script's own editing commands (the tables', say) on the document;
    // its answer. Throws as the other commands do.
    QVariant RunPageCommand(const QString& name, const QVariantList& args = {});

    // Highlights the next match; TextFound reports whether there was one.
    void FindText(const QString& text, bool backward = false, bool caseSensitive = false);

    // Focuses the view and puts the caret at the start of the body, once the document is ready.
    void FocusAtStart();
    // The next load puts the caret (when asked for) and the scroll where they are now, not at
    // the start: for the same page read again after another program or a move rewrote it.
    void KeepPlaceForNextLoad();

    // Prints without a dialog; PrintFinished follows (and PrintFailed with the reason when it
    // failed). The printer must live until then. A PDF file (a printer set to PDF output with a
    // file name) is the engine's own PDF, with real text and 15 mm margins, written atomically.
    void PrintDocument(QPrinter* printer);
    // With the print dialog when withUi, else to the default printer.
    void PrintDocument(bool withUi = true);

    // Hides the view before the window closes; the document can still be saved.
    void HideForClose();

    // How long synchronous calls wait for a silent page.
    void SetScriptTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    // How long they wait in all for a page that keeps reporting (at least the silent wait).
    void SetBusyPageLimit(int milliseconds) { m_busyLimitMs = milliseconds; }

signals:
    void DocumentComplete();
    void DocumentLoadFailed(const QString& message);
    // Edit mode was asked for a page too big to edit (a table of thousands of rows): it shows
    // read-only, before anything is typed into it.
    void EditingRefused();
    void DocumentClick();
    void DocumentKeyUp();
    // The user changed the page: typing, composition, paste, drop, cut, delete or a command.
    // Loading and layout never report it.
    void ContentChanged();
    void SelectionStateChanged();
    void FindRequested();
    void TextFound(bool found);
    void FocusLost();
    // A link the user followed (a click in browse mode, Ctrl+click in edit mode); the document
    // itself never navigates away.
    void LinkClicked(const QUrl& url);
    void PrintFinished(bool success);
    void PrintFailed(const QString& message);
    // A picture pasted or dropped into the page in edit mode as data, not as HTML: its bytes,
    // its MIME type, and for a dropped file its name. Nothing is in the page until InsertPicture.
    void PictureGiven(const QByteArray& bytes, const QString& type, const QString& name);
    // HTML an office program put on the clipboard, or any with a picture from a file or a data
    // address, pasted in edit mode (not as plain text) and not yet in the page; with the class
    // names the note's own style sheets define. Nothing is in the page until InsertPastedHtml.
    void OfficeHtmlPasted(const QString& html, const QStringList& noteClasses);
    // The pop-up menu opened: the misspelt word clicked (empty for none) and the engine's
    // suggestions for it, in NFC.
    void ContextMenuShown(const QString& misspelledWord, const QStringList& suggestions);
    // The pop-up menu is being filled: others may add their items to it before it shows.
    void ContextMenuFilling(QMenu* menu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the document last asked for has become.
    enum class TPhase { Loading, Ready, Failed, NoDocument };
    // Where the one load in the engine is.
    enum class TStage { Idle, Navigating, Finishing };
    struct TPageRequest {
        QString Text;
        QString FilePath;
        bool Blank = false;
    };

    void CreateView();
    bool KeepsInputMethod(QObject* watched) const;
    void AnswerInputMethod(QWidget* watched, QInputMethodQueryEvent* query) const;
    bool AcceptNavigation(const QUrl& url, int type, bool isMainFrame);
    void OnLoadingChanged(const QWebEngineLoadingInfo& info);
    void OnReported(const QString& kind, const QVariantMap& state);
    void OnPictureGiven(const QString& doc, const QString& type, const QString& name,
                        const QString& base64);
    void OnOfficeHtmlGiven(const QString& doc, const QString& html, const QStringList& noteClasses);
    void Request(TPageRequest request);
    void Start(TPageRequest request);
    // The load in the engine has ended; starts the one waiting, if any, and says so.
    bool StartNext();
    void FinishLoad();
    void CompleteLoad(const QVariantMap& answer, bool caretPlaced);
    void PageGaveUp(const QString& reason);
    void FailLoad(const QString& message);
    void RequireReady(const QString& action) const;
    void RequireIdle() const;
    bool IsLoading() const;
    bool IsInsideView(QObject* object) const;
    bool TakesTyping(QObject* object) const;
    void Hold(QObject* watched, QEvent* event);
    bool TypedAsText(QObject* watched, QEvent* event);
    void ReplayHeldInput();
    void AfterPageFocus(quint64 generation, int checksLeft);
    void DeliverHeldInput();
    void HandOver();
    void FinishHandOver();
    bool HoldsInput() const;
    void WantFocus();
    void AimKeys();
    void TakeFocusBack();
    // Runs a page-script API call and waits for its answer; throws on error or time-out.
    QVariant CallSync(const QString& function, const QVariantList& args);
    // `done` runs once the page has carried it out.
    void CallAsync(const QString& function, const QVariantList& args, bool emitState,
                   const std::function<void()>& done = {});
    void ApplyState(const QVariantMap& answer);
    QString SerializedHtml();
    void ShowContextMenu(const QPoint& pos);
    // With the byte-order mark the file came with.
    QString TextToWrite();

    QWebEngineView* m_view = nullptr;
    TqbDhtmlPage* m_page = nullptr;
    QWebChannel* m_channel = nullptr;
    TqbDhtmlBridge* m_bridge = nullptr;
    TqbPageRequestFilter* m_filter = nullptr;
    TqbPagePrinter* m_printer = nullptr; // with the view

    QString m_docPath;
    QByteArray m_fileCharset;         // what the file is written in
    bool m_hadDecodingErrors = false;
    bool m_hadMark = false;           // the file began with a byte-order mark
    QString m_lineEnd = QStringLiteral("\r\n"); // the file's own line ends
    TqbSpellCheck* m_spell = nullptr;
    TqbPageScheme* m_scheme = nullptr; // where pages too big for a data address come from
    QString m_schemeKey;
    qsizetype m_docChars = 0;
    QUrl m_docUrl;   // the address of the load in the engine, or of the document shown
    QString m_docId; // the page script's name for the document it reported ready
    TPhase m_phase = TPhase::NoDocument;
    TStage m_stage = TStage::Idle;
    bool m_loadingBlank = false;
    std::optional<TPageRequest> m_next;
    bool m_ready = false;
    bool m_browse = true;
    bool m_caretPending = false;
    bool m_waiting = false;
    bool m_closing = false;
    quint64 m_generation = 0;
    quint64 m_loads = 0;
    int m_timeoutMs = 10000;
    int m_busyLimitMs = 60000;
    QVariant m_placeForNextLoad; // the page's own description of the caret's place
    QString m_findText;
    uint m_findFlags = 0;
    QString m_givenDoc; // while PictureGiven or OfficeHtmlPasted is told: the document it goes into
    TqbSelectionState m_state;
    // Keys and input-method text that reached the view while the document loaded, in the order
    // typed. They go to whatever widget shows the page once it is ready: a page from another
    // address comes with a widget of its own.
    static constexpr size_t MaxHeldInput = 10000;
    std::vector<std::unique_ptr<QEvent>> m_heldInput;
    // The document is ready but the held input has not been handed over yet: newer keys wait
    // behind it.
    bool m_replayPending = false;
    // The keyboard focus belongs in the page once it is ready.
    bool m_focusWanted = false;
    // The load in flight may take long or bring the page a widget of its own: keys meant for it
    // wait in the catcher meanwhile.
    bool m_catching = false;
    TqbTypingCatcher* m_catcher = nullptr;
    // Moving the keys while the user types would end the syllable being composed, or one the
    // input method is still working on: they move at the first pause in the typing.
    QElapsedTimer m_sinceCaught;
    static constexpr int HandOverPauseMs = 500;
    QTimer* m_handOverTimer = nullptr;
    bool m_caretOnHandOver = false;
    // The page's process may hear of the focus later than the widget does; keys go only then.
    static constexpr int MaxFocusChecks = 50;
    struct THandingOver {
        THandingOver() { ++s_handingOver; }
        ~THandingOver() { --s_handingOver; }
    };
    static inline int s_handingOver = 0;
};
