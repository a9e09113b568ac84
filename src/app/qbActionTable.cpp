#include "app/qbActionTable.h"

#include "app/qbKeyDecision.h"
#include "controls/qbImageLists.h"
#include "controls/qbMenuBarLook.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QWidget>

namespace qbActionTable {

const QList<TqbActionRow>& Actions() {
    using namespace qbImg;
    static const QList<TqbActionRow> rows = {
        {"actFileNewFolder", "폴더 만들기(&C)", "폴더 만들기", "Ctrl+Shift+Ins", 0, NewFolder, false},
        {"actFileNewNote", "노트 만들기(&N)", "노트 만들기", "Ctrl+Ins", 1, NewNote, false},
        {"actFileDelete", "폴더 노트 삭제(&E)", "", "Ctrl+Shift+Del", 2, Delete, false},
        {"actFileSave", "저장(&S)", "노트 저장", "Ctrl+S", 0, Save, false},
        {"actFilePrint", "인쇄(&P)", "노트 인쇄", "Ctrl+P", 0, Print, false},
        {"actFileRename", "이름 변경(&A)", "이름 바꾸기", "F2", 0, Rename, false},
        {"actCut", "잘라내기(&T)", "", "Ctrl+X", 0, Cut, false},
        {"actCopy", "복사(&C)", "", "Ctrl+C", 1, Copy, false},
        {"actPaste", "붙여넣기(&P)", "", "Ctrl+V", 2, Paste, false},
        {"actUndo", "작업 취소(&U)", "Undo", "Ctrl+Z", 0, Undo, false},
        {"actRedo", "취소를 취소(&R)", "Redo", "Ctrl+Shift+Z", 1, Redo, false},
        {"actBulleted", "리스트 만들기", "리스트 만들기", "", 2, Bullets, true},
        {"actNumbered", "번호 붙이기", "번호 붙이기", "", 3, Numbering, true},
        {"actBold", "굵게 쓰기", "굵게", "", 0, Bold, true},
        {"actItalic", "기울여 쓰기", "", "", 1, Italic, true},
        {"actUnderLine", "밑줄 긋기", "밑줄 첨가", "", 2, Underline, true},
        {"actLeft", "왼쪽 정렬", "왼쪽 정렬", "", 3, AlignLeft, true},
        {"actCenter", "중앙 정렬", "중앙 정렬", "", 4, AlignCenter, true},
        {"actRight", "오른쪽 정렬", "오른쪽 정렬", "", 5, AlignRight, true},
        {"actIndent", "들여 쓰기", "들여 쓰기", "", 0, Indent, false},
        {"actOutdent", "내어 쓰기", "내어 쓰기", "", 1, Outdent, false},
        {"actToolFind", "찾기(&F)", "문자열 찾기", "Ctrl+F", 0, qbImg::Find, false},
        {"actAddLink", "actAddLink", "링크 만들기", "Ctrl+K", 0, Link, false},
        {"actReload", "다시 읽기(&R)", "Reload note", "", 0, Reload, false},
        {"actNoteToMail", "메일로 전송(&M)", "", "", 0, SendMail, false},
        {"actVersions", "이전 버전", "노트의 이전 버전 보기와 되살리기", "Ctrl+H", 0, -1, false},
        {"actToolConfig", "환경설정(&C)", "", "", 0, Settings, false},
        {"actJumpToNote", "노트로 이동(&J)...", "이름으로 노트나 폴더 찾아가기", "Ctrl+J", 0, -1,
         false},
        {"actGoBack", "뒤로(&B)", "앞서 연 노트로", "Alt+Left", 0, -1, false},
        {"actGoForward", "앞으로(&W)", "뒤로 가기 전에 연 노트로", "Alt+Right", 0, -1, false},
        {"actBacklinks", "이 노트를 가리키는 노트", "이 노트에 연결된 노트 보기", "", 0, -1, false},
        {"actTagList", "태그 목록(&G)...", "모든 태그와 그 태그를 단 노트 보기", "", 0, -1, false},
        {"actDailyNote", "오늘 일기(&D)", "일기 폴더에서 오늘의 일기 열기 (처음에는 만들기)",
         "Ctrl+Shift+D", 0, -1, false},
        {"actDailyPrev", "앞 일기", "이보다 앞선 날의 일기로", "Ctrl+Shift+PgUp", 0, -1, false},
        {"actDailyNext", "뒤 일기", "이보다 뒤의 날의 일기로", "Ctrl+Shift+PgDown", 0, -1, false},
        {"actSpellCheck", "맞춤법 검사", "수정 모드에서 틀린 낱말에 밑줄 긋기", "", 0, -1, true},
        // The table commands; the tag is the command of TqbTableEdit.
        {"actTableInsert", "표 넣기(&T)...", "행과 열의 수를 정해 표 넣기", "Alt+Shift+T", 0, -1,
         false},
        // Some window managers take Alt+Shift with the arrows for themselves: each has a letter
        // too, the one its menu item underlines.
        {"actTableRowAbove", "위에 행 넣기(&A)", "", "Alt+Shift+Up; Alt+Shift+A", 1, -1, false},
        {"actTableRowBelow", "아래에 행 넣기(&B)", "", "Alt+Shift+Down; Alt+Shift+B", 2, -1, false},
        {"actTableColumnLeft", "왼쪽에 열 넣기(&L)", "", "Alt+Shift+Left; Alt+Shift+L", 3, -1,
         false},
        {"actTableColumnRight", "오른쪽에 열 넣기(&R)", "", "Alt+Shift+Right; Alt+Shift+R", 4, -1,
         false},
        {"actTableDeleteRows", "행 지우기(&D)", "선택한 셀이 있는 행 지우기", "Alt+Shift+Del", 5, -1,
         false},
        {"actTableDeleteColumns", "열 지우기(&E)", "선택한 셀이 있는 열 지우기",
         "Alt+Shift+Backspace", 6, -1, false},
        {"actTableMerge", "셀 합치기(&M)", "선택한 셀을 한 셀로 합치기", "Alt+Shift+M", 7, -1, false},
        {"actTableSplit", "셀 나누기(&S)", "합친 셀을 다시 나누기", "Alt+Shift+S", 8, -1, false},
        // These three do nothing and are on no menu.
        {"actFontColor", "글자 색상", "글자 색상 선택", "", 0, -1, false},
        {"actBackColor", "배경 색상", "배경 색상 선택", "", 0, -1, false},
        {"actToolHelp", "qbNivora 도움말(&H)", "도움말 보기", "", 0, -1, false},
    };
    return rows;
}

const QList<TqbActionRow>& MenuItems() {
    using namespace qbImg;
    static const QList<TqbActionRow> rows = {
        {"tbiStayOnTop", "", "", "", 0, StayOnTop, true},
        {"TBItem1", "qbNivora 홈페이지(&H)", "", "", 0, HomePage, false},
        {"tbiClose", "프로그램 종료(&X)", "", "Alt+F4", 0, Quit, false},
        {"TBItem12", "폴더에서 찾기(&O)", "", "Ctrl+D", 0, FolderSearch, false},
        {"tbiBrowse", "", "브라우즈 모드(F6)", "F6", 0, BrowseMode, true},
        {"tbiEdit", "", "수정모드(F7)", "F7", 1, EditMode, true},
        {"tbiSource", "", "소스 수정모드(F8)", "F8", 2, SourceMode, true},
    };
    return rows;
}

const TqbActionRow* Find(const QString& name) {
    for (const auto* list : {&Actions(), &MenuItems()})
        for (const TqbActionRow& row : *list)
            if (name == QLatin1String(row.Name))
                return &row;
    return nullptr;
}

QString ToolTip(const TqbActionRow& row) {
    const QString hint = QString::fromUtf8(row.Hint);
    if (!hint.isEmpty())
        return hint;
    // A caption that is only the action's own name says nothing to the user.
    QString caption = QString::fromUtf8(row.Caption);
    return caption == QLatin1String(row.Name) ? QString() : caption.remove(u'&');
}

QList<QKeySequence> Keys(const TqbActionRow& row) {
    return QKeySequence::listFromString(QString::fromLatin1(row.Key));
}

QString KeyText(const TqbActionRow& row) {
    const QList<QKeySequence> keys = Keys(row);
    return keys.isEmpty() ? QString() : keys.first().toString(QKeySequence::NativeText);
}

QAction* Create(const TqbActionRow& row, QWidget* owner, bool addToOwner) {
    auto* action = new QAction(QString::fromUtf8(row.Caption), owner);
    action->setObjectName(QString::fromLatin1(row.Name));
    action->setToolTip(ToolTip(row));
    action->setStatusTip(QString::fromUtf8(row.Hint));
    const QList<QKeySequence> keys = Keys(row);
    if (keys.isEmpty() || !qbKeyDecision::IsOwnKey(keys.first()))
        action->setShortcuts(keys);
    else if (!action->text().isEmpty())
        // The key filter carries the key out wherever the focus is; the menu only names it.
        action->setText(action->text() + u'\t' + KeyText(row));
    action->setData(row.Tag);
    action->setCheckable(row.Checkable);
    if (row.Glyph >= 0)
        action->setIcon(qbImgs16(row.Glyph));
    if (addToOwner)
        owner->addAction(action);
    return action;
}

} // namespace qbActionTable

