// The editing commands of the menus and the editing toolbar.
#include "main.h"

#include "qbDhtmlEdit.h"
#include "qbError.h"

#include <QAction>
#include <QInputDialog>
#include <QPlainTextEdit>

namespace {

using namespace qbDhtml;

const char* const StyleCommandNames[] = {"Bold",        "Italic",        "Underline",
                                         "JustifyLeft", "JustifyCenter", "JustifyRight"};

int SenderTag(QObject* sender) {
    auto* action = qobject_cast<QAction*>(sender);
    return action ? action->data().toInt() : 0;
}

} // namespace

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
