#include "app/qbStatusPanel.h"

#include "controls/qbImageLists.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QToolButton>

namespace {

constexpr int TreeMode = 3;
constexpr int SearchMode = 4;

} // namespace

TqbStatusPanel::TqbStatusPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("pnlStatusBar");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(3, 1, 3, 1);
    row->setSpacing(1);

    const auto modeButton = [&](const char* name, const QString& caption, const QString& hint,
                                int glyph) {
        auto* button = new QToolButton(this);
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
    m_btnToTreeMode = modeButton("btnToTreeMode", QStringLiteral("Data"),
                                 QStringLiteral("트리모드(Ctrl-L)"), qbImg::TreeMode);
    m_btnToSearchMode = modeButton("btnToSearchMode", QStringLiteral("Search"),
                                   QStringLiteral("폴더 안 검색(Ctrl-D)"), qbImg::FolderSearch);
    m_panelButtons = new QButtonGroup(this);
    m_panelButtons->setExclusive(true);
    m_panelButtons->addButton(m_btnToTreeMode, TreeMode);
    m_panelButtons->addButton(m_btnToSearchMode, SearchMode);
    m_btnToTreeMode->setChecked(true);
    connect(m_btnToTreeMode, &QToolButton::clicked, this, [this] { emit PanelModeClicked(TreeMode); });
    connect(m_btnToSearchMode, &QToolButton::clicked, this,
            [this] { emit PanelModeClicked(SearchMode); });

    m_bar = new QProgressBar(this);
    m_bar->setObjectName("bar");
    m_bar->setTextVisible(false);
    m_bar->setMaximumHeight(12);
    m_bar->hide();
    row->addSpacing(6);
    row->addWidget(m_bar, 1);
    row->addStretch();
}

void TqbStatusPanel::ShowPanelMode(int mode) {
    (mode == SearchMode ? m_btnToSearchMode : m_btnToTreeMode)->setChecked(true);
}
