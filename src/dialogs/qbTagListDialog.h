#pragma once

#include "library/qbTagIndex.h"

#include <QDialog>
#include <QList>

class QListWidget;

// Every tag of the library with how many notes carry it; the one chosen is given back, for the
// jump list to show its notes.
class TqbTagListDialog : public QDialog {
    Q_OBJECT
public:
    static const QString NoTagsText;

    TqbTagListDialog(const QList<TqbTagCount>& tags, QWidget* parent = nullptr);
    QString ChosenTag() const;
    QListWidget* Rows() const { return m_rows; }

private:
    QList<TqbTagCount> m_tags;
    QListWidget* m_rows = nullptr;
};
