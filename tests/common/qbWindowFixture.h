#pragma once
// The main window over a temporary program folder and library, for end-to-end tests.

#include "app/main.h"
#include "common/qbTestFiles.h"
#include "common/qbTreeRows.h"
#include "editing/qbDhtmlEdit.h"
#include "library/qbNoteInfo.h"
#include "library/qbTree.h"
#include "prjinfo/qbProjectInfo.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QTest>
#include <functional>
#include <memory>

class TqbWindowFixture {
public:
    std::unique_ptr<QTemporaryDir> Dir;
    std::unique_ptr<TqbPrjInfo> Prj;
    std::unique_ptr<TqbNoteInfo> Notes;
    std::unique_ptr<TfrmMainNivora> Window;

    // A program folder with a "BookData" library; fill writes its files before the window
    // opens. Waits until the first note shows in browse mode.
    void Open(const std::function<void(TqbWindowFixture&)>& fill = {}) {
        Dir = std::make_unique<QTemporaryDir>();
        QDir(Dir->path()).mkpath("BookData");
        if (fill)
            fill(*this);
        Prj = std::make_unique<TqbPrjInfo>("qbNivora", Dir->path());
        Notes = std::make_unique<TqbNoteInfo>(*Prj);
        Window = std::make_unique<TfrmMainNivora>(*Prj, *Notes);
        if (BeforeShow)
            BeforeShow(*this);
        Window->show();
        QTRY_COMPARE_WITH_TIMEOUT(Window->ViewMode(), TqbViewMode::Browse, PageTimeoutMs);
        WaitForPage();
    }

    void Close() {
        Window.reset();
        Notes.reset();
        Prj.reset();
        Dir.reset();
    }

    // Runs between the window's creation and its first show.
    std::function<void(TqbWindowFixture&)> BeforeShow;

    // How long a page may take to load on a busy machine; the wait ends as soon as it is there.
    static constexpr int PageTimeoutMs = 60000;
    void WaitForPage() { QTRY_VERIFY_WITH_TIMEOUT(Window->DocumentReady(), PageTimeoutMs); }

    QString Lib(const QString& relative) const { return Dir->filePath("BookData/" + relative); }
    TqbTree* Tree() const { return Window->NoteTree(); }

    QPersistentModelIndex Node(const QString& text) const { return qbRowOf(*Tree(), text); }

    // Selects the node and waits until its document shows.
    void Select(const QString& text) {
        Tree()->setCurrentIndex(Node(text));
        if (Window->ViewMode() != TqbViewMode::Source)
            WaitForPage();
    }

    void EnterMode(TqbViewMode mode) {
        Window->SetViewMode(mode);
        if (mode != TqbViewMode::Source)
            WaitForPage();
    }

    // The widget of the page that takes keys and input-method text.
    QWidget* PageWidget() const {
        return Window->Dhtml()->findChild<QWebEngineView*>()->focusProxy();
    }

    // Types into the page as a Korean input method does and waits until the window saw it.
    void TypeIntoPage(const QString& text) {
        Window->Dhtml()->FocusAtStart();
        QInputMethodEvent typed;
        typed.setCommitString(text);
        QApplication::sendEvent(PageWidget(), &typed);
        QTRY_VERIFY_WITH_TIMEOUT(Window->NoteModified(), TqbWindowFixture::PageTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(Window->Dhtml()->DocumentHtml().contains(text), TqbWindowFixture::PageTimeoutMs);
    }

    void PasteIntoPage(const QString& html) {
        QVERIFY(Window->Dhtml()->PasteHtml(html));
        QTRY_VERIFY_WITH_TIMEOUT(Window->NoteModified(), PageTimeoutMs);
    }
};
