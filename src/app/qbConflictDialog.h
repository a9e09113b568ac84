#pragma once

#include "library/qbNoteMerge.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QString>

class QAbstractButton;
class QButtonGroup;

// A note and a sync engine's conflict copy of it, side by side as they would look (what differs
// marked in each) and as their source, with the choices the user has. It only shows and asks:
// what a choice does is TqbConflictResolution's.
class TqbConflictDialog : public QDialog {
    Q_OBJECT
public:
    enum class TChoice { Later, KeepThis, TakeOther, KeepBoth, Merge };

    TqbConflictDialog(const QString& notePath, const QString& copyPath, const QByteArray& ours,
                      const QByteArray& theirs, QWidget* parent = nullptr);

    TChoice Choice() const { return m_choice; }
    QAbstractButton* Button(TChoice choice) const;

private:
    QWidget* Side(const QString& caption, const QByteArray& page, const QByteArray& other,
                  const QString& notePath, const char* name);

    TChoice m_choice = TChoice::Later;
    QList<std::pair<TChoice, QAbstractButton*>> m_buttons;
};

// The overlaps of a merge, each with the blocks of both versions; the user takes one side of
// each. Every overlap starts on this computer's side.
class TqbOverlapDialog : public QDialog {
    Q_OBJECT
public:
    TqbOverlapDialog(const QString& noteName, const TqbMergeResult& result,
                     QWidget* parent = nullptr);

    // One answer per overlap, in order: true takes this computer's blocks.
    QList<bool> TakeOurs() const;
    // The answer for the overlap at index (tests choose through this as a click would).
    void Take(qsizetype overlap, bool ours);

private:
    QList<QButtonGroup*> m_groups;
};
