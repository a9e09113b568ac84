#include "app/qbSearchPanel.h"

#include "controls/qbGradiSpeedBtn.h"
#include "controls/qbImageLists.h"
#include "library/qbNoteInfo.h"
#include "library/qbPaths.h"
#include "search/qbFolderSearch.h"
#include "search/qbSearchFiles.h"
#include "search/qbSearchText.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

namespace {

// A message box stays readable however many files failed.
constexpr int MaxListedUnreadable = 10;

QString UnreadableMessage(const QStringList& unreadable) {
    QString text = QStringLiteral("다음 파일은 읽을 수 없어 검색하지 못했습니다.\n\n");
    text += unreadable.mid(0, MaxListedUnreadable).join(u"\n\n");
    if (unreadable.size() > MaxListedUnreadable)
        text += QStringLiteral("\n\n외 %1개").arg(unreadable.size() - MaxListedUnreadable);
    return text;
}

} // namespace

const QString TqbSearchPanel::NoSearchFilesMessage = QStringLiteral("검색할 파일이 없습니다.");
const QString TqbSearchPanel::NothingFoundMessage = QStringLiteral("찾는 파일이 없습니다.");

TqbSearchPanel::TqbSearchPanel(const TqbNoteInfo& noteInfo, QProgressBar* bar,
                               TqbGradiColors* colors, TqbImageList* images, QWidget* parent)
    : QWidget(parent), m_noteInfo(noteInfo), m_bar(bar) {
    setObjectName("pnlSearchMode");
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_pnlSearchCap = new QWidget(this);
    m_pnlSearchCap->setObjectName("pnlSearchCap");
    m_pnlSearchCap->setFocusPolicy(Qt::StrongFocus);
    auto* cap = new QHBoxLayout(m_pnlSearchCap);
    cap->setContentsMargins(3, 3, 3, 3);
    cap->setSpacing(3);
    m_edtSearch = new QLineEdit(m_pnlSearchCap);
    m_edtSearch->setObjectName("edtSearch");
    m_btnSearch = new TqbGradiSpeedButton(m_pnlSearchCap);
    m_btnSearch->setObjectName("btnSearch");
    m_btnSearch->setText(QStringLiteral("찾기"));
    m_btnSearch->setFixedSize(51, 22);
    m_btnSearch->SetColors(colors);
    m_btnSearch->SetImages(images);
    m_btnSearch->SetImageIndex(qbImg::Find);
    m_btnSearch->SetCapX(22);
    m_btnSearch->SetCapY(6);
    m_btnSearch->SetIconX(5);
    m_btnSearch->SetIconY(5);
    cap->addWidget(m_edtSearch, 1);
    cap->addWidget(m_btnSearch);
    layout->addWidget(m_pnlSearchCap);

    m_treeSearch = new QTreeWidget(this);
    m_treeSearch->setObjectName("treeSearch");
    m_treeSearch->setHeaderHidden(true);
    // The hit's name, then the folder it lies in, greyed.
    m_treeSearch->setColumnCount(2);
    m_treeSearch->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_treeSearch->setRootIsDecorated(false);
    m_treeSearch->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_treeSearch, 1);

    connect(m_btnSearch, &QToolButton::clicked, this, &TqbSearchPanel::btnSearchClick);
    connect(m_edtSearch, &QLineEdit::returnPressed, m_btnSearch, &QToolButton::click);
    // Arrow keys move through the hits as clicks do; a click on the shown row shows it again.
    connect(m_treeSearch, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* row) {
        m_shownByPress = true;
        ShowHit(row);
    });
    connect(m_treeSearch, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* row) {
        if (!m_shownByPress)
            ShowHit(row);
    });
    m_treeSearch->viewport()->installEventFilter(this);
    // Double click or Enter: the note itself, for editing.
    connect(m_treeSearch, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* row) {
        if (const int index = RowIndex(row); index >= 0)
            emit OpenHitRequested(m_searchResultPaths.at(index));
    });
}

TqbSearchPanel::~TqbSearchPanel() {
    CancelSearch();
}

bool TqbSearchPanel::eventFilter(QObject* watched, QEvent* event) {
    // Before the list sees the press: whether the press itself changes the row shows later.
    if (watched == m_treeSearch->viewport() && event->type() == QEvent::MouseButtonPress)
        m_shownByPress = false;
    return QWidget::eventFilter(watched, event);
}

