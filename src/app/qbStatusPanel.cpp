#include "app/qbStatusPanel.h"

#include "controls/qbGradiSpeedBtn.h"
#include "controls/qbImageLists.h"
#include "library/qbConflictIndex.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int PanelButtonGroup = 100;
constexpr int NoticeShownMs = 8000;

} // namespace

TqbStatusPanel::TqbStatusPanel(TqbGradiColors* colors, TqbImageList* images, QWidget* parent)
    : QWidget(parent) {
    setObjectName("pnlStatusBar");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(3, 1, 3, 1);
    row->setSpacing(1);

    QFont small;
    small.setFamilies({QStringLiteral("Small Fonts"), QStringLiteral("NanumGothic"),
                       QStringLiteral("sans-serif")});
    small.setPixelSize(9);
    const auto modeButton = [&](const char* name, const QString& caption, const QString& hint,
                                int glyph, QPoint icon) {
        auto* button = new TqbGradiSpeedButton(this);
        button->setObjectName(name);
        button->setText(caption);
        button->setToolTip(hint);
        button->setFixedSize(60, 21);
        button->setFont(small);
        button->SetColors(colors);
        button->SetImages(images);
        button->SetImageIndex(glyph);
        button->SetCapX(20);
        button->SetCapY(9);
        button->SetIconX(icon.x());
        button->SetIconY(icon.y());
        button->SetRoundDegree(2);
        button->SetGroupIndex(PanelButtonGroup);
        row->addWidget(button);
        return button;
    };
    m_btnToTreeMode = modeButton("btnToTreeMode", QStringLiteral("Data"),
                                 QStringLiteral("트리모드(Ctrl-L)"), qbImg::TreeMode, {3, 2});
    m_btnToSearchMode = modeButton("btnToSearchMode", QStringLiteral("Search"),
                                   QStringLiteral("폴더 안 검색(Ctrl-D)"), qbImg::FolderSearch,
                                   {4, 3});
    m_btnToTreeMode->SetDown(true);
    connect(m_btnToTreeMode, &QToolButton::clicked, this,
            [this] { emit PanelModeClicked(TqbPanelMode::Tree); });
    connect(m_btnToSearchMode, &QToolButton::clicked, this,
            [this] { emit PanelModeClicked(TqbPanelMode::Search); });

    m_bar = new QProgressBar(this);
    m_bar->setObjectName("bar");
    m_bar->setTextVisible(false);
    m_bar->setMaximumHeight(12);
    m_bar->hide();
    row->addSpacing(6);
    row->addWidget(m_bar, 1);
    row->addStretch();

    m_notice = new QLabel(this);
    m_notice->setObjectName("lblNotice");
    row->addWidget(m_notice);
    m_conflicts = new QLabel(this);
    m_conflicts->setObjectName("lblConflicts");
    row->addWidget(m_conflicts);
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    m_noticeTimer->setInterval(NoticeShownMs);
    connect(m_noticeTimer, &QTimer::timeout, m_notice, &QLabel::clear);
}

void TqbStatusPanel::ShowNotice(const QString& text) {
    m_notice->setText(text);
    m_noticeTimer->start();
}

QString TqbStatusPanel::Notice() const {
    return m_notice->text();
}

void TqbStatusPanel::ShowConflicts(int count) {
    m_conflicts->setText(qbConflictCountText(count));
}

QString TqbStatusPanel::Conflicts() const {
    return m_conflicts->text();
}

void TqbStatusPanel::ShowPanelMode(TqbPanelMode mode) {
    // Going down releases the other button of the group.
    (mode == TqbPanelMode::Search ? m_btnToSearchMode : m_btnToTreeMode)->SetDown(true);
}
