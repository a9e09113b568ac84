#include "app/main.h"

#include "app/qbActionTable.h"
#include "app/qbAfterFirstPaint.h"
#include "app/qbAppMessageFilter.h"
#include "app/qbApplication.h"
#include "app/qbConflictCommands.h"
#include "app/qbEditCommands.h"
#include "app/qbErrorWindowCloser.h"
#include "app/qbHistoryCommands.h"
#include "app/qbKeyDecision.h"
#include "note/qbNoteNavigation.h"
#include "app/qbNotePane.h"
#include "app/qbQuickCapture.h"
#include "app/qbQuickCaptureWindow.h"
#include "app/qbSearchPanel.h"
#include "app/qbShortcutBadges.h"
#include "app/qbSourceView.h"
#include "app/qbStartupSteps.h"
#include "app/qbStatusPanel.h"
#include "app/qbSteadyQuestion.h"
#include "app/qbTableCommands.h"
#include "app/qbTagBar.h"
#include "app/qbTrayKeeper.h"
#include "app/qbTreeNavigation.h"
#include "app/qbWindowState.h"
#include "controls/KfFolderDialog.h"
#include "controls/qbCaretBlink.h"
#include "controls/qbGradiClrs.h"
#include "controls/qbGradiSpeedBtn.h"
#include "controls/qbIdleUpdate.h"
#include "controls/qbImageList.h"
#include "controls/qbImageLists.h"
#include "dialogs/ConfigRules.h"
#include "dialogs/qbDialogCommands.h"
#include "dialogs/qbPathListDialog.h"
#include "editing/qbDhtmlEdit.h"
#include "editing/qbSpellCheck.h"
#include "frames/qbSkinMenu.h"
#include "library/qbLinkPolicy.h"
#include "library/qbNoteInfo.h"
#include "library/qbTemplates.h"
#include "library/qbTree.h"
#include "library/qbWaitCursorAsker.h"
#include "library/qbWelcomeNote.h"
#include "note/qbOpenNote.h"
#include "platform/qbError.h"
#include "platform/qbGlobalKey.h"
#include "platform/qbIniFile.h"
#include "platform/qbParticle.h"
#include "platform/qbWheelHook.h"
#include "prjinfo/qbProjectInfo.h"
#include "search/qbBacklinks.h"
#include "search/qbLinkFollower.h"
#include "search/qbSearchFiles.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSessionManager>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>

namespace {

constexpr int DefaultTreeWidth = 250;
constexpr int MinimumStoredTreeWidth = 30;
constexpr int ActionUpdateInterval = 200;
constexpr int CloseRetryMs = 200;
constexpr int TopGapColour = 15200239; // Windows colour layout: red in the low byte

QColor FromWindowsColour(int value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QVBoxLayout* TightColumn(QWidget* owner) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

} // namespace

const QString TfrmMainNivora::CloseUnsavedQuestion =
    QStringLiteral("노트를 저장하지 못했습니다. 저장하지 않고 프로그램을 닫을까요?");
const QString TfrmMainNivora::FolderGoneQuestion =
    QStringLiteral("이 노트가 있던 폴더를 다른 프로그램이 지웠습니다. 고친 내용을 다른 폴더에 "
                   "저장할까요?\n\n취소를 누르면 고친 내용은 편집기에 그대로 남습니다.");

TfrmMainNivora::TfrmMainNivora(TqbPrjInfo& prjInfo, TqbNoteInfo& noteInfo, QWidget* parent)
    : TfrmQbThreeButtons(prjInfo, parent), m_prjInfo(prjInfo), m_noteInfo(noteInfo) {
    FormCreate();
}

TfrmMainNivora::~TfrmMainNivora() {
    // Its ticks look at the window's parts, which go before it does; the save below and the
    // page's going may run events.
    delete std::exchange(m_idleUpdate, nullptr);
    qApp->removeEventFilter(m_messageFilter);
    if (!m_discardChanges)
        SaveCurrentNote();
}

void TfrmMainNivora::FormCreate() {
    qbStartupSteps::Mark("skinned frame");
    setObjectName("frmMainNivora");
    setWindowIcon(qbAppIcon());
    setWindowTitle(m_noteInfo.AppTitle());
    // The first start in a program folder of its own installs the default templates there.
    qbTemplates::InstallMissing(m_noteInfo.TemplateDir(),
                                m_prjInfo.DefaultsDir("qbTemplate", qbTemplates::BuiltInDir()));

    m_actions = new TqbActions(this);
    // The engine reads the user's words when it starts: before the editor's first page.
    SetUpSpellCheck();
    m_notePane = new TqbNotePane(*m_actions, this);
    m_openNote = new TqbOpenNote(*m_notePane, *this, m_noteInfo, this);
    m_notePane->CreateCommands(*m_openNote, m_noteInfo, this);
    m_notePane->AddNoteBar(new TqbTagBar(*m_openNote, m_notePane));
    m_colorsBrown = TqbGradiColors::CreateColorsBrown(this);
    m_imgs16 = qbImgs16List(this);
    m_statusPanel = new TqbStatusPanel(m_colorsBrown, m_imgs16, this);
    qbStartupSteps::Mark("note pane and editor");

    auto* central = new QWidget(this);
    auto* column = TightColumn(central);
    auto* shpTopGap = new QFrame(central);
    shpTopGap->setObjectName("shpTopGap");
    shpTopGap->setFixedHeight(3);
    shpTopGap->setAutoFillBackground(true);
    QPalette gap = shpTopGap->palette();
    gap.setColor(QPalette::Window, FromWindowsColour(TopGapColour));
    shpTopGap->setPalette(gap);
    column->addWidget(shpTopGap);

    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setObjectName("Splitter1");
    m_splitter->setHandleWidth(3);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(CreateTreePanel());
    m_splitter->addWidget(m_notePane);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    column->addWidget(m_splitter, 1);
    TakeFrameParts(central);
    qbStartupSteps::Mark("tree, menus and frame");

    ConnectActions();
    ConnectParts();
    ConnectKeys();
    qbStartupSteps::Mark("keys, tray and badges");

    m_idleUpdate = new TqbIdleUpdate(this, ActionUpdateInterval, [this] { UpdateActions(); });

    ApplyStoredTreeWidth();
    UpdateActions();
}

QWidget* TfrmMainNivora::CreateTreePanel() {
    auto* pnlTree = new QWidget(this);
    pnlTree->setObjectName("pnlTree");
    // The stored width wins over what the menu bar and toolbar would like.
    pnlTree->setMinimumWidth(MinimumStoredTreeWidth);
    auto* layout = TightColumn(pnlTree);
    m_pnlTreeMode = CreateTreeModePanel(pnlTree);
    m_searchPanel =
        new TqbSearchPanel(m_noteInfo, m_statusPanel->Bar(), m_colorsBrown, m_imgs16, pnlTree);
    layout->addWidget(m_pnlTreeMode);
    layout->addWidget(m_searchPanel);
    m_searchPanel->hide();
    return pnlTree;
}

QWidget* TfrmMainNivora::CreateTreeModePanel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setObjectName("pnlTreeMode");
    auto* layout = TightColumn(panel);

