#include "editing/qbTableEdit.h"

#include "editing/qbDhtmlEdit.h"
#include "editing/qbSelectionState.h"

bool TqbTableEdit::Applies(TCommand command, const TqbSelectionState& state) {
    if (!state.Editable)
        return false;
    switch (command) {
    case TCommand::InsertTable:
        return true;
    case TCommand::MergeCells:
        return state.CanMergeCells;
    case TCommand::SplitCell:
        return state.CanSplitCell;
    default:
        return state.InTable;
    }
}

bool TqbTableEdit::Applies(TCommand command) const {
    return m_edit.IsDocumentReady() && Applies(command, m_edit.SelectionState());
}

bool TqbTableEdit::InsertTable(int rows, int columns, bool headerRow) {
    return m_edit.RunPageCommand(QStringLiteral("insertTable"), {rows, columns, headerRow})
        .toBool();
}

bool TqbTableEdit::Run(TCommand command) {
    const auto run = [this](const char* name, const QVariantList& args = {}) {
        return m_edit.RunPageCommand(QString::fromLatin1(name), args).toBool();
    };
    switch (command) {
    case TCommand::InsertTable:
        return false;
    case TCommand::RowAbove:
        return run("insertRow", {false});
    case TCommand::RowBelow:
        return run("insertRow", {true});
    case TCommand::ColumnLeft:
        return run("insertColumn", {false});
    case TCommand::ColumnRight:
        return run("insertColumn", {true});
    case TCommand::DeleteRows:
        return run("deleteRows");
    case TCommand::DeleteColumns:
        return run("deleteColumns");
    case TCommand::MergeCells:
        return run("mergeCells");
    case TCommand::SplitCell:
        return run("splitCell");
    }
    return false;
}
