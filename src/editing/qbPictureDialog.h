#pragma once

#include <QDialog>

class QLineEdit;

namespace qbPicture {

// The address a picture gets in the note at `notePath`: a web address as it is; a file as a
// path relative to the note, so it still shows when the library folder moves. A file from
// outside the library is first copied beside the note (under a free name). Throws EqbError
// when that copy fails or the file does not exist.
QString PlaceInNote(const QString& picture, const QString& notePath, const QString& libraryDir);

} // namespace qbPicture

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
