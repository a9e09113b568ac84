#include "controls/KfFolderBrowser.h"

#include "controls/KfFolderRules.h"

#include <QCheckBox>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>

using namespace KfFolderRules;

TKfFolderBrowser::TKfFolderBrowser(const QString& rootPath, const QString& languageKey,
                                   QWidget* parent)
    : QDialog(parent), m_languageKey(languageKey) {
    setObjectName(QStringLiteral("KfFolderBrowser"));
    const TDialogTexts texts = DialogTexts(languageKey);
    setWindowTitle(texts.Title);

    m_label = new QLabel(this);
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));

    m_model = new QFileSystemModel(this);
    m_model->setReadOnly(true);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(rootPath);

    m_tree = new QTreeView(this);
    m_tree->setModel(m_model);
    m_tree->setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    const QModelIndex root = m_model->index(rootPath);
    const bool wholeFileSystem = root.isValid() && !root.parent().isValid();
    m_tree->setRootIndex(wholeFileSystem ? QModelIndex() : root);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { CurrentChanged(current); });
    // The tree fills and sorts in the background: keep the selection in sight as its folders
    // arrive, until the user scrolls or clicks.
    const auto follow = [this] {
        if (m_followSelection && m_tree->currentIndex().isValid())
            m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
    };
    connect(m_model, &QFileSystemModel::directoryLoaded, this, follow, Qt::QueuedConnection);
    connect(m_model, &QFileSystemModel::layoutChanged, this, follow, Qt::QueuedConnection);
    connect(m_model, &QFileSystemModel::rowsInserted, this, follow, Qt::QueuedConnection);
    connect(m_tree->verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { m_followSelection = false; });
    connect(m_tree, &QTreeView::pressed, this, [this] { m_followSelection = false; });
    if (wholeFileSystem) {
        const QModelIndex home = m_model->index(QDir::homePath());
        for (QModelIndex at = home; at.isValid(); at = at.parent())
            m_tree->expand(at);
    }

    m_chkHidden = new QCheckBox(texts.ShowHidden, this);
    m_chkHidden->setObjectName(QStringLiteral("chkHidden"));
    connect(m_chkHidden, &QCheckBox::toggled, this, &TKfFolderBrowser::SetShowHidden);

    m_btnNewFolder = new QPushButton(this);
    m_btnNewFolder->setObjectName(QStringLiteral("btnNewFolder"));
    m_btnNewFolder->setAutoDefault(false);
    connect(m_btnNewFolder, &QPushButton::clicked, this, &TKfFolderBrowser::NewFolderCommand);
    m_btnOk = new QPushButton(texts.Ok, this);
    m_btnOk->setDefault(true);
    connect(m_btnOk, &QPushButton::clicked, this, &QDialog::accept);
    m_btnCancel = new QPushButton(texts.Cancel, this);
    m_btnCancel->setAutoDefault(false);
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    setMinimumSize(Scaled(260), Scaled(260));
    resize(Scaled(340), Scaled(400));
    UpdateButtons();
}

int TKfFolderBrowser::Scaled(int pixels) const {
    return pixels * logicalDpiY() / 96;
}

void TKfFolderBrowser::SetLabelCaption(const QString& text) {
    m_label->setText(text);
}

void TKfFolderBrowser::SetNewFolderCaption(const QString& text) {
    m_newFolderCaption = text;
    m_btnNewFolder->setText(text);
    LayOut();
}

void TKfFolderBrowser::SetShowPath(bool on) {
    m_showPath = on;
    m_status->setVisible(on);
    m_status->setText(StatusText());
    LayOut();
}

void TKfFolderBrowser::SetOnlyFileSystem(bool on) {
    m_onlyFileSystem = on;
    UpdateButtons();
}

void TKfFolderBrowser::SetNewFolderVisible(bool on) {
    m_newFolderVisible = on;
    UpdateButtons();
}

void TKfFolderBrowser::SetNewFolderEnabled(bool on) {
    m_newFolderEnabled = on;
    UpdateButtons();
}

bool TKfFolderBrowser::ShowHidden() const {
    return m_model->filter().testFlag(QDir::Hidden);
}

void TKfFolderBrowser::SetShowHidden(bool on) {
    m_chkHidden->setChecked(on);
    if (on != ShowHidden())
        m_model->setFilter(m_model->filter() ^ QDir::Hidden);
}