    m_tbtMainMenu = new QMenuBar(panel);
    m_tbtMainMenu->setObjectName("tbtMainMenu");
    m_tbtMainMenu->setNativeMenuBar(false);
    m_actions->BuildMainMenu(m_tbtMainMenu, SkinMenu());
    layout->addWidget(m_tbtMainMenu);

    m_TBToolbar1 = new QToolBar(panel);
    m_TBToolbar1->setObjectName("TBToolbar1");
    m_TBToolbar1->setIconSize(QSize(16, 16));
    m_actions->BuildNoteToolbar(m_TBToolbar1);
    layout->addWidget(m_TBToolbar1);

    // Deleted after the splitter and the open note, which follow it until they go.
    auto* libraryAsker = new TqbWaitCursorAsker(*m_openNote, this);
    m_library = new TqbLibrary(*libraryAsker, this);
    m_library->NoteExt = QStringLiteral(".htm");
    m_openNote->SetLibrary(*m_library);
    m_noteTree = new TqbTree(*m_openNote, *m_library, panel);
    m_noteTree->setObjectName("NoteTree");
    m_noteTree->NoteExt = QStringLiteral(".htm");
    QList<QPixmap> treeImages;
    for (const QIcon& icon : qbImgsTree())
        treeImages << icon.pixmap(16, 16);
    m_noteTree->SetImages(treeImages);
    layout->addWidget(m_noteTree, 1);
    m_openNote->SetTree(m_noteTree);
    // The tree shows what opened, whoever opened it.
    connect(m_openNote, &TqbOpenNote::DocumentOpened, m_noteTree, &TqbTree::SelectOpenDocument);
    m_quickCapture = new TqbQuickCapture(
        *m_library, *m_noteTree, *m_openNote,
        [this](const QString& text, const QString& detail) { ShowMessage(text, detail); }, this);
    EditCommands()->SetNoteTree(m_noteTree);
    // Pages inside a folder being deleted go with it: only the others are named.
    m_noteTree->SetLinkingNames([this](const QString& document) {
        const QString root = QDir::cleanPath(m_noteTree->RootDir());
        const QString folder = QFileInfo(document).fileName() == TqbNoteInfo::FolderDescriptionName
                                   ? QFileInfo(document).absolutePath() + u'/'
                                   : QString();
        QStringList names;
        for (const QString& page : qbBacklinks::LinkingPages(root, document))
            if (folder.isEmpty() || !page.startsWith(folder))
                names << qbSearch::SearchRowLabel(root, page);
        return names;
    });
    TqbNoteNavigation::THooks hooks;
    hooks.ShowTree = [this] { SetPanelMode(TqbPanelMode::Tree); };
    hooks.ShowMessage = [this](const QString& text) { ShowMessage(text, QString()); };
    m_navigation = new TqbNoteNavigation(*m_library, *m_openNote, hooks, this);
    m_navigation->LoadRecent(m_prjInfo.Ini());
    TqbHistoryCommands::THooks historyHooks;
    historyHooks.SaveCurrentNote = [this] { return SaveCurrentNote(); };
    historyHooks.OpenPage = [this](const QString& path) { OpenLinkedNote(path); };
    historyHooks.ShowMessage = [this](const QString& text, const QString& detail) {
        ShowMessage(text, detail);
    };
    historyHooks.AskOutsideChange = [this](const QString& path) { return AskOutsideChange(path); };
    // The journal lies beside the settings, outside the library.
    m_history = new TqbHistoryCommands(*m_openNote, *m_library, *m_noteTree, m_prjInfo.ProgramDir(),
                                       historyHooks, this);
    connect(m_noteTree, &TqbTree::VersionsRequested, m_history, &TqbHistoryCommands::ShowVersions);
    // The note shows first; the question comes once its opening is done.
    m_conflicts = new TqbConflictCommands(
        *m_openNote, *m_library, *m_noteTree,
        [this](const QString& text, const QString& detail) { ShowMessage(text, detail); }, this);
    connect(m_openNote, &TqbOpenNote::DocumentOpened, m_conflicts,
            &TqbConflictCommands::AskAbout, Qt::QueuedConnection);
    connect(m_noteTree, &TqbTree::BacklinksRequested, this,
            [this](const QString& document) { ShowBacklinks(document); });
    // Another program's changes wait while a save, a call into the page, a dialog or a menu
    // runs: questions never come in the middle of one, and nodes held by them stay.
    m_noteTree->SetWatchHold([this] {
        return m_openNote->Saving() || Dhtml()->Waiting() || QApplication::activeModalWidget() ||
               QApplication::activePopupWidget();
    });
    connect(m_noteTree, &TqbTree::OutsideChangeSeen, m_openNote, &TqbOpenNote::FileChangedOutside);
    KeepLinksOnMoves();
    connect(&m_library->Store().Conflicts(), &TqbConflictIndex::CountChanged,
            m_statusPanel, &TqbStatusPanel::ShowConflicts);
    connect(m_notePane->TableCommands(), &TqbTableCommands::Refused, m_statusPanel,
            &TqbStatusPanel::ShowNotice);
    const QString dataDir = m_noteInfo.GetDataDir();
    // A library made just now starts with a note that shows the way.
    if (m_noteInfo.DataDirCreated())
        qbWelcomeNote::Write(dataDir, m_noteInfo.TemplateDir());
    LoadLibrary(dataDir);
    qbStartupSteps::Mark("library tree");
    return panel;
}

