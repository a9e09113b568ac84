#include "app/main.h"

#include "editing/qbDhtmlEdit.h"
#include "controls/qbImageLists.h"
#include "library/qbNoteInfo.h"
#include "prjinfo/qbProjectInfo.h"
#include "library/qbTemplates.h"
#include "library/qbTree.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int DefaultTreeWidth = 250;
constexpr int MinimumStoredTreeWidth = 30;
constexpr int AutoSaveInterval = 60000;
constexpr int ActionUpdateInterval = 200;
constexpr int SpecialCharsWidth = 69;
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

QHBoxLayout* TightRow(QWidget* owner) {
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

// The source view's font: a Korean monospace face, 13 pixels, whichever of these is installed.
QFont SourceFont() {
    QFont font;
    font.setFamilies({QStringLiteral("굴림체"), QStringLiteral("GulimChe"),
                      QStringLiteral("NanumGothicCoding"), QStringLiteral("D2Coding"),
                      QStringLiteral("Noto Sans Mono CJK KR"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(13);
    return font;
}

} // namespace

const QString TfrmMainNivora::LoadFailedMessage = QStringLiteral("파일이 너무 커서 읽기에 실패했습니다.");
const QString TfrmMainNivora::CloseUnsavedQuestion =
    QStringLiteral("노트를 저장하지 못했습니다. 저장하지 않고 프로그램을 닫을까요?");
const QString TfrmMainNivora::SaveFailedMessage =
    QStringLiteral("노트를 저장하지 못했습니다. 고친 내용은 편집기에 그대로 남아 있습니다.");

TfrmMainNivora::TfrmMainNivora(TqbPrjInfo& prjInfo, TqbNoteInfo& noteInfo, QWidget* parent)
    : QMainWindow(parent), m_prjInfo(prjInfo), m_noteInfo(noteInfo) {
    FormCreate();
}

TfrmMainNivora::~TfrmMainNivora() {
    if (!m_discardChanges)
        SaveCurrentNote();
}

void TfrmMainNivora::FormCreate() {
    setObjectName("frmMainNivora");
    setWindowIcon(qbAppIcon());
    m_viewMode = vmNone;
    m_panelMode = pmTree;
    m_documentReady = false;
    m_noteModified = false;
    m_searchResultPaths.clear();
    setWindowTitle(m_noteInfo.AppTitle());
    // The first start in a program folder of its own installs the default templates there.
    qbTemplates::InstallMissing(m_noteInfo.TemplateDir());

    CreateActions();

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
    m_splitter->addWidget(CreateNoteBody());
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    column->addWidget(m_splitter, 1);
    column->addWidget(CreateStatusBar());
    setCentralWidget(central);
    ConnectFolderSearch();

    m_tmrAutoSave = new QTimer(this);
    m_tmrAutoSave->setObjectName("tmrAutoSave");
    m_tmrAutoSave->setInterval(AutoSaveInterval);
    connect(m_tmrAutoSave, &QTimer::timeout, this, [this] { SaveCurrentNote(); });

    m_tmrUpdate = new QTimer(this);
    m_tmrUpdate->setInterval(ActionUpdateInterval);
    connect(m_tmrUpdate, &QTimer::timeout, this, &TfrmMainNivora::UpdateActions);
    m_tmrUpdate->start();

    ApplyStoredPlacement();
    ApplyStoredTreeWidth();
    UpdateActions();
}

QWidget* TfrmMainNivora::CreateTreePanel() {
    m_pnlTree = new QWidget(this);
    m_pnlTree->setObjectName("pnlTree");
    // The stored width wins over what the menu bar and toolbar would like.
    m_pnlTree->setMinimumWidth(MinimumStoredTreeWidth);
    auto* layout = TightColumn(m_pnlTree);
    m_pnlTreeMode = CreateTreeModePanel(m_pnlTree);
    m_pnlSearchMode = CreateSearchModePanel(m_pnlTree);
    layout->addWidget(m_pnlTreeMode);
    layout->addWidget(m_pnlSearchMode);
    m_pnlSearchMode->hide();
    return m_pnlTree;
}

QWidget* TfrmMainNivora::CreateTreeModePanel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setObjectName("pnlTreeMode");
    auto* layout = TightColumn(panel);

    m_tbtMainMenu = new QMenuBar(panel);
    m_tbtMainMenu->setObjectName("tbtMainMenu");
    m_tbtMainMenu->setNativeMenuBar(false);
    CreateMenu(m_tbtMainMenu);
    layout->addWidget(m_tbtMainMenu);

    m_TBToolbar1 = new QToolBar(panel);
    m_TBToolbar1->setObjectName("TBToolbar1");
    m_TBToolbar1->setIconSize(QSize(16, 16));
    CreateNoteToolbar(m_TBToolbar1);
    layout->addWidget(m_TBToolbar1);

    m_noteTree = new TqbTree(*this, panel);
    m_noteTree->setObjectName("NoteTree");
    m_noteTree->NoteExt = QStringLiteral(".htm");
    QList<QPixmap> treeImages;
    for (const QIcon& icon : qbImgsTree())
        treeImages << icon.pixmap(16, 16);
    m_noteTree->SetImages(treeImages);
    layout->addWidget(m_noteTree, 1);
    m_noteTree->LoadRoot(m_noteInfo.GetDataDir());
    return panel;
}

QWidget* TfrmMainNivora::CreateSearchModePanel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setObjectName("pnlSearchMode");
    panel->setFocusPolicy(Qt::StrongFocus);
    auto* layout = TightColumn(panel);

    m_pnlSearchCap = new QWidget(panel);
    m_pnlSearchCap->setObjectName("pnlSearchCap");
    m_pnlSearchCap->setFocusPolicy(Qt::StrongFocus);
    auto* cap = TightRow(m_pnlSearchCap);
    cap->setContentsMargins(3, 3, 3, 3);
    cap->setSpacing(3);
    m_edtSearch = new QLineEdit(m_pnlSearchCap);
    m_edtSearch->setObjectName("edtSearch");
    m_edtSearch->clear();
    m_btnSearch = new QToolButton(m_pnlSearchCap);
    m_btnSearch->setObjectName("btnSearch");
    m_btnSearch->setText(QStringLiteral("찾기"));
    m_btnSearch->setIcon(qbImgs16(33));
    m_btnSearch->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_btnSearch->setFixedSize(51, 22);
    cap->addWidget(m_edtSearch, 1);
    cap->addWidget(m_btnSearch);
    layout->addWidget(m_pnlSearchCap);

    m_treeSearch = new QTreeWidget(panel);
    m_treeSearch->setObjectName("treeSearch");
    m_treeSearch->setHeaderHidden(true);
    m_treeSearch->setRootIsDecorated(false);
    layout->addWidget(m_treeSearch, 1);
    return panel;
}

QWidget* TfrmMainNivora::CreateNoteBody() {
    m_pnlNoteBody = new QWidget(this);
    m_pnlNoteBody->setObjectName("pnlNoteBody");
    auto* column = TightColumn(m_pnlNoteBody);
    m_tbEdit = CreateEditToolbar(m_pnlNoteBody);
    m_tbEdit->hide();
    column->addWidget(m_tbEdit);

    auto* body = new QWidget(m_pnlNoteBody);
    auto* row = TightRow(body);
    m_views = new QStackedWidget(body);
    m_dhtml = new TqbDhtmlEdit(m_views);
    m_dhtml->setObjectName("dhtml");
    m_rchDhtml = new QPlainTextEdit(m_views);
    m_rchDhtml->setObjectName("rchDhtml");
    m_rchDhtml->setTabChangesFocus(false);
    m_rchDhtml->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_rchDhtml->setFont(SourceFont());
    m_views->addWidget(m_dhtml);
    m_views->addWidget(m_rchDhtml);
    row->addWidget(m_views, 1);

    m_pnlSpecialChars = new QWidget(body);
    m_pnlSpecialChars->setObjectName("pnlSpecialChars");
    m_pnlSpecialChars->setFixedWidth(SpecialCharsWidth);
    m_pnlSpecialChars->hide();
    row->addWidget(m_pnlSpecialChars);
    column->addWidget(body, 1);

    connect(m_dhtml, &TqbDhtmlEdit::DocumentComplete, this, &TfrmMainNivora::dhtmlDocumentComplete);
    connect(m_dhtml, &TqbDhtmlEdit::ContentChanged, this, &TfrmMainNivora::dhtmlContentChanged);
    CreateInsertTools();
    return m_pnlNoteBody;
}

QWidget* TfrmMainNivora::CreateStatusBar() {
    auto* panel = new QWidget(this);
    panel->setObjectName("pnlStatusBar");
    auto* row = TightRow(panel);
    row->setContentsMargins(3, 1, 3, 1);
    row->setSpacing(1);

    const auto modeButton = [&](const char* name, const QString& caption, const QString& hint,
                                int glyph) {
        auto* button = new QToolButton(panel);
        button->setObjectName(name);
        button->setText(caption);
        button->setToolTip(hint);
        button->setIcon(qbImgs16(glyph));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setMinimumSize(60, 21);
        row->addWidget(button);
        return button;
    };
    m_btnToTreeMode = modeButton("btnToTreeMode", "Data", QStringLiteral("트리모드(Ctrl-L)"), 35);
    m_btnToSearchMode =
        modeButton("btnToSearchMode", "Search", QStringLiteral("폴더 안 검색(Ctrl-D)"), 1);
    m_panelButtons = new QButtonGroup(this);
    m_panelButtons->setExclusive(true);
    m_panelButtons->addButton(m_btnToTreeMode, pmTree);
    m_panelButtons->addButton(m_btnToSearchMode, pmSearch);
    m_btnToTreeMode->setChecked(true);
    connect(m_btnToTreeMode, &QToolButton::clicked, this, [this] { SetPanelMode(pmTree); });
    connect(m_btnToSearchMode, &QToolButton::clicked, this, [this] { SetPanelMode(pmSearch); });

    m_bar = new QProgressBar(panel);
    m_bar->setObjectName("bar");
    m_bar->setTextVisible(false);
    m_bar->setMaximumHeight(12);
    m_bar->hide();
    row->addSpacing(6);
    row->addWidget(m_bar, 1);
    row->addStretch();
    return panel;
}

QAction* TfrmMainNivora::MakeAction(const QString& name, const QString& caption,
                                    const QString& hint, const QKeySequence& shortcut, int tag,
                                    int glyph) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setToolTip(hint.isEmpty() ? QString(caption).remove('&') : hint);
    action->setStatusTip(hint);
    action->setShortcut(shortcut);
    action->setData(tag);
    if (glyph >= 0)
        action->setIcon(qbImgs16(glyph));
    addAction(action);
    return action;
}

