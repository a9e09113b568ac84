#include "dialogs/qbLinkDialog.h"

#include "dialogs/qbNotePicker.h"
#include "library/qbNoteLinks.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString WebPrefix = QStringLiteral("http://");
}

TqbLinkDialog::TqbLinkDialog(const QString& root, const QString& noteExt, const QString& notePath,
                             QWidget* parent)
    : QDialog(parent), m_root(root), m_noteExt(noteExt), m_notePath(notePath) {
    setObjectName("dlgLink");
    setWindowTitle(QStringLiteral("링크 만들기"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("링크 주소:"), this));
    m_addressBox = new QLineEdit(WebPrefix, this);
    m_addressBox->setObjectName("edtAddress");
    m_addressBox->setMinimumWidth(360);
    layout->addWidget(m_addressBox);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_noteButton = buttons->addButton(QStringLiteral("노트에 연결"), QDialogButtonBox::ActionRole);
    m_noteButton->setObjectName("btnToNote");
    m_noteButton->setEnabled(!root.isEmpty() && !notePath.isEmpty());
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TqbLinkDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TqbLinkDialog::reject);
    connect(m_noteButton, &QPushButton::clicked, this, &TqbLinkDialog::PickNote);
}

void TqbLinkDialog::accept() {
    const QString typed = m_addressBox->text().trimmed();
    if (typed.isEmpty() || typed == WebPrefix) {
        reject();
        return;
    }
    m_address = typed;
    m_targetName.clear();
    QDialog::accept();
}

void TqbLinkDialog::PickNote() {
    TqbNotePicker picker(QStringLiteral("노트에 연결"), QStringLiteral("연결"), m_root, m_noteExt, {},
                         this);
    if (picker.exec() == QDialog::Accepted)
        LinkTo(picker.ChosenPath());
}

void TqbLinkDialog::LinkTo(const QString& pickedPath) {
    const bool folder = pickedPath.endsWith(u'/');
    // A folder is linked as a folder: the tree shows it as its page.
    m_address = folder ? qbNoteLinks::Href(m_notePath, pickedPath.chopped(1)) + u'/'
                       : qbNoteLinks::Href(m_notePath, pickedPath);
    m_targetName = folder ? QDir(pickedPath).dirName() : QFileInfo(pickedPath).completeBaseName();
    QDialog::accept();
}
