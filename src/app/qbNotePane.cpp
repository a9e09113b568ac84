#include "app/qbNotePane.h"

#include "app/qbActionTable.h"
#include "app/qbEditCommands.h"
#include "app/qbSourceView.h"
#include "app/qbTableCommands.h"
#include "controls/qbColorPicker.h"
#include "controls/qbImageLists.h"
#include "dialogs/qbWarningBox.h"
#include "editing/qbDhtmlEdit.h"
#include "editing/qbFindDialog.h"
#include "editing/qbInsertTools.h"
#include "editing/qbPageFonts.h"
#include "note/qbOpenNote.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QRawFont>
#include <QStackedWidget>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace {

constexpr int SpecialCharsWidth = 69;

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

// Each name drawn in its own face where that face can draw it (a symbol face cannot), and the
// list as wide as its widest name, however narrow the box.
void ShowNamesInTheirFaces(QComboBox* box) {
    int widest = 0;
    for (int i = 0; i < box->count(); ++i) {
        const QString name = box->itemText(i);
        QFont face(name);
        face.setPointSizeF(box->font().pointSizeF());
        const QRawFont raw = QRawFont::fromFont(face);
        const bool drawable = std::all_of(name.cbegin(), name.cend(), [&raw](QChar c) {
            return c.isSpace() || raw.supportsCharacter(c);
        });
        if (drawable)
            box->setItemData(i, face, Qt::FontRole);
        widest = std::max(widest, QFontMetrics(drawable ? face : box->font()).horizontalAdvance(name));
    }
    const int margins = 2 * box->style()->pixelMetric(QStyle::PM_MenuHMargin) +
                        2 * box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 24;
    box->view()->setMinimumWidth(widest + margins +
                                 box->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

} // namespace

TqbNotePane::TqbNotePane(const TqbActions& actions, QWidget* parent)
    : QWidget(parent), m_actions(actions) {
    setObjectName("pnlNoteBody");
    auto* column = TightColumn(this);
    m_tbEdit = CreateEditToolbar(actions);
    m_tbEdit->hide();
    column->addWidget(m_tbEdit);

    auto* body = new QWidget(this);
    auto* row = TightRow(body);
    m_views = new QStackedWidget(body);
    m_dhtml = new TqbDhtmlEdit(m_views);
    m_dhtml->setObjectName("dhtml");
    m_source = new TqbSourceView(m_views);
    m_source->setObjectName("rchDhtml");
    m_views->addWidget(m_dhtml);
    m_views->addWidget(m_source);
    row->addWidget(m_views, 1);

    m_pnlSpecialChars = new QWidget(body);
    m_pnlSpecialChars->setObjectName("pnlSpecialChars");
    m_pnlSpecialChars->setFixedWidth(SpecialCharsWidth);
    m_pnlSpecialChars->hide();
    auto* panel = TightColumn(m_pnlSpecialChars);
    m_insertTools = new TqbInsertTools(m_pnlSpecialChars);
    m_insertTools->setObjectName("InsertTools");
    panel->addWidget(m_insertTools);
    row->addWidget(m_pnlSpecialChars);
    column->addWidget(body, 1);

    m_findDialog = new TqbFindDialog(this);
    connect(m_insertTools, &TqbInsertTools::CharacterInserted, this, [this] { m_dhtml->setFocus(); });
    // The print ends after the call that started it: its failure is told here.
    connect(m_dhtml, &TqbDhtmlEdit::PrintFailed, this,
            [this](const QString& message) { qbShowWarningBox(this, message); });
}

void TqbNotePane::CreateCommands(TqbOpenNote& note, const TqbNoteInfo& noteInfo,
                                 QWidget* dialogParent) {
    TqbEditWidgets widgets;
    widgets.Dhtml = m_dhtml;
    widgets.Source = m_source;
    widgets.FontName = m_cmbFontName;
    widgets.FontSize = m_cmbFontSize;
    widgets.FontColor = m_clrFont;
    widgets.BackColor = m_clrBack;
    widgets.Find = m_findDialog;
    m_commands = new TqbEditCommands(widgets, m_actions, note, noteInfo, dialogParent);
    m_tableCommands = new TqbTableCommands(m_dhtml, m_actions, note, dialogParent);
    connect(m_insertTools, &TqbInsertTools::InsertHtml, m_commands,
            &TqbEditCommands::InsertHtmlAtSelection);
    connect(m_btnImage, &QAction::triggered, m_commands, &TqbEditCommands::btnImageClick);
    connect(m_btnBR, &QAction::triggered, m_commands, &TqbEditCommands::btnBRClick);
}

QWidget* TqbNotePane::CreateEditToolbar(const TqbActions& actions) {
    auto* panel = new QWidget(this);
    panel->setObjectName("tbEdit");
    auto* rows = TightColumn(panel);
    auto* first = new QToolBar(panel);
    first->setIconSize(QSize(16, 16));
    actions.BuildEditRow(first);
    rows->addWidget(first);

    auto* second = new QToolBar(panel);
    second->setIconSize(QSize(16, 16));
    second->addWidget(CreateFontPanel(second));
    second->addSeparator();
    for (const char* name : {"actLeft", "actCenter", "actRight"})
        second->addAction(actions.Action(name));
    second->addSeparator();
    second->addAction(actions.Action("actAddLink"));
    AddInsertButtons(second);
    rows->addWidget(second);
    return panel;
}

QWidget* TqbNotePane::CreateFontPanel(QWidget* parent) {
    auto* pnlFont = new QWidget(parent);
    pnlFont->setObjectName("pnlFont");
    auto* fontRow = TightRow(pnlFont);
    fontRow->setSpacing(2);
    m_cmbFontName = new QComboBox(pnlFont);
    m_cmbFontName->setObjectName("cmbFontName");
    m_cmbFontName->setEditable(true);
    m_cmbFontName->setFixedWidth(91);
    m_cmbFontName->addItems(
        qbPageFonts::BoxNames(QFontDatabase::families(), qbPageFonts::KoreanNames()));
    m_cmbFontName->setCurrentText(QString());
    m_cmbFontSize = new QComboBox(pnlFont);
    m_cmbFontSize->setObjectName("cmbFontSize");
    m_cmbFontSize->setEditable(true);
    m_cmbFontSize->setFixedWidth(51);
    m_cmbFontSize->addItems({"1", "2", "3", "4", "5", "6", "7"});
    m_cmbFontSize->setCurrentText(QString());
    fontRow->addWidget(m_cmbFontName);
    fontRow->addWidget(m_cmbFontSize);
    m_clrFont = CreateColorPicker(pnlFont, "clrFont", QStringLiteral("글자 색상"),
                                  QStringLiteral("글자 색상 선택"), qbImg::TextColor);
    m_clrBack = CreateColorPicker(pnlFont, "clrBack", QStringLiteral("펜 색상"),
                                  QStringLiteral("배경 색상 선택"), qbImg::BackColor);
    fontRow->addWidget(m_clrFont);
    fontRow->addWidget(m_clrBack);
    return pnlFont;
}

TColorPickerButton* TqbNotePane::CreateColorPicker(QWidget* parent, const char* name,
                                                   const QString& defaultText,
                                                   const QString& hint, int glyph) {
    auto* button = new TColorPickerButton(parent);
    button->setObjectName(name);
    button->setFixedSize(41, 22);
    button->SetFlat(true);
    button->SetLayout(TColorPickerButton::blGlyphTop);
    button->SetGlyph(qbImgs16(glyph));
    button->SetDefaultText(defaultText);
    button->SetCustomText(QStringLiteral("사용자 색상"));
    button->SetShowSystemColors(false);
    button->SetPopupSpacing(8);
    button->setToolTip(hint);
    return button;
}

void TqbNotePane::AddInsertButtons(QToolBar* bar) {
    const auto button = [&](const char* name, const QString& caption, int glyph) {
        QAction* action = bar->addAction(qbImgs16(glyph), caption);
        action->setObjectName(name);
        action->setToolTip(caption);
        return action;
    };
    m_btnImage = button("btnImage", QStringLiteral("이미지 추가"), qbImg::Image);
    m_btnBR = button("btnBR", QStringLiteral("수평선 추가"), qbImg::Rule);
}

// ---- IqbNoteView

void TqbNotePane::ShowViewMode(TqbViewMode mode) {
    m_viewMode = mode;
    // Loading every face takes longer than the rest of the window: only once the box shows.
    if (mode == TqbViewMode::Edit && !std::exchange(m_fontFacesShown, true))
        ShowNamesInTheirFaces(m_cmbFontName);
    m_tbEdit->setVisible(mode == TqbViewMode::Edit);
    m_dhtml->SetBrowseMode(mode != TqbViewMode::Edit);
    m_views->setCurrentWidget(mode == TqbViewMode::Source ? static_cast<QWidget*>(m_source)
                                                          : m_dhtml);
    m_pnlSpecialChars->setVisible(mode == TqbViewMode::Edit);
}

void TqbNotePane::LoadPage(const QString& path, bool asCp949) {
    m_dhtml->LoadDocument(path, asCp949);
}

void TqbNotePane::SavePage(const QString& path) {
    m_dhtml->SaveDocument(path);
}

QByteArray TqbNotePane::PageBytes() {
    return m_dhtml->DocumentBytes();
}

void TqbNotePane::ReadPageBytes(std::function<void(const QByteArray&)> done) {
    m_dhtml->ReadDocumentBytes(std::move(done));
}

void TqbNotePane::KeepPlaceForNextLoad() {
    m_dhtml->KeepPlaceForNextLoad();
}

bool TqbNotePane::PageChanged() {
    return m_dhtml->DocumentChanged();
}

bool TqbNotePane::PageReady() const {
    return m_dhtml->IsDocumentReady();
}

bool TqbNotePane::WaitForPage(int milliseconds) {
    return m_dhtml->IsDocumentReady() || m_dhtml->WaitUntilReady(milliseconds);
}

bool TqbNotePane::PageHadDecodingErrors() const {
    return m_dhtml->HadDecodingErrors();
}

void TqbNotePane::ShowNoDocument() {
    m_dhtml->ShowNoDocument();
    m_source->ShowNothing();
}

void TqbNotePane::SetSourceText(const QString& text) {
    m_source->SetText(text);
}

QString TqbNotePane::SourceText() const {
    return m_source->Text();
}

bool TqbNotePane::SourceModified() const {
    return m_source->document()->isModified();
}

void TqbNotePane::SetSourceModified(bool modified) {
    m_source->document()->setModified(modified);
}

void TqbNotePane::FocusEditor(TqbViewMode mode) {
    if (mode == TqbViewMode::Edit)
        m_dhtml->FocusAtStart();
    else if (mode == TqbViewMode::Source)
        m_source->setFocus();
}

void TqbNotePane::AddNoteBar(QWidget* bar) {
    auto* column = static_cast<QVBoxLayout*>(layout());
    column->insertWidget(column->indexOf(m_tbEdit) + 1, bar);
}

void TqbNotePane::HideForClose() {
    m_dhtml->HideForClose();
}

void TqbNotePane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_viewMode == TqbViewMode::Source)
        m_source->viewport()->update();
}