void TfrmMainNivora::CreateActions() {
    using K = QKeySequence;
    const auto on = [this](QAction* a, void (TfrmMainNivora::*handler)()) {
        connect(a, &QAction::triggered, this, handler);
    };
    on(MakeAction("actFileNewFolder", "폴더 만들기(&C)", "폴더 만들기", K("Ctrl+Shift+Ins"), 0, 0),
       &TfrmMainNivora::actFileExecute);
    on(MakeAction("actFileNewNote", "노트 만들기(&N)", "노트 만들기", K("Ctrl+Ins"), 1, 2),
       &TfrmMainNivora::actFileExecute);
    on(MakeAction("actFileDelete", "폴더 노트 삭제(&E)", "", K("Ctrl+Shift+Del"), 2, 3),
       &TfrmMainNivora::actFileExecute);
    on(MakeAction("actFileSave", "저장(&S)", "노트 저장", K("Ctrl+S"), 0, 22),
       &TfrmMainNivora::actFileSaveExecute);
    on(MakeAction("actFilePrint", "인쇄(&P)", "노트 인쇄", K("Ctrl+P"), 0, 23),
       &TfrmMainNivora::actFilePrintExecute);
    on(MakeAction("actFileRename", "이름 변경(&A)", "이름 바꾸기", K("F2"), 0, 28),
       &TfrmMainNivora::actFileRenameExecute);
    on(MakeAction("actCut", "잘라내기(&T)", "", K("Ctrl+X"), 0, 4),
       &TfrmMainNivora::actClipBrdExecute);
    on(MakeAction("actCopy", "복사(&C)", "", K("Ctrl+C"), 1, 5), &TfrmMainNivora::actClipBrdExecute);
    on(MakeAction("actPaste", "붙여넣기(&P)", "", K("Ctrl+V"), 2, 6),
       &TfrmMainNivora::actClipBrdExecute);
    on(MakeAction("actUndo", "작업 취소(&U)", "Undo", K("Ctrl+Z"), 0, 7),
       &TfrmMainNivora::actUndoExecute);
    on(MakeAction("actRedo", "취소를 취소(&R)", "Redo", K("Ctrl+Shift+Z"), 1, 8),
       &TfrmMainNivora::actUndoExecute);
    on(MakeAction("actBulleted", "리스트 만들기", "리스트 만들기", {}, 2, 15),
       &TfrmMainNivora::actUndoExecute);
    on(MakeAction("actNumbered", "번호 붙이기", "번호 붙이기", {}, 3, 18),
       &TfrmMainNivora::actUndoExecute);
    on(MakeAction("actBold", "굵게 쓰기", "굵게", {}, 0, 9), &TfrmMainNivora::actStyleExecute);
    on(MakeAction("actItalic", "기울여 쓰기", "", {}, 1, 10), &TfrmMainNivora::actStyleExecute);
    on(MakeAction("actUnderLine", "밑줄 긋기", "밑줄 첨가", {}, 2, 11),
       &TfrmMainNivora::actStyleExecute);
    on(MakeAction("actLeft", "왼쪽 정렬", "왼쪽 정렬", {}, 3, 12), &TfrmMainNivora::actStyleExecute);
    on(MakeAction("actCenter", "중앙 정렬", "중앙 정렬", {}, 4, 13), &TfrmMainNivora::actStyleExecute);
    on(MakeAction("actRight", "오른쪽 정렬", "오른쪽 정렬", {}, 5, 14),
       &TfrmMainNivora::actStyleExecute);
    on(MakeAction("actIndent", "들여 쓰기", "들여 쓰기", {}, 0, 16), &TfrmMainNivora::actIndentExecute);
    on(MakeAction("actOutdent", "내어 쓰기", "내어 쓰기", {}, 1, 17),
       &TfrmMainNivora::actIndentExecute);
    on(MakeAction("actToolFind", "찾기(&F)", "문자열 찾기", K("Ctrl+F"), 0, 33),
       &TfrmMainNivora::actToolFindExecute);
    on(MakeAction("actAddLink", "actAddLink", "", {}, 0, 19), &TfrmMainNivora::actAddLinkExecute);
    on(MakeAction("actReload", "다시 읽기(&R)", "Reload note", {}, 0, 24),
       &TfrmMainNivora::actReloadExecute);
    on(MakeAction("actNoteToMail", "메일로 전송(&M)", "", {}, 0, 37),
       &TfrmMainNivora::actNoteToMailExecute);
    on(MakeAction("actToolConfig", "환경설정(&C)", "", {}, 0, 34),
       &TfrmMainNivora::actToolConfigExecute);
    // These three do nothing and are on no menu.
    MakeAction("actFontColor", "글자 색상", "글자 색상 선택", {}, 0, -1);
    MakeAction("actBackColor", "배경 색상", "배경 색상 선택", {}, 0, -1);
    MakeAction("actToolHelp", "qbNivora 도움말(&H)", "도움말 보기", {}, 0, -1);
    for (const char* name : {"actBold", "actItalic", "actUnderLine", "actLeft", "actCenter",
                             "actRight"})
        Action(name)->setCheckable(true);
}

