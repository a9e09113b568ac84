#include "editing/qbInsertTools.h"

#include "controls/qbImageLists.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace qbInsert {

namespace {

const QString TitleBlock = QStringLiteral(
    "<DIV>▶<strong><font color=\"#4070aa\"> 제 목</font></strong></DIV><DIV><HR></DIV><DIV></DIV>");
const QString BoxedText = QStringLiteral(
    "<table width=\"500\" border=\"0\" cellpadding=\"4\" cellspacing=\"1\" bgcolor=\"#3c62c6\">"
    "<tr bgcolor=\"#ffffff\"><td><div>내용</div></td></tr></table>");

} // namespace

const QString& SpecialCharacterSet() {
    static const QString set =
        QStringLiteral("■□▶◀※♣●☎★♩♪♬±ø⅓⅔⅛⅜⅝⅞¹²³ⁿ₁₂₃₄αβθφωξληФ∂ℓ∑ΩːΛΔÅ℉℃°÷∞≡≤≥√®™↔←↑→↓↕↖↗↘↙∴∵∼∽≒≠⊙");
    return set;
}

int GridRowCount() {
    return int(SpecialCharacterSet().size()) / GridColumns + 1;
}

QString GridCharacter(int row, int column) {
    const int index = row * GridColumns + column;
    if (row < 0 || column < 0 || column >= GridColumns || index >= SpecialCharacterSet().size())
        return {};
    return SpecialCharacterSet().mid(index, 1);
}

QString TimeStamp(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString SnippetFor(int kind, const QDateTime& now) {
    switch (kind) {
    case itTitle:
        return TitleBlock;
    case itTime:
        return TimeStamp(now);
    case itBox:
        return BoxedText;
    default:
        return {};
    }
}

int RowAfterWheel(int row, int rowCount, int delta) {
    if (delta > 0)
        return row > 0 ? row - 1 : row;
    return row < rowCount - 1 ? row + 1 : row;
}

} // namespace qbInsert

using namespace qbInsert;

TqbInsertTools::TqbInsertTools(QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_tbPaste = new QToolBar(this);
    m_tbPaste->setObjectName("tbPaste");
    m_tbPaste->setIconSize(QSize(16, 16));
    m_tbPaste->setFixedHeight(24);
    m_tbPaste->setMovable(false);
    m_tbPaste->setContentsMargins(0, 0, 0, 0);
    m_tbPaste->layout()->setContentsMargins(0, 0, 0, 0);
    m_tbPaste->layout()->setSpacing(0);
    m_tbPaste->setStyleSheet(QStringLiteral("QToolBar { border: 0px; background: transparent; }"));
    const struct {
        const char* Name;
        QString Hint;
        int Glyph;
    } buttons[] = {{"ToolButton11", QStringLiteral("제목 달기"), 25},
                   {"ToolButton13", QStringLiteral("시간 넣기"), 26},
                   {"ToolButton15", QString(), 27}};
    for (int kind = 0; kind < 3; ++kind) {
        auto* button = new QToolButton(m_tbPaste);
        button->setObjectName(buttons[kind].Name);
        button->setIcon(qbImgs16(buttons[kind].Glyph));
        button->setToolTip(buttons[kind].Hint);
        button->setProperty("tag", kind);
        button->setAutoRaise(true);
        button->setFixedSize(20, 22);
        m_tbPaste->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, kind] { ToolButton11Click(kind); });
    }
    column->addWidget(m_tbPaste);

    const int rows = GridRowCount();
    m_grd = new QTableWidget(rows, GridColumns, this);
    m_grd->setObjectName("grd");
    m_grd->horizontalHeader()->hide();
    m_grd->verticalHeader()->hide();
    m_grd->horizontalHeader()->setMinimumSectionSize(16);
    m_grd->verticalHeader()->setMinimumSectionSize(16);
    m_grd->horizontalHeader()->setDefaultSectionSize(16);
    m_grd->verticalHeader()->setDefaultSectionSize(16);
    m_grd->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grd->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grd->setFrameShape(QFrame::NoFrame);
    m_grd->setShowGrid(true);
    m_grd->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grd->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grd->setFocusPolicy(Qt::NoFocus);
    m_grd->setAutoFillBackground(false);
    m_grd->viewport()->setAutoFillBackground(false);
    QFont small = m_grd->font();
    small.setPixelSize(12);
    m_grd->setFont(small);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < GridColumns; ++c) {
            auto* item = new QTableWidgetItem(GridCharacter(r, c));
            item->setTextAlignment(Qt::AlignCenter);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            m_grd->setItem(r, c, item);
        }
    m_grd->setCurrentCell(0, 0);
    // One filter over the program: the grid's releases and the wheel over the whole panel.
    qApp->installEventFilter(this);
    column->addWidget(m_grd, 1);
}

bool TqbInsertTools::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grd->viewport() && event->type() == QEvent::MouseButtonRelease) {
        // The press made the cell current; the release inserts it. Not queued: a queued call
        // could land inside the editor's wait for the page and be refused.
        grdMouseUp();
    } else if (event->type() == QEvent::Wheel && isVisible()) {
        // A turn anywhere over the panel moves the grid by rows; nothing scrolls by itself.
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const QRect panel(mapToGlobal(QPoint(0, 0)), size());
        if (panel.contains(wheel->globalPosition().toPoint())) {
            WheelTurned(wheel->angleDelta().y());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TqbInsertTools::ToolButton11Click(int kind) {
    const QString html = SnippetFor(kind, QDateTime::currentDateTime());
    if (kind >= itTitle && kind <= itBox)
        emit InsertHtml(html);
}

void TqbInsertTools::grdMouseUp() {
    const QTableWidgetItem* item = m_grd->currentItem();
    emit InsertHtml(item ? item->text() : QString());
    emit CharacterInserted();
}

void TqbInsertTools::WheelTurned(int delta) {
    const int row = RowAfterWheel(m_grd->currentRow(), m_grd->rowCount(), delta);
    m_grd->setCurrentCell(row, qMax(0, m_grd->currentColumn()));
    m_grd->scrollToItem(m_grd->currentItem());
}
