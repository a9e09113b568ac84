#pragma once

#include "library/qbTreeHost.h"

#include <QMainWindow>
#include <QStringList>
#include <QVariant>

class QAction;
class QActionGroup;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class QMenuBar;
class QPlainTextEdit;
class QProgressBar;
class QSplitter;
class QStackedWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QWidget;
class QHBoxLayout;
class TColorPickerButton;
class TqbDhtmlEdit;
class TqbFindDialog;
class TqbInsertTools;
class TqbNoteInfo;
class TqbPrjInfo;
class TqbTree;

// The program's only main window: the library tree on the left, the open note on the right.
// The window class stays a plain QMainWindow until the skinned frame takes its place.
class TfrmMainNivora : public QMainWindow, public IqbTreeHost {
    Q_OBJECT
public:
    enum { vmNone = -1, vmBrowse = 0, vmEdit = 1, vmSource = 2 };
    enum { pmTree = 3, pmSearch = 4 };

    TfrmMainNivora(TqbPrjInfo& prjInfo, TqbNoteInfo& noteInfo, QWidget* parent = nullptr);
    ~TfrmMainNivora() override;

    TqbTree* NoteTree() const { return m_noteTree; }
    TqbDhtmlEdit* Dhtml() const { return m_dhtml; }
    QPlainTextEdit* RchDhtml() const { return m_rchDhtml; }
    int ViewMode() const { return m_viewMode; }
    int PanelMode() const { return m_panelMode; }
    bool NoteModified() const { return m_noteModified; }
    bool DocumentReady() const { return m_documentReady; }
    int TreeWidth() const;
    QAction* Action(const QString& name) const;

    // Writes the open document back when it changed. False when it could not be written (the
    // user has been told, the changes stay flagged): the caller must not leave the document.
    bool SaveCurrentNote() override;
    void OpenCurrentNote() override;
    void SetViewMode(int mode);
    void FocusCurrentView() override;
    void SetPanelMode(int mode);
    // The idle update handlers, run on a short timer.
    void UpdateActions();

    // Brings the window back from wherever it went; a visible window stays as it is.
    void RestoreFromTray();

    static const QString LoadFailedMessage;
    static const QString SaveFailedMessage;
    static const QString CloseUnsavedQuestion;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    void FormActivate();
    QWidget* CreateTreePanel();
    QWidget* CreateTreeModePanel(QWidget* parent);
    QWidget* CreateSearchModePanel(QWidget* parent);
    QWidget* CreateNoteBody();
    QWidget* CreateStatusBar();
    void CreateActions();
    void CreateMenu(QMenuBar* menu);
    void CreateNoteToolbar(QToolBar* bar);
    QWidget* CreateEditToolbar(QWidget* parent);
    QAction* MakeAction(const QString& name, const QString& caption, const QString& hint,
                        const QKeySequence& shortcut, int tag, int glyph);
    void ApplyStoredTreeWidth();
    void ApplyStoredPlacement();
    void StorePlacement();
    void ShowError(const QString& text);

    bool WriteEditorDocument();
    bool WriteSourceText();

    // Handlers
    void actFileExecute();
    void actFileSaveExecute();
    void actFileSaveUpdate();
    void actFilePrintExecute();
    void actFileRenameExecute();
    void actReloadExecute();
    void actClipBrdExecute();
    void actUndoExecute();
    void actStyleExecute();
    void actIndentExecute();
    void actToolFindExecute();
    void actAddLinkExecute();
    void actNoteToMailExecute();
    void actToolConfigExecute();
    void tbiModeClick(QAction* item);
    void tbiStayOnTopClick();
    void tbiCloseClick();
    void TBItem1Click();
    void TBItem12Click();
    void dhtmlDocumentComplete();
    void dhtmlContentChanged();

    // -- tree operations (mainTreeOps.cpp)
    void actFileRenameUpdate();
    void EnterEditMode() override;
    bool TreeShowing() const override;
    void DiscardCurrentNote() override;
    void ShowTreeMessage(const QString& text) override;
    bool ConfirmTreeQuestion(const QString& text) override;
    QString TreeTemplateDir() const override;
    QStringList TreeDefaultHeader() const override;

