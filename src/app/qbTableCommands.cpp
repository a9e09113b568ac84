#include "app/qbTableCommands.h"

#include "app/qbActionTable.h"
#include "editing/qbDhtmlEdit.h"
#include "editing/qbTableDialog.h"
#include "editing/qbTableEdit.h"
#include "note/qbOpenNote.h"

#include <QAction>
#include <QMenu>

namespace {

using TCommand = TqbTableEdit::TCommand;

// In the order of TqbTableEdit's commands, which their tags name.
const char* const ActionNames[] = {
    "actTableInsert",        "actTableRowAbove",    "actTableRowBelow",
    "actTableColumnLeft",    "actTableColumnRight", "actTableDeleteRows",
    "actTableDeleteColumns", "actTableMerge",       "actTableSplit",
};

} // namespace

const QString TqbTableCommands::NotEditingMessage =
    QStringLiteral("수정 모드에서만 쓸 수 있습니다.");
const QString TqbTableCommands::NotInTableMessage = QStringLiteral("표 안에서만 쓸 수 있습니다.");
const QString TqbTableCommands::NothingToMergeMessage =
    QStringLiteral("합칠 셀을 둘 이상 선택하세요.");
const QString TqbTableCommands::NothingToSplitMessage =
    QStringLiteral("합친 셀 안에서만 쓸 수 있습니다.");

TqbTableCommands::TqbTableCommands(TqbDhtmlEdit* dhtml, const TqbActions& actions,
                                   TqbOpenNote& note, QWidget* dialogParent)
    : QObject(dialogParent), m_dhtml(dhtml), m_actions(actions), m_note(note),
      m_dialogParent(dialogParent), m_tables(std::make_unique<TqbTableEdit>(*dhtml)) {
    for (const char* name : ActionNames) {
        QAction* action = m_actions.Action(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this,
                [this, action] { Execute(action->data().toInt()); });
    }
    connect(m_dhtml, &TqbDhtmlEdit::ContextMenuFilling, this, &TqbTableCommands::AddToPopup);
    // Merging and splitting follow the selection at once: a drag across cells makes one.
    connect(m_dhtml, &TqbDhtmlEdit::SelectionStateChanged, this, &TqbTableCommands::UpdateActions);
}

TqbTableCommands::~TqbTableCommands() = default;

void TqbTableCommands::UpdateActions() {
    const bool editing = m_note.ViewMode() == TqbViewMode::Edit && m_note.DocumentReady();
    for (const char* name : ActionNames) {
        QAction* action = m_actions.Action(QString::fromLatin1(name));
        action->setEnabled(editing && m_tables->Applies(TCommand(action->data().toInt())));
    }
}

QString TqbTableCommands::WhyNot(int tag) const {
    const auto command = TCommand(tag);
    if (m_note.ViewMode() != TqbViewMode::Edit || !m_note.DocumentReady() ||
        !m_dhtml->SelectionState().Editable)
        return NotEditingMessage;
    if (m_tables->Applies(command))
        return {};
    if (!m_dhtml->SelectionState().InTable)
        return NotInTableMessage;
    return command == TCommand::MergeCells ? NothingToMergeMessage : NothingToSplitMessage;
}

void TqbTableCommands::Execute(int tag) {
    UpdateActions();
    if (const QString why = WhyNot(tag); !why.isEmpty()) {
        emit Refused(why);
        return;
    }
    const auto command = TCommand(tag);
    bool changed = false;
    if (command == TCommand::InsertTable) {
        TqbTableDialog dialog(m_dialogParent);
        if (dialog.exec() != QDialog::Accepted)
            return;
        changed = m_tables->InsertTable(dialog.Rows(), dialog.Columns(), dialog.HeaderRow());
    } else {
        changed = m_tables->Run(command);
    }
    if (changed)
        m_note.MarkModified();
    m_dhtml->setFocus();
    UpdateActions();
}

void TqbTableCommands::AddToPopup(QMenu* menu) {
    if (!m_dhtml->SelectionState().InTable)
        return;
    UpdateActions();
    menu->addSeparator();
    QMenu* table = menu->addMenu(QStringLiteral("표"));
    m_actions.BuildTableMenu(table);
}