void TfrmMainNivora::KeepLinksOnMoves() {
    // The open note's edits would write its old links back: saved first, else left alone.
    m_linkFollower = std::make_unique<TqbLinkFollower>(
        [this] { return m_openNote->SaveBeforeLinksRewritten(); });
    m_library->SetLinkKeeper(m_linkFollower.get());
    connect(m_library, &TqbLibrary::LinksFollowed, this, [this](const QStringList& notes) {
        m_statusPanel->ShowNotice(LinksFollowedNotice.arg(notes.size()));
    });
}

void TfrmMainNivora::LoadLibrary(const QString& dataDir) {
    m_noteTree->LoadRoot(dataDir);
    // Pages may show pictures from anywhere in the library, the templates' folder and dropped
    // files' copies; nothing else on the disk.
    m_notePane->Dhtml()->SetAllowedRoots({dataDir, m_prjInfo.ProgramDir(), QDir::tempPath()});
}

void TfrmMainNivora::ConnectActions() {
    const auto on = [this](const char* name, auto handler) {
        connect(Action(name), &QAction::triggered, this, handler);
    };
    for (const char* name : {"actFileNewFolder", "actFileNewNote", "actFileDelete"}) {
        QAction* action = Action(name);
        connect(action, &QAction::triggered, this,
                [this, action] { actFileExecute(action->data().toInt()); });
    }
    on("actFileSave", [this] { SaveCurrentNote(); });
    on("actFilePrint", &TfrmMainNivora::actFilePrintExecute);
    on("actFileRename", [this] { m_noteTree->RenameNode(m_noteTree->currentIndex()); });
    on("actReload", [this] { OpenCurrentNote(); });
    on("tbiStayOnTop", &TfrmMainNivora::tbiStayOnTopClick);
    on("TBItem1", &TfrmMainNivora::TBItem1Click);
    Action("TBItem1")->setEnabled(!TqbPrjInfo::HomePage().isEmpty());
    on("tbiClose", [this] { close(); });
    on("TBItem12", &TfrmMainNivora::TBItem12Click);
    on("actNoteToMail", &TfrmMainNivora::actNoteToMailExecute);
    on("actToolConfig", &TfrmMainNivora::actToolConfigExecute);
    on("actJumpToNote", [this] { m_navigation->JumpToNote(); });
    on("actBacklinks", [this] { ShowBacklinks(); });
    on("actTagList", [this] { m_navigation->ShowTagList(); });
    on("actDailyNote", [this] { m_navigation->OpenDailyNote(); });
    on("actDailyPrev", [this] { m_navigation->GoDailyNote(true); });
    on("actDailyNext", [this] { m_navigation->GoDailyNote(false); });
    on("actVersions", [this] { m_history->ShowVersions(m_openNote->Path()); });
    on("actGoBack", [this] { m_navigation->GoThroughHistory(true); });
    on("actGoForward", [this] { m_navigation->GoThroughHistory(false); });
    connect(m_actions->RecentMenu(), &QMenu::aboutToShow, this,
            [this] { m_navigation->FillRecentMenu(m_actions->RecentMenu()); });
    connect(m_navigation, &TqbNoteNavigation::HistoryChanged, this,
            &TfrmMainNivora::UpdateHistoryActions);
    connect(m_actions->ModeItems(), &QActionGroup::triggered, this,
            [this](QAction* item) { SetViewMode(TqbViewMode(item->data().toInt())); });
}

