#include "editing/qbPictureDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TqbPictureDialog::TqbPictureDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("dlgPicture");
    setWindowTitle(QStringLiteral("이미지 추가"));
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(QStringLiteral("그림 파일 또는 주소:"), this));
    auto* row = new QHBoxLayout;
    m_edtPicture = new QLineEdit(this);
    m_edtPicture->setObjectName("edtPicture");
    m_edtPicture->setMinimumWidth(320);
    auto* browse = new QPushButton(QStringLiteral("찾아보기(&B)..."), this);
    browse->setObjectName("btnBrowsePicture");
    row->addWidget(m_edtPicture, 1);
    row->addWidget(browse);
    column->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    column->addWidget(buttons);
    connect(browse, &QPushButton::clicked, this, &TqbPictureDialog::Browse);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString TqbPictureDialog::Picture() const {
    return m_edtPicture->text().trimmed();
}

void TqbPictureDialog::SetPicture(const QString& picture) {
    m_edtPicture->setText(picture);
}

void TqbPictureDialog::Browse() {
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("그림 파일"), QString(),
        QStringLiteral("그림 (*.png *.jpg *.jpeg *.gif *.bmp *.webp *.svg);;모든 파일 (*)"));
    if (!file.isEmpty())
        m_edtPicture->setText(QDir::toNativeSeparators(file));
}
