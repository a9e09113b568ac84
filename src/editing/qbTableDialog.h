#pragma once

#include <QDialog>

class QCheckBox;
class QSpinBox;

// Asks for the size of a new table and whether its first row is a header row.
class TqbTableDialog : public QDialog {
    Q_OBJECT
public:
    explicit TqbTableDialog(QWidget* parent = nullptr);

    int Rows() const;
    int Columns() const;
    bool HeaderRow() const;

private:
    QSpinBox* m_spnRows = nullptr;
    QSpinBox* m_spnColumns = nullptr;
    QCheckBox* m_chkHeaderRow = nullptr;
};
