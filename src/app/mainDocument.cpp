// The open document: loading, writing back, view modes, and the commands that act on it.
#include "main.h"

#include "qbDhtmlEdit.h"
#include "qbError.h"
#include "qbNoteInfo.h"
#include "qbTextFile.h"
#include "qbTree.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTimer>

namespace {

using namespace qbDhtml;

const char* const StyleCommandNames[] = {"Bold",        "Italic",        "Underline",
                                         "JustifyLeft", "JustifyCenter", "JustifyRight"};

int SenderTag(QObject* sender) {
    auto* action = qobject_cast<QAction*>(sender);
    return action ? action->data().toInt() : 0;
}

} // namespace

void TfrmMainNivora::OpenCurrentNote() {
    const QString path = m_noteTree->OpenPath();
    if (path.isEmpty())
        return;
    m_documentReady = false;
    m_noteModified = false;
    if (!QFileInfo::exists(path)) {
        m_noteModified = true;
        try {
            qbText::WriteLines(path, m_noteInfo.DefaultHeader());
        } catch (const EqbError& error) {
            ShowError(error.Message());
            return;
        }
    }
    try {
        if (m_viewMode == vmSource || m_viewMode == vmNone) {
            m_rchDhtml->setPlainText(qbText::ReadLines(path).join('\n'));
            m_rchDhtml->document()->setModified(false);
        } else {
            m_dhtml->LoadDocument(path);
        }
        FocusCurrentView();
    } catch (...) {
        QMessageBox::information(this, windowTitle(), LoadFailedMessage);
    }
}

bool TfrmMainNivora::SaveCurrentNote() {
    if (m_panelMode != pmTree || m_noteTree->OpenPath().isEmpty())
        return true;
    // The editor's own wait for the page can run timers; a second save inside it must not start.
    if (m_saving)
        return false;
    m_saving = true;
    bool saved = true;
    if (m_viewMode == vmEdit && m_noteModified) {
        // A page still loading would be written empty or in half: the next save writes it.
        if (!m_documentReady || !m_dhtml->IsDocumentReady()) {
            m_saving = false;
            return true;
        }
        saved = WriteEditorDocument();
    } else if (m_viewMode == vmSource && m_rchDhtml->document()->isModified()) {
        saved = WriteSourceText();
    }
    m_saving = false;
    if (!saved)
        return false;
    m_rchDhtml->document()->setModified(false);
    m_noteModified = false;
    return true;
}

bool TfrmMainNivora::WriteEditorDocument() {
    try {
        m_dhtml->SaveDocument(m_noteTree->OpenPath());
        return true;
    } catch (const EqbError& error) {
        ShowError(SaveFailedMessage + "\n\n" + error.Message());
        return false;
    }
}

bool TfrmMainNivora::WriteSourceText() {
    try {
        qbText::WriteLines(m_noteTree->OpenPath(), qbText::SplitLines(m_rchDhtml->toPlainText()));
        return true;
    } catch (const EqbError& error) {
        ShowError(SaveFailedMessage + "\n\n" + error.Message());
        return false;
    }
}

void TfrmMainNivora::SetViewMode(int mode) {
    if (mode == m_viewMode) {
        FocusCurrentView();
        return;
    }
    if (!SaveCurrentNote()) {
        // The old view keeps the unsaved text; its item stays ticked.
        for (QAction* item : m_modeItems->actions())
            item->setChecked(item->data().toInt() == m_viewMode);
        return;
    }
    m_viewMode = mode;
    m_documentReady = false;
    if (mode == vmEdit || mode == vmSource)
        m_tmrAutoSave->start();
    else
        m_tmrAutoSave->stop();
    m_tbEdit->setVisible(mode == vmEdit);
    for (QAction* item : m_modeItems->actions())
        item->setChecked(item->data().toInt() == mode);
    m_dhtml->SetBrowseMode(mode != vmEdit);
    m_views->setCurrentWidget(mode == vmSource ? static_cast<QWidget*>(m_rchDhtml) : m_dhtml);
    m_pnlSpecialChars->setVisible(mode == vmEdit);
    QCoreApplication::processEvents();
    OpenCurrentNote();
}

void TfrmMainNivora::tbiModeClick(QAction* item) {
    SetViewMode(item->data().toInt());
}

