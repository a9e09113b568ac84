#include "app/qbVersionsDialog.h"

#include "app/qbPageView.h"
#include "library/qbLineDiff.h"
#include "platform/qbError.h"
#include "platform/qbPageCodec.h"
#include "platform/qbTextFile.h"
#include "search/qbVisibleText.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSplitter>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

namespace {

QByteArray ReadOrEmpty(const QString& path) {
    try {
        return QFileInfo(path).isFile() ? qbText::ReadFileBytes(path) : QByteArray();
    } catch (const EqbError&) {
        return {};
    }
}

} // namespace

QStringList qbVisibleLines(const QByteArray& pageBytes) {
    QStringList lines;
    const TqbVisibleText visible(qbPageCodec::Decode(pageBytes).Text);
    for (const QString& line : visible.Text().split(u'\n'))
        if (const QString trimmed = line.trimmed(); !trimmed.isEmpty())
            lines << trimmed;
    return lines;
}

QString qbComparisonHtml(const QByteArray& versionBytes, const QByteArray& currentBytes) {
    QString html;
    bool marked = false;
    for (const qbLineDiff::TLine& line :
         qbLineDiff::Compare(qbVisibleLines(versionBytes), qbVisibleLines(currentBytes))) {
        // The view opens at the first difference.
        if (line.Kind != qbLineDiff::TKind::Same && !std::exchange(marked, true))
            html += QStringLiteral("<a name=\"change\"></a>");
        switch (line.Kind) {
        case qbLineDiff::TKind::Same:
            html += QStringLiteral("<div>&nbsp; %1</div>").arg(line.Text.toHtmlEscaped());
            break;
        case qbLineDiff::TKind::Removed:
            html += QStringLiteral("<div style=\"background:#fdd\">- %1</div>")
                        .arg(line.Text.toHtmlEscaped());
            break;
        case qbLineDiff::TKind::Added:
            html += QStringLiteral("<div style=\"background:#dfd\">+ %1</div>")
                        .arg(line.Text.toHtmlEscaped());
            break;
        }
    }
    return html;
}

TqbVersionsDialog::TqbVersionsDialog(const QString& title, const QString& notePath,
                                     const QList<TqbVersionRow>& rows, QWidget* parent)
    : QDialog(parent), m_notePath(notePath) {
    setObjectName("dlgVersions");
    setWindowTitle(title);
    resize(900, 600);
    auto* layout = new QVBoxLayout(this);
    auto* split = new QSplitter(Qt::Horizontal, this);
    layout->addWidget(split, 1);

    m_rows = new QTreeWidget(split);
    m_rows->setObjectName("lstVersions");
    m_rows->setColumnCount(2);
    m_rows->setHeaderLabels({QStringLiteral("시간"), QStringLiteral("크기")});
    m_rows->setRootIsDecorated(false);
    m_rows->setUniformRowHeights(true);
    m_rows->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    const QLocale locale;
    for (const TqbVersionRow& row : rows) {
        auto* item = new QTreeWidgetItem(
            m_rows, {row.Caption, locale.toString(row.Bytes) + QStringLiteral(" 바이트")});
        item->setData(0, Qt::UserRole, row.Path);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }

    auto* right = new QSplitter(Qt::Vertical, split);
    m_page = new TqbPageView(right);
    m_page->setObjectName("vwVersion");
    auto* below = new QWidget(right);
    auto* belowLayout = new QVBoxLayout(below);
    belowLayout->setContentsMargins(0, 0, 0, 0);
    belowLayout->addWidget(new QLabel(
        QStringLiteral("지금 노트와 비교: - 이 버전에만 있는 줄, + 지금 노트에만 있는 줄"), below));
    m_comparison = new QTextEdit(below);
    m_comparison->setObjectName("txtComparison");
    m_comparison->setReadOnly(true);
    belowLayout->addWidget(m_comparison, 1);
    // The page as the note would look is what the user came for; the list needs little room.
    split->setSizes({260, 640});
    right->setSizes({360, 240});

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* restore =
        buttons->addButton(QStringLiteral("되살리기"), QDialogButtonBox::AcceptRole);
    restore->setObjectName("btnRestore");
    buttons->addButton(QStringLiteral("닫기"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_rows, &QTreeWidget::currentItemChanged, this, &TqbVersionsDialog::ShowChosen);
    m_rows->setCurrentItem(m_rows->topLevelItem(0));
    restore->setEnabled(!rows.isEmpty());
}

QString TqbVersionsDialog::ChosenPath() const {
    const QTreeWidgetItem* item = m_rows->currentItem();
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}

void TqbVersionsDialog::ShowChosen() {
    const QByteArray bytes = ReadOrEmpty(ChosenPath());
    m_page->ShowPage(bytes, m_notePath);
    m_comparison->setHtml(qbComparisonHtml(bytes, ReadOrEmpty(m_notePath)));
    m_comparison->scrollToAnchor(QStringLiteral("change"));
}
