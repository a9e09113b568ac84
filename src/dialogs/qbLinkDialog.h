#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

// Making a link: a web address typed as ever, or "노트에 연결", a note or folder of the library
// picked by name and written relative to the note the link goes in.
class TqbLinkDialog : public QDialog {
    Q_OBJECT
public:
    TqbLinkDialog(const QString& root, const QString& noteExt, const QString& notePath,
                  QWidget* parent = nullptr);

    // The href to write; empty when nothing was given.
    const QString& Address() const { return m_address; }
    // The picked note's or folder's name, the text of a link made with nothing selected;
    // empty for a web address.
    const QString& TargetName() const { return m_targetName; }

    QLineEdit* AddressBox() const { return m_addressBox; }
    QPushButton* NoteButton() const { return m_noteButton; }

    void accept() override;
    // Links to the item the picker gives back (a note's file, or a folder's path ending in "/").
    void LinkTo(const QString& pickedPath);

private:
    void PickNote();

    QString m_root;
    QString m_noteExt;
    QString m_notePath;
    QString m_address;
    QString m_targetName;
    QLineEdit* m_addressBox = nullptr;
    QPushButton* m_noteButton = nullptr;
};
