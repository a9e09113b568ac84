#pragma once

#include <QDateTime>
#include <QString>
#include <QWidget>

class QTableWidget;
class QToolBar;

// What the insert panel puts into a note, apart from the panel so that it can be checked alone.
namespace qbInsert {

enum TInsertToolKind { itTitle = 0, itTime = 1, itBox = 2, itTodo = 3 };

inline constexpr int GridColumns = 4;

// The 73 characters of the grid, in order.
const QString& SpecialCharacterSet();
int GridRowCount();
// The character shown at a cell; empty for the cells after the last one.
QString GridCharacter(int row, int column);

// "yyyy-mm-dd hh:nn:ss" in the time's own zone.
QString TimeStamp(const QDateTime& time);
// The fragment an insert button puts in; empty for an unknown kind.
QString SnippetFor(int kind, const QDateTime& now);
// The grid's current row after a wheel turn.
int RowAfterWheel(int row, int rowCount, int delta);

} // namespace qbInsert

// The insert panel of edit mode: four snippet buttons over the special character grid. It only
// reports what to insert; the window puts it into the note.
class TqbInsertTools : public QWidget {
    Q_OBJECT
public:
    explicit TqbInsertTools(QWidget* parent = nullptr);

    QToolBar* PasteBar() const { return m_tbPaste; }
    QTableWidget* Grid() const { return m_grd; }
    // Moves the grid's current row by one, as a wheel turn over the panel does.
    void WheelTurned(int delta);

signals:
    void InsertHtml(const QString& html);
    // After a character was inserted: the note's view should take the focus back.
    void CharacterInserted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ToolButton11Click(int kind);
    void grdMouseUp();

    QToolBar* m_tbPaste = nullptr;
    QTableWidget* m_grd = nullptr;
};
