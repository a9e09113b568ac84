#pragma once
// The open note over a pane that shows nothing, with its library and tree on a library of its
// own: the open note and the ways to a note are tested here without the window or a web page.
#include "common/qbTestFiles.h"
#include "library/qbLibrary.h"
#include "library/qbNoteInfo.h"
#include "library/qbTree.h"
#include "note/qbNoteView.h"
#include "note/qbOpenNote.h"
#include "note/qbOpenNoteHost.h"
#include "platform/qbPageCodec.h"
#include "prjinfo/qbProjectInfo.h"

#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// A pane that shows nothing: it holds the "page" as text and records what it was asked.
class TFakeView : public IqbNoteView {
public:
    QStringList Calls;
    QString Page;      // what the editor holds
    QString Loaded;    // what it held when the page finished loading
    QString Source;    // what the source editor holds
    bool SourceDirty = false;
    bool Ready = false;
    bool ReadyAfterWait = false;
    bool DecodingErrors = false;
    bool NoDocument = false;
    std::function<void()> DuringSave;

    void ShowViewMode(TqbViewMode mode) override { Calls << "mode " + QString::number(int(mode)); }
    void LoadPage(const QString& path, bool asCp949) override {
        Calls << "load";
        Ready = false;
        NoDocument = false;
        const QByteArray bytes = ReadBytes(path);
        const std::optional<TqbPageText> cp949 =
            asCp949 ? qbPageCodec::Cp949Reading(bytes) : std::nullopt;
        Page = Loaded = cp949 ? cp949->Text : qbPageCodec::Decode(bytes).Text;
    }
    void SavePage(const QString& path) override {
        Calls << "save " + QFileInfo(path).fileName();
        if (DuringSave)
            DuringSave();
        qbPageCodec::Write(path, Page, "windows-949");
    }
    QByteArray PageBytes() override { return qbPageCodec::Encode(Page, "windows-949"); }
    std::vector<std::function<void(const QByteArray&)>> Reads; // asked, not answered yet
    void ReadPageBytes(std::function<void(const QByteArray&)> done) override {
        Reads.push_back(std::move(done));
    }
    void AnswerReads() {
        for (const auto& done : std::exchange(Reads, {}))
            done(PageBytes());
    }
    bool PageReady() const override { return Ready; }
    bool PageChanged() override { return Page != Loaded; }
    bool WaitForPage(int) override {
        Calls << "wait";
        Ready = Ready || ReadyAfterWait;
        return Ready;
    }
    bool PageHadDecodingErrors() const override { return DecodingErrors; }
    void ShowNoDocument() override {
        NoDocument = true;
        Page.clear();
    }
    void SetSourceText(const QString& text) override {
        Source = text;
        SourceDirty = false;
    }
    QString SourceText() const override { return Source; }
    bool SourceModified() const override { return SourceDirty; }
    void SetSourceModified(bool modified) override { SourceDirty = modified; }
    void FocusEditor(TqbViewMode) override {}
};

class TFakeHost : public IqbOpenNoteHost {
public:
    bool Tree = true;
    QStringList Messages;
    TOutsideChoice Outside = TOutsideChoice::KeepBoth;
    bool SaveUndecodable = false;
    bool RestoreDeleted = true;
    int OutsideAsked = 0;
    int UndecodableAsked = 0;

    int Commits = 0;

    bool TreeShowing() const override { return Tree; }
    void CommitTyping() override { ++Commits; }
    void ShowMessage(const QString& text, const QString& detail) override {
        Messages << text + (detail.isEmpty() ? QString() : " | " + detail);
    }
    bool Answer = true;
    QStringList Questions;
    bool Confirm(const QString& text, bool) override {
        Questions << text;
        return Answer;
    }
    TOutsideChoice AskOutsideChange(const QString&) override {
        ++OutsideAsked;
        return Outside;
    }
    bool AskSaveUndecodable(const QString&) override {
        ++UndecodableAsked;
        return SaveUndecodable;
    }
    bool ReadAsCp949 = true;
    int Cp949Asked = 0;
    bool AskReadAsCp949(const QString&) override {
        ++Cp949Asked;
        return ReadAsCp949;
    }
    std::function<void()> WhileAsked; // another program at work while the user reads
    bool AskRestoreDeleted(const QString&) override {
        ++OutsideAsked;
        if (WhileAsked)
            WhileAsked();
        return RestoreDeleted;
    }
    QString FolderToSaveIn;
    QStringList FoldersAsked;
    QString AskFolderToSaveIn(const QString& path) override {
        FoldersAsked << path;
        return FolderToSaveIn;
    }
};

// A fresh program folder with its library ("BookData"), what the open note needs around it, and
// a tree over the library as the window has one.
class TqbOpenNoteRig {
protected:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TqbPrjInfo> m_prj;
    std::unique_ptr<TqbNoteInfo> m_info;
    std::unique_ptr<TFakeView> m_view;
    std::unique_ptr<TFakeHost> m_host;
    std::unique_ptr<TqbOpenNote> m_note;
    std::unique_ptr<TqbLibrary> m_library;
    std::unique_ptr<TqbTree> m_tree;

    QString Lib(const QString& relative) const { return m_dir->filePath("BookData/" + relative); }

    // fill: puts the library's first files in place before the tree lists it.
    void StartRig(const std::function<void()>& fill) {
        m_dir = std::make_unique<QTemporaryDir>();
        fill();
        m_prj = std::make_unique<TqbPrjInfo>("qbNivora", m_dir->path());
        m_info = std::make_unique<TqbNoteInfo>(*m_prj);
        m_view = std::make_unique<TFakeView>();
        m_host = std::make_unique<TFakeHost>();
        m_note = std::make_unique<TqbOpenNote>(*m_view, *m_host, *m_info);
        m_library = std::make_unique<TqbLibrary>(*m_note);
        m_note->SetLibrary(*m_library);
        m_tree = std::make_unique<TqbTree>(*m_note, *m_library, nullptr);
        m_note->SetTree(m_tree.get());
        m_tree->LoadRoot(m_info->GetDataDir());
    }
    void StopRig() {
        m_tree.reset();
        m_library.reset();
        m_note.reset();
        m_dir.reset();
    }
    // The page the pane was asked to load has finished, as a web page reports it.
    void FinishPage() {
        m_view->Ready = true;
        m_note->PageComplete();
    }
};
