#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QTreeWidget;

// One row: a note's or folder's name, the folder it lies in, and its page.
struct TqbPathRow {
    QString Label;
    QString Folder;
    QString Path;
};

// The two columns, name and folder, that lists of notes show.
QTreeWidget* qbNewNameFolderList(const QString& objectName, QWidget* parent);

// A short list of notes to choose one of, by double-click or Enter: the notes that link to the
// open one.
class TqbPathListDialog : public QDialog {
    Q_OBJECT
public:
    TqbPathListDialog(const QString& title, const QList<TqbPathRow>& rows,
                      QWidget* parent = nullptr);

    QString ChosenPath() const;
    QTreeWidget* Rows() const { return m_rows; }

private:
    QTreeWidget* m_rows = nullptr;
};
