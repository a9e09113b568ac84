#pragma once

#include "app/qbPanelMode.h"
#include "note/qbModes.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;
class TqbGradiColors;
class TqbGradiSpeedButton;
class TqbImageList;

// The status bar (pnlStatusBar): the two panel buttons "Data" and "Search" and the search's
// progress bar.
class TqbStatusPanel : public QWidget {
    Q_OBJECT
public:
    // The buttons are drawn with the colour set and take their pictures from images.
    TqbStatusPanel(TqbGradiColors* colors, TqbImageList* images, QWidget* parent = nullptr);

    TqbGradiSpeedButton* TreeModeButton() const { return m_btnToTreeMode; }
    TqbGradiSpeedButton* SearchModeButton() const { return m_btnToSearchMode; }
    QProgressBar* Bar() const { return m_bar; }
    // Puts the button of the panel mode down (3 tree, 4 search).
    void ShowPanelMode(TqbPanelMode mode);
    // A line that tells what just happened, gone after a while.
    void ShowNotice(const QString& text);
    QString Notice() const;
    // How many notes have a sync engine's conflict copy beside them; nothing shows for none.
    void ShowConflicts(int count);
    QString Conflicts() const;

signals:
    void PanelModeClicked(TqbPanelMode mode);

private:
    TqbGradiSpeedButton* m_btnToTreeMode = nullptr;
    TqbGradiSpeedButton* m_btnToSearchMode = nullptr;
    QProgressBar* m_bar = nullptr;
    QLabel* m_notice = nullptr;
    QLabel* m_conflicts = nullptr;
    QTimer* m_noticeTimer = nullptr;
};
