#include "dialogs/qbNotePicker.h"

#include "dialogs/qbPathListDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

QString TqbQueryEdit::Query() const {
    if (m_preedit.isEmpty())
        return text();
    QString query = text();
    return query.insert(cursorPosition(), m_preedit);
}

void TqbQueryEdit::inputMethodEvent(QInputMethodEvent* event) {
    QLineEdit::inputMethodEvent(event);
    const QString preedit = event->preeditString();
    if (preedit == m_preedit && event->commitString().isEmpty())
        return;
    m_preedit = preedit;
    emit QueryChanged();
}

TqbNotePicker::TqbNotePicker(const QString& title, const QString& acceptText,
                             const QString& root, const QString& noteExt,
                             const QStringList& recent, QWidget* parent)
    : QDialog(parent) {
    setObjectName("dlgNotePicker");
    setWindowTitle(title);
    resize(520, 420);
    auto* layout = new QVBoxLayout(this);
    m_query = new TqbQueryEdit(this);
    m_query->setObjectName("edtQuery");
    m_query->setPlaceholderText(QStringLiteral("노트나 폴더 이름 (초성도 됩니다)"));
    m_rows = qbNewNameFolderList(QStringLiteral("lstNames"), this);
    m_rows->setFocusPolicy(Qt::NoFocus);
    m_count = new QLabel(this);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* take = buttons->addButton(acceptText, QDialogButtonBox::AcceptRole);
    take->setObjectName("btnAccept");
    buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole)
        ->setObjectName("btnCancel");
    // Enter belongs to the query box, which accepts too; the buttons are for the mouse.
    for (QAbstractButton* button : buttons->buttons())
        button->setFocusPolicy(Qt::NoFocus);
    connect(buttons, &QDialogButtonBox::accepted, this, &TqbNotePicker::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TqbNotePicker::reject);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_count, 1);
    bottom->addWidget(buttons);
    layout->addWidget(m_query);
    layout->addWidget(m_rows, 1);
    layout->addLayout(bottom);

    // Up, down and the page keys move through the rows while the keys go on into the box.
    m_query->installEventFilter(this);
    connect(m_query, &TqbQueryEdit::QueryChanged, this, &TqbNotePicker::ScheduleRefresh);
    connect(m_query, &QLineEdit::textChanged, this, &TqbNotePicker::ScheduleRefresh);
    connect(&m_list, &TqbJumpList::RowsChanged, this, &TqbNotePicker::ScheduleRefresh);
    connect(&m_list, &TqbJumpList::GatheringFinished, this, &TqbNotePicker::ListCaughtUp);
    connect(m_query, &QLineEdit::returnPressed, this, &TqbNotePicker::accept);
    connect(m_rows, &QTreeWidget::itemDoubleClicked, this, &TqbNotePicker::accept);
    m_list.SetRecent(recent);
    m_list.Start(root, noteExt);
    ShowRows();
}

bool TqbNotePicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_query && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
            key == Qt::Key_PageDown) {
            // Text committed just now (an input method ends its syllable before the key) is
            // listed first, so the key moves in the rows the user sees next, not in old ones.
            if (m_refreshQueued)
                Refresh();
            QApplication::sendEvent(m_rows, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Keys typed faster than the list follows, and batches of names, are answered once for all.
void TqbNotePicker::ScheduleRefresh() {
    if (m_refreshQueued)
        return;
    m_refreshQueued = true;
    QTimer::singleShot(0, this, [this] {
        if (m_refreshQueued)
            Refresh();
    });
}

void TqbNotePicker::Refresh() {
    m_refreshQueued = false;
    m_list.SetQuery(m_query->Query());
    ShowRows();
}

void TqbNotePicker::ListCaughtUp() {
    Refresh();
    if (m_acceptWhenGathered) {
        m_acceptWhenGathered = false;
        accept();
    }
}

void TqbNotePicker::ShowRows() {
    // For the same query the row the user moved to stays chosen as more names arrive.
    const int current = m_rows->indexOfTopLevelItem(m_rows->currentItem());
    const QString keep = m_list.Query() == m_shownQuery && current >= 0
                             ? m_rows->currentItem()->data(0, Qt::UserRole).toString()
                             : QString();
    m_shownQuery = m_list.Query();
    m_rows->setUpdatesEnabled(false);
    m_rows->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(m_list.RowCount());
    for (int i = 0; i < m_list.RowCount(); ++i) {
        const TqbGatheredName& name = m_list.Row(i);
        auto* item = new QTreeWidgetItem({name.Name, name.Folder});
        item->setData(0, Qt::UserRole, name.Path);
        items.append(item);
    }
    m_rows->addTopLevelItems(items);
    QTreeWidgetItem* chosen = items.isEmpty() ? nullptr : items.first();
    for (QTreeWidgetItem* item : std::as_const(items))
        if (!keep.isEmpty() && item->data(0, Qt::UserRole).toString() == keep)
            chosen = item;
    m_rows->setCurrentItem(chosen);
    m_rows->setUpdatesEnabled(true);
    QString count =
        QStringLiteral("전체 %1개 중 %2개").arg(m_list.NameCount()).arg(m_list.MatchCount());
    if (m_list.Gathering())
        count += QStringLiteral(" (이름을 모으는 중...)");
    m_count->setText(count);
}

void TqbNotePicker::accept() {
    if (m_refreshQueued)
        Refresh();
    const int row = m_rows->indexOfTopLevelItem(m_rows->currentItem());
    if (row < 0) {
        m_acceptWhenGathered = m_list.Gathering();
        return;
    }
    const QString name = m_list.Row(row).Name;
    if (const std::optional<QString> path = m_list.Choose(row)) {
        m_chosen = *path;
        QDialog::accept();
        return;
    }
    ShowRows();
    QMessageBox::information(this, windowTitle(), TqbJumpList::GoneMessage.arg(name));
}