TqbActions::TqbActions(QWidget* owner) : m_owner(owner) {
    for (const TqbActionRow& row : qbActionTable::Actions())
        m_byName.insert(QString::fromLatin1(row.Name), qbActionTable::Create(row, owner, true));
    for (const TqbActionRow& row : qbActionTable::MenuItems())
        m_byName.insert(QString::fromLatin1(row.Name), qbActionTable::Create(row, owner, false));
    Action("tbiStayOnTop")->setVisible(false);
    m_modeItems = new QActionGroup(owner);
    m_modeItems->setExclusive(true);
    for (const char* name : {"tbiBrowse", "tbiEdit", "tbiSource"})
        m_modeItems->addAction(Action(name));
}

QAction* TqbActions::Action(const QString& name) const {
    return m_byName.value(name);
}

void TqbActions::BuildMainMenu(QMenuBar* menu, QMenu* skinMenu) {
    // The mode items are the bar's radio buttons: the current mode looks pressed.
    TqbMenuBarLook::Apply(menu);
    menu->addAction(Action("tbiStayOnTop"));

    QMenu* file = menu->addMenu(QStringLiteral("파일(F)"));
    for (const char* name : {"actFileNewFolder", "actFileNewNote", "actFileRename", "actFileDelete"})
        file->addAction(Action(name));
    file->addSeparator();
    // Items that show an action under another caption; the action keeps the key.
    const auto alias = [this](QMenu* into, const char* name, const QString& caption) {
        QAction* source = Action(name);
        const QString key = qbActionTable::KeyText(*qbActionTable::Find(name));
        QAction* item = into->addAction(source->icon(), caption + '\t' + key);
        QObject::connect(item, &QAction::triggered, source, &QAction::trigger);
        QObject::connect(source, &QAction::changed, item,
                         [item, source] { item->setEnabled(source->isEnabled()); });
    };
    alias(file, "actFileSave", QStringLiteral("파일 저장(&S)"));
    alias(file, "actFilePrint", QStringLiteral("파일 인쇄(&P)"));
    file->addAction(Action("actReload"));
    file->addAction(Action("actVersions"));
    file->addAction(Action("actNoteToMail"));
    file->addSeparator();
    m_recentMenu = file->addMenu(QStringLiteral("최근 노트(&L)"));
    m_recentMenu->setObjectName("mnuRecentNotes");
    file->addSeparator();
    file->addAction(Action("actToolConfig"));
    if (skinMenu)
        file->addMenu(skinMenu);
    file->addAction(Action("TBItem1"));
    file->addSeparator();
    file->addAction(Action("tbiClose"));

    QMenu* edit = menu->addMenu(QStringLiteral("편집(E)"));
    for (const char* name : {"actCut", "actCopy", "actPaste"})
        edit->addAction(Action(name));
    edit->addSeparator();
    edit->addAction(Action("actUndo"));
    edit->addAction(Action("actRedo"));
    edit->addSeparator();
    alias(edit, "actAddLink", QStringLiteral("링크 만들기(&K)"));
    edit->addSeparator();
    edit->addAction(Action("actToolFind"));
    edit->addAction(Action("TBItem12"));
    edit->addSeparator();
    for (const char* name : {"actJumpToNote", "actGoBack", "actGoForward", "actBacklinks",
                             "actTagList", "actDailyNote", "actDailyPrev", "actDailyNext"})
        edit->addAction(Action(name));
    edit->addSeparator();
    BuildTableMenu(edit->addMenu(QStringLiteral("표(&A)")));
    edit->addSeparator();
    edit->addAction(Action("actSpellCheck"));
    // A greyed item says why on its tooltip (spell checking without dictionaries).
    edit->setToolTipsVisible(true);

    menu->addSeparator();
    for (const char* name : {"tbiBrowse", "tbiEdit", "tbiSource"})
        menu->addAction(Action(name));
}

