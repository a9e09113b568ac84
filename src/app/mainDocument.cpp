// The open document: loading, writing back, view modes, and the commands that act on it.
#include "app/main.h"

#include "editing/qbDhtmlEdit.h"
#include "platform/qbError.h"
#include "library/qbNoteInfo.h"
#include "platform/qbTextFile.h"
#include "library/qbTree.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTimer>


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

void TfrmMainNivora::actNoteToMailExecute() {}

void TfrmMainNivora::actToolConfigExecute() {}
