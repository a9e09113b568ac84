#include "dialogs/qbNotePicker.h"

#include "dialogs/qbPathListDialog.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
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

TqbNotePicker::TqbNotePicker(const QString& title, const QString& root, const QString& noteExt,
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
    layout->addWidget(m_query);
    layout->addWidget(m_rows, 1);
    layout->addWidget(m_count);

    // Up, down and the page keys move through the rows while the keys go on into the box.
    m_query->installEventFilter(this);
    connect(m_query, &TqbQueryEdit::QueryChanged, this, &TqbNotePicker::ScheduleRefresh);
    connect(m_query, &QLineEdit::textChanged, this, &TqbNotePicker::ScheduleRefresh);
    connect(&m_list, &TqbJumpList::RowsChanged, this, &TqbNotePicker::ScheduleRefresh);
    connect(&m_list, &TqbJumpList::GatheringFinished, this, &TqbNotePicker::ScheduleRefresh);
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
        m_refreshQueued = false;
        m_list.SetQuery(m_query->Query());
        ShowRows();
    });
}

void TqbNotePicker::ShowRows() {
    m_rows->setUpdatesEnabled(false);
    m_rows->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(m_list.RowCount());
    for (int i = 0; i < m_list.RowCount(); ++i) {
        const TqbGatheredName& name = m_list.Row(i);
        items.append(new QTreeWidgetItem({name.Name, name.Folder}));
    }
    m_rows->addTopLevelItems(items);
    if (!items.isEmpty())
        m_rows->setCurrentItem(items.first());
    m_rows->setUpdatesEnabled(true);
    QString count =
        QStringLiteral("전체 %1개 중 %2개").arg(m_list.NameCount()).arg(m_list.MatchCount());
    if (m_list.Gathering())
        count += QStringLiteral(" (이름을 모으는 중...)");
    m_count->setText(count);
}

void TqbNotePicker::accept() {
    const int row = m_rows->indexOfTopLevelItem(m_rows->currentItem());
    if (row < 0)
        return;
    const QString name = m_list.Row(row).Name;
    if (const std::optional<QString> path = m_list.Choose(row)) {
        m_chosen = *path;
        QDialog::accept();
        return;
    }
    ShowRows();
    QMessageBox::information(this, windowTitle(), TqbJumpList::GoneMessage.arg(name));
}
