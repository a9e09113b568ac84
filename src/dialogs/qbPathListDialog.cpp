#include "dialogs/qbPathListDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

QTreeWidget* qbNewNameFolderList(const QString& objectName, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(objectName);
    list->setColumnCount(2);
    list->setHeaderLabels({QStringLiteral("이름"), QStringLiteral("폴더")});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    return list;
}

TqbPathListDialog::TqbPathListDialog(const QString& title, const QList<TqbPathRow>& rows,
                                     QWidget* parent)
    : QDialog(parent) {
    setObjectName("dlgPathList");
    setWindowTitle(title);
    resize(480, 320);
    auto* layout = new QVBoxLayout(this);
    m_rows = qbNewNameFolderList(QStringLiteral("lstPaths"), this);
    for (const TqbPathRow& row : rows) {
        auto* item = new QTreeWidgetItem(m_rows, {row.Label, row.Folder});
        item->setData(0, Qt::UserRole, row.Path);
    }
    m_rows->setCurrentItem(m_rows->topLevelItem(0));
    layout->addWidget(m_rows, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_rows, &QTreeWidget::itemActivated, this, &QDialog::accept);
}

QString TqbPathListDialog::ChosenPath() const {
    const QTreeWidgetItem* item = m_rows->currentItem();
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}
