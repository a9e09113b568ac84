#include "library/qbDialogFrame.h"

#include <QPushButton>

TqbDialogFrame::TqbDialogFrame(QWidget* parent) : QDialog(parent) {}

void TqbDialogFrame::FrameCreate() {
    btnConfirm = new QPushButton(QStringLiteral("확인(&Y)"), this);
    btnConfirm->setObjectName("btnConfirm");
    btnConfirm->setDefault(true);
    btnConfirm->setAutoDefault(true);
    btnCancel = new QPushButton(QStringLiteral("취소(&C)"), this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setAutoDefault(false);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}
