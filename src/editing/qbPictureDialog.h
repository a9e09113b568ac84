#pragma once

#include <QDialog>

class QLineEdit;

// Asks for a picture: a file chosen from disk or a web address.
class TqbPictureDialog : public QDialog {
    Q_OBJECT
public:
    explicit TqbPictureDialog(QWidget* parent = nullptr);
    QString Picture() const;
    void SetPicture(const QString& picture);

private:
    void Browse();

    QLineEdit* m_edtPicture = nullptr;
};
