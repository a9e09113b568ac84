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
#include <QKeySequenceEdit>
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
    SetClientSize(336, 150);

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

    // The default library may lie in a hidden folder the browser does not show at first.
    btnDefaultDir = new TqbGradiButton(Client());
    btnDefaultDir->setObjectName(QStringLiteral("btnDefaultDir"));
    btnDefaultDir->setText(QStringLiteral("기본 위치"));
    btnDefaultDir->setGeometry(8, 112, 75, 25);
    btnDefaultDir->setAutoDefault(false);
    btnDefaultDir->SetColors(btnConfirm->Colors());
    connect(btnDefaultDir, &QPushButton::clicked, this, &TfrmConfig::btnDefaultDirClick);

    auto* keyLabel = new QLabel(QStringLiteral("빠른 메모 키 (모든 프로그램에서)"), Client());
    keyLabel->move(9, 80);
    keyLabel->adjustSize();
    edtCaptureKey = new QKeySequenceEdit(Client());
    edtCaptureKey->setObjectName(QStringLiteral("edtCaptureKey"));
    edtCaptureKey->setGeometry(8, 95, 235, 22);
    connect(edtCaptureKey, &QKeySequenceEdit::keySequenceChanged, this,
            &TfrmConfig::KeepFirstCombination);
    btnNoCaptureKey = new TqbGradiButton(Client());
    btnNoCaptureKey->setObjectName(QStringLiteral("btnNoCaptureKey"));
    btnNoCaptureKey->setText(QStringLiteral("지우기"));
    btnNoCaptureKey->setGeometry(248, 95, 54, 22);
    btnNoCaptureKey->setAutoDefault(false);
    btnNoCaptureKey->SetColors(btnConfirm->Colors());
    connect(btnNoCaptureKey, &QPushButton::clicked, edtCaptureKey, &QKeySequenceEdit::clear);

    btnConfirm->setGeometry(165, 112, 75, 25);
    btnCancel->setGeometry(245, 112, 75, 25);
    connect(btnConfirm, &QPushButton::clicked, this, &TfrmConfig::btnConfirmClick);
    setTabOrder(btnDirData, btnDefaultDir);
    setTabOrder(btnDefaultDir, edtCaptureKey);
    setTabOrder(edtCaptureKey, btnNoCaptureKey);
    setTabOrder(btnNoCaptureKey, btnConfirm);
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
    // The browser opens at the folder shown.
    dlgFolder->SetFolder(path);
}

void TfrmConfig::ChooseDirData(const QString& path) {
    if (const QString fault = DataDirFault(path); !fault.isEmpty()) {
        qbShowWarningBox(this, fault);
        return;
    }
    SetDirData(path);
}

void TfrmConfig::btnDirDataClick() {
    if (dlgFolder->RunFolderBrowser())
        ChooseDirData(dlgFolder->Folder());
}

void TfrmConfig::btnDefaultDirClick() {
    ChooseDirData(m_noteInfo.DefaultDataDir());
}

void TfrmConfig::SetCaptureKey(const QKeySequence& key, TApplyCaptureKey apply) {
    m_captureKey = key;
    m_applyCaptureKey = std::move(apply);
    edtCaptureKey->setKeySequence(key);
}

void TfrmConfig::KeepFirstCombination() {
    const QKeySequence key = edtCaptureKey->keySequence();
    if (key.count() > 1)
        edtCaptureKey->setKeySequence(QKeySequence(key[0]));
}

bool TfrmConfig::ApplyCaptureKey() {
    const QKeySequence key = edtCaptureKey->keySequence();
    if (!m_applyCaptureKey || key == m_captureKey)
        return true;
    const TqbGlobalKey::TOutcome outcome = m_applyCaptureKey(key);
    if (outcome == TqbGlobalKey::TOutcome::Taken || outcome == TqbGlobalKey::TOutcome::Unusable) {
        edtCaptureKey->setKeySequence(m_captureKey);
        qbShowWarningBox(this,
                         outcome == TqbGlobalKey::TOutcome::Taken ? MsgKeyTaken : MsgKeyUnusable);
        return false;
    }
    m_captureKey = key;
    return true;
}

void TfrmConfig::btnConfirmClick() {
    try {
        if (!ApplyCaptureKey())
            return;
        m_noteInfo.SetDataDir(FDirData);
    } catch (const EqbError& error) {
        qbShowWarningBox(this, MsgCannotSave + u'\n' + error.Message());
        return;
    }
    accept();
}
