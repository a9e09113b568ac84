#pragma once
// What the editor tests share: an editor shown over a temporary folder, notes written into it,
// and waits on the editor's and the page's own answers.

#include "common/qbPageScripts.h"
#include "editing/qbDhtmlEdit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <memory>

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class TqbEditorFixture {
public:
    // How long a page may take to load on a busy machine; the wait ends as soon as it is there.
    static constexpr int PageTimeoutMs = 60000;

protected:
    QTemporaryDir m_dir;
    std::unique_ptr<TqbDhtmlEdit> m_edit;

    bool ShowEditor() {
        m_edit = std::make_unique<TqbDhtmlEdit>();
        m_edit->resize(640, 480);
        m_edit->show();
        m_edit->activateWindow();
        return m_dir.isValid() && QTest::qWaitForWindowExposed(m_edit.get());
    }

    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    bool Load(const QString& path, bool asCp949 = false) {
        QSignalSpy complete(m_edit.get(), &TqbDhtmlEdit::DocumentComplete);
        m_edit->LoadDocument(path, asCp949);
        return complete.wait(PageTimeoutMs) && m_edit->IsDocumentReady();
    }

    // Edit mode as the window opens a note in it: mode and focus asked for before the load.
    bool LoadForEditing(const QString& path) {
        m_edit->SetBrowseMode(false);
        m_edit->FocusAtStart();
        return Load(path) &&
               QTest::qWaitFor([this] { return m_edit->SelectionState().Editable; }, PageTimeoutMs);
    }

    // Edit mode with the caret at the start of the body, keyboard focus in the page.
    bool StartEditing() {
        m_edit->SetBrowseMode(false);
        m_edit->FocusAtStart();
        if (!QTest::qWaitFor([this] { return m_edit->SelectionState().Editable; }, PageTimeoutMs))
            return false;
        // The page runs calls in order: once this one answers, the caret is in place for keys.
        m_edit->DocumentHtml();
        return true;
    }

    // Selects the body's first line and waits until the page reported it.
    bool SelectFirstLine() {
        AskPage(SelectFirstBlockScript());
        return QTest::qWaitFor([this] { return m_edit->SelectionState().HasSelection; },
                               PageTimeoutMs);
    }

    QWebEnginePage* EnginePage() const {
        m_edit->PreparePage();
        return m_edit->findChild<QWebEnginePage*>();
    }
    QWidget* PageWidget() const { return m_edit->findChild<QWebEngineView*>()->focusProxy(); }

    // The page's answer to a script run beside ours (notes' own scripts are off).
    QVariant AskPage(const QString& script) {
        bool done = false;
        QVariant answer;
        EnginePage()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                    [&](const QVariant& value) {
                                        answer = value;
                                        done = true;
                                    });
        if (!QTest::qWaitFor([&] { return done; }, PageTimeoutMs))
            qWarning("the page did not answer: %s", qPrintable(script));
        return answer;
    }
};
