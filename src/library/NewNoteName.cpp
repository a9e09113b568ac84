#include "library/NewNoteName.h"

#include "library/qbNameRules.h"
#include "platform/qbNativeNames.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

TfrmNewNoteName::TfrmNewNoteName(const QString& templateDir, QWidget* parent)
    : TfrmBlueDialog(parent), m_templateDir(templateDir) {
    if (!m_templateDir.isEmpty() && !m_templateDir.endsWith(u'/'))
        m_templateDir += u'/';
    frmQbNoCaptionCreate();
}

void TfrmNewNoteName::frmQbNoCaptionCreate() {
    setObjectName("frmNewNoteName");
    setWindowTitle(QStringLiteral("이름 등록/변경"));
    SetClientSize(419, 268);

    lstTemplate = new QListWidget(Client());
    lstTemplate->setObjectName("lstTemplate");
    lstTemplate->setGeometry(8, 23, 403, 178);
    lstTemplate->setViewMode(QListView::IconMode);
    lstTemplate->setIconSize(QSize(32, 32));
    lstTemplate->setWordWrap(false);
    lstTemplate->setMovement(QListView::Static);
    lstTemplate->setResizeMode(QListView::Adjust);
    lstTemplate->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstTemplate->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(lstTemplate, &QListWidget::itemDoubleClicked, this,
            [this] { lstTemplateDblClick(); });

    Label1 = new QLabel(QStringLiteral("이름:"), Client());
    Label1->setObjectName("Label1");
    Label1->move(10, 210);
    Label1->adjustSize();

    edtName = new QLineEdit(Client());
    edtName->setObjectName("edtName");
    edtName->setGeometry(49, 206, 362, 20);
    edtName->setMinimumHeight(22);
    edtName->setAttribute(Qt::WA_InputMethodEnabled, true);

    labMsg = new QLabel(Client());
    labMsg->setObjectName("labMsg");
    labMsg->setGeometry(10, 238, 255, 22);
    labMsg->setWordWrap(true);
    QFont font(QStringLiteral("굴림체"));
    font.setPixelSize(12);
    labMsg->setFont(font);
    QPalette palette = labMsg->palette();
    palette.setColor(QPalette::WindowText, MessageColor);
    labMsg->setPalette(palette);
    labMsg->clear();

    btnConfirm->setGeometry(266, 235, 71, 25);
    btnCancel->setGeometry(340, 235, 71, 25);
    connect(btnConfirm, &QPushButton::clicked, this, &TfrmNewNoteName::btnConfirmClick);

    FillTemplates();
    edtName->setFocus();
}

void TfrmNewNoteName::FillTemplates() {
    if (m_templateDir.isEmpty())
        return;
    // Templates copied from Windows are named in CP949 bytes, which no path of ours reaches.
    if (const QStringList failures = qbNativeNames::AdoptCp949Names(m_templateDir);
        !failures.isEmpty())
        labMsg->setText(failures.join(u'\n'));
    const QDir dir(m_templateDir);
    // The platform gives no order: sorted by name.
    const QStringList names =
        dir.entryList({QStringLiteral("*.htm")},
                      QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                      QDir::Name | QDir::LocaleAware);
    for (const QString& name : names) {
        const QString caption = name.chopped(4);
        auto* item = new QListWidgetItem(caption, lstTemplate);
        const QString iconPath = m_templateDir + caption + QStringLiteral(".ico");
        if (QFileInfo::exists(iconPath)) {
            const QIcon icon(iconPath);
            if (!icon.isNull())
                item->setIcon(QIcon(icon.pixmap(32, 32)));
        }
    }
    if (lstTemplate->count() > 0)
        lstTemplate->setCurrentRow(0);
}

void TfrmNewNoteName::ProposeName(const QString& base) {
    BasePath = base;
    edtName->setText(qbNameRules::ProposeName(base, NoteExt));
}

QString TfrmNewNoteName::Name() const {
    return qbNameRules::TrimName(edtName->text());
}

QString TfrmNewNoteName::SelectedTemplate() const {
    const auto selected = lstTemplate->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void TfrmNewNoteName::ShowMessage(const QString& text) {
    labMsg->setText(text);
    edtName->selectAll();
    edtName->setFocus();
}

void TfrmNewNoteName::btnConfirmClick() {
    const QString fault = qbNameRules::NewNoteNameFault(BasePath, edtName->text(), NoteExt);
    if (!fault.isEmpty()) {
        ShowMessage(fault);
        return;
    }
    accept();
}

void TfrmNewNoteName::lstTemplateDblClick() {
    btnConfirmClick();
}
