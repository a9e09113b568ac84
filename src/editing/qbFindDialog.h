#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// A small modeless find box over the note: it asks for the next match and shows whether there
// was one. The same box serves the page and the source text.
class TqbFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TqbFindDialog(QWidget* parent = nullptr);

    QString SearchText() const;
    void SetSearchText(const QString& text);
    bool Backward() const;
    bool CaseSensitive() const;
    // Shows the box with its text selected, keeping the text of its previous use.
    void Open();
    void ShowResult(bool found);

    static const QString NotFoundText;

signals:
    void FindNext(const QString& text, bool backward, bool caseSensitive);

private:
    void Find();

    QLineEdit* m_edtText = nullptr;
    QCheckBox* m_chkCase = nullptr;
    QRadioButton* m_rdoUp = nullptr;
    QRadioButton* m_rdoDown = nullptr;
    QPushButton* m_btnFind = nullptr;
    QLabel* m_lblResult = nullptr;
};