void TqbActions::BuildTableMenu(QMenu* menu) const {
    menu->setObjectName("mnuTable");
    menu->addAction(Action("actTableInsert"));
    menu->addSeparator();
    for (const char* name :
         {"actTableRowAbove", "actTableRowBelow", "actTableColumnLeft", "actTableColumnRight"})
        menu->addAction(Action(name));
    menu->addSeparator();
    menu->addAction(Action("actTableDeleteRows"));
    menu->addAction(Action("actTableDeleteColumns"));
    menu->addSeparator();
    menu->addAction(Action("actTableMerge"));
    menu->addAction(Action("actTableSplit"));
}

void TqbActions::BuildNoteToolbar(QToolBar* bar) const {
    for (const char* name :
         {"actFileNewFolder", "actFileNewNote", "actFileDelete", "actFileSave", "actFilePrint"})
        bar->addAction(Action(name));
    bar->addSeparator();
    for (const char* name : {"actToolFind", "actReload", "actNoteToMail"})
        bar->addAction(Action(name));
}

void TqbActions::BuildEditRow(QToolBar* bar) const {
    for (const char* name : {"actCut", "actCopy", "actPaste"})
        bar->addAction(Action(name));
    bar->addSeparator();
    bar->addAction(Action("actUndo"));
    bar->addAction(Action("actRedo"));
    bar->addSeparator();
    for (const char* name : {"actBold", "actItalic", "actUnderLine", "actIndent", "actOutdent",
                             "actNumbered", "actBulleted"})
        bar->addAction(Action(name));
}