void TfrmMainNivora::ConnectParts() {
    TqbDhtmlEdit* dhtml = m_notePane->Dhtml();
    // The open note hears of a finished page before the font boxes follow it.
    connect(dhtml, &TqbDhtmlEdit::DocumentComplete, m_openNote, &TqbOpenNote::PageComplete);
    connect(dhtml, &TqbDhtmlEdit::DocumentComplete, this, &TfrmMainNivora::UpdateFontControls);
    connect(dhtml, &TqbDhtmlEdit::ContentChanged, m_openNote, &TqbOpenNote::PageChanged);
    connect(dhtml, &TqbDhtmlEdit::DocumentLoadFailed, m_openNote, &TqbOpenNote::PageLoadFailed);
    connect(dhtml, &TqbDhtmlEdit::EditingRefused, m_openNote, &TqbOpenNote::PageTooBigToEdit);
    connect(dhtml, &TqbDhtmlEdit::LinkClicked, this, &TfrmMainNivora::OpenLink);
    connect(m_openNote, &TqbOpenNote::ViewModeChanged, this, &TfrmMainNivora::ShowViewModeItems);

    connect(m_statusPanel, &TqbStatusPanel::PanelModeClicked, this, &TfrmMainNivora::SetPanelMode);
    connect(m_searchPanel, &TqbSearchPanel::HitChosen, m_openNote, &TqbOpenNote::ShowOtherPage);
    connect(m_searchPanel, &TqbSearchPanel::OpenHitRequested, this, &TfrmMainNivora::OpenInTree);

    // Logging out asks the program to keep its data: the open note is written then.
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { SaveCurrentNote(); });
}

// ---- the parts and their state

TqbEditCommands* TfrmMainNivora::EditCommands() const { return m_notePane->Commands(); }
TqbDhtmlEdit* TfrmMainNivora::Dhtml() const { return m_notePane->Dhtml(); }
QPlainTextEdit* TfrmMainNivora::RchDhtml() const { return m_notePane->Source(); }
TColorPickerButton* TfrmMainNivora::FontColorPicker() const { return m_notePane->FontColorPicker(); }
TColorPickerButton* TfrmMainNivora::BackColorPicker() const { return m_notePane->BackColorPicker(); }
TqbInsertTools* TfrmMainNivora::InsertTools() const { return m_notePane->InsertTools(); }
TqbFindDialog* TfrmMainNivora::FindDialog() const { return m_notePane->FindDialog(); }
QAction* TfrmMainNivora::Action(const QString& name) const { return m_actions->Action(name); }
TqbViewMode TfrmMainNivora::ViewMode() const { return m_openNote->ViewMode(); }
bool TfrmMainNivora::NoteModified() const { return m_openNote->NoteModified(); }
bool TfrmMainNivora::DocumentReady() const { return m_openNote->DocumentReady(); }
const QString& TfrmMainNivora::SearchText() const { return m_searchPanel->SearchText(); }
const QStringList& TfrmMainNivora::SearchResultPaths() const {
    return m_searchPanel->SearchResultPaths();
}
bool TfrmMainNivora::SearchRunning() const { return m_searchPanel->SearchRunning(); }

int TfrmMainNivora::TreeWidth() const {
    return m_splitter->sizes().value(0);
}

// ---- operations

bool TfrmMainNivora::SaveCurrentNote() {
    return m_openNote->SaveCurrentNote();
}
void TfrmMainNivora::OpenCurrentNote() { m_openNote->OpenCurrentNote(); }
void TfrmMainNivora::SetViewMode(TqbViewMode mode) { m_openNote->SetViewMode(mode); }
void TfrmMainNivora::FocusCurrentView() { m_openNote->FocusCurrentView(); }
void TfrmMainNivora::UpdateFontControls() { EditCommands()->UpdateFontControls(); }
void TfrmMainNivora::UpdateStyleChecks() { EditCommands()->UpdateStyleChecks(); }

QVariant TfrmMainNivora::QuerySelectionValue(const QString& name) {
    return EditCommands()->QuerySelectionValue(name);
}

void TfrmMainNivora::ApplySelectionCommand(const QString& name, const QVariant& value) {
    EditCommands()->ApplySelectionCommand(name, value);
}

void TfrmMainNivora::ShowViewModeItems(TqbViewMode mode) {
    for (QAction* item : m_actions->ModeItems()->actions())
        item->setChecked(item->data().toInt() == int(mode));
}

void TfrmMainNivora::SetPanelMode(TqbPanelMode mode) {
    if (mode == m_panelMode)
        return;
    if (mode == TqbPanelMode::Search) {
        if (!SaveCurrentNote()) {
            m_statusPanel->ShowPanelMode(TqbPanelMode::Tree);
            return;
        }
        m_panelMode = mode;
        SetViewMode(TqbViewMode::Browse);
        m_pnlTreeMode->hide();
        m_searchPanel->show();
        Action("actFileSave")->setEnabled(false);
        m_statusPanel->ShowPanelMode(TqbPanelMode::Search);
        m_statusPanel->Bar()->setValue(0);
        m_statusPanel->Bar()->show();
        m_searchPanel->FocusSearchBox();
    } else {
        m_panelMode = mode;
        m_searchPanel->hide();
        m_pnlTreeMode->show();
        m_statusPanel->ShowPanelMode(TqbPanelMode::Tree);
        Action("actFileSave")->setEnabled(true);
        m_statusPanel->Bar()->hide();
        OpenCurrentNote();
    }
}

void TfrmMainNivora::OpenInTree(const QString& path) {
    SetPanelMode(TqbPanelMode::Tree);
    // A hit is opened to work on: ready to edit.
    if (m_openNote->Open(path))
        SetViewMode(TqbViewMode::Edit);
}

void TfrmMainNivora::OpenLink(const QUrl& url) {
    using qbLinkPolicy::TLinkAction;
    const TLinkAction action =
        qbLinkPolicy::Decide(url, m_noteTree->RootDir(), m_noteTree->NoteExt);
    if (action == TLinkAction::Desktop) {
        QStringList dropped;
        QDesktopServices::openUrl(qbLinkPolicy::ForDesktop(url, &dropped));
        if (!dropped.isEmpty())
            ShowMessage(qbLinkPolicy::DroppedAttachmentsText(dropped), QString());
    } else if (action == TLinkAction::ShowInTree)
        OpenLinkedNote(qbLinkPolicy::LibraryPath(url));
    else
        ShowMessage(qbLinkPolicy::RefusalText(url, action), QString());
}

