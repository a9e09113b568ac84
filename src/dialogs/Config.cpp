#include "dialogs/Config.h"

#include "controls/KfFolderDialog.h"
#include "controls/qbImageLists.h"
#include "dialogs/ConfigRules.h"
#include "dialogs/qbWarningBox.h"
#include "library/qbNoteInfo.h"
#include "library/qbPaths.h"
#include "platform/qbError.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>

using namespace ConfigRules;

TfrmConfig::TfrmConfig(TqbNoteInfo& noteInfo, QWidget* parent)
    : TqbDialogFrame(parent), m_noteInfo(noteInfo) {
    frmQbNoCaptionCreate();
}

void TfrmConfig::frmQbNoCaptionCreate() {
    FrameCreate();
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QStringLiteral("환경설정"));
    setWindowIcon(qbImgs16(qbImg::Settings));
    setFixedSize(336, 118);

    auto* label = new QLabel(QStringLiteral("데이터 디렉토리"), this);
    label->move(9, 31);
    label->adjustSize();

    // A plain field in the colour panel's colours until the drawn panel takes its place.
    pnlDirData = new QLabel(this);
    pnlDirData->setObjectName(QStringLiteral("pnlDirData"));
    pnlDirData->setGeometry(8, 46, 294, 18);
    pnlDirData->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pnlDirData->setStyleSheet(QStringLiteral(
        "QLabel { background-color: #F1F1EF; border: 1px solid #CECEC6; padding: 0 2px; }"));
    QFont panelFont(QStringLiteral("굴림체"));
    panelFont.setPixelSize(12);
    pnlDirData->setFont(panelFont);

    btnDirData = new QPushButton(QStringLiteral("..."), this);
    btnDirData->setObjectName(QStringLiteral("btnDirData"));
    btnDirData->setGeometry(306, 47, 17, 17);
    btnDirData->setAutoDefault(false);
    QFont buttonFont(QStringLiteral("Arial"));
    buttonFont.setPixelSize(12);
    buttonFont.setBold(true);
    btnDirData->setFont(buttonFont);
    connect(btnDirData, &QPushButton::clicked, this, &TfrmConfig::btnDirDataClick);

    btnConfirm->setGeometry(165, 80, 75, 25);
    btnCancel->setGeometry(245, 80, 75, 25);
    connect(btnConfirm, &QPushButton::clicked, this, &TfrmConfig::btnConfirmClick);
    setTabOrder(btnDirData, btnConfirm);
    setTabOrder(btnConfirm, btnCancel);

    dlgFolder = new TKfFolderDialog(this);
    dlgFolder->SetFlags(TKfBrowseFlag::OnlyComputers | TKfBrowseFlag::OnlyDomains |
                        TKfBrowseFlag::OnlyFileSystem | TKfBrowseFlag::ShowPath);
    dlgFolder->SetNewFolderCaptions({QStringLiteral("0412=새폴더")});

    SetDirData(m_noteInfo.GetDataDir());
    btnDirData->setFocus();
}

void TfrmConfig::SetDirData(const QString& path) {
    FDirData = path;
    const QFontMetrics metrics = fontMetrics();
    pnlDirData->setText(ShortenPath(
        path, [&](const QString& text) { return metrics.horizontalAdvance(text); },
        DirDataTextWidth));
    pnlDirData->setToolTip(QDir::toNativeSeparators(path));
}

void TfrmConfig::btnDirDataClick() {
    if (!dlgFolder->RunFolderBrowser())
        return;
    const QString chosen = dlgFolder->Folder();
    if (const QString fault = DataDirFault(chosen); !fault.isEmpty()) {
        qbShowWarningBox(this, fault);
        return;
    }
    SetDirData(chosen);
}

void TfrmConfig::btnConfirmClick() {
    try {
        m_noteInfo.SetDataDir(FDirData);
    } catch (const EqbError& error) {
        qbShowWarningBox(this, MsgCannotSave + u'\n' + error.Message());
        return;
    }
    accept();
}
