#pragma once

#include <QWidget>

class QButtonGroup;
class QProgressBar;
class QToolButton;

// The status bar (pnlStatusBar): the two panel buttons "Data" and "Search" and the search's
// progress bar.
class TqbStatusPanel : public QWidget {
    Q_OBJECT
public:
    explicit TqbStatusPanel(QWidget* parent = nullptr);

    QToolButton* TreeModeButton() const { return m_btnToTreeMode; }
    QToolButton* SearchModeButton() const { return m_btnToSearchMode; }
    QProgressBar* Bar() const { return m_bar; }
    // Puts the button of the panel mode down (3 tree, 4 search).
    void ShowPanelMode(int mode);

signals:
    void PanelModeClicked(int mode);

private:
    QToolButton* m_btnToTreeMode = nullptr;
    QToolButton* m_btnToSearchMode = nullptr;
    QButtonGroup* m_panelButtons = nullptr;
    QProgressBar* m_bar = nullptr;
};