// A link to a note that is not there (deleted, renamed by hand) says so instead of doing nothing.
void TfrmMainNivora::OpenLinkedNote(const QString& path) {
    // A folder's page need not be written yet: the folder is what the link names.
    const QFileInfo target(path);
    const bool there = target.fileName() == TqbNoteInfo::FolderDescriptionName
                           ? target.dir().exists()
                           : target.isFile();
    SetPanelMode(TqbPanelMode::Tree);
    if (!there || !m_openNote->Open(path))
        ShowMessage(QStringLiteral("연결된 노트가 없습니다: %1").arg(QDir::toNativeSeparators(path)),
                    QString());
}

const QString TfrmMainNivora::NoBacklinksMessage =
    QStringLiteral("이 노트를 가리키는 노트가 없습니다.");

void TfrmMainNivora::ShowBacklinks(const QString& document) {
    const QString target =
        qbTreeRules::DocumentPath(document.isEmpty() ? m_noteTree->OpenPath() : document);
    if (target.isEmpty())
        return;
    const QString root = QDir::cleanPath(m_noteTree->RootDir());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QStringList pages = qbBacklinks::LinkingPages(root, target);
    QApplication::restoreOverrideCursor();
    if (pages.isEmpty()) {
        ShowMessage(NoBacklinksMessage, QString());
        return;
    }
    QList<TqbPathRow> rows;
    for (const QString& page : pages)
        rows.append(
            {qbSearch::SearchRowLabel(root, page), qbSearch::SearchRowFolder(root, page), page});
    TqbPathListDialog dialog(QStringLiteral("이 노트를 가리키는 노트"), rows, this);
    if (dialog.exec() == QDialog::Accepted && !dialog.ChosenPath().isEmpty())
        OpenLinkedNote(dialog.ChosenPath());
}

void TfrmMainNivora::UpdateActions() {
    actFileSaveUpdate();
    actFileRenameUpdate();
    Action("actNoteToMail")
        ->setEnabled(m_panelMode == TqbPanelMode::Tree &&
                     qbDialogCommands::NoteToMailEnabled(m_noteTree->OpenPath()));
    EditCommands()->UpdateEditingActions();
    m_notePane->TableCommands()->UpdateActions();
    UpdateHistoryActions();
}

// At once, not on the idle timer: a key pressed right after a note opened must find them on.
void TfrmMainNivora::UpdateHistoryActions() {
    Action("actGoBack")->setEnabled(m_navigation->History().CanGoBack());
    Action("actGoForward")->setEnabled(m_navigation->History().CanGoForward());
}

void TfrmMainNivora::actFileSaveUpdate() {
    QAction* save = Action("actFileSave");
    if (ViewMode() == TqbViewMode::Edit)
        save->setEnabled(NoteModified());
    else if (ViewMode() == TqbViewMode::Source)
        save->setEnabled(m_notePane->SourceModified());
    else
        save->setEnabled(false);
}

void TfrmMainNivora::actFileRenameUpdate() {
    Action("actFileRename")
        ->setEnabled(m_noteTree->currentIndex().isValid() && m_panelMode == TqbPanelMode::Tree);
}

void TfrmMainNivora::actFileExecute(int tag) {
    // The tree's commands act on the tree: from the search panel they return to it first, so a
    // new note is never edited where nothing can be saved.
    SetPanelMode(TqbPanelMode::Tree);
    switch (tag) {
    case 0:
        m_noteTree->NewFolder(false);
        break;
    case 1:
        m_noteTree->NewNote(false);
        break;
    case 2:
        m_noteTree->DeleteNode(m_noteTree->currentIndex());
        break;
    default:
        break;
    }
}

void TfrmMainNivora::actFilePrintExecute() {
    Dhtml()->PrintDocument(true);
}

void TfrmMainNivora::actNoteToMailExecute() {
    qbDialogCommands::RunNoteToMail(this, m_noteTree->currentIndex().data().toString(),
                                    m_noteTree->OpenPath(),
                                    [this] { return SaveCurrentNote(); });
}

void TfrmMainNivora::actToolConfigExecute() {
    const auto discard = [this] {
        if (!Confirm(qbDialogCommands::MsgConfigUnsaved, true))
            return false;
        // The view shows what the file holds again, so nothing looks saved that is not.
        m_openNote->DropChanges();
        OpenCurrentNote();
        return true;
    };
    const auto applyCaptureKey = [this](const QKeySequence& key) {
        TqbIniFile ini = m_prjInfo.Ini();
        return ConfigRules::ApplyCaptureKey(*m_captureKey, ini, key);
    };
    const auto dir = qbDialogCommands::RunConfig(
        this, m_noteInfo, [this] { return SaveCurrentNote(); }, discard,
        ConfigRules::StoredCaptureKey(m_prjInfo.Ini()), applyCaptureKey);
    if (!dir)
        return;
    const QString open = m_noteTree->OpenPath();
    LoadLibrary(*dir);
    ShowDataDirProblem();
    // The note stays open when the new library holds it. Otherwise it closes (it was saved before
    // the dialog opened): typing must never go into a file the tree no longer shows.
    if (m_openNote->Open(open))
        return;
    m_noteTree->SetOpenPath({});
    m_noteTree->setCurrentIndex(m_noteTree->model()->index(0, 0));
}

// ---- what the open note asks

bool TfrmMainNivora::TreeShowing() const {
    return m_panelMode == TqbPanelMode::Tree;
}