QAction* TfrmMainNivora::Action(const QString& name) const {
    return findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void TfrmMainNivora::CreateMenu(QMenuBar* menu) {
    m_tbiStayOnTop = menu->addAction(qbImgs16(29), QString());
    m_tbiStayOnTop->setObjectName("tbiStayOnTop");
    m_tbiStayOnTop->setCheckable(true);
    m_tbiStayOnTop->setVisible(false);
    connect(m_tbiStayOnTop, &QAction::triggered, this, &TfrmMainNivora::tbiStayOnTopClick);

    QMenu* file = menu->addMenu(QStringLiteral("파일(F)"));
    file->addAction(Action("actFileNewFolder"));
    file->addAction(Action("actFileNewNote"));
    file->addAction(Action("actFileRename"));
    file->addAction(Action("actFileDelete"));
    file->addSeparator();
    // Menu items that show an action under another caption; the action keeps the key.
    const auto alias = [this](QMenu* m, const char* action, const QString& caption) {
        QAction* source = Action(action);
        QAction* item = m->addAction(source->icon(),
                                     caption + '\t' + source->shortcut().toString(QKeySequence::NativeText));
        connect(item, &QAction::triggered, source, &QAction::trigger);
        connect(source, &QAction::changed, item, [item, source] { item->setEnabled(source->isEnabled()); });
    };
    alias(file, "actFileSave", QStringLiteral("파일 저장(&S)"));
    alias(file, "actFilePrint", QStringLiteral("파일 인쇄(&P)"));
    file->addAction(Action("actReload"));
    file->addAction(Action("actNoteToMail"));
    file->addSeparator();
    file->addAction(Action("actToolConfig"));
    QAction* home = file->addAction(qbImgs16(36), QStringLiteral("qbNivora 홈페이지(&H)"));
    home->setObjectName("TBItem1");
    connect(home, &QAction::triggered, this, &TfrmMainNivora::TBItem1Click);
    file->addSeparator();
    QAction* quit = file->addAction(qbImgs16(38), QStringLiteral("프로그램 종료(&X)"));
    quit->setObjectName("tbiClose");
    quit->setShortcut(QKeySequence("Alt+F4"));
    connect(quit, &QAction::triggered, this, &TfrmMainNivora::tbiCloseClick);

    QMenu* edit = menu->addMenu(QStringLiteral("편집(E)"));
    edit->addAction(Action("actCut"));
    edit->addAction(Action("actCopy"));
    edit->addAction(Action("actPaste"));
    edit->addSeparator();
    edit->addAction(Action("actUndo"));
    edit->addAction(Action("actRedo"));
    edit->addSeparator();
    edit->addAction(Action("actToolFind"));
    QAction* findInFolder = edit->addAction(qbImgs16(1), QStringLiteral("폴더에서 찾기(&O)"));
    findInFolder->setObjectName("TBItem12");
    findInFolder->setShortcut(QKeySequence("Ctrl+D"));
    connect(findInFolder, &QAction::triggered, this, &TfrmMainNivora::TBItem12Click);

    menu->addSeparator();
    m_modeItems = new QActionGroup(this);
    m_modeItems->setExclusive(true);
    const auto modeItem = [&](const char* name, int tag, const QString& hint, const char* key,
                              int glyph) {
        QAction* item = menu->addAction(qbImgs16(glyph), QString());
        item->setObjectName(name);
        item->setData(tag);
        item->setToolTip(hint);
        item->setStatusTip(hint);
        item->setShortcut(QKeySequence(key));
        item->setCheckable(true);
        m_modeItems->addAction(item);
        return item;
    };
    m_tbiBrowse = modeItem("tbiBrowse", vmBrowse, QStringLiteral("브라우즈 모드(F6)"), "F6", 30);
    m_tbiEdit = modeItem("tbiEdit", vmEdit, QStringLiteral("수정모드(F7)"), "F7", 31);
    m_tbiSource = modeItem("tbiSource", vmSource, QStringLiteral("소스 수정모드(F8)"), "F8", 32);
    connect(m_modeItems, &QActionGroup::triggered, this, &TfrmMainNivora::tbiModeClick);
}

void TfrmMainNivora::CreateNoteToolbar(QToolBar* bar) {
    for (const char* name : {"actFileNewFolder", "actFileNewNote", "actFileDelete", "actFileSave",
                             "actFilePrint"})
        bar->addAction(Action(name));
    bar->addSeparator();
    for (const char* name : {"actToolFind", "actReload", "actNoteToMail"})
        bar->addAction(Action(name));
}

QWidget* TfrmMainNivora::CreateEditToolbar(QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setObjectName("tbEdit");
    auto* rows = TightColumn(panel);
    auto* first = new QToolBar(panel);
    first->setIconSize(QSize(16, 16));
    for (const char* name : {"actCut", "actCopy", "actPaste"})
        first->addAction(Action(name));
    first->addSeparator();
    first->addAction(Action("actUndo"));
    first->addAction(Action("actRedo"));
    first->addSeparator();
    for (const char* name : {"actBold", "actItalic", "actUnderLine", "actIndent", "actOutdent",
                             "actNumbered", "actBulleted"})
        first->addAction(Action(name));
    rows->addWidget(first);

    auto* second = new QToolBar(panel);
    second->setIconSize(QSize(16, 16));
    auto* pnlFont = new QWidget(second);
    pnlFont->setObjectName("pnlFont");
    auto* fontRow = TightRow(pnlFont);
    fontRow->setSpacing(2);
    m_cmbFontName = new QComboBox(pnlFont);
    m_cmbFontName->setObjectName("cmbFontName");
    m_cmbFontName->setEditable(true);
    m_cmbFontName->setFixedWidth(91);
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    m_cmbFontName->addItems(families);
    m_cmbFontName->setCurrentText(QString());
    m_cmbFontSize = new QComboBox(pnlFont);
    m_cmbFontSize->setObjectName("cmbFontSize");
    m_cmbFontSize->setEditable(true);
    m_cmbFontSize->setFixedWidth(51);
    m_cmbFontSize->addItems({"1", "2", "3", "4", "5", "6", "7"});
    m_cmbFontSize->setCurrentText(QString());
    fontRow->addWidget(m_cmbFontName);
    fontRow->addWidget(m_cmbFontSize);
    AddColorPickers(pnlFont, fontRow);
    second->addWidget(pnlFont);
    second->addSeparator();
    for (const char* name : {"actLeft", "actCenter", "actRight"})
        second->addAction(Action(name));
    second->addSeparator();
    second->addAction(Action("actAddLink"));
    AddInsertButtons(second);
    rows->addWidget(second);
    return panel;
}

void TfrmMainNivora::ApplyStoredTreeWidth() {
    const int stored = m_prjInfo.Ini().ReadInteger("PROGRAM", "TreeWidth", -1);
    const int width = stored >= MinimumStoredTreeWidth ? stored : DefaultTreeWidth;
    m_splitter->setSizes({width, qMax(1, this->width() - width)});
}

int TfrmMainNivora::TreeWidth() const {
    return m_splitter->sizes().value(0);
}

// The window's place until the skinned frame keeps it: the stored rectangle, or 25 pixels in from
// the screen's edges.
void TfrmMainNivora::ApplyStoredPlacement() {
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1024, 768);
    const TqbIniFile ini = m_prjInfo.Ini();
    QRect place(ini.ReadInteger("PROGRAM", "Left", 25), ini.ReadInteger("PROGRAM", "Top", 25),
                ini.ReadInteger("PROGRAM", "Width", screen.width() - 50),
                ini.ReadInteger("PROGRAM", "Height", screen.height() - 50));
    if (place.width() < 200 || place.height() < 150 || !screen.intersects(place))
        place = screen.adjusted(25, 25, -25, -25);
    setGeometry(place);
    if (ini.ReadBool("PROGRAM", "Maximized", false) || m_prjInfo.StartMaximized())
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TfrmMainNivora::StorePlacement() {
    TqbIniFile ini = m_prjInfo.Ini();
    const QRect place = normalGeometry();
    ini.WriteInteger("PROGRAM", "Left", place.left());
    ini.WriteInteger("PROGRAM", "Top", place.top());
    ini.WriteInteger("PROGRAM", "Width", place.width());
    ini.WriteInteger("PROGRAM", "Height", place.height());
    ini.WriteBool("PROGRAM", "Maximized", isMaximized());
}

void TfrmMainNivora::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        // Once, after the window is up, as the first activation would come.
        QTimer::singleShot(0, this, &TfrmMainNivora::FormActivate);
    }
}

