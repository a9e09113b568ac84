#include "app/qbEditCommands.h"

#include "app/qbActionTable.h"
#include "app/qbSourceView.h"
#include "controls/qbColorPicker.h"
#include "dialogs/qbLinkDialog.h"
#include "dialogs/qbWarningBox.h"
#include "editing/qbDhtmlEdit.h"
#include "editing/qbFindDialog.h"
#include "editing/qbNotePictures.h"
#include "editing/qbOfficePaste.h"
#include "editing/qbPictureDialog.h"
#include "library/qbNoteInfo.h"
#include "library/qbTree.h"
#include "note/qbOpenNote.h"
#include "platform/qbError.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QInputDialog>
#include <QLineEdit>
#include <QScopedValueRollback>

namespace {

using namespace qbDhtml;

const char* const StyleCommandNames[] = {"Bold",        "Italic",        "Underline",
                                         "JustifyLeft", "JustifyCenter", "JustifyRight"};
const char* const StyleActionNames[] = {"actBold", "actItalic", "actUnderLine",
                                        "actLeft", "actCenter", "actRight"};

bool Usable(int status) {
    return (status & 3) == 3;
}

// Null equals only null; otherwise the values compare as variants do.
bool SameValue(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return a == b;
}

} // namespace

const QString TqbEditCommands::PictureNotKeptMessage =
    QStringLiteral("그림을 노트 폴더에 저장하지 못해 넣지 않았습니다.");

TqbEditCommands::TqbEditCommands(const TqbEditWidgets& widgets, const TqbActions& actions,
                                 TqbOpenNote& note, const TqbNoteInfo& noteInfo,
                                 QWidget* dialogParent)
    : QObject(dialogParent), m_w(widgets), m_actions(actions), m_note(note), m_noteInfo(noteInfo),
      m_dialogParent(dialogParent) {
    ConnectActions(actions);
    ConnectFontControls();

    connect(m_w.Find, &TqbFindDialog::FindNext, this,
            [this](const QString& text, bool backward, bool caseSensitive) {
                if (m_note.ViewMode() == TqbViewMode::Source)
                    m_w.Find->ShowResult(m_w.Source->FindText(text, backward, caseSensitive));
                else
                    m_w.Dhtml->FindText(text, backward, caseSensitive);
            });
    connect(m_w.Dhtml, &TqbDhtmlEdit::FindRequested, m_w.Find, &TqbFindDialog::Open);
    connect(m_w.Dhtml, &TqbDhtmlEdit::TextFound, m_w.Find, &TqbFindDialog::ShowResult);
    connect(m_w.Dhtml, &TqbDhtmlEdit::PictureGiven, this, &TqbEditCommands::KeepPicture);
    connect(m_w.Dhtml, &TqbDhtmlEdit::OfficeHtmlPasted, this, &TqbEditCommands::PasteOfficeHtml);
    connect(m_w.Dhtml, &TqbDhtmlEdit::DocumentClick, this, &TqbEditCommands::UpdateFontControls);
    connect(m_w.Dhtml, &TqbDhtmlEdit::DocumentKeyUp, this, &TqbEditCommands::UpdateFontControls);
    // The page reports its selection a moment after the event that changed it.
    connect(m_w.Dhtml, &TqbDhtmlEdit::SelectionStateChanged, this,
            &TqbEditCommands::UpdateStyleChecks);
}

QAction* TqbEditCommands::Action(const char* name) const {
    return m_actions.Action(QString::fromLatin1(name));
}

void TqbEditCommands::ConnectActions(const TqbActions& actions) {
    const auto byTag = [&](const char* name, void (TqbEditCommands::*handler)(int)) {
        QAction* action = actions.Action(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this,
                [this, action, handler] { (this->*handler)(action->data().toInt()); });
    };
    for (const char* name : {"actCut", "actCopy", "actPaste"})
        byTag(name, &TqbEditCommands::actClipBrdExecute);
    for (const char* name : {"actUndo", "actRedo", "actBulleted", "actNumbered"})
        byTag(name, &TqbEditCommands::actUndoExecute);
    for (const char* name : {"actIndent", "actOutdent"})
        byTag(name, &TqbEditCommands::actIndentExecute);
    for (const char* name : StyleActionNames) {
        QAction* action = actions.Action(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, action] { actStyleExecute(action); });
    }
    connect(actions.Action("actToolFind"), &QAction::triggered, this,
            &TqbEditCommands::actToolFindExecute);
    connect(actions.Action("actAddLink"), &QAction::triggered, this,
            &TqbEditCommands::actAddLinkExecute);
}