void TqbSearchPanel::FocusSearchBox() {
    setFocus();
    m_pnlSearchCap->setFocus();
    m_edtSearch->setFocus();
}

void TqbSearchPanel::CancelSearch() {
    // Destroying the search stops its scan and waits for its thread.
    delete m_folderSearch;
    m_folderSearch = nullptr;
    m_btnSearch->setEnabled(true);
}

void TqbSearchPanel::btnSearchClick() {
    if (m_folderSearch)
        return;
    const QString text = qbSearch::MakeSearchText(m_edtSearch->text());
    if (text.isEmpty())
        return;
    m_searchText = text;
    RunFolderSearch();
}

void TqbSearchPanel::RunFolderSearch() {
    m_btnSearch->setEnabled(false);
    m_searchHadCandidates = false;
    const QString root = StripTrailingDelim(m_noteInfo.GetDataDir());
    m_searchRoot = root;
    m_folderSearch = new TqbFolderSearch(root, m_searchText, this);
    m_rowsCleared = false;
    connect(m_folderSearch, &TqbFolderSearch::Collected, this, [this](int candidates) {
        m_searchHadCandidates = candidates > 0;
        if (!m_searchHadCandidates)
            return;
        ClearRowsOnce();
        m_bar->setMaximum(candidates);
        m_bar->setValue(0);
    });
    connect(m_folderSearch, &TqbFolderSearch::Progress, m_bar, &QProgressBar::setValue);
    connect(m_folderSearch, &TqbFolderSearch::FoundBatch, this, &TqbSearchPanel::AddRows);
    connect(m_folderSearch, &TqbFolderSearch::Finished, this,
            &TqbSearchPanel::FolderSearchFinished);
    m_folderSearch->Start();
}

void TqbSearchPanel::FolderSearchFinished(const QStringList& unreadable) {
    m_folderSearch->deleteLater();
    m_folderSearch = nullptr;
    // The button and the bar come back whatever the messages below do.
    m_btnSearch->setEnabled(true);
    m_bar->setValue(0);

    if (!m_searchHadCandidates) {
        Warn(NoSearchFilesMessage);
        return;
    }
    if (!unreadable.isEmpty())
        Warn(UnreadableMessage(unreadable));
    if (m_treeSearch->topLevelItemCount() == 0)
        Warn(NothingFoundMessage);
}

void TqbSearchPanel::ClearRowsOnce() {
    if (std::exchange(m_rowsCleared, true))
        return;
    m_searchResultPaths.clear();
    m_searchResultFiles.clear();
    m_treeSearch->clear();
}

// Hits come in walk order while the search goes on; the first is shown as soon as it is known,
// but only while the panel is still up: the tree's note keeps the editor otherwise.
void TqbSearchPanel::AddRows(const QList<TqbSearchHit>& hits) {
    ClearRowsOnce();
    const bool first = m_treeSearch->topLevelItemCount() == 0;
    for (const TqbSearchHit& hit : hits) {
        const QString folder = qbSearch::SearchRowFolder(m_searchRoot, hit.path);
        auto* row = new QTreeWidgetItem(m_treeSearch, {hit.label, folder});
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        row->setForeground(1, m_treeSearch->palette().brush(QPalette::Disabled, QPalette::Text));
        row->setToolTip(0, folder.isEmpty() ? hit.label : folder + u'/' + hit.label);
        m_searchResultPaths.append(hit.path);
        m_searchResultFiles.append(hit.nativePath);
    }
    if (first && m_treeSearch->topLevelItemCount() > 0 && !isHidden())
        m_treeSearch->setCurrentItem(m_treeSearch->topLevelItem(0));
}

int TqbSearchPanel::RowIndex(QTreeWidgetItem* row) const {
    const int index = row ? m_treeSearch->indexOfTopLevelItem(row) : -1;
    return index < m_searchResultPaths.size() ? index : -1;
}

void TqbSearchPanel::ShowHit(QTreeWidgetItem* row) {
    if (isHidden())
        return;
    const int index = RowIndex(row);
    if (index < 0)
        return;
    const QString marked = m_noteInfo.TempFileName();
    qbSearch::WriteMarkedCopy(m_searchResultFiles.at(index), marked, m_searchText);
    emit HitChosen(marked);
}

void TqbSearchPanel::Warn(const QString& text) {
    QMessageBox::warning(this, QStringLiteral("Warning"), text);
}
