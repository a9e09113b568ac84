// The window's side of the tree operations: the file actions and what the tree asks.
#include "app/main.h"

#include "editing/qbDhtmlEdit.h"
#include "library/qbNoteInfo.h"
#include "library/qbTree.h"

#include <QAction>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QToolButton>

void TfrmMainNivora::actFileExecute() {
    auto* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    // The Tag of the action that fired.
    switch (action->data().toInt()) {
    case 0:
        m_noteTree->NewFolder(false);
        break;
    case 1:
        m_noteTree->NewNote(false);
        break;
    case 2:
        m_noteTree->DeleteNode(m_noteTree->currentItem());
        break;
    default:
        break;
    }
}

void TfrmMainNivora::actFileRenameExecute() {
    m_noteTree->RenameNode(m_noteTree->currentItem());
}

void TfrmMainNivora::actFileRenameUpdate() {
    Action("actFileRename")
        ->setEnabled(m_noteTree->currentItem() != nullptr && m_btnToTreeMode->isChecked());
}

void TfrmMainNivora::EnterEditMode() {
    SetViewMode(vmEdit);
}

bool TfrmMainNivora::TreeShowing() const {
    return m_panelMode == pmTree;
}

void TfrmMainNivora::DiscardCurrentNote() {
    m_noteModified = false;
    m_rchDhtml->clear();
    m_rchDhtml->document()->setModified(false);
    if (m_viewMode != vmSource && m_viewMode != vmNone) {
        m_documentReady = false;
        m_dhtml->SetDocumentHtml(QStringLiteral("<HTML><BODY></BODY></HTML>"));
    }
}

void TfrmMainNivora::ShowTreeMessage(const QString& text) {
    QMessageBox::information(this, windowTitle(), text);
}

bool TfrmMainNivora::ConfirmTreeQuestion(const QString& text) {
    return QMessageBox::question(this, QStringLiteral("Confirm"), text,
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

QString TfrmMainNivora::TreeTemplateDir() const {
    return m_noteInfo.TemplateDir();
}

QStringList TfrmMainNivora::TreeDefaultHeader() const {
    return m_noteInfo.DefaultHeader();
}
