#include "dialogs/Config.h"

#include "controls/KfFolderDialog.h"
#include "controls/qbColorPanel.h"
#include "controls/qbFonts.h"
#include "controls/qbGradiClrs.h"
#include "controls/qbImageLists.h"
#include "dialogs/ConfigRules.h"
#include "dialogs/qbWarningBox.h"
#include "library/qbNoteInfo.h"
#include "library/qbPaths.h"
#include "platform/qbError.h"

#include <QDir>
#include <QLabel>

using namespace ConfigRules;

TfrmConfig::TfrmConfig(TqbNoteInfo& noteInfo, QWidget* parent)
    : TfrmBlueDialog(parent), m_noteInfo(noteInfo) {
    frmQbNoCaptionCreate();
}

void TfrmConfig::frmQbNoCaptionCreate() {
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QStringLiteral("환경설정"));
    setWindowIcon(qbImgs16(qbImg::Settings));
    SetClientSize(336, 118);

    auto* label = new QLabel(QStringLiteral("데이터 디렉토리"), Client());
    label->move(9, 31);
    label->adjustSize();

    pnlDirData = new TqbColorPanel(Client());
    pnlDirData->setObjectName(QStringLiteral("pnlDirData"));
    pnlDirData->setGeometry(8, 46, 294, 18);
    pnlDirData->SetAllSides(13029070);
    pnlDirData->SetColor(QColor(241, 241, 239));
    pnlDirData->SetBorderWidth(3);
    pnlDirData->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pnlDirData->setFont(qbGulimChe(12));

    ColorsBrown = TqbGradiColors::CreateColorsBrown(this);
    btnDirData = new TqbGradiButton(Client());
    btnDirData->setObjectName(QStringLiteral("btnDirData"));
    btnDirData->setText(QStringLiteral("..."));
    btnDirData->setGeometry(306, 47, 17, 17);
    btnDirData->setAutoDefault(false);
    btnDirData->setFont(qbArial(12, true));
    btnDirData->SetRoundDegree(2);
    btnDirData->SetCapX(4);
    btnDirData->SetCapY(-2);
    btnDirData->SetColors(ColorsBrown);
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
    pnlDirData->SetCaption(ShortenPath(
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