void TqbEditCommands::ConnectFontControls() {
    connect(m_w.FontColor, &TColorPickerButton::Change, this, &TqbEditCommands::clrFontChange);
    connect(m_w.BackColor, &TColorPickerButton::Change, this, &TqbEditCommands::clrBackChange);
    connect(m_w.BackColor, &TColorPickerButton::Click, this, &TqbEditCommands::clrBackChange);

    // Only what the user picks or types applies; the pane's own setting of the text does not.
    // Typed text stays out of the lists, and a second run for the same text applies nothing.
    const auto applyWhenUser = [this](QComboBox* box, void (TqbEditCommands::*handler)()) {
        box->setInsertPolicy(QComboBox::NoInsert);
        const auto run = [this, handler] {
            if (!m_settingFontControls)
                (this->*handler)();
        };
        connect(box, &QComboBox::textActivated, this, run);
        connect(box->lineEdit(), &QLineEdit::returnPressed, this, run);
    };
    applyWhenUser(m_w.FontName, &TqbEditCommands::cmbFontNameChange);
    applyWhenUser(m_w.FontSize, &TqbEditCommands::cmbFontSizeChange);
}

// ---- primitives

QVariant TqbEditCommands::QuerySelectionValue(const QString& name) const {
    if (!m_note.DocumentReady())
        return {};
    return m_w.Dhtml->QueryCommandValue(name);
}

void TqbEditCommands::ApplySelectionCommand(const QString& name, const QVariant& value) {
    if (!m_note.DocumentReady())
        return;
    // Reports arriving while the page works describe the selection before the command; they
    // must not put the old font back into the boxes.
    const QScopedValueRollback<bool> applying(m_applyingSelection, true);
    if (!SameValue(QuerySelectionValue(name), value))
        m_w.Dhtml->ExecSelectionCommand(name, value);
    m_note.MarkModified();
}

void TqbEditCommands::RunDocumentCommand(int id, bool prompt) {
    QString address;
    if (prompt && id == IDM_IMAGE) {
        address = PromptForPicture();
        if (address.isNull()) {
            m_note.MarkModified();
            return;
        }
    }
    // A document still loading has nothing to run the command on.
    if (m_w.Dhtml->IsDocumentReady())
        m_w.Dhtml->DocExec(id, address);
    m_note.MarkModified();
}

TqbEditCommands::TCommandState TqbEditCommands::DocumentCommandState(int id) const {
    const int status = m_w.Dhtml->DocQueryStatus(id);
    return {(status & OLECMDF_ENABLED) != 0, (status & OLECMDF_LATCHED) != 0};
}

void TqbEditCommands::RunControlCommand(int id) {
    if (!m_note.DocumentReady() || !Usable(m_w.Dhtml->QueryStatus(id)))
        return;
    m_w.Dhtml->ExecCommand(id);
}

void TqbEditCommands::InsertHtmlAtSelection(const QString& html) {
    m_w.Dhtml->PasteHtml(html);
    m_note.MarkModified();
}

void TqbEditCommands::KeepPicture(const QByteArray& bytes, const QString& type,
                                  const QString& name) {
    QString address;
    try {
        address = qbPicture::KeepInNote(bytes, type, name, m_w.Dhtml->DocumentPath(),
                                        QDateTime::currentDateTime());
    } catch (const EqbError& error) {
        // This runs inside the page's message: the box must not wait there with a loop of its own.
        qbShowWarningBox(m_dialogParent, PictureNotKeptMessage + u'\n' + error.Message());
        return;
    }
    m_w.Dhtml->InsertPicture(address);
}

