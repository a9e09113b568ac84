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
#include <iterator>

namespace qbInsert {

namespace {

const QString TitleBlock = QStringLiteral(
    "<DIV>▶<strong><font color=\"#4070aa\"> 제 목</font></strong></DIV><DIV><HR></DIV><DIV></DIV>");
const QString BoxedText = QStringLiteral(
    "<table width=\"500\" border=\"0\" cellpadding=\"4\" cellspacing=\"1\" bgcolor=\"#3c62c6\">"
    "<tr bgcolor=\"#ffffff\"><td><div>내용</div></td></tr></table>");
// Items to type over; a click on a box ticks it in edit mode.
const QString TodoList = QStringLiteral(
    "<DIV><input type=\"checkbox\"> 할 일</DIV><DIV><input type=\"checkbox\"> 할 일</DIV>"
    "<DIV><input type=\"checkbox\"> 할 일</DIV>");

} // namespace

const QString& SpecialCharacterSet() {
    // As code points: several characters here have look-alikes (OHM SIGN and GREEK CAPITAL
    // OMEGA, ANGSTROM SIGN and A WITH RING) that the code page keeps apart.
    static constexpr char16_t codePoints[] = {
        0x25A0, 0x25A1, 0x25B6, 0x25C0, 0x203B, 0x2663, 0x25CF, 0x260E, 0x2605, 0x2669, 0x266A,
        0x266C, 0x00B1, 0x00F8, 0x2153, 0x2154, 0x215B, 0x215C, 0x215D, 0x215E, 0x00B9, 0x00B2,
        0x00B3, 0x207F, 0x2081, 0x2082, 0x2083, 0x2084, 0x03B1, 0x03B2, 0x03B8, 0x03C6, 0x03C9,
        0x03BE, 0x03BB, 0x03B7, 0x0424, 0x2202, 0x2113, 0x2211, 0x2126, 0x02D0, 0x039B, 0x0394,
        0x212B, 0x2109, 0x2103, 0x00B0, 0x00F7, 0x221E, 0x2261, 0x2264, 0x2265, 0x221A, 0x00AE,
        0x2122, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193, 0x2195, 0x2196, 0x2197, 0x2198, 0x2199,
        0x2234, 0x2235, 0x223C, 0x223D, 0x2252, 0x2260, 0x2299};
    static const QString set(reinterpret_cast<const QChar*>(codePoints), std::size(codePoints));
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
    case itTodo:
        return TodoList;
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
    // Four buttons just fit the panel's width; a toolbar that found them too wide would hide one.
    m_tbPaste->setStyleSheet(QStringLiteral(
        "QToolBar { border: 0px; padding: 0px; spacing: 0px; background: transparent; }"));
    const struct {
        const char* Name;
        QString Hint;
        int Glyph;
    } buttons[] = {{"ToolButton11", QStringLiteral("제목 달기"), 25},
                   {"ToolButton13", QStringLiteral("시간 넣기"), 26},
                   {"ToolButton15", QString(), 27},
                   {"ToolButton17", QStringLiteral("할 일 목록"), qbImg::Bullets}};
    for (int kind = 0; kind < int(std::size(buttons)); ++kind) {
        auto* button = new QToolButton(m_tbPaste);
        button->setObjectName(buttons[kind].Name);
        button->setIcon(qbImgs16(buttons[kind].Glyph));
        button->setToolTip(buttons[kind].Hint);
        button->setProperty("tag", kind);
        button->setAutoRaise(true);
        button->setFixedSize(17, 22);
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
    if (kind >= itTitle && kind <= itTodo)
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