void TfrmMainNivora::FocusCurrentView() {
    switch (m_viewMode) {
    case vmBrowse:
        m_noteTree->setFocus();
        break;
    case vmEdit:
        m_dhtml->FocusAtStart();
        break;
    case vmSource:
        m_rchDhtml->setFocus();
        break;
    default:
        break;
    }
}

void TfrmMainNivora::dhtmlDocumentComplete() {
    m_documentReady = true;
}

void TfrmMainNivora::dhtmlContentChanged() {
    if (m_viewMode == vmEdit)
        m_noteModified = true;
}

void TfrmMainNivora::actFileSaveExecute() {
    SaveCurrentNote();
}

void TfrmMainNivora::actFileSaveUpdate() {
    QAction* save = Action("actFileSave");
    if (m_viewMode == vmEdit)
        save->setEnabled(m_noteModified);
    else if (m_viewMode == vmSource)
        save->setEnabled(m_rchDhtml->document()->isModified());
    else
        save->setEnabled(false);
}

void TfrmMainNivora::actFilePrintExecute() {
    try {
        m_dhtml->PrintDocument(true);
    } catch (const EqbError& error) {
        ShowError(error.Message());
    }
}

void TfrmMainNivora::actReloadExecute() {
    OpenCurrentNote();
}

// Creating, deleting and renaming nodes belong to the tree's operations; until the tree offers
// them these actions stay switched off.
void TfrmMainNivora::actFileExecute() {}

void TfrmMainNivora::actFileRenameExecute() {}

void TfrmMainNivora::actNoteToMailExecute() {}

void TfrmMainNivora::actToolConfigExecute() {}

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
    if (m_documentReady && (m_dhtml->QueryStatus(id) & 3) == 3)
        m_dhtml->ExecCommand(id);
    m_noteModified = true;
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
    try {
        m_dhtml->DocExec(ids[qBound(0, tag, 3)]);
        m_noteModified = true;
    } catch (const EqbError& error) {
        ShowError(error.Message());
    }
}

void TfrmMainNivora::actStyleExecute() {
    auto* action = qobject_cast<QAction*>(sender());
    if (!action || !m_documentReady)
        return;
    // The action has already inverted its own check mark.
    const char* name = StyleCommandNames[qBound(0, action->data().toInt(), 5)];
    try {
        if (m_dhtml->QueryCommandValue(name) != QVariant(action->isChecked()))
            m_dhtml->ExecSelectionCommand(name, action->isChecked());
        m_noteModified = true;
    } catch (const EqbError& error) {
        ShowError(error.Message());
    }
}

void TfrmMainNivora::actIndentExecute() {
    const int id = SenderTag(sender()) == 0 ? IDM_INDENT : IDM_OUTDENT;
    try {
        m_dhtml->DocExec(id);
        m_noteModified = true;
    } catch (const EqbError& error) {
        ShowError(error.Message());
    }
}

void TfrmMainNivora::actToolFindExecute() {
    if (m_viewMode == vmSource) {
        bool ok = false;
        static QString lastText;
        const QString text = QInputDialog::getText(this, QStringLiteral("찾기"),
                                                   QStringLiteral("찾을 문자열:"), QLineEdit::Normal,
                                                   lastText, &ok);
        if (ok && !text.isEmpty()) {
            lastText = text;
            if (!m_rchDhtml->find(text)) {
                m_rchDhtml->moveCursor(QTextCursor::Start);
                m_rchDhtml->find(text);
            }
        }
        return;
    }
    if (m_documentReady && (m_dhtml->QueryStatus(DECMD_FINDTEXT) & 3) == 3)
        m_dhtml->ExecCommand(DECMD_FINDTEXT);
}

void TfrmMainNivora::actAddLinkExecute() {
    bool ok = false;
    const QString address = QInputDialog::getText(this, QStringLiteral("링크"),
                                                  QStringLiteral("주소:"), QLineEdit::Normal,
                                                  QStringLiteral("http://"), &ok);
    if (!ok || address.trimmed().isEmpty())
        return;
    try {
        m_dhtml->DocExec(IDM_HYPERLINK, address.trimmed());
        m_noteModified = true;
    } catch (const EqbError& error) {
        ShowError(error.Message());
    }
}
