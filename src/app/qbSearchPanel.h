#pragma once

#include <QStringList>
#include <QWidget>

class QLineEdit;
class QProgressBar;
class TqbGradiColors;
class TqbGradiSpeedButton;
class TqbImageList;
class QTreeWidget;
class QTreeWidgetItem;
class TqbFolderSearch;
struct TqbSearchHit;
class TqbNoteInfo;

// The search side of the left column (pnlSearchMode): the search box over the hit list. It runs
// a folder search and shows a chosen hit as a marked copy; the notes themselves are only read.
class TqbSearchPanel : public QWidget {
    Q_OBJECT
public:
    static const QString NoSearchFilesMessage;
    static const QString NothingFoundMessage;

    TqbSearchPanel(const TqbNoteInfo& noteInfo, QProgressBar* bar, TqbGradiColors* colors,
                   TqbImageList* images, QWidget* parent = nullptr);
    ~TqbSearchPanel() override;

    const QString& SearchText() const { return m_searchText; }
    const QStringList& SearchResultPaths() const { return m_searchResultPaths; }
    bool SearchRunning() const { return m_folderSearch != nullptr; }
    QLineEdit* SearchBox() const { return m_edtSearch; }
    QTreeWidget* Hits() const { return m_treeSearch; }

    // The focus goes to the panel, its caption, then the search box.
    void FocusSearchBox();
    // Stops a search in progress; its thread has ended when this returns.
    void CancelSearch();

    void btnSearchClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The marked copy of a hit is ready to be shown.
    void HitChosen(const QString& markedCopy);
    // The user wants to work on the hit's note itself.
    void OpenHitRequested(const QString& notePath);

private:
    void RunFolderSearch();
    void ClearRowsOnce();
    void AddRows(const QList<TqbSearchHit>& hits);
    void FolderSearchFinished(const QStringList& unreadable);
    void ShowHit(QTreeWidgetItem* row);
    int RowIndex(QTreeWidgetItem* row) const;
    void Warn(const QString& text);

    const TqbNoteInfo& m_noteInfo;
    QProgressBar* m_bar;
    QWidget* m_pnlSearchCap = nullptr;
    QLineEdit* m_edtSearch = nullptr;
    TqbGradiSpeedButton* m_btnSearch = nullptr;
    QTreeWidget* m_treeSearch = nullptr;
    TqbFolderSearch* m_folderSearch = nullptr;
    bool m_searchHadCandidates = false;
    bool m_rowsCleared = false;
    // A press that made a row current has shown it; the click that ends it must not again.
    bool m_shownByPress = false;
    QString m_searchText;
    QString m_searchRoot;
    QStringList m_searchResultPaths;
    // The bytes that reach each hit's file, whose shown path may be decoded from code page 949.
    QList<QByteArray> m_searchResultFiles;
};
