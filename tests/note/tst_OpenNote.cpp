// The open note's rules without a window: when a note is read, written, kept or reloaded.
#include "common/qbSmallDisk.h"
#include "common/qbTestFiles.h"
#include "common/qbTreeRows.h"
#include "library/UserFileName.h"
#include "library/qbLibraryWatcher.h"
#include "library/qbNoteInfo.h"
#include "library/qbTree.h"
#include "note/qbNoteView.h"
#include "note/qbOpenNote.h"
#include "note/qbOpenNoteHost.h"
#include "note/qbOpenNoteRig.h"
#include "note/qbTypingJournal.h"
#include "platform/qbError.h"
#include "platform/qbPageCodec.h"
#include "platform/qbTextFile.h"
#include "prjinfo/qbProjectInfo.h"
#include "search/qbLinkFollower.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <utility>
#include <vector>
#include <QTest>
#include <functional>
#include <memory>

namespace {

const QByteArray Cp949Note = "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; "
                             "charset=euc-kr\"></HEAD><BODY>\xB0\xA1\xB3\xAA</BODY></HTML>\r\n";

} // namespace

class TestOpenNote : public QObject, protected TqbOpenNoteRig {
    Q_OBJECT

    // Opens the note in the mode, as the tree does, and lets the page finish.
    void Open(const QString& name, TqbViewMode mode) {
        m_note->SetViewMode(mode);
        m_tree->SetOpenPath(Lib(name));
        if (mode != TqbViewMode::Source)
            FinishPage();
    }

    // The note's kept versions, newest first.
    QList<QByteArray> Kept(const QString& name) {
        QList<QByteArray> out;
        for (const TqbNoteVersion& version : m_library->Versions().List(Lib(name)))
            out << ReadBytes(version.Path);
        return out;
    }

    void Edit(const QString& text) {
        m_view->Page += text;
        m_note->PageChanged();
    }

private slots:
    void init() {
        StartRig([this] { WriteBytes(Lib("노트.htm"), Cp949Note); });
    }
    void cleanup() { StopRig(); }

