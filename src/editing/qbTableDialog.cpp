#include "editing/qbTableDialog.h"

#include "editing/qbTableEdit.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox* SizeBox(const char* name, int maximum, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(1, maximum);
    box->setValue(3);
    return box;
}

} // namespace

TqbTableDialog::TqbTableDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("dlgTable");
    setWindowTitle(QStringLiteral("표 넣기"));
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_spnRows = SizeBox("spnRows", TqbTableEdit::MaxRows, this);
    m_spnColumns = SizeBox("spnColumns", TqbTableEdit::MaxColumns, this);
    form->addRow(QStringLiteral("행 수(&R):"), m_spnRows);
    form->addRow(QStringLiteral("열 수(&C):"), m_spnColumns);
    column->addLayout(form);
    m_chkHeaderRow = new QCheckBox(QStringLiteral("첫 행을 제목 행으로(&H)"), this);
    m_chkHeaderRow->setObjectName("chkHeaderRow");
    column->addWidget(m_chkHeaderRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int TqbTableDialog::Rows() const {
    return m_spnRows->value();
}

int TqbTableDialog::Columns() const {
    return m_spnColumns->value();
}

bool TqbTableDialog::HeaderRow() const {
    return m_chkHeaderRow->isChecked();
}