void TfrmMainNivora::ShowMessage(const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::Information, windowTitle(), qbParticle::Resolve(text),
                    QMessageBox::Ok, this);
    box.setProperty(TqbErrorWindowCloser::KeepOpenProperty, true);
    box.setInformativeText(qbParticle::Resolve(detail));
    box.exec();
}

bool TfrmMainNivora::Confirm(const QString& text, bool defaultNo) {
    return QMessageBox::question(this, QStringLiteral("Confirm"), qbParticle::Resolve(text),
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 defaultNo ? QMessageBox::Cancel : QMessageBox::Ok) ==
           QMessageBox::Ok;
}

IqbOpenNoteHost::TOutsideChoice TfrmMainNivora::AskOutsideChange(const QString& path) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"),
                    QStringLiteral("다른 프로그램이 이 노트를 고쳤습니다. 어느 쪽을 남길까요?"),
                    QMessageBox::NoButton, this);
    box.setInformativeText(QDir::toNativeSeparators(path));
    QPushButton* both = box.addButton(QStringLiteral("둘 다 남기기(&B)"), QMessageBox::AcceptRole);
    QPushButton* mine = box.addButton(QStringLiteral("내 것으로 저장(&M)"), QMessageBox::YesRole);
    QPushButton* theirs = box.addButton(QStringLiteral("바뀐 파일 읽기(&T)"), QMessageBox::NoRole);
    box.setEscapeButton(both);
    TqbSteadyQuestion::Ask(box, both);
    // A box closed without a button keeps both, as its Escape does.
    if (box.clickedButton() == mine)
        return TOutsideChoice::KeepMine;
    return box.clickedButton() == theirs ? TOutsideChoice::TakeTheirs : TOutsideChoice::KeepBoth;
}

// A yes-or-no question about the note's file, which typing never answers; Escape and closing
// the box give the safe answer, which also has the focus.
bool TfrmMainNivora::AskAboutFile(const QString& caption, const QString& text,
                                  const QString& path, bool yesIsSafe) {
    // The program's warnings are captioned "Warning"; other questions are plain questions.
    const auto icon = caption == u"Warning" ? QMessageBox::Warning : QMessageBox::Question;
    QMessageBox box(icon, caption, text, QMessageBox::Yes | QMessageBox::No, this);
    box.setInformativeText(QDir::toNativeSeparators(path));
    const QMessageBox::StandardButton safe = yesIsSafe ? QMessageBox::Yes : QMessageBox::No;
    box.setEscapeButton(safe);
    const int answer = TqbSteadyQuestion::Ask(box, box.button(safe));
    return answer == QMessageBox::Yes || (yesIsSafe && answer != QMessageBox::No);
}

bool TfrmMainNivora::AskRestoreDeleted(const QString& path) {
    return AskAboutFile(QStringLiteral("Warning"),
                        QStringLiteral("다른 프로그램이 이 노트를 지웠습니다. 고친 내용으로 다시 "
                                       "저장할까요?\n\n아니요를 누르면 노트는 지워진 채로 두고 "
                                       "고친 내용은 버립니다."),
                        path, true);
}

QString TfrmMainNivora::AskFolderToSaveIn(const QString& path) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), FolderGoneQuestion,
                    QMessageBox::NoButton, this);
    box.setInformativeText(QDir::toNativeSeparators(path));
    QPushButton* saveAs = box.addButton(QStringLiteral("다른 이름으로 저장"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("취소"), QMessageBox::RejectRole);
    TqbSteadyQuestion::Ask(box, saveAs);
    if (box.clickedButton() != saveAs)
        return {};
    TKfFolderDialog dialog(this);
    dialog.SetFlags(TKfBrowseFlag::OnlyFileSystem | TKfBrowseFlag::ShowPath);
    dialog.SetNewFolderCaptions({QStringLiteral("0412=새폴더")});
    dialog.SetFolder(m_noteInfo.GetDataDir());
    return dialog.RunFolderBrowser() ? dialog.Folder() : QString();
}

void TfrmMainNivora::CommitTyping() {
    if (m_messageFilter)
        m_messageFilter->CommitComposition();
}

bool TfrmMainNivora::AskSaveUndecodable(const QString& path) {
    return AskAboutFile(QStringLiteral("Warning"),
                        QStringLiteral("이 노트에는 문자 코드에 맞지 않는 바이트가 있습니다. "
                                       "저장하면 그 바이트는 \uFFFD 문자로 바뀝니다.\n\n그래도 "
                                       "저장할까요? 아니요를 누르면 파일은 그대로 두고 고친 "
                                       "내용은 저장하지 않습니다."),
                        path, false);
}

bool TfrmMainNivora::AskReadAsCp949(const QString& path) {
    return AskAboutFile(QStringLiteral("확인"),
                        QStringLiteral("이 노트는 UTF-8이라고 적혀 있지만 UTF-8에 맞지 않는 "
                                       "바이트가 있고, CP949(euc-kr)로는 모두 읽힙니다.\n\n"
                                       "CP949로 읽을까요? 저장할 때 문자 코드 선언도 euc-kr로 "
                                       "바뀝니다. 아니요를 누르면 UTF-8로 읽어 맞지 않는 바이트가 "
                                       "\uFFFD 문자로 보입니다."),
                        path, true);
}

// ---- the window itself

void TfrmMainNivora::ApplyStoredTreeWidth() {
    const int stored = m_prjInfo.Ini().ReadInteger("PROGRAM", "TreeWidth", -1);
    const int width = stored >= MinimumStoredTreeWidth ? stored : DefaultTreeWidth;
    m_splitter->setSizes({width, qMax(1, this->width() - width)});
}