void TfrmMainNivora::FormActivate() {
    if (m_noteTree->topLevelItemCount() > 0)
        m_noteTree->setCurrentItem(m_noteTree->topLevelItem(0));
    SetViewMode(vmBrowse);
}

void TfrmMainNivora::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_viewMode == vmSource)
        m_rchDhtml->viewport()->update();
}

void TfrmMainNivora::closeEvent(QCloseEvent* event) {
    // Typed text is never thrown away silently: a note that cannot be written asks first.
    if (!SaveCurrentNote()) {
        const auto answer = QMessageBox::question(this, windowTitle(), CloseUnsavedQuestion,
                                                  QMessageBox::Yes | QMessageBox::No,
                                                  QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            event->ignore();
            return;
        }
        m_discardChanges = true;
    }
    try {
        StorePlacement();
        m_dhtml->hide();
        QCoreApplication::processEvents();
        TqbIniFile ini = m_prjInfo.Ini();
        ini.WriteInteger("PROGRAM", "TreeWidth", TreeWidth());
    } catch (const std::exception&) {
        // A settings file that cannot be written must not keep the window from closing.
    }
    m_pnlNoteBody->hide();
    event->accept();
}

void TfrmMainNivora::RestoreFromTray() {
    if (isVisible() && !isMinimized())
        return;
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TfrmMainNivora::tbiCloseClick() { close(); }

void TfrmMainNivora::TBItem1Click() { QDesktopServices::openUrl(QUrl(TqbPrjInfo::HomePage())); }

void TfrmMainNivora::TBItem12Click() { m_btnToSearchMode->click(); }

void TfrmMainNivora::tbiStayOnTopClick() {
    const bool onTop = m_tbiStayOnTop->isChecked();
    const QRect place = geometry();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    setGeometry(place);
    show();
}

void TfrmMainNivora::SetPanelMode(int mode) {
    if (mode == m_panelMode)
        return;
    if (mode == pmSearch) {
        if (!SaveCurrentNote()) {
            m_btnToTreeMode->setChecked(true);
            return;
        }
        m_panelMode = mode;
        SetViewMode(vmBrowse);
        m_pnlTreeMode->hide();
        m_pnlSearchMode->show();
        Action("actFileSave")->setEnabled(false);
        m_btnToSearchMode->setChecked(true);
        m_bar->setValue(0);
        m_bar->show();
        m_pnlSearchMode->setFocus();
        m_pnlSearchCap->setFocus();
        m_edtSearch->setFocus();
    } else {
        m_panelMode = mode;
        m_pnlSearchMode->hide();
        m_pnlTreeMode->show();
        m_btnToTreeMode->setChecked(true);
        Action("actFileSave")->setEnabled(true);
        m_bar->hide();
        OpenCurrentNote();
    }
}

void TfrmMainNivora::UpdateActions() {
    actFileSaveUpdate();
    actFileRenameUpdate();
    UpdateEditingActions();
}

void TfrmMainNivora::ShowError(const QString& text) {
    QMessageBox::warning(this, QStringLiteral("Warning"), text);
}
