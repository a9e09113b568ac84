#pragma once

#include "library/qbJumpList.h"

#include <QDialog>
#include <QLineEdit>
#include <QString>
#include <QStringList>

class QLabel;
class QTreeWidget;

// A line edit that tells what the user is typing with the syllable an input method is still
// composing in it, which text() leaves out: "하" on its way to "한" already narrows a list.
class TqbQueryEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
    QString Query() const;

signals:
    // The preedit changed; typed, pasted and deleted text is textChanged.
    void QueryChanged();

protected:
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    QString m_preedit;
};

// A small dialog that lists the library's notes and folders by name as the user types and
// gives back the one chosen: the jump to a note is one caller, choosing a note to link to
// another. A name gone from the disk when chosen is not given back: the dialog says so and
// stays open. What the user picked stays picked while names still arrive, and a key typed
// before the list caught up acts on the list for all that was typed.
class TqbNotePicker : public QDialog {
    Q_OBJECT
public:
    // acceptText: the caption of the button that takes the chosen item ("열기" for a jump).
    // recent: paths opened lately, the latest first; they lead the list.
    TqbNotePicker(const QString& title, const QString& acceptText, const QString& root,
                  const QString& noteExt, const QStringList& recent, QWidget* parent = nullptr);

    // The chosen item's path: a note's file, or a folder's directory followed by "/".
    const QString& ChosenPath() const { return m_chosen; }
    TqbJumpList& List() { return m_list; }
    TqbQueryEdit* QueryBox() const { return m_query; }
    QTreeWidget* Rows() const { return m_rows; }

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ScheduleRefresh();
    void Refresh();
    void ShowRows();
    void ListCaughtUp();

    TqbJumpList m_list;
    TqbQueryEdit* m_query = nullptr;
    QTreeWidget* m_rows = nullptr;
    QLabel* m_count = nullptr;
    QString m_chosen;
    QString m_shownQuery;
    bool m_refreshQueued = false;
    // Enter came while nothing was listed yet: the best name takes it once all are gathered.
    bool m_acceptWhenGathered = false;
};