bool TKfFolderBrowser::SelectFolder(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return false;
    if (InHiddenFolder(QFileInfo(path).absoluteFilePath()))
        SetShowHidden(true);
    const QModelIndex index = m_model->index(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (!index.isValid())
        return false;
    for (QModelIndex at = index.parent(); at.isValid(); at = at.parent())
        m_tree->expand(at);
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    return true;
}

QString TKfFolderBrowser::StatusText() const {
    if (!m_showPath)
        return {};
    const QString shown = ShortenStatusPath(QDir::toNativeSeparators(m_workingPath));
    if (!shown.isEmpty() || !m_tree->currentIndex().isValid())
        return shown;
    return m_model->fileName(m_tree->currentIndex());
}

void TKfFolderBrowser::CurrentChanged(const QModelIndex& current) {
    m_workingPath = current.isValid() ? m_model->filePath(current) : QString();
    m_status->setText(StatusText());
    m_status->setToolTip(QDir::toNativeSeparators(m_workingPath));
    UpdateButtons();
    emit SelectionChanged(m_workingPath);
}

void TKfFolderBrowser::UpdateButtons() {
    const bool hasPath = !m_workingPath.isEmpty();
    m_btnOk->setEnabled(!m_onlyFileSystem || hasPath);
    m_btnNewFolder->setEnabled(hasPath && m_newFolderEnabled);
    m_btnNewFolder->setVisible(m_newFolderVisible);
}

void TKfFolderBrowser::NewFolderCommand() {
    std::optional<QString> name;
    if (m_namePrompt) {
        name = m_namePrompt(this, m_newFolderCaption);
    } else {
        bool ok = false;
        const QString text = QInputDialog::getText(this, m_newFolderCaption, QString(),
                                                   QLineEdit::Normal, QString(), &ok);
        if (ok)
            name = text;
    }
    if (name && !name->isEmpty())
        CreateNewFolder(*name);
}

bool TKfFolderBrowser::CreateNewFolder(const QString& name) {
    if (m_workingPath.isEmpty() || name.isEmpty())
        return false;
    const QString path = QDir::cleanPath(NewFolderPath(m_workingPath, name, u'/'));
    if (QDir().mkpath(path) && QFileInfo(path).isDir()) {
        SelectFolder(path);
        return true;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, m_newFolderCaption,
                                DialogTexts(m_languageKey).CannotCreate + QStringLiteral("\n\n") +
                                    QDir::toNativeSeparators(path),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return false;
}

void TKfFolderBrowser::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOut();
}

void TKfFolderBrowser::showEvent(QShowEvent* event) {
    if (!m_centred) {
        m_centred = true;
        const QScreen* where = parentWidget() ? parentWidget()->screen() : screen();
        if (where)
            move(CentredTopLeft(where->geometry(), frameGeometry().size()));
    }
    QDialog::showEvent(event);
}

void TKfFolderBrowser::LayOut() {
    const int w = width();
    const int h = height();
    const int margin = Scaled(12);
    const QFontMetrics metrics = fontMetrics();

    const QRect newFolder = NewFolderButtonRect(
        logicalDpiY(), h, style()->pixelMetric(QStyle::PM_TitleBarHeight),
        metrics.horizontalAdvance(m_btnNewFolder->text()));
    m_btnNewFolder->setGeometry(newFolder);
    const int buttonWidth = Scaled(75);
    m_btnCancel->setGeometry(w - margin - buttonWidth, newFolder.top(), buttonWidth,
                             newFolder.height());
    m_btnOk->setGeometry(m_btnCancel->x() - Scaled(6) - buttonWidth, newFolder.top(),
                         buttonWidth, newFolder.height());

    int top = Scaled(8);
    m_label->setGeometry(margin, top, w - 2 * margin, metrics.lineSpacing() * 2 + 2);
    top = m_label->geometry().bottom() + 1;
    if (m_showPath) {
        m_status->setGeometry(margin, top, w - 2 * margin, metrics.height() + 4);
        top = m_status->geometry().bottom() + 1;
    }
    top += Scaled(4);
    const int checkHeight = m_chkHidden->sizeHint().height();
    const int checkTop = newFolder.top() - Scaled(6) - checkHeight;
    m_chkHidden->setGeometry(margin, checkTop, w - 2 * margin, checkHeight);
    m_tree->setGeometry(margin, top, w - 2 * margin, checkTop - Scaled(4) - top);
}