void TfrmMainNivora::TakeFrameParts(QWidget* content) {
    SetContent(content);
    SetStatusContent(m_statusPanel);
    imgResize->setPixmap(qbResizeGrip());
}

void TfrmMainNivora::showEvent(QShowEvent* event) {
    TfrmQbThreeButtons::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        // Once, after the window is up, as the first activation would come; after its first
        // picture, since the note's page starts the web engine.
        new TqbAfterFirstPaint(this, [this] { FormActivate(); });
    }
}

void TfrmMainNivora::FormActivate() {
    // The folders open and the note open when the program closed open again, in the mode it
    // was in; the first node when the note is gone.
    qbTreeNavigation::ReopenFolders(*m_noteTree, qbWindowState::OpenFolders(m_prjInfo.Ini()));
    if (!m_navigation->ReopenLast(m_prjInfo.Ini()))
        m_noteTree->setCurrentIndex(m_noteTree->model()->index(0, 0));
    SetViewMode(qbWindowState::ViewMode(m_prjInfo.Ini()));
    ShowDataDirProblem();
    m_history->OfferJournal();
}

void TfrmMainNivora::ShowDataDirProblem() {
    const QString problem = m_noteInfo.DataDirProblem();
    if (!problem.isEmpty())
        QMessageBox::warning(this, QStringLiteral("Warning"), qbParticle::Resolve(problem));
}

void TfrmMainNivora::changeEvent(QEvent* event) {
    TfrmQbThreeButtons::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow() || !m_activated)
        return;
    // Coming back from another program is when its changes to the open note show up, and a disk
    // mounted again on a folder that stayed, which no folder watch tells.
    m_library->Presence().Check();
    m_openNote->CheckOutsideChange();
    // A window that comes back with no widget holding the keys (the one that had them went away
    // meanwhile) would lose the first key typed. The caret stays where it was.
    QTimer::singleShot(0, this, [this] {
        if (!isActiveWindow() || QApplication::focusWidget())
            return;
        if (ViewMode() == TqbViewMode::Edit)
            Dhtml()->setFocus(Qt::ActiveWindowFocusReason);
        else if (ViewMode() == TqbViewMode::Source)
            RchDhtml()->setFocus(Qt::ActiveWindowFocusReason);
        else
            m_noteTree->setFocus(Qt::ActiveWindowFocusReason);
    });
}

void TfrmMainNivora::closeEvent(QCloseEvent* event) {
    // A close that comes while a save waits for the user's answer or for the page (a quit
    // signal, the session ending) is carried out once that save is done: the save has not failed.
    if (m_openNote->Saving()) {
        event->ignore();
        m_closeDeferred = true;
        QTimer::singleShot(CloseRetryMs, this, [this] {
            if (m_closeDeferred)
                close();
        });
        return;
    }
    m_closeDeferred = false;
    m_searchPanel->CancelSearch();
    // Typed text is never thrown away silently: a note that cannot be written asks first.
    if (!SaveCurrentNote()) {
        const auto answer = QMessageBox::question(this, windowTitle(), CloseUnsavedQuestion,
                                                  QMessageBox::Yes | QMessageBox::No,
                                                  QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            event->ignore();
            return;
        }
        m_openNote->DropChanges();
        m_discardChanges = true;
    }
    try {
        FormCloseQuery();
        m_notePane->HideForClose();
        QCoreApplication::processEvents();
        m_prjInfo.Ini().WriteInteger("PROGRAM", "TreeWidth", TreeWidth());
        m_navigation->SaveRecent(m_prjInfo.Ini(), m_openNote->Path());
        qbWindowState::SaveOpenFolders(m_prjInfo.Ini(), qbTreeNavigation::OpenFolders(*m_noteTree));
        qbWindowState::SaveViewMode(m_prjInfo.Ini(), ViewMode());
    } catch (const EqbError& error) {
        // Settings that cannot be written must not keep the window from closing.
        TqbApplication::ReportError(error.Message());
    }
    m_notePane->hide();
    event->accept();
}

void TfrmMainNivora::HideToTray() {
    m_trayKeeper->HideToTray();
}

void TfrmMainNivora::RestoreFromTray() {
    m_trayKeeper->RestoreFromTray();
}

bool TfrmMainNivora::Capture(const QString& text) {
    return m_quickCapture->Capture(text);
}

void TfrmMainNivora::ShowQuickCapture() {
    if (!m_quickCaptureWindow)
        m_quickCaptureWindow = new TqbQuickCaptureWindow(*m_quickCapture, this);
    m_quickCaptureWindow->show();
    m_quickCaptureWindow->raise();
    m_quickCaptureWindow->activateWindow();
}

void TfrmMainNivora::ShowShortcutHints(bool show) {
    m_badges->ShowShortcutHints(show);
}

// ---- keys, the notification area and the wheel gesture

