#pragma once

#include <QString>

class TqbDhtmlEdit;
struct TqbSelectionState;

// The table commands of edit mode. The page script carries each out as one step of the page's
// own undo; this says which apply where the selection is and asks the page to run them.
class TqbTableEdit {
public:
    enum class TCommand {
        InsertTable,
        RowAbove,
        RowBelow,
        ColumnLeft,
        ColumnRight,
        DeleteRows,
        DeleteColumns,
        MergeCells,
        SplitCell,
    };

    // The largest table the insert dialog offers.
    static constexpr int MaxRows = 500;
    static constexpr int MaxColumns = 50;

    explicit TqbTableEdit(TqbDhtmlEdit& edit) : m_edit(edit) {}

    // Whether the command applies at the selection the page last reported.
    static bool Applies(TCommand command, const TqbSelectionState& state);
    bool Applies(TCommand command) const;

    // A table of empty cells at the caret, the caret in its first cell; the first row is of
    // header cells when asked. False when the page put nothing in.
    bool InsertTable(int rows, int columns, bool headerRow);
    // Any command but InsertTable, on the cells the selection reaches; false when the page found
    // nothing to do (no table there, one cell to merge, a cell that spans nothing to split).
    bool Run(TCommand command);

private:
    TqbDhtmlEdit& m_edit;
};
