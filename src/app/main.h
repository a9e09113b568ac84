#pragma once

#include "app/qbPanelMode.h"
#include "app/qbSearchPanel.h"
#include "frames/qbFormThreeBtns.h"
#include "note/qbModes.h"
#include "note/qbOpenNote.h"
#include "note/qbOpenNoteHost.h"

#include <QStringList>
#include <QVariant>
#include <memory>

class QAction;
class QMenuBar;
class QPlainTextEdit;
class QSplitter;
class QTimer;
class QToolBar;
class QUrl;
class TColorPickerButton;
class TqbActions;
class TqbAppMessageFilter;
class TqbDhtmlEdit;
class TqbEditCommands;
class TqbErrorWindowCloser;
class TqbIdleUpdate;
class TqbGradiColors;
class TqbImageList;
class TqbLinkFollower;
class TqbFindDialog;
class TqbConflictCommands;
class TqbHistoryCommands;
class TqbInsertTools;
class TqbNoteInfo;
class TqbNoteNavigation;
class TqbNotePane;
class TqbOpenNote;
class TqbPrjInfo;
class TqbQuickCapture;
class TqbQuickCaptureWindow;
class TqbGlobalKey;
class TqbSearchPanel;
class TqbShortcutBadges;
class TqbStatusPanel;
class TqbTrayKeeper;
class TqbTree;
class TqbWheelHook;
enum class TqbKeyCommand;
struct TqbKeyState;

// The program's only main window: the library tree (or the search hits) on the left, the open
// note on the right. It builds its parts, connects them and owns the panel mode and the
// actions; the open note, the note pane, the search panel and the editing commands do the rest.
// The methods below under the program's own names forward to the part that does the work.
class TfrmMainNivora : public TfrmQbThreeButtons, private IqbOpenNoteHost {
    Q_OBJECT
public:
    static inline const QString& LoadFailedMessage = TqbOpenNote::LoadFailedMessage;
    static inline const QString& SaveFailedMessage = TqbOpenNote::SaveFailedMessage;
    static inline const QString& NoSearchFilesMessage = TqbSearchPanel::NoSearchFilesMessage;
    static inline const QString& NothingFoundMessage = TqbSearchPanel::NothingFoundMessage;
    static inline const QString LinksFollowedNotice =
        QStringLiteral("다른 노트 %1개의 링크를 새 위치로 고쳤습니다.");
    static const QString CloseUnsavedQuestion;
    static const QString FolderGoneQuestion;
    // The spell-check item's tooltip where no dictionary was installed.
    static const QString SpellCheckUnavailable;

    TfrmMainNivora(TqbPrjInfo& prjInfo, TqbNoteInfo& noteInfo, QWidget* parent = nullptr);
    ~TfrmMainNivora() override;

    // -- the parts
    TqbTree* NoteTree() const { return m_noteTree; }
    TqbOpenNote* OpenNote() const { return m_openNote; }
    TqbNotePane* NotePane() const { return m_notePane; }
    TqbSearchPanel* SearchPanel() const { return m_searchPanel; }
    TqbStatusPanel* StatusPanel() const { return m_statusPanel; }
    TqbEditCommands* EditCommands() const;
    TqbDhtmlEdit* Dhtml() const;
    QPlainTextEdit* RchDhtml() const;
    TColorPickerButton* FontColorPicker() const;
    TColorPickerButton* BackColorPicker() const;
    TqbInsertTools* InsertTools() const;
    TqbFindDialog* FindDialog() const;
    QAction* Action(const QString& name) const;

    // -- state
    TqbViewMode ViewMode() const;
    TqbPanelMode PanelMode() const { return m_panelMode; }
    bool NoteModified() const;
    bool DocumentReady() const;
    int TreeWidth() const;
    const QString& SearchText() const;
    const QStringList& SearchResultPaths() const;
    bool SearchRunning() const;

