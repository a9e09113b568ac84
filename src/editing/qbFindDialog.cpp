#include "editing/qbFindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

const QString TqbFindDialog::NotFoundText = QStringLiteral("찾는 문자열이 없습니다.");

TqbFindDialog::TqbFindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("dlgFind");
    setWindowTitle(QStringLiteral("찾기"));
    setModal(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("찾을 내용(&N):"), this), 0, 0);
    m_edtText = new QLineEdit(this);
    m_edtText->setObjectName("edtFindText");
    m_edtText->setMinimumWidth(200);
    grid->addWidget(m_edtText, 0, 1);
    static_cast<QLabel*>(grid->itemAtPosition(0, 0)->widget())->setBuddy(m_edtText);

    m_chkCase = new QCheckBox(QStringLiteral("대/소문자 구분(&C)"), this);
    m_chkCase->setObjectName("chkFindCase");
    grid->addWidget(m_chkCase, 1, 0);
    auto* direction = new QGroupBox(QStringLiteral("방향"), this);
    auto* directionRow = new QHBoxLayout(direction);
    m_rdoUp = new QRadioButton(QStringLiteral("위로(&U)"), direction);
    m_rdoDown = new QRadioButton(QStringLiteral("아래로(&D)"), direction);
    m_rdoDown->setChecked(true);
    directionRow->addWidget(m_rdoUp);
    directionRow->addWidget(m_rdoDown);
    grid->addWidget(direction, 1, 1);

    m_lblResult = new QLabel(this);
    m_lblResult->setObjectName("lblFindResult");
    grid->addWidget(m_lblResult, 2, 0, 1, 2);

    auto* buttons = new QVBoxLayout;
    m_btnFind = new QPushButton(QStringLiteral("다음 찾기(&F)"), this);
    m_btnFind->setObjectName("btnFindNext");
    m_btnFind->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("닫기"), this);
    buttons->addWidget(m_btnFind);
    buttons->addWidget(close);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 3, 1);

    connect(m_btnFind, &QPushButton::clicked, this, &TqbFindDialog::Find);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    connect(m_edtText, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_btnFind->setEnabled(!text.isEmpty());
        m_lblResult->clear();
    });
    m_btnFind->setEnabled(false);
}

QString TqbFindDialog::SearchText() const {
    return m_edtText->text();
}

void TqbFindDialog::SetSearchText(const QString& text) {
    m_edtText->setText(text);
}

bool TqbFindDialog::Backward() const {
    return m_rdoUp->isChecked();
}

bool TqbFindDialog::CaseSensitive() const {
    return m_chkCase->isChecked();
}

void TqbFindDialog::Open() {
    m_lblResult->clear();
    show();
    raise();
    activateWindow();
    m_edtText->setFocus();
    m_edtText->selectAll();
}

void TqbFindDialog::ShowResult(bool found) {
    m_lblResult->setText(found ? QString() : NotFoundText);
}

void TqbFindDialog::Find() {
    if (!SearchText().isEmpty())
        emit FindNext(SearchText(), Backward(), CaseSensitive());
}
