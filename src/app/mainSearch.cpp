// The search panel: runs a folder search and shows a chosen hit from a marked copy.
#include "app/main.h"

#include "editing/qbDhtmlEdit.h"
#include "platform/qbError.h"
#include "search/qbFolderSearch.h"
#include "library/qbNoteInfo.h"
#include "library/qbPaths.h"
#include "search/qbSearchText.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QToolButton>
#include <QTreeWidget>

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

const QString TfrmMainNivora::NoSearchFilesMessage = QStringLiteral("검색할 파일이 없습니다.");
const QString TfrmMainNivora::NothingFoundMessage = QStringLiteral("찾는 파일이 없습니다.");

void TfrmMainNivora::ConnectFolderSearch() {
    connect(m_btnSearch, &QToolButton::clicked, this, &TfrmMainNivora::btnSearchClick);
    connect(m_edtSearch, &QLineEdit::returnPressed, m_btnSearch, &QToolButton::click);
    // Arrow keys move through the hits as clicks do.
    connect(m_treeSearch, &QTreeWidget::currentItemChanged, this, [this] { treeSearchClick(); });
    m_treeSearch->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void TfrmMainNivora::btnSearchClick() {
    if (m_folderSearch)
        return;
    const QString text = qbSearch::MakeSearchText(m_edtSearch->text());
    if (text.isEmpty())
        return;
    m_searchText = text;
    RunFolderSearch();
}

void TfrmMainNivora::RunFolderSearch() {
    m_btnSearch->setEnabled(false);
    m_searchHadCandidates = false;
    const QString root = StripTrailingDelim(m_noteInfo.GetDataDir());
    m_folderSearch = new TqbFolderSearch(root, m_searchText, this);
    connect(m_folderSearch, &TqbFolderSearch::Collected, this, [this](int candidates) {
        m_searchHadCandidates = candidates > 0;
        if (!m_searchHadCandidates)
            return;
        m_bar->setMaximum(candidates);
        m_bar->setValue(0);
        m_searchResultPaths.clear();
        m_treeSearch->clear();
    });
    connect(m_folderSearch, &TqbFolderSearch::Progress, m_bar, &QProgressBar::setValue);
    connect(m_folderSearch, &TqbFolderSearch::Found, this,
            [this](const QString& path, const QString& label) {
                auto* row = new QTreeWidgetItem(m_treeSearch, QStringList(label));
                row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                m_searchResultPaths.append(path);
            });
    connect(m_folderSearch, &TqbFolderSearch::Finished, this,
            &TfrmMainNivora::FolderSearchFinished);
    m_folderSearch->Start();
}

void TfrmMainNivora::FolderSearchFinished(const QStringList& unreadable) {
    m_folderSearch->deleteLater();
    m_folderSearch = nullptr;
    // The button and the bar come back whatever the messages below do.
    m_btnSearch->setEnabled(true);
    m_bar->setValue(0);

    if (!m_searchHadCandidates) {
        QMessageBox::warning(this, QStringLiteral("Warning"), NoSearchFilesMessage);
        return;
    }
    // The first hit is shown only while the search panel is still up: the tree's note keeps the
    // editor otherwise.
    if (m_treeSearch->topLevelItemCount() > 0 && m_panelMode == pmSearch)
        m_treeSearch->setCurrentItem(m_treeSearch->topLevelItem(0));
    if (!unreadable.isEmpty())
        QMessageBox::warning(this, QStringLiteral("Warning"), UnreadableMessage(unreadable));
    if (m_treeSearch->topLevelItemCount() == 0)
        QMessageBox::warning(this, QStringLiteral("Warning"), NothingFoundMessage);
}

void TfrmMainNivora::treeSearchClick() {
    if (m_panelMode != pmSearch)
        return;
    QTreeWidgetItem* row = m_treeSearch->currentItem();
    if (!row)
        return;
    const int index = m_treeSearch->indexOfTopLevelItem(row);
    if (index < 0 || index >= m_searchResultPaths.size())
        return;
    try {
        const QString marked = m_noteInfo.TempFileName();
        qbSearch::WriteMarkedCopy(m_searchResultPaths.at(index), marked, m_searchText);
        m_documentReady = false;
        m_dhtml->LoadDocument(marked);
    } catch (const EqbError& error) {
        ShowError(error.Message());
    }
}
