#pragma once

#include <QDialog>

class QLineEdit;

namespace qbPicture {

// Where pictures from outside the library are kept: in each note's folder, hidden from the tree.
inline constexpr const char* ImagesFolder = "__images";

// The address a picture gets in the note at `notePath`, percent-encoded: a web address as it
// is; a file as a path relative to the note, so it still shows when the library folder moves.
// A file from outside the library is first copied into the note folder's "__images" (made when
// missing) and linked as "__images/<name>"; a file of that name holding other bytes makes the
// copy "<name>_2.<ext>" (or the next free number), one holding the same bytes is used as it is.
// Throws EqbError when the copy fails or the file does not exist.
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