    // -- editing commands and insert tools (mainEditing.cpp)
public:
    struct TCommandState {
        bool Enabled = false;
        bool Latched = false;
    };
    // The selection's value for a command name; null while no document is ready.
    QVariant QuerySelectionValue(const QString& name);
    // Applies the value unless the selection already has it; marks the note modified.
    void ApplySelectionCommand(const QString& name, const QVariant& value);
    void RunDocumentCommand(int id, bool prompt);
    TCommandState DocumentCommandState(int id) const;
    void RunControlCommand(int id);
    void UpdateFontControls();
    void UpdateStyleChecks();
    void InsertHtmlAtSelection(const QString& html);
    TColorPickerButton* FontColorPicker() const { return m_clrFont; }
    TColorPickerButton* BackColorPicker() const { return m_clrBack; }
    TqbInsertTools* InsertTools() const { return m_insertTools; }
    TqbFindDialog* FindDialog() const { return m_findDialog; }

private:
    void AddColorPickers(QWidget* pnlFont, QHBoxLayout* row);
    void AddInsertButtons(QToolBar* bar);
    void CreateInsertTools();
    void UpdateEditingActions();
    void actClipBrdUpdate();
    void actUndoUpdate();
    void actOnSelectionUpdate();
    void cmbFontNameChange();
    void cmbFontSizeChange();
    void clrFontChange();
    void clrBackChange();
    void clrBackClick();
    void btnImageClick();
    void btnBRClick();
    void FindInSource(const QString& text, bool backward, bool caseSensitive);
    // Asks for a link address or a picture; empty when the user cancelled.
    QString PromptFor(int id);

    TColorPickerButton* m_clrFont = nullptr;
    TColorPickerButton* m_clrBack = nullptr;
    TqbInsertTools* m_insertTools = nullptr;
    TqbFindDialog* m_findDialog = nullptr;
    QObject* m_styleCheckFilter = nullptr;
    bool m_settingFontControls = false;
    bool m_applyingSelection = false;

    // -- folder search (mainSearch.cpp)
public:
    const QString& SearchText() const { return m_searchText; }
    const QStringList& SearchResultPaths() const { return m_searchResultPaths; }
    bool SearchRunning() const { return m_folderSearch != nullptr; }
    static const QString NoSearchFilesMessage;
    static const QString NothingFoundMessage;

private:
    void ConnectFolderSearch();
    void btnSearchClick();
    void RunFolderSearch();
    void FolderSearchFinished(const QStringList& unreadable);
    void treeSearchClick();
    class TqbFolderSearch* m_folderSearch = nullptr;
    bool m_searchHadCandidates = false;

    TqbPrjInfo& m_prjInfo;
    TqbNoteInfo& m_noteInfo;

    QSplitter* m_splitter = nullptr;
    QWidget* m_pnlTree = nullptr;
    QWidget* m_pnlTreeMode = nullptr;
    QWidget* m_pnlSearchMode = nullptr;
    QWidget* m_pnlSearchCap = nullptr;
    QMenuBar* m_tbtMainMenu = nullptr;
    QToolBar* m_TBToolbar1 = nullptr;
    TqbTree* m_noteTree = nullptr;
    QLineEdit* m_edtSearch = nullptr;
    QToolButton* m_btnSearch = nullptr;
    QTreeWidget* m_treeSearch = nullptr;
    QWidget* m_pnlNoteBody = nullptr;
    QWidget* m_tbEdit = nullptr;
    QComboBox* m_cmbFontName = nullptr;
    QComboBox* m_cmbFontSize = nullptr;
    QStackedWidget* m_views = nullptr;
    TqbDhtmlEdit* m_dhtml = nullptr;
    QPlainTextEdit* m_rchDhtml = nullptr;
    QWidget* m_pnlSpecialChars = nullptr;
    QToolButton* m_btnToTreeMode = nullptr;
    QToolButton* m_btnToSearchMode = nullptr;
    QButtonGroup* m_panelButtons = nullptr;
    QProgressBar* m_bar = nullptr;
    QTimer* m_tmrAutoSave = nullptr;
    QTimer* m_tmrUpdate = nullptr;
    QActionGroup* m_modeItems = nullptr;
    QAction* m_tbiBrowse = nullptr;
    QAction* m_tbiEdit = nullptr;
    QAction* m_tbiSource = nullptr;
    QAction* m_tbiStayOnTop = nullptr;

    int m_viewMode = vmNone;
    int m_panelMode = pmTree;
    bool m_noteModified = false;
    bool m_documentReady = false;
    bool m_activated = false;
    bool m_saving = false;
    bool m_discardChanges = false; // the user chose to close without the unsaved changes
    QString m_searchText;
    QStringList m_searchResultPaths;
};
