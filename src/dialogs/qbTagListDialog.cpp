#include "dialogs/qbTagListDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

const QString TqbTagListDialog::NoTagsText =
    QStringLiteral("태그를 단 노트가 없습니다. 노트 위의 태그 칸에 쉼표로 나눠 적으세요.");

TqbTagListDialog::TqbTagListDialog(const QList<TqbTagCount>& tags, QWidget* parent)
    : QDialog(parent), m_tags(tags) {
    setObjectName("dlgTagList");
    setWindowTitle(QStringLiteral("태그 목록"));
    resize(320, 400);
    auto* layout = new QVBoxLayout(this);
    m_rows = new QListWidget(this);
    for (const TqbTagCount& tag : tags)
        m_rows->addItem(QStringLiteral("%1 (%2)").arg(tag.Tag).arg(tag.Notes));
    m_rows->setCurrentRow(0);
    layout->addWidget(m_rows, 1);
    if (tags.isEmpty()) {
        auto* none = new QLabel(NoTagsText, this);
        none->setWordWrap(true);
        layout->addWidget(none);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("노트 보기"));
    buttons->button(QDialogButtonBox::Ok)->setEnabled(!tags.isEmpty());
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("닫기"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_rows, &QListWidget::itemActivated, this, &QDialog::accept);
}

QString TqbTagListDialog::ChosenTag() const {
    const int row = m_rows->currentRow();
    return row >= 0 && row < m_tags.size() ? m_tags[row].Tag : QString();
}