    // -- operations
    // Writes the open document back when it changed. False when it could not be written (the
    // user has been told, the changes stay): the caller must not leave the document.
    bool SaveCurrentNote();
    void OpenCurrentNote();
    void SetViewMode(TqbViewMode mode);
    void FocusCurrentView();
    void SetPanelMode(TqbPanelMode mode);
    // The idle update handlers, run on a short timer.
    void UpdateActions();
    void UpdateFontControls();
    void UpdateStyleChecks();
    QVariant QuerySelectionValue(const QString& name);
    void ApplySelectionCommand(const QString& name, const QVariant& value);
    // Into the notification area (minimized where the desktop has none).
    void HideToTray();
    // Brings the window back from wherever it went; a visible window stays as it is.
    void RestoreFromTray();
    // A text captured from outside goes into the inbox note at once; true when it is on disk.
    bool Capture(const QString& text);
    // The small window of "빠른 메모".
    void ShowQuickCapture();
    TqbQuickCapture* QuickCapture() const { return m_quickCapture; }
    void ShowShortcutHints(bool show);
    TqbTrayKeeper* TrayKeeper() const { return m_trayKeeper; }
    TqbShortcutBadges* ShortcutBadges() const { return m_badges; }
    TqbAppMessageFilter* MessageFilter() const { return m_messageFilter; }
    // A link the user followed in a note: a page of the library opens in the tree, anything
    // else in the desktop's own program.
    void OpenLinkedNote(const QString& path);
    void OpenLink(const QUrl& url);
    // Lists the notes that link to a document (the open one unless given); the one chosen opens.
    void ShowBacklinks(const QString& document = {});
    static const QString NoBacklinksMessage;
    TqbNoteNavigation* Navigation() const { return m_navigation; }
    TqbHistoryCommands* History() const { return m_history; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // -- IqbOpenNoteHost
    bool TreeShowing() const override;
    void ShowMessage(const QString& text, const QString& detail) override;
    bool Confirm(const QString& text, bool defaultNo) override;
    TOutsideChoice AskOutsideChange(const QString& path) override;
    bool AskSaveUndecodable(const QString& path) override;
    bool AskReadAsCp949(const QString& path) override;
    bool AskRestoreDeleted(const QString& path) override;
    QString AskFolderToSaveIn(const QString& path) override;
    void CommitTyping() override;
    bool AskAboutFile(const QString& caption, const QString& text, const QString& path,
                      bool yesIsSafe);

    void FormCreate();
    void FormActivate();
    // A "DirData" that could not be used: the default library shows, and the user is told why.
    void ShowDataDirProblem();
    QWidget* CreateTreePanel();
    void LoadLibrary(const QString& dataDir);
    // Links between notes follow moves and renames, ours and other programs'.
    void KeepLinksOnMoves();
    QWidget* CreateTreeModePanel(QWidget* parent);
    void ConnectActions();
    void ConnectParts();
    // The key filter, the notification area, the shortcut badges, the error-window closer and
    // the wheel gesture.
    void ConnectKeys();
    TqbKeyState KeyState() const;
    void RunKeyCommand(TqbKeyCommand command);
    void OpenMainMenu(const QString& title);
    void ApplyStoredTreeWidth();
    // The frame's content area and status bar hold the window's parts.
    void TakeFrameParts(QWidget* content);
    // Shows the note of a search hit in the tree, back in the tree panel.
    void OpenInTree(const QString& path);
    void UpdateHistoryActions();

    // Handlers
    void actFileExecute(int tag);
    void actFileSaveUpdate();
    void actFileRenameUpdate();
    void actFilePrintExecute();
    void actNoteToMailExecute();
    void actToolConfigExecute();
    void tbiStayOnTopClick();
    void SetUpSpellCheck();
    void TBItem1Click();
    void TBItem12Click();
    void ShowViewModeItems(TqbViewMode mode);

    TqbPrjInfo& m_prjInfo;
    TqbNoteInfo& m_noteInfo;
    TqbActions* m_actions = nullptr;
    TqbOpenNote* m_openNote = nullptr;
    TqbNotePane* m_notePane = nullptr;
    TqbIdleUpdate* m_idleUpdate = nullptr;
    TqbNoteNavigation* m_navigation = nullptr;
    TqbHistoryCommands* m_history = nullptr;
    TqbConflictCommands* m_conflicts = nullptr;
    TqbSearchPanel* m_searchPanel = nullptr;
    TqbStatusPanel* m_statusPanel = nullptr;
    TqbAppMessageFilter* m_messageFilter = nullptr;
    TqbTrayKeeper* m_trayKeeper = nullptr;
    TqbShortcutBadges* m_badges = nullptr;
    TqbErrorWindowCloser* m_errorCloser = nullptr;
    TqbWheelHook* m_wheelHook = nullptr;
    TqbGradiColors* m_colorsBrown = nullptr;
    TqbImageList* m_imgs16 = nullptr;
    TqbLibrary* m_library = nullptr;
    TqbTree* m_noteTree = nullptr;
    TqbQuickCapture* m_quickCapture = nullptr;
    TqbQuickCaptureWindow* m_quickCaptureWindow = nullptr;
    TqbGlobalKey* m_captureKey = nullptr; // opens "빠른 메모" from any program
    std::unique_ptr<TqbLinkFollower> m_linkFollower;
    QSplitter* m_splitter = nullptr;
    QWidget* m_pnlTreeMode = nullptr;
    QMenuBar* m_tbtMainMenu = nullptr;
    QToolBar* m_TBToolbar1 = nullptr;

    TqbPanelMode m_panelMode = TqbPanelMode::Tree;
    bool m_activated = false;
    bool m_closeDeferred = false; // a close came while a save waited
    bool m_discardChanges = false; // the user chose to close without the unsaved changes
};
