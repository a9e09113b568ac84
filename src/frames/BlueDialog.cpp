#include "frames/BlueDialog.h"

#include "controls/qbGradiClrs.h"
#include "frames/qbGrayFrame.h"

#include <QIcon>

TfrmBlueDialog::TfrmBlueDialog(QWidget* parent) : TfrmQbGrayDialog(parent) {
    frmQbNoCaptionCreate();
}

void TfrmBlueDialog::frmQbNoCaptionCreate() {
    qbInitFrameResources();
    SetColor(QColor(239, 239, 231));
    setWindowIcon(QIcon(QStringLiteral(":/frames/BlueDialog.xpm")));
    SetClientSize(329, 193);
    qbGradiColors1 = new TqbGradiColors(this);
    qbGradiColors1->setObjectName(QStringLiteral("qbGradiColors1"));

    btnConfirm = new TqbGradiButton(Client());
    btnConfirm->setObjectName(QStringLiteral("btnConfirm"));
    btnConfirm->setText(QStringLiteral("확인(&Y)"));
    btnConfirm->setGeometry(155, 140, 75, 25);
    btnConfirm->setDefault(true);
    btnConfirm->SetMarked(true);

    btnCancel = new TqbGradiButton(Client());
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setText(QStringLiteral("취소(&C)"));
    btnCancel->setGeometry(235, 140, 75, 25);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    for (TqbGradiButton* button : {btnConfirm, btnCancel}) {
        button->SetColors(qbGradiColors1);
        button->SetIconX(5);
        button->SetIconY(5);
    }
}