void TqbEditCommands::PasteOfficeHtml(const QString& html, const QStringList& noteClasses) {
    const QString notePath = m_w.Dhtml->DocumentPath();
    const QString library = m_noteInfo.GetDataDir();
    const QDateTime now = QDateTime::currentDateTime();
    QStringList notKept;
    const TqbOfficePaste cleaner(
        QSet<QString>(noteClasses.begin(), noteClasses.end()),
        [&](const QString& address) -> QString {
            try {
                return qbPicture::KeepPasted(address, notePath, library, now);
            } catch (const EqbError& error) {
                notKept.append(error.Message());
                return {};
            }
        });
    const QString cleaned = cleaner.Clean(html);
    notKept.removeDuplicates();
    // This runs inside the page's message: the box must not wait there with a loop of its own.
    const auto warn = [this, notKept] {
        if (!notKept.isEmpty())
            qbShowWarningBox(m_dialogParent,
                             PictureNotKeptMessage + u'\n' + notKept.join(u'\n'));
    };
    if (cleaned.isEmpty())
        warn();
    else
        m_w.Dhtml->InsertPastedHtml(cleaned, warn);
}

QString TqbEditCommands::PromptForPicture() {
    TqbPictureDialog dialog(m_dialogParent);
    if (dialog.exec() != QDialog::Accepted || dialog.Picture().isEmpty())
        return {};
    return qbPicture::PlaceInNote(dialog.Picture(), m_w.Dhtml->DocumentPath(),
                                  m_noteInfo.GetDataDir());
}

// ---- command handlers

void TqbEditCommands::actClipBrdExecute(int tag) {
    if (m_note.ViewMode() == TqbViewMode::Source) {
        if (tag == 0)
            m_w.Source->cut();
        else if (tag == 1)
            m_w.Source->copy();
        else
            m_w.Source->paste();
        return;
    }
    RunControlCommand(tag == 0 ? DECMD_CUT : tag == 1 ? DECMD_COPY : DECMD_PASTE);
    m_note.MarkModified();
}

void TqbEditCommands::actUndoExecute(int tag) {
    if (m_note.ViewMode() == TqbViewMode::Source) {
        if (tag == 0)
            m_w.Source->undo();
        else if (tag == 1)
            m_w.Source->redo();
        return;
    }
    if (!m_note.DocumentReady())
        return;
    static constexpr int ids[] = {IDM_UNDO, IDM_REDO, IDM_UNORDERLIST, IDM_ORDERLIST};
    RunDocumentCommand(ids[qBound(0, tag, 3)], false);
}

void TqbEditCommands::actStyleExecute(QAction* action) {
    if (!m_note.DocumentReady()) {
        // The check mark follows the selection, not a click that did nothing.
        action->setChecked(!action->isChecked());
        return;
    }
    // The action has already inverted its own check mark.
    const int tag = qBound(0, action->data().toInt(), 5);
    ApplySelectionCommand(StyleCommandNames[tag], action->isChecked());
}

void TqbEditCommands::actIndentExecute(int tag) {
    RunDocumentCommand(tag == 0 ? IDM_INDENT : IDM_OUTDENT, false);
}

void TqbEditCommands::actToolFindExecute() {
    if (m_note.ViewMode() == TqbViewMode::Source)
        m_w.Find->Open();
    else
        RunControlCommand(DECMD_FINDTEXT);
}

void TqbEditCommands::actAddLinkExecute() {
    TqbLinkDialog dialog(m_noteTree ? m_noteTree->RootDir() : QString(),
                         m_noteTree ? m_noteTree->NoteExt : QString(), m_w.Dhtml->DocumentPath(),
                         m_dialogParent);
    if (dialog.exec() == QDialog::Accepted && m_w.Dhtml->IsDocumentReady()) {
        // With nothing selected the engine would make the address itself the text.
        if (!dialog.TargetName().isEmpty() && !m_w.Dhtml->SelectionState().HasSelection)
            m_w.Dhtml->PasteHtml(QStringLiteral("<a href=\"%1\">%2</a>")
                                     .arg(dialog.Address(), dialog.TargetName().toHtmlEscaped()));
        else
            m_w.Dhtml->DocExec(IDM_HYPERLINK, dialog.Address());
    }
    m_note.MarkModified();
}

