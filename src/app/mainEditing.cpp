// The editing commands of the menus and the editing toolbar, and the insert tools.
#include "app/main.h"

#include "controls/qbColorPicker.h"
#include "editing/qbDhtmlEdit.h"
#include "platform/qbError.h"
#include "editing/qbFindDialog.h"
#include "controls/qbImageLists.h"
#include "editing/qbInsertTools.h"
#include "library/qbNoteInfo.h"
#include "editing/qbPictureDialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

using namespace qbDhtml;

const char* const StyleCommandNames[] = {"Bold",        "Italic",        "Underline",
                                         "JustifyLeft", "JustifyCenter", "JustifyRight"};
const char* const StyleActionNames[] = {"actBold", "actItalic", "actUnderLine",
                                        "actLeft", "actCenter", "actRight"};

int SenderTag(QObject* sender) {
    auto* action = qobject_cast<QAction*>(sender);
    return action ? action->data().toInt() : 0;
}

bool Usable(int status) {
    return (status & 3) == 3;
}

// Null equals only null; otherwise the values compare as variants do.
bool SameValue(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return a == b;
}

// Runs a callback after every left press, left release and key release in the program, once
// the event has reached its target (the page reports its selection only after it).
class TqbStyleCheckFilter : public QObject {
public:
    TqbStyleCheckFilter(QObject* parent, std::function<void()> callback)
        : QObject(parent), m_callback(std::move(callback)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto type = event->type();
        const bool left =
            (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        if ((left || type == QEvent::KeyRelease) && !m_queued) {
            m_queued = true;
            QTimer::singleShot(0, this, [this] {
                m_queued = false;
                m_callback();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_callback;
    bool m_queued = false;
};

} // namespace

// ---- primitives

QVariant TfrmMainNivora::QuerySelectionValue(const QString& name) {
    if (!m_documentReady)
        return {};
    return m_dhtml->QueryCommandValue(name);
}

void TfrmMainNivora::ApplySelectionCommand(const QString& name, const QVariant& value) {
    if (!m_documentReady)
        return;
    // Reports arriving while the page works describe the selection before the command; they
    // must not put the old font back into the boxes.
    const QScopedValueRollback<bool> applying(m_applyingSelection, true);
    try {
        if (!SameValue(QuerySelectionValue(name), value))
            m_dhtml->ExecSelectionCommand(name, value);
        m_noteModified = true;
    } catch (const EqbError& error) {
        ShowError(error.Message());
    }
}

void TfrmMainNivora::RunDocumentCommand(int id, bool prompt) {
    QString address;
    if (prompt && (id == IDM_HYPERLINK || id == IDM_IMAGE)) {
        address = PromptFor(id);
        if (address.isNull()) {
            m_noteModified = true;
            return;
        }
    }
    try {
        // A document still loading has nothing to run the command on.
        if (m_dhtml->IsDocumentReady())
            m_dhtml->DocExec(id, address);
        m_noteModified = true;
    } catch (const EqbError& error) {
        ShowError(error.Message());
    }
}

TfrmMainNivora::TCommandState TfrmMainNivora::DocumentCommandState(int id) const {
    const int status = m_dhtml->DocQueryStatus(id);
    return {(status & OLECMDF_ENABLED) != 0, (status & OLECMDF_LATCHED) != 0};
}

void TfrmMainNivora::RunControlCommand(int id) {
    if (!m_documentReady || !Usable(m_dhtml->QueryStatus(id)))
        return;
    m_dhtml->ExecCommand(id);
}

QString TfrmMainNivora::PromptFor(int id) {
    if (id == IDM_HYPERLINK) {
        bool ok = false;
        const QString address =
            QInputDialog::getText(this, QStringLiteral("링크 만들기"), QStringLiteral("링크 주소:"),
                                  QLineEdit::Normal, QStringLiteral("http://"), &ok)
                .trimmed();
        if (!ok || address.isEmpty() || address == u"http://")
            return {};
        return address;
    }
    TqbPictureDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted || dialog.Picture().isEmpty())
        return {};
    try {
        return qbPicture::PlaceInNote(dialog.Picture(), m_dhtml->DocumentPath(),
                                      m_noteInfo.GetDataDir());
    } catch (const EqbError& error) {
        ShowError(error.Message());
        return {};
    }
}

void TfrmMainNivora::InsertHtmlAtSelection(const QString& html) {
    try {
        m_dhtml->PasteHtml(html);
        m_noteModified = true;
    } catch (const EqbError& error) {
        ShowError(error.Message());
    }
}

// ---- command handlers

void TfrmMainNivora::actClipBrdExecute() {
    const int tag = SenderTag(sender());
    if (m_viewMode == vmSource) {
        if (tag == 0)
            m_rchDhtml->cut();
        else if (tag == 1)
            m_rchDhtml->copy();
        else
            m_rchDhtml->paste();
        return;
    }
    const int id = tag == 0 ? DECMD_CUT : tag == 1 ? DECMD_COPY : DECMD_PASTE;
    try {
        RunControlCommand(id);
        m_noteModified = true;
    } catch (const EqbError& error) {
        ShowError(error.Message());
    }
}

void TfrmMainNivora::actUndoExecute() {
    const int tag = SenderTag(sender());
    if (m_viewMode == vmSource) {
        if (tag == 0)
            m_rchDhtml->undo();
        else if (tag == 1)
            m_rchDhtml->redo();
        return;
    }
    if (!m_documentReady)
        return;
    static constexpr int ids[] = {IDM_UNDO, IDM_REDO, IDM_UNORDERLIST, IDM_ORDERLIST};
    RunDocumentCommand(ids[qBound(0, tag, 3)], false);
}

void TfrmMainNivora::actStyleExecute() {
    auto* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    if (!m_documentReady) {
        // The check mark follows the selection, not a click that did nothing.
        action->setChecked(!action->isChecked());
        return;
    }
    // The action has already inverted its own check mark.
    const int tag = qBound(0, action->data().toInt(), 5);
    ApplySelectionCommand(StyleCommandNames[tag], action->isChecked());
}

void TfrmMainNivora::actIndentExecute() {
    RunDocumentCommand(SenderTag(sender()) == 0 ? IDM_INDENT : IDM_OUTDENT, false);
}

void TfrmMainNivora::actToolFindExecute() {
    if (m_viewMode == vmSource) {
        m_findDialog->Open();
        return;
    }
    try {
        RunControlCommand(DECMD_FINDTEXT);
    } catch (const EqbError& error) {
        ShowError(error.Message());
    }
}

void TfrmMainNivora::actAddLinkExecute() {
    RunDocumentCommand(IDM_HYPERLINK, true);
}

void TfrmMainNivora::cmbFontNameChange() {
    ApplySelectionCommand(QStringLiteral("FontName"), m_cmbFontName->currentText());
}

void TfrmMainNivora::cmbFontSizeChange() {
    bool ok = false;
    int size = m_cmbFontSize->currentText().trimmed().toInt(&ok, 10);
    if (!ok)
        size = 2;
    ApplySelectionCommand(QStringLiteral("FontSize"), size);
}

void TfrmMainNivora::clrFontChange() {
    ApplySelectionCommand(QStringLiteral("ForeColor"), m_clrFont->SelectionColor());
}

void TfrmMainNivora::clrBackChange() {
    ApplySelectionCommand(QStringLiteral("BackColor"), m_clrBack->SelectionColor());
}

void TfrmMainNivora::clrBackClick() {
    clrBackChange();
}

void TfrmMainNivora::btnImageClick() {
    RunDocumentCommand(IDM_IMAGE, true);
}

void TfrmMainNivora::btnBRClick() {
    RunDocumentCommand(IDM_HORIZONTALLINE, true);
}

void TfrmMainNivora::FindInSource(const QString& text, bool backward, bool caseSensitive) {
    QTextDocument::FindFlags flags;
    if (backward)
        flags |= QTextDocument::FindBackward;
    if (caseSensitive)
        flags |= QTextDocument::FindCaseSensitively;
    bool found = m_rchDhtml->find(text, flags);
    if (!found) {
        // Go round once from the other end, as the page's search does.
        const QTextCursor before = m_rchDhtml->textCursor();
        m_rchDhtml->moveCursor(backward ? QTextCursor::End : QTextCursor::Start);
        found = m_rchDhtml->find(text, flags);
        if (!found)
            m_rchDhtml->setTextCursor(before);
    }
    m_findDialog->ShowResult(found);
}

// ---- update handlers

void TfrmMainNivora::UpdateEditingActions() {
    actClipBrdUpdate();
    actUndoUpdate();
    actOnSelectionUpdate();
}

void TfrmMainNivora::actClipBrdUpdate() {
    if (!m_documentReady)
        return;
    try {
        QAction* cut = Action("actCut");
        cut->setEnabled(Usable(m_dhtml->QueryStatus(DECMD_CUT)));
        m_clrBack->setEnabled(cut->isEnabled());
        Action("actCopy")->setEnabled(cut->isEnabled());
        Action("actPaste")->setEnabled(Usable(m_dhtml->QueryStatus(DECMD_PASTE)));
    } catch (const EqbError&) {
        // An update handler runs every moment; the next one tries again.
    }
}

void TfrmMainNivora::actUndoUpdate() {
    QAction* undo = Action("actUndo");
    QAction* redo = Action("actRedo");
    if (m_viewMode == vmSource) {
        undo->setEnabled(true);
        redo->setEnabled(false);
        return;
    }
    if (!m_documentReady)
        return;
    undo->setEnabled(DocumentCommandState(IDM_UNDO).Enabled);
    redo->setEnabled(DocumentCommandState(IDM_REDO).Enabled);
}

void TfrmMainNivora::actOnSelectionUpdate() {
    Action("actAddLink")->setEnabled(Action("actCut")->isEnabled());
}

void TfrmMainNivora::UpdateFontControls() {
    if (m_applyingSelection)
        return;
    try {
        const QVariant color = QuerySelectionValue(QStringLiteral("ForeColor"));
        if (!color.isNull())
            m_clrFont->SetSelectionColor(color.toInt());
        const QVariant name = QuerySelectionValue(QStringLiteral("FontName"));
        const QVariant size = QuerySelectionValue(QStringLiteral("FontSize"));
        m_settingFontControls = true;
        m_cmbFontName->setEditText(name.isNull() ? QString() : name.toString());
        m_cmbFontSize->setEditText(size.isNull() ? QStringLiteral("2")
                                                 : QString::number(size.toInt()));
        m_settingFontControls = false;
    } catch (const EqbError& error) {
        m_settingFontControls = false;
        ShowError(error.Message());
    }
}

void TfrmMainNivora::UpdateStyleChecks() {
    if (!m_documentReady)
        return;
    try {
        for (int i = 0; i < 6; ++i)
            Action(StyleActionNames[i])
                ->setChecked(QuerySelectionValue(StyleCommandNames[i]).toBool());
        Action("actBulleted")->setChecked(DocumentCommandState(IDM_UNORDERLIST).Latched);
        Action("actNumbered")->setChecked(DocumentCommandState(IDM_ORDERLIST).Latched);
    } catch (const EqbError& error) {
        ShowError(error.Message());
    }
}

// ---- set-up

void TfrmMainNivora::AddColorPickers(QWidget* pnlFont, QHBoxLayout* row) {
    const auto picker = [&](const char* name, const QString& defaultText, const char* action,
                            int glyph) {
        auto* button = new TColorPickerButton(pnlFont);
        button->setObjectName(name);
        button->setFixedSize(41, 22);
        button->SetFlat(true);
        button->SetLayout(TColorPickerButton::blGlyphTop);
        button->SetGlyph(qbImgs16(glyph));
        button->SetDefaultText(defaultText);
        button->SetCustomText(QStringLiteral("사용자 색상"));
        button->SetShowSystemColors(false);
        button->SetPopupSpacing(8);
        button->setToolTip(Action(action)->toolTip());
        row->addWidget(button);
        return button;
    };
    m_clrFont = picker("clrFont", QStringLiteral("글자 색상"), "actFontColor", 39);
    m_clrBack = picker("clrBack", QStringLiteral("펜 색상"), "actBackColor", 40);
    connect(m_clrFont, &TColorPickerButton::Change, this, &TfrmMainNivora::clrFontChange);
    connect(m_clrBack, &TColorPickerButton::Change, this, &TfrmMainNivora::clrBackChange);
    connect(m_clrBack, &TColorPickerButton::Click, this, &TfrmMainNivora::clrBackClick);

    // Only what the user picks or types applies; the window's own setting of the text does not.
    // Typed text stays out of the lists, and a second run for the same text applies nothing.
    const auto applyWhenUser = [this](QComboBox* box, void (TfrmMainNivora::*handler)()) {
        box->setInsertPolicy(QComboBox::NoInsert);
        const auto run = [this, handler] {
            if (!m_settingFontControls)
                (this->*handler)();
        };
        connect(box, &QComboBox::textActivated, this, run);
        connect(box->lineEdit(), &QLineEdit::returnPressed, this, run);
    };
    applyWhenUser(m_cmbFontName, &TfrmMainNivora::cmbFontNameChange);
    applyWhenUser(m_cmbFontSize, &TfrmMainNivora::cmbFontSizeChange);
}

void TfrmMainNivora::AddInsertButtons(QToolBar* bar) {
    const auto button = [&](const char* name, const QString& caption, int glyph,
                            void (TfrmMainNivora::*handler)()) {
        QAction* action = bar->addAction(qbImgs16(glyph), caption);
        action->setObjectName(name);
        action->setToolTip(caption);
        connect(action, &QAction::triggered, this, handler);
    };
    button("btnImage", QStringLiteral("이미지 추가"), 20, &TfrmMainNivora::btnImageClick);
    button("btnBR", QStringLiteral("수평선 추가"), 21, &TfrmMainNivora::btnBRClick);
}

void TfrmMainNivora::CreateInsertTools() {
    for (const char* name : {"actBulleted", "actNumbered"})
        Action(name)->setCheckable(true);

    auto* column = new QVBoxLayout(m_pnlSpecialChars);
    column->setContentsMargins(0, 0, 0, 0);
    m_insertTools = new TqbInsertTools(m_pnlSpecialChars);
    m_insertTools->setObjectName("InsertTools");
    column->addWidget(m_insertTools);
    connect(m_insertTools, &TqbInsertTools::InsertHtml, this,
            &TfrmMainNivora::InsertHtmlAtSelection);
    connect(m_insertTools, &TqbInsertTools::CharacterInserted, this,
            [this] { m_dhtml->setFocus(); });

    m_findDialog = new TqbFindDialog(this);
    connect(m_findDialog, &TqbFindDialog::FindNext, this,
            [this](const QString& text, bool backward, bool caseSensitive) {
                if (m_viewMode == vmSource)
                    FindInSource(text, backward, caseSensitive);
                else
                    m_dhtml->FindText(text, backward, caseSensitive);
            });
    connect(m_dhtml, &TqbDhtmlEdit::FindRequested, m_findDialog, &TqbFindDialog::Open);
    connect(m_dhtml, &TqbDhtmlEdit::TextFound, m_findDialog, &TqbFindDialog::ShowResult);

    // After the window's own handler has set DocumentReady.
    connect(m_dhtml, &TqbDhtmlEdit::DocumentComplete, this, &TfrmMainNivora::UpdateFontControls);
    connect(m_dhtml, &TqbDhtmlEdit::DocumentClick, this, &TfrmMainNivora::UpdateFontControls);
    connect(m_dhtml, &TqbDhtmlEdit::DocumentKeyUp, this, &TfrmMainNivora::UpdateFontControls);
    // The page reports its selection a moment after the event that changed it.
    connect(m_dhtml, &TqbDhtmlEdit::SelectionStateChanged, this,
            &TfrmMainNivora::UpdateStyleChecks);
    m_styleCheckFilter = new TqbStyleCheckFilter(this, [this] { UpdateStyleChecks(); });
    qApp->installEventFilter(m_styleCheckFilter);
}