    // Opened from outside the tree (the jump list, history, links, search hits): the typing is
    // saved first and the tree selects what opened, its folders opened on the way; what the
    // library does not hold opens nothing and saves nothing.
    void openFromOutsideTheTree_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("opened"); // "": the note stays open, its typing unsaved
        QTest::addColumn<QString>("row");
        QTest::newRow("note in folders not listed") << "폴더/안쪽/속.htm" << "폴더/안쪽/속.htm"
                                                    << "속";
        QTest::newRow("its extension in another case") << "폴더/큰.htm" << "폴더/큰.HTM" << "큰";
        QTest::newRow("a folder's page") << "폴더/안쪽/___폴더설명.qb"
                                         << "폴더/안쪽/___폴더설명.qb" << "안쪽";
        QTest::newRow("the open note") << "노트.htm" << "노트.htm" << "노트";
        QTest::newRow("not in the library") << "폴더/없는.htm" << "" << "노트";
        QTest::newRow("no note") << "폴더/글.txt" << "" << "노트";
    }
    void openFromOutsideTheTree() {
        QFETCH(QString, path);
        QFETCH(QString, opened);
        QFETCH(QString, row);
        connect(m_note.get(), &TqbOpenNote::DocumentOpened, m_tree.get(),
                &TqbTree::SelectOpenDocument);
        WriteBytes(Lib("폴더/안쪽/속.htm"), Cp949Note);
        WriteBytes(Lib("폴더/안쪽/___폴더설명.qb"), Cp949Note);
        WriteBytes(Lib("폴더/큰.HTM"), Cp949Note);
        WriteBytes(Lib("폴더/글.txt"), "text");
        m_tree->LoadRoot(m_info->GetDataDir());
        Open("노트.htm", TqbViewMode::Edit);
        Edit("내것");
        QCOMPARE(m_note->Open(Lib(path)), !opened.isEmpty());
        QCOMPARE(m_note->Path(), Lib(opened.isEmpty() ? "노트.htm" : opened));
        QCOMPARE(m_note->NoteModified(), opened.isEmpty());
        const QModelIndex current = m_tree->currentIndex();
        QCOMPARE(current.data().toString(), row);
        for (QModelIndex folder = current.parent(); folder.isValid(); folder = folder.parent())
            QVERIFY(m_tree->isExpanded(folder));
    }

    // A change made to the file itself (tags): typing goes in first, the bytes the edit does not
    // touch stay, and the editor reads the file again so that its next save keeps the change.
    void fileEditKeepsTypingAndTheRest_data() {
        QTest::addColumn<TqbViewMode>("mode");
        QTest::addColumn<bool>("tree");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<bool>("done");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("messages");
        const QByteArray typed = Cp949Note + "\xC6\xED\xC1\xFD"; // 편집
        QTest::newRow("edit: the typing saved, then the edit")
            << TqbViewMode::Edit << true << false << true << typed + "<!--x-->" << QStringList{};
        QTest::newRow("browse: the file edited alone")
            << TqbViewMode::Browse << true << false << true << Cp949Note + "<!--x-->"
            << QStringList{};
        QTest::newRow("typing that cannot be saved now: nothing done")
            << TqbViewMode::Edit << false << false << false << Cp949Note << QStringList{};
        QTest::newRow("an edit that fails: said, the file as saved")
            << TqbViewMode::Edit << true << true << false << typed
            << QStringList{TqbOpenNote::EditFailedMessage + " | 안 됨"};
    }
    void fileEditKeepsTypingAndTheRest() {
        QFETCH(TqbViewMode, mode);
        QFETCH(bool, tree);
        QFETCH(bool, fails);
        QFETCH(bool, done);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, messages);
        Open("노트.htm", mode);
        if (mode == TqbViewMode::Edit)
            Edit("편집");
        m_host->Tree = tree;
        QSignalSpy loaded(m_note.get(), &TqbOpenNote::DocumentLoaded);
        QCOMPARE(m_note->EditFile([fails](const QByteArray& bytes) {
            if (fails)
                throw EqbError("안 됨");
            return bytes + "<!--x-->";
        }), done);
        QCOMPARE(ReadBytes(Lib("노트.htm")), file);
        QCOMPARE(m_host->Messages, messages);
        QCOMPARE(loaded.count(), done ? 1 : 0);
        if (done) {
            QCOMPARE(m_view->Page, qbPageCodec::Decode(file).Text);
            QVERIFY(!m_note->NoteModified());
        }
    }

    void savingFollowsTheMode_data() {
        QTest::addColumn<TqbViewMode>("mode");
        QTest::addColumn<bool>("edited");
        QTest::addColumn<bool>("tree");
        QTest::addColumn<bool>("written");
        QTest::newRow("edit, changed") << TqbViewMode::Edit << true << true << true;
        QTest::newRow("edit, unchanged") << TqbViewMode::Edit << false << true << false;
        QTest::newRow("browse never writes") << TqbViewMode::Browse << true << true << false;
        QTest::newRow("search panel shown") << TqbViewMode::Edit << true << false << false;
        QTest::newRow("source, changed") << TqbViewMode::Source << true << true << true;
        QTest::newRow("source, unchanged") << TqbViewMode::Source << false << true << false;
    }
    void savingFollowsTheMode() {
        QFETCH(TqbViewMode, mode);
        QFETCH(bool, edited);
        QFETCH(bool, tree);
        QFETCH(bool, written);
        Open("노트.htm", mode);
        if (edited && mode == TqbViewMode::Source) {
            m_view->Source.replace("가나", "소스");
            m_view->SourceDirty = true;
        } else if (edited) {
            m_view->Page.replace("가나", "편집");
            m_note->MarkModified();
        }
        m_host->Tree = tree;
        QVERIFY(m_note->SaveCurrentNote());
        QCOMPARE(ReadBytes(Lib("노트.htm")) != Cp949Note, written);
        QVERIFY(!m_note->NoteModified() || !tree);
        // What a save replaced is kept, once; a save that changed nothing keeps nothing.
        QCOMPARE(Kept("노트.htm"), written ? QList<QByteArray>{Cp949Note} : QList<QByteArray>{});
    }

    // Changes not yet saved are written aside, and nothing is left once they are saved, dropped
    // or read over, not even from a page that answers only after that.
    void journalHoldsUnsavedChanges_data() {
        QTest::addColumn<TqbViewMode>("mode");
        QTest::addColumn<QString>("end");
        QTest::newRow("edit, saved") << TqbViewMode::Edit << "save";
        QTest::newRow("edit, dropped") << TqbViewMode::Edit << "drop";
        QTest::newRow("edit, read again") << TqbViewMode::Edit << "reload";
        QTest::newRow("source, saved") << TqbViewMode::Source << "save";
    }
    void journalHoldsUnsavedChanges() {
        QFETCH(TqbViewMode, mode);
        QFETCH(QString, end);
        TqbTypingJournal journal(m_dir->path());
        m_note->SetJournal(&journal);
        Open("노트.htm", mode);
        m_note->WriteJournal();
        m_view->AnswerReads();
        QVERIFY(!journal.Read());
        if (mode == TqbViewMode::Source) {
            m_view->Source.replace("가나", "소스");
            m_view->SourceDirty = true;
        } else {
            Edit("추가");
        }
        m_note->WriteJournal();
        m_view->AnswerReads();
        const auto entry = journal.Read();
        QVERIFY(entry);
        QCOMPARE(entry->NotePath, Lib("노트.htm"));
        const QString text = mode == TqbViewMode::Source
                                 ? qbText::JoinLines(qbText::SplitLines(m_view->Source))
                                 : m_view->Page;
        QCOMPARE(entry->Bytes, qbText::Encode(text, "windows-949"));
        if (mode == TqbViewMode::Edit) {
            Edit("더");
            m_note->WriteJournal(); // the page answers after the end below
        }
        if (end == "save")
            QVERIFY(m_note->SaveCurrentNote());
        else if (end == "drop")
            m_note->DropChanges();
        else
            m_note->OpenCurrentNote();
        m_view->AnswerReads();
        QVERIFY(!journal.Read());
        QVERIFY(!QFileInfo::exists(journal.PagePath()));
    }

    // A full disk never stops a save for the sake of the version: the note is written first,
    // the page it replaced is kept after if there is room, else the user hears why, nothing half
    // is left.
    void fullDiskSkipsTheVersionNotTheSave_data() {
        QTest::addColumn<int>("oldKb");
        QTest::addColumn<int>("newKb");
        QTest::addColumn<int>("freeKb"); // free before the save
        QTest::addColumn<bool>("historyBlocked"); // a file where the history's folder would be
        QTest::newRow("room for the note, not for both") << 200 << 210 << 260 << false;
        QTest::newRow("no place for the version") << 600 << 0 << 300 << true;
    }
    void fullDiskSkipsTheVersionNotTheSave() {
        QFETCH(int, oldKb);
        QFETCH(int, newKb);
        QFETCH(int, freeKb);
        QFETCH(bool, historyBlocked);
        TqbSmallDisk disk(2 * 1024 * 1024);
        if (!disk.IsMounted())
            QSKIP(qPrintable("no tmpfs: " + disk.Error()));
        const QString path = disk.FilePath("BookData/big.htm");
        QDir(disk.Path()).mkpath("BookData");
        const QByteArray old =
            "<HTML><BODY>" + QByteArray(oldKb * 1024, 'a') + "</BODY></HTML>\r\n";
        WriteBytes(path, old);
        TqbPrjInfo prj("qbNivora", disk.Path());
        TqbNoteInfo info(prj);
        TFakeView view;
        TFakeHost host;
        TqbOpenNote note(view, host, info);
        TqbLibrary library(note);
        note.SetLibrary(library);
        TqbTree tree(note, library, nullptr);
        note.SetTree(&tree);
        tree.LoadRoot(info.GetDataDir());
        note.SetViewMode(TqbViewMode::Edit);
        tree.SetOpenPath(path);
        view.Ready = true;
        note.PageComplete();
        const QByteArray typed =
            "<HTML><BODY>short" + QByteArray(newKb * 1024, 'b') + "</BODY></HTML>\r\n";
        view.Page = QString::fromLatin1(typed);
        note.MarkModified();
        if (historyBlocked)
            WriteBytes(disk.FilePath("BookData/.qbhistory"), "not a folder");
        disk.Fill(freeKb * 1024);
        QVERIFY(note.SaveCurrentNote());
        QCOMPARE(ReadBytes(path), typed);
        if (historyBlocked) {
            QCOMPARE(host.Messages,
                     QStringList{TqbOpenNote::VersionNotKeptMessage +
                                 " | 이전 버전을 둘 폴더를 만들 수 없습니다.\n" +
                                 disk.FilePath("BookData/.qbhistory/big.htm")});
            return;
        }
        QCOMPARE(host.Messages, QStringList{});
        const QString versions = disk.FilePath("BookData/.qbhistory/big.htm");
        const QStringList kept = QDir(versions).entryList(QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(ReadBytes(versions + '/' + kept.first()), old);
    }

    void missingNoteIsCreatedFromTheDefaultHeader() {
        Open("새 노트.htm", TqbViewMode::Edit);
        QCOMPARE(ReadBytes(Lib("새 노트.htm")),
                 qbText::Encode(qbText::JoinLines(m_info->DefaultHeader()), "windows-949"));
        QVERIFY(m_note->NoteModified());
    }

    void pageNotReadyWaitsThenSaves_data() {
        QTest::addColumn<bool>("readyAfterWait");
        QTest::newRow("ready in time") << true;
        QTest::newRow("never ready") << false;
    }
    void pageNotReadyWaitsThenSaves() {
        QFETCH(bool, readyAfterWait);
        Open("노트.htm", TqbViewMode::Edit);
        Edit("추가");
        m_view->Ready = false;
        m_view->ReadyAfterWait = readyAfterWait;
        QCOMPARE(m_note->SaveCurrentNote(), readyAfterWait);
        QVERIFY(m_view->Calls.contains("wait"));
        // Never ready: nothing written, the change kept and the user told.
        QCOMPARE(ReadBytes(Lib("노트.htm")).contains("\xC3\xDF\xB0\xA1"), readyAfterWait);
        QCOMPARE(m_note->NoteModified(), !readyAfterWait);
        QCOMPARE(m_host->Messages.size(), readyAfterWait ? 0 : 1);
    }

    // A note that could not be read leaves nothing open: a key then marks nothing, nothing is
    // saved, and the next note or mode comes without a word.
    void failedLoadLeavesNoDocumentToType_data() {
        QTest::addColumn<TqbViewMode>("mode");
        QTest::addColumn<bool>("pageReports"); // the page fails later, or reading fails at once
        QTest::addColumn<QString>("message");
        QTest::newRow("source mode, a folder with a note's name")
            << TqbViewMode::Source << false << TqbOpenNote::FolderInPlaceMessage;
        QTest::newRow("edit mode, a folder with a note's name")
            << TqbViewMode::Edit << false << TqbOpenNote::FolderInPlaceMessage;
        QTest::newRow("edit mode, the page fails")
            << TqbViewMode::Edit << true << TqbOpenNote::LoadFailedMessage;
    }
    void failedLoadLeavesNoDocumentToType() {
        QFETCH(TqbViewMode, mode);
        QFETCH(bool, pageReports);
        QFETCH(QString, message);
        QDir(m_dir->path()).mkpath("BookData/디렉터리.htm");
        if (pageReports) {
            Open("노트.htm", mode);
            m_note->PageLoadFailed("too big");
        } else {
            m_note->SetViewMode(mode);
            m_tree->SetOpenPath(Lib("디렉터리.htm"));
        }
        QVERIFY(m_view->NoDocument);
        QVERIFY(!m_note->DocumentReady());
        QCOMPARE(m_host->Messages.size(), 1);
        QVERIFY(m_host->Messages.first().startsWith(message + " | "));
        m_note->MarkModified(); // a key typed at the empty pane
        QVERIFY(!m_note->NoteModified());
        QVERIFY(m_note->SaveCurrentNote());
        m_note->SetViewMode(TqbViewMode::Browse);
        QCOMPARE(m_note->ViewMode(), TqbViewMode::Browse);
        // Only what the load said (again, for the folder read again in the new mode).
        for (const QString& shown : m_host->Messages)
            QVERIFY2(shown.startsWith(message + " | "), qPrintable(shown));
        QCOMPARE(ReadBytes(Lib("노트.htm")), Cp949Note);
    }

    // Another program wrote the note while it was open.
    void outsideChange_data() {
        QTest::addColumn<bool>("edited");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QByteArray>("noteHas");
        QTest::addColumn<bool>("copyHasMine");
        QTest::addColumn<QByteArray>("versionHas"); // empty: no version kept
        using C = IqbOpenNoteHost::TOutsideChoice;
        QTest::newRow("no edits: read again") << false << int(C::KeepMine) << QByteArray("theirs") << false << QByteArray();
        QTest::newRow("keep mine") << true << int(C::KeepMine) << QByteArray("\xB3\xBB\xB0\xCD") << false << QByteArray("theirs");
        QTest::newRow("take theirs") << true << int(C::TakeTheirs) << QByteArray("theirs") << false << QByteArray("\xB3\xBB\xB0\xCD");
        QTest::newRow("keep both") << true << int(C::KeepBoth) << QByteArray("theirs") << true << QByteArray();
    }
    void outsideChange() {
        QFETCH(bool, edited);
        QFETCH(int, choice);
        QFETCH(QByteArray, noteHas);
        QFETCH(bool, copyHasMine);
        QFETCH(QByteArray, versionHas);
        Open("노트.htm", TqbViewMode::Edit);
        if (edited)
            Edit("내것");
        WriteBytes(Lib("노트.htm"), "<HTML><BODY>theirs plus more bytes</BODY></HTML>\r\n");
        m_host->Outside = IqbOpenNoteHost::TOutsideChoice(choice);
        if (edited)
            QVERIFY(m_note->SaveCurrentNote());
        else
            m_note->CheckOutsideChange();
        QCOMPARE(m_host->OutsideAsked, edited ? 1 : 0);
        QVERIFY2(ReadBytes(Lib("노트.htm")).contains(noteHas), ReadBytes(Lib("노트.htm")));
        QCOMPARE(ReadBytes(Lib("노트 - 사본.htm")).contains("\xB3\xBB\xB0\xCD"), copyHasMine);
        // A kept copy shows in the tree at once.
        QCOMPARE(qbRowsShowing(*m_tree, "노트 - 사본").size(), copyHasMine ? 1 : 0);
        // Whatever was chosen, the editor holds what the note file holds now, or is saving it.
        QVERIFY(!m_note->NoteModified());
        const QList<QByteArray> kept = Kept("노트.htm");
        QCOMPARE(kept.size(), versionHas.isEmpty() ? 0 : 1);
        QVERIFY(versionHas.isEmpty() || kept.first().contains(versionHas));
    }

    // Seen while it happens, another program's change to the open note goes through the same
    // rules at once; our own save is no such change.
    void outsideChangeIsWeighedAtOnce_data() {
        QTest::addColumn<bool>("edited");
        QTest::addColumn<QString>("outside");
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("loads");
        QTest::addColumn<bool>("open");
        QTest::newRow("unchanged, rewritten: read again") << false << "write" << 0 << 2 << true;
        QTest::newRow("unchanged, deleted: closed") << false << "delete" << 0 << 1 << false;
        QTest::newRow("edited, rewritten: asked") << true << "write" << 1 << 2 << true;
        QTest::newRow("edited, deleted: asked") << true << "delete" << 1 << 1 << true;
        QTest::newRow("our own save") << true << "save" << 0 << 1 << true;
    }
    void outsideChangeIsWeighedAtOnce() {
        QFETCH(bool, edited);
        QFETCH(QString, outside);
        QFETCH(int, asked);
        QFETCH(int, loads);
        QFETCH(bool, open);
        connect(m_tree.get(), &TqbTree::OutsideChangeSeen, m_note.get(),
                &TqbOpenNote::FileChangedOutside);
        Open("노트.htm", TqbViewMode::Edit);
        if (edited)
            Edit("내것");
        QTRY_VERIFY(m_tree->Watcher().Watched().contains(Lib("노트.htm")));
        QSignalSpy refreshed(m_tree.get(), &TqbTree::FoldersRefreshed);
        if (outside == "write")
            WriteBytes(Lib("노트.htm"), "<HTML><BODY>theirs plus more bytes</BODY></HTML>\r\n");
        else if (outside == "delete")
            QVERIFY(QFile::remove(Lib("노트.htm")));
        else
            QVERIFY(m_note->SaveCurrentNote());
        // Another program's note beside it: by its refresh, everything before was handled.
        WriteBytes(Lib("표시.htm"), "marker");
        QVERIFY(refreshed.wait());
        QCOMPARE(m_host->OutsideAsked, asked);
        QCOMPARE(m_view->Calls.count("load"), loads);
        QCOMPARE(!m_view->NoDocument, open);
        QCOMPARE(m_tree->OpenPath().isEmpty(), !open);
        QCOMPARE(QFileInfo::exists(Lib("노트.htm")), open);
        QVERIFY(!m_note->NoteModified());
    }

    // Another program deleted the note, or gave it back older bytes with its old size and time,
    // while it had edits: the user is asked before anything is written.
    void outsideDeleteOrRestoreIsAsked_data() {
        QTest::addColumn<QString>("outside");
        QTest::addColumn<bool>("restore");  // the answer to "write it back?"
        QTest::addColumn<QByteArray>("file"); // what the note file holds after the save
        QTest::addColumn<bool>("open");       // the note still open afterwards
        QTest::addColumn<int>("asked");
        const QByteArray mine = "\xB3\xBB\xB0\xCD";
        QTest::newRow("deleted, written back") << "delete" << true << mine << true << 1;
        QTest::newRow("deleted, left deleted") << "delete" << false << QByteArray() << false << 1;
        // Answered "write it back" to a file that exists again: theirs is asked about too.
        QTest::newRow("deleted, made again while asked")
            << "recreate" << true << QByteArray("made again") << true << 2;
        QTest::newRow("restored in size and time") << "restore" << true << QByteArray("restored")
                                                   << true << 1;
    }
    void outsideDeleteOrRestoreIsAsked() {
        QFETCH(QString, outside);
        QFETCH(bool, restore);
        QFETCH(QByteArray, file);
        QFETCH(bool, open);
        QFETCH(int, asked);
        const QString path = Lib("노트.htm");
        Open("노트.htm", TqbViewMode::Edit);
        Edit("내것");
        if (outside == "delete" || outside == "recreate") {
            QVERIFY(QFile::remove(path));
            if (outside == "recreate")
                m_host->WhileAsked = [&] { WriteBytes(path, "<HTML>made again</HTML>\r\n"); };
        } else {
            const QDateTime time = QFileInfo(path).lastModified();
            QByteArray older = Cp949Note;
            older.replace("\xB0\xA1\xB3\xAA", "rest");
            older.replace("</BODY>", "ored</BODY>");
            older.chop(4);
            older += "\r\n";
            older.resize(Cp949Note.size(), ' ');
            // Put back as such tools do: a new file renamed over the note.
            WriteBytes(path + ".restored", older);
            QVERIFY(QFile::remove(path));
            QVERIFY(QFile::rename(path + ".restored", path));
            QFile touched(path);
            QVERIFY(touched.open(QIODevice::ReadWrite));
            QVERIFY(touched.setFileTime(time, QFileDevice::FileModificationTime));
        }
        m_host->Outside = IqbOpenNoteHost::TOutsideChoice::TakeTheirs;
        m_host->RestoreDeleted = restore;
        QVERIFY(m_note->SaveCurrentNote());
        QCOMPARE(m_host->OutsideAsked, asked);
        QCOMPARE(QFileInfo::exists(path), !file.isEmpty());
        if (!file.isEmpty())
            QVERIFY2(ReadBytes(path).contains(file), ReadBytes(path));
        QCOMPARE(m_view->NoDocument, !open);
        QVERIFY(!m_note->NoteModified());
    }

    // Another program deleted the note's folder while it had edits: they go into a folder the
    // user chooses, which then holds the open note; declined, nothing is written and they stay.
    void vanishedFolderOffersAnotherFolder_data() {
        QTest::addColumn<QString>("folder");  // the user's choice; "-": declined
        QTest::addColumn<QString>("written"); // where the edits are then; empty: nowhere
        QTest::newRow("into the library's top") << "" << "안.htm";
        QTest::newRow("beside a note of that name") << "폴더2" << "폴더2/안 - 사본.htm";
        QTest::newRow("declined") << "-" << QString();
    }
    void vanishedFolderOffersAnotherFolder() {
        QFETCH(QString, folder);
        QFETCH(QString, written);
        WriteBytes(Lib("폴더/안.htm"), Cp949Note);
        WriteBytes(Lib("폴더2/안.htm"), "older");
        m_tree->LoadRoot(m_info->GetDataDir());
        Open("폴더/안.htm", TqbViewMode::Edit);
        Edit("내것");
        QVERIFY(QDir(Lib("폴더")).removeRecursively());
        m_host->FolderToSaveIn = folder == "-" ? QString() : Lib(folder);
        QCOMPARE(m_note->SaveCurrentNote(), !written.isEmpty());
        QCOMPARE(m_host->FoldersAsked, QStringList{Lib("폴더/안.htm")});
        QCOMPARE(ReadBytes(Lib("폴더2/안.htm")), QByteArray("older"));
        if (written.isEmpty()) {
            QCOMPARE(m_host->Messages,
                     QStringList{TqbOpenNote::SaveFailedMessage + " | " +
                                 TqbOpenNote::FolderGoneMessage.arg(Lib("폴더"))});
            QVERIFY(m_note->NoteModified());
            QCOMPARE(m_note->Path(), Lib("폴더/안.htm"));
            return;
        }
        QCOMPARE(m_host->Messages, QStringList{});
        QVERIFY(ReadBytes(Lib(written)).contains("\xB3\xBB\xB0\xCD"));
        QCOMPARE(m_note->Path(), Lib(written));
        QVERIFY(!m_note->NoteModified());
        // The typing goes on in the new place, read from there.
        QCOMPARE(m_view->Calls.count("load"), 2);
        m_view->Ready = true;
        m_note->PageComplete();
        Edit("뒤");
        QVERIFY(m_note->SaveCurrentNote());
        QVERIFY(qbPageCodec::Read(Lib(written)).Text.contains("뒤"));
    }

    // The copy kept beside theirs: a long name is shortened to fit, and a copy that cannot be
    // written leaves both files as they were and the edits unsaved.
    void keepBothCopyFitsOrNothingChanges_data() {
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("taken"); // a copy already there
        QTest::addColumn<bool>("copyFails");
        QTest::addColumn<QString>("copy"); // the copy that holds the edits; empty: none

        // 250 bytes: 82 syllables of three bytes and ".htm".
        const QString longStem = QString("가").repeated(82);
        const QString cut = QString("가").repeated(80);
        QTest::newRow("long name") << longStem + ".htm" << QString() << false
                                   << cut + " - 사본.htm";
        QTest::newRow("long name, first copy taken")
            << longStem + ".htm" << cut + " - 사본.htm" << false
            << QString("가").repeated(80) + " - 사본 2.htm"; // exactly 255 bytes
        QTest::newRow("copy cannot be written") << "노트.htm" << QString() << true << QString();
    }
    void keepBothCopyFitsOrNothingChanges() {
        QFETCH(QString, note);
        QFETCH(QString, taken);
        QFETCH(bool, copyFails);
        QFETCH(QString, copy);
        const QByteArray theirs = "<HTML><BODY>theirs plus more bytes</BODY></HTML>\r\n";
        WriteBytes(Lib(note), Cp949Note);
        if (!taken.isEmpty())
            WriteBytes(Lib(taken), "older copy");
        Open(note, TqbViewMode::Edit);
        Edit("내것");
        WriteBytes(Lib(note), theirs);
        if (copyFails)
            m_view->DuringSave = [this] {
                if (m_view->Calls.last().contains("사본"))
                    throw EqbError("disk refused");
            };
        m_host->Outside = IqbOpenNoteHost::TOutsideChoice::KeepBoth;

        QCOMPARE(m_note->SaveCurrentNote(), !copyFails);
        QCOMPARE(ReadBytes(Lib(note)), theirs);
        QStringList files{"노트.htm", note};
        if (!taken.isEmpty())
            files << taken;
        if (!copy.isEmpty())
            files << copy;
        files.removeDuplicates();
        files.sort();
        QStringList onDisk = QDir(Lib("")).entryList(QDir::Files | QDir::Hidden);
        onDisk.sort();
        QCOMPARE(onDisk, files);
        QCOMPARE(m_note->NoteModified(), copyFails);
        QCOMPARE(m_host->Messages.size(), 1);
        if (copyFails) {
            QVERIFY2(m_host->Messages.first().startsWith(TqbOpenNote::SaveFailedMessage) &&
                         m_host->Messages.first().endsWith("disk refused"),
                     qPrintable(m_host->Messages.first()));
        } else {
            QVERIFY(ReadBytes(Lib(copy)).contains("\xB3\xBB\xB0\xCD"));
            const QString copyNode = QFileInfo(copy).completeBaseName();
            QCOMPARE(qbRowsShowing(*m_tree, copyNode).size(), 1);
        }
    }

    // A folder's page kept beside theirs becomes a note in that folder, so the user can find it.
    void keptCopyOfAFolderPageIsANoteInTheFolder() {
        QDir(m_dir->path()).mkpath("BookData/폴더");
        WriteBytes(Lib("폴더/___폴더설명.qb"), Cp949Note);
        m_tree->LoadRoot(m_info->GetDataDir());
        const QPersistentModelIndex folder = qbRowOf(*m_tree, "폴더");
        m_tree->ExpandFolder(folder);
        Open("폴더/___폴더설명.qb", TqbViewMode::Edit);
        Edit("내것");
        WriteBytes(Lib("폴더/___폴더설명.qb"), "<HTML><BODY>theirs plus more</BODY></HTML>\r\n");
        QVERIFY(m_note->SaveCurrentNote());
        QVERIFY(ReadBytes(Lib("폴더/___폴더설명 - 사본.htm")).contains("\xB3\xBB\xB0\xCD"));
        QCOMPARE(qbRowTexts(*m_tree, folder), QStringList{"___폴더설명 - 사본"});
    }

    void undecodableBytesAreKeptUnlessTheUserAgrees_data() {
        QTest::addColumn<TqbViewMode>("mode");
        QTest::addColumn<bool>("agree");
        QTest::newRow("edit mode, keep the file") << TqbViewMode::Edit << false;
        QTest::newRow("edit mode, save anyway") << TqbViewMode::Edit << true;
        QTest::newRow("source mode, keep the file") << TqbViewMode::Source << false;
        QTest::newRow("source mode, save anyway") << TqbViewMode::Source << true;
    }
    void undecodableBytesAreKeptUnlessTheUserAgrees() {
        QFETCH(TqbViewMode, mode);
        QFETCH(bool, agree);
        // A byte CP949 cannot read ahead of the text.
        const QByteArray bytes = QByteArray(Cp949Note).replace("<BODY>", "<BODY>\xF3!");
        WriteBytes(Lib("노트.htm"), bytes);
        Open("노트.htm", mode);
        m_view->DecodingErrors = true;
        m_host->SaveUndecodable = agree;
        if (mode == TqbViewMode::Source) {
            m_view->Source += "x";
            m_view->SourceDirty = true;
        } else {
            Edit("x");
        }
        QVERIFY(m_note->SaveCurrentNote());
        QCOMPARE(m_host->UndecodableAsked, 1);
        QCOMPARE(ReadBytes(Lib("노트.htm")) == bytes, !agree);
    }

    // A page that declares UTF-8 but holds CP949 is offered the CP949 reading where it can be
    // saved; the declaration changes with the first save of an edit.
    void utf8PageHoldingCp949_data() {
        QTest::addColumn<TqbViewMode>("mode");
        QTest::addColumn<bool>("agree");
        QTest::addColumn<int>("asked");
        QTest::addColumn<QString>("shown");
        const QString cp949 = "<html><head><meta charset=\"euc-kr\"></head><body>가나</body></html>";
        const QString utf8 = "<html><head><meta charset=\"utf-8\"></head>"
                             "<body>\uFFFD\uFFFD\uFFFD\uFFFD</body></html>";
        QTest::newRow("edit mode, as cp949") << TqbViewMode::Edit << true << 1 << cp949 + "\r\n";
        QTest::newRow("source mode, as cp949") << TqbViewMode::Source << true << 1 << cp949;
        QTest::newRow("source mode, refused") << TqbViewMode::Source << false << 1 << utf8;
        QTest::newRow("browse mode asks nothing")
            << TqbViewMode::Browse << true << 0 << utf8 + "\r\n";
    }
    void utf8PageHoldingCp949() {
        QFETCH(TqbViewMode, mode);
        QFETCH(bool, agree);
        const QByteArray bytes =
            "<html><head><meta charset=\"utf-8\"></head><body>\xB0\xA1\xB3\xAA</body></html>\r\n";
        WriteBytes(Lib("old.htm"), bytes);
        m_host->ReadAsCp949 = agree;
        Open("old.htm", mode);
        QTEST(m_host->Cp949Asked, "asked");
        QString& shown = mode == TqbViewMode::Source ? m_view->Source : m_view->Page;
        QTEST(shown, "shown");
        QVERIFY(!m_note->NoteModified() && !m_view->SourceDirty);
        if (!agree || mode == TqbViewMode::Browse)
            return;
        shown.replace("가나", "가나다");
        m_view->SourceDirty = true;
        m_note->MarkModified();
        QVERIFY(m_note->SaveCurrentNote());
        QCOMPARE(ReadBytes(Lib("old.htm")),
                 QByteArray("<html><head><meta charset=\"euc-kr\"></head><body>"
                            "\xB0\xA1\xB3\xAA\xB4\xD9</body></html>\r\n"));
    }

    // The open note's path follows the library: a new name or place of the note or of a folder
    // above it (ours, or another program's seen by the tree), and a removal closes it. Typing
    // afterwards lands in the file where the note now is.
    void followsTheLibrary_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("path"); // where the note is afterwards; "" closed

        QTest::newRow("note renamed") << "rename" << "폴더/안.htm" << "폴더/밖.htm" << "폴더/밖.htm";
        QTest::newRow("folder above renamed") << "rename" << "폴더/" << "새 폴더/" << "새 폴더/안.htm";
        QTest::newRow("note moved") << "move" << "폴더/안.htm" << "" << "안.htm";
        QTest::newRow("another note renamed") << "rename" << "노트.htm" << "다른.htm" << "폴더/안.htm";
        QTest::newRow("another program's rename") << "outside" << "폴더/" << "바뀐/" << "바뀐/안.htm";
        QTest::newRow("note trashed") << "trash" << "폴더/안.htm" << "" << "";
        QTest::newRow("folder above trashed") << "trash" << "폴더/" << "" << "";
    }

    void followsTheLibrary() {
        QFETCH(QString, operation);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, path);
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath("xdg")));
        WriteBytes(Lib("폴더/안.htm"), Cp949Note);
        Open("폴더/안.htm", TqbViewMode::Edit);
        TqbLibrary& library = *m_library;
        if (operation == "rename")
            QVERIFY(library.Rename(Lib(from), Lib(to)));
        else if (operation == "move")
            QVERIFY(library.Move(Lib(from), Lib(to).chopped(1)));
        else if (operation == "trash")
            QVERIFY(library.Trash(Lib(from)));
        else if (operation == "outside") {
            QVERIFY(QDir().rename(Lib(from), Lib(to)));
            library.AnnounceMoved(Lib(from), Lib(to));
        }
        QCOMPARE(m_note->Path(), path.isEmpty() ? QString() : Lib(path));
        QCOMPARE(m_view->NoDocument, path.isEmpty());
        if (path.isEmpty())
            return;
        Edit("뒤");
        QVERIFY(m_note->SaveCurrentNote());
        QVERIFY(qbPageCodec::Read(Lib(path)).Text.contains("뒤"));
        QCOMPARE(m_host->OutsideAsked, 0);
    }

    // A rename in the tree saves the open note once: the links that follow it ask nothing again.
    void renameSavesTheOpenNoteOnce() {
        TqbLinkFollower follower([this] { return m_note->SaveBeforeLinksRewritten(); });
        m_library->SetLinkKeeper(&follower);
        WriteBytes(Lib("링크.htm"), "<a href=\"note.htm\">n</a>");
        WriteBytes(Lib("note.htm"), Cp949Note);
        Open("note.htm", TqbViewMode::Edit);
        Edit("뒤");
        m_tree->SetDialogRunner([](QDialog& dialog) {
            auto& name = dynamic_cast<TfrmUserFileName&>(dialog);
            name.edtName->setText("new");
            name.btnConfirmClick();
            return name.result() == QDialog::Accepted;
        });
        m_tree->PopupRefresh();
        m_tree->RenameNode(qbRowOf(*m_tree, "note"));
        m_library->SetLinkKeeper(nullptr);
        QCOMPARE(m_note->Path(), Lib("new.htm"));
        QCOMPARE(m_view->Calls.filter("save ").size(), 1);
        QCOMPARE(m_host->Commits, 1);
        QCOMPARE(ReadBytes(Lib("링크.htm")), QByteArray("<a href=\"new.htm\">n</a>"));
    }

    // A page too big to edit says so before anything is typed, and offers source mode.
    void pageTooBigToEditOffersSourceMode_data() {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<TqbViewMode>("mode");
        QTest::newRow("source mode") << true << TqbViewMode::Source;
        QTest::newRow("browse mode") << false << TqbViewMode::Browse;
    }
    void pageTooBigToEditOffersSourceMode() {
        QFETCH(bool, answer);
        QFETCH(TqbViewMode, mode);
        Open("노트.htm", TqbViewMode::Edit);
        m_host->Answer = answer;
        m_note->PageTooBigToEdit();
        QCOMPARE(m_host->Questions, QStringList{TqbOpenNote::TooBigToEditQuestion});
        QCOMPARE(m_note->ViewMode(), mode);
        QCOMPARE(ReadBytes(Lib("노트.htm")), Cp949Note);
    }

    void aSaveInsideASaveIsRefused() {
        Open("노트.htm", TqbViewMode::Edit);
        Edit("x");
        bool inner = true;
        m_view->DuringSave = [&] { inner = m_note->SaveCurrentNote(); };
        QVERIFY(m_note->SaveCurrentNote());
        QVERIFY(!inner);
    }

    void modeSwitchStopsWhenTheSaveFails() {
        Open("노트.htm", TqbViewMode::Edit);
        Edit("x");
        m_view->Ready = false;
        QSignalSpy changed(m_note.get(), &TqbOpenNote::ViewModeChanged);
        m_note->SetViewMode(TqbViewMode::Source);
        QCOMPARE(m_note->ViewMode(), TqbViewMode::Edit);
        QCOMPARE(changed.value(0).value(0).value<TqbViewMode>(), TqbViewMode::Edit);
        QVERIFY(m_note->NoteModified());
    }

    // A note edited in source mode keeps its charset and line ends; only the edit changes.
    void sourceModeKeepsThePagesForm_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("undeclared utf-8")
            << QByteArray("<html><body>\xED\x95\x9C\xEA\xB8\x80 \xC2\xA0</body></html>\r\n")
            << "한글" << "글자"
            << QByteArray("<html><body>\xEA\xB8\x80\xEC\x9E\x90 \xC2\xA0</body></html>\r\n");
        QTest::newRow("line feeds")
            << QByteArray("<html><body><pre>\na\nxy\n</pre></body></html>\n") << "xy" << "z"
            << QByteArray("<html><body><pre>\na\nz\n</pre></body></html>\n");
        QTest::newRow("carriage returns, one cr lf")
            << QByteArray("<html>\r<body>\ra\r\nxy</body></html>\r") << "xy" << "z"
            << QByteArray("<html>\r<body>\ra\rz</body></html>\r");
        QTest::newRow("korean typed into plain ascii")
            << QByteArray("<html><head><title>t</title></head><body>a</body></html>\n") << ">a<"
            << ">\uAC00<"
            << QByteArray("<html><head><meta charset=\"euc-kr\"><title>t</title></head>"
                          "<body>\xB0\xA1</body></html>\n");
    }
    void sourceModeKeepsThePagesForm() {
        QFETCH(QByteArray, before);
        QFETCH(QString, from);
        QFETCH(QString, to);
        WriteBytes(Lib("form.htm"), before);
        Open("form.htm", TqbViewMode::Source);
        QVERIFY(m_view->Source.contains(from));
        m_view->Source.replace(from, to);
        m_view->SourceDirty = true;
        QVERIFY(m_note->SaveCurrentNote());
        QTEST(ReadBytes(Lib("form.htm")), "after");
    }
};

QTEST_MAIN(TestOpenNote)
#include "tst_OpenNote.moc"