void TfrmMainNivora::ConnectKeys() {
    m_trayKeeper = new TqbTrayKeeper(this, m_noteInfo.AppTitle());
    auto* trayMenu = new QMenu(this);
    trayMenu->addAction(TqbQuickCaptureWindow::Title, this, &TfrmMainNivora::ShowQuickCapture);
    m_captureKey = new TqbGlobalKey(TqbQuickCaptureWindow::Title, this);
    connect(m_captureKey, &TqbGlobalKey::Pressed, this, &TfrmMainNivora::ShowQuickCapture);
    const QKeySequence captureKey = ConfigRules::StoredCaptureKey(m_prjInfo.Ini());
    const TqbGlobalKey::TOutcome outcome = m_captureKey->SetKey(captureKey);
    if (outcome == TqbGlobalKey::TOutcome::Taken || outcome == TqbGlobalKey::TOutcome::Unusable)
        qInfo("The quick capture key %s is not held: %s.",
              qPrintable(captureKey.toString(QKeySequence::PortableText)),
              outcome == TqbGlobalKey::TOutcome::Taken ? "another program holds it"
                                                       : "no such key");
    m_trayKeeper->TrayIcon()->setContextMenu(trayMenu);
    m_errorCloser = new TqbErrorWindowCloser(this);
    new TqbCaretBlink(this);

    m_badges = new TqbShortcutBadges(this);
    const auto toolButton = [this](const char* action) {
        return m_TBToolbar1->widgetForAction(Action(action));
    };
    m_badges->Add("S", toolButton("actFileSave"), m_pnlTreeMode);
    m_badges->Add("P", toolButton("actFilePrint"), m_pnlTreeMode);
    m_badges->Add("F", toolButton("actToolFind"), m_pnlTreeMode);
    m_badges->Add("L", m_statusPanel->TreeModeButton(), m_statusPanel);
    m_badges->Add("D", m_statusPanel->SearchModeButton(), m_statusPanel);

    TqbAppMessageFilter::THooks hooks;
    hooks.State = [this] { return KeyState(); };
    hooks.Run = [this](TqbKeyCommand command) { RunKeyCommand(command); };
    hooks.SetNoteModified = [this](bool modified) {
        if (modified)
            m_openNote->MarkModified();
        else if (ViewMode() == TqbViewMode::Browse)
            m_openNote->DropChanges(); // nothing is saved in browse mode: no change is lost
    };
    hooks.StyleCheck = [this] { UpdateStyleChecks(); };
    m_messageFilter = new TqbAppMessageFilter(hooks, m_badges, this);
    qApp->installEventFilter(m_messageFilter);

    m_wheelHook = new TqbWheelHook(this);
    connect(m_wheelHook, &TqbWheelHook::Gesture, this, [this] {
        if (!isActiveWindow())
            RestoreFromTray();
    });
    m_wheelHook->Install();
}

TqbKeyState TfrmMainNivora::KeyState() const {
    TqbKeyState state;
    state.PanelMode = m_panelMode;
    state.ViewMode = ViewMode();
    state.MainWindowActive = QApplication::activeWindow() == this &&
                             !QApplication::activePopupWidget() &&
                             !QApplication::activeModalWidget();
    state.TrayAvailable = m_trayKeeper->TrayAvailable();
    return state;
}

void TfrmMainNivora::RunKeyCommand(TqbKeyCommand command) {
    // A greyed table action would ignore its trigger; the command itself says why it cannot act.
    if (qbKeyDecision::IsTableCommand(command)) {
        m_notePane->TableCommands()->Execute(
            Action(qbKeyDecision::ActionName(command))->data().toInt());
        return;
    }
    if (const char* action = qbKeyDecision::ActionName(command)) {
        Action(action)->trigger();
        return;
    }
    switch (command) {
    case TqbKeyCommand::HideToTray:
        HideToTray();
        break;
    case TqbKeyCommand::Save:
        SaveCurrentNote();
        break;
    case TqbKeyCommand::SearchPanel:
        m_statusPanel->SearchModeButton()->click();
        break;
    case TqbKeyCommand::TreePanel:
        m_statusPanel->TreeModeButton()->click();
        break;
    case TqbKeyCommand::FileMenu:
        OpenMainMenu(QStringLiteral("파일(F)"));
        break;
    case TqbKeyCommand::EditMenu:
        OpenMainMenu(QStringLiteral("편집(E)"));
        break;
    default:
        break;
    }
}

void TfrmMainNivora::OpenMainMenu(const QString& title) {
    for (QAction* item : m_tbtMainMenu->actions())
        if (item->menu() && item->text() == title)
            m_tbtMainMenu->setActiveAction(item);
}

void TfrmMainNivora::TBItem1Click() {
    QDesktopServices::openUrl(TqbPrjInfo::HomePage());
}

void TfrmMainNivora::TBItem12Click() {
    m_statusPanel->SearchModeButton()->click();
}

const QString TfrmMainNivora::SpellCheckUnavailable =
    QStringLiteral("맞춤법 사전이 설치되지 않아 맞춤법 검사를 쓸 수 없습니다.");

void TfrmMainNivora::SetUpSpellCheck() {
    TqbSpellCheck* spell = TqbSpellCheck::For(TqbDhtmlEdit::EngineProfile());
    QAction* item = Action("actSpellCheck");
    if (!spell->Available()) {
        spell->SetWanted(false);
        item->setEnabled(false);
        item->setToolTip(SpellCheckUnavailable);
        item->setStatusTip(SpellCheckUnavailable);
        return;
    }
    spell->SetWanted(m_prjInfo.Ini().ReadBool("PROGRAM", "SpellCheck", true));
    item->setChecked(spell->Wanted());
    try {
        spell->SetUserDictionary(m_prjInfo.ProgramDir() + QStringLiteral("qbUserDictionary.txt"));
    } catch (const EqbError& error) {
        // Checking goes on; only the user's own words are missing from it this time.
        qWarning("spell check: %s", error.what());
    }
    connect(item, &QAction::toggled, this, [this, spell](bool on) {
        spell->SetWanted(on);
        m_prjInfo.Ini().WriteBool("PROGRAM", "SpellCheck", on);
    });
}

void TfrmMainNivora::tbiStayOnTopClick() {
    const bool onTop = Action("tbiStayOnTop")->isChecked();
    const QRect place = geometry();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    setGeometry(place);
    show();
}