void TqbEditCommands::btnImageClick() {
    RunDocumentCommand(IDM_IMAGE, true);
}

void TqbEditCommands::btnBRClick() {
    RunDocumentCommand(IDM_HORIZONTALLINE, true);
}

void TqbEditCommands::cmbFontNameChange() {
    ApplySelectionCommand(QStringLiteral("FontName"), m_w.FontName->currentText());
}

void TqbEditCommands::cmbFontSizeChange() {
    bool ok = false;
    int size = m_w.FontSize->currentText().trimmed().toInt(&ok, 10);
    if (!ok)
        size = 2;
    ApplySelectionCommand(QStringLiteral("FontSize"), size);
}

void TqbEditCommands::clrFontChange() {
    ApplySelectionCommand(QStringLiteral("ForeColor"), m_w.FontColor->SelectionColor());
}

void TqbEditCommands::clrBackChange() {
    ApplySelectionCommand(QStringLiteral("BackColor"), m_w.BackColor->SelectionColor());
}

// ---- update handlers

void TqbEditCommands::UpdateEditingActions() {
    actClipBrdUpdate();
    actUndoUpdate();
    actOnSelectionUpdate();
}

void TqbEditCommands::actClipBrdUpdate() {
    if (!m_note.DocumentReady())
        return;
    QAction* cut = Action("actCut");
    cut->setEnabled(Usable(m_w.Dhtml->QueryStatus(DECMD_CUT)));
    m_w.BackColor->setEnabled(cut->isEnabled());
    Action("actCopy")->setEnabled(cut->isEnabled());
    Action("actPaste")->setEnabled(Usable(m_w.Dhtml->QueryStatus(DECMD_PASTE)));
}

void TqbEditCommands::actUndoUpdate() {
    QAction* undo = Action("actUndo");
    QAction* redo = Action("actRedo");
    if (m_note.ViewMode() == TqbViewMode::Source) {
        undo->setEnabled(true);
        redo->setEnabled(false);
        return;
    }
    if (!m_note.DocumentReady())
        return;
    undo->setEnabled(DocumentCommandState(IDM_UNDO).Enabled);
    redo->setEnabled(DocumentCommandState(IDM_REDO).Enabled);
}

void TqbEditCommands::actOnSelectionUpdate() {
    // A link to a note needs no selection: the note's name becomes its text.
    Action("actAddLink")
        ->setEnabled(m_note.ViewMode() == TqbViewMode::Edit && m_note.DocumentReady() &&
                     m_w.Dhtml->SelectionState().Editable);
}

void TqbEditCommands::UpdateFontControls() {
    if (m_applyingSelection)
        return;
    const QVariant color = QuerySelectionValue(QStringLiteral("ForeColor"));
    if (!color.isNull())
        m_w.FontColor->SetSelectionColor(color.toInt());
    const QVariant name = QuerySelectionValue(QStringLiteral("FontName"));
    const QVariant size = QuerySelectionValue(QStringLiteral("FontSize"));
    const QScopedValueRollback<bool> setting(m_settingFontControls, true);
    m_w.FontName->setEditText(name.isNull() ? QString() : name.toString());
    // A name longer than the box shows from its start ("NanumGothic", not "numGothic").
    if (QLineEdit* edit = m_w.FontName->lineEdit())
        edit->setCursorPosition(0);
    m_w.FontSize->setEditText(size.isNull() ? QStringLiteral("2") : QString::number(size.toInt()));
}

void TqbEditCommands::UpdateStyleChecks() {
    if (!m_note.DocumentReady())
        return;
    for (int i = 0; i < 6; ++i)
        Action(StyleActionNames[i])->setChecked(QuerySelectionValue(StyleCommandNames[i]).toBool());
    Action("actBulleted")->setChecked(DocumentCommandState(IDM_UNORDERLIST).Latched);
    Action("actNumbered")->setChecked(DocumentCommandState(IDM_ORDERLIST).Latched);
}
