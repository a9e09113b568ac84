// The main window over a temporary program folder and library, checked on disk.
#include "app/main.h"
#include "app/qbConflictDialog.h"
#include "note/qbNoteNavigation.h"
#include "app/qbStatusPanel.h"
#include "dialogs/Config.h"
#include "dialogs/qbPathListDialog.h"
#include "editing/qbDhtmlEdit.h"
#include "library/qbNoteInfo.h"
#include "prjinfo/qbProjectInfo.h"
#include "platform/qbTextFile.h"
#include "library/qbLibraryWatcher.h"
#include "library/qbTree.h"
#include "common/qbAppTestMain.h"
#include "common/qbDialogAnswerer.h"
#include "common/qbReadOnlyFolder.h"
#include "common/qbWindowFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QTimeZone>
#include <QFile>
#include <QInputMethodEvent>
#include <QMessageBox>
#include <QPrinter>
#include <QWebEngineView>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

namespace {

const QByteArray DefaultHeaderBytes =
    "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; charset=euc-kr\">\r\n"
    "<style type=\"text/css\"><!--\r\n"
    "BODY,TD,SELECT,input,DIV,form,TEXTAREA,option {font-size:9pt; "
    "font-family:verdana;color:333333}\r\n"
    "A:link {color:#4077a0;text-decoration:none;font-weight: bold}\r\n"
    "A:visited {color:#4077a0;text-decoration:none;font-weight: bold}\r\n"
    "A:hover{color:#990000;text-decoration:none;font-weight: bold}\r\n"
    "--></style></HEAD><BODY><DIV></DIV>\r\n"
    "</BODY></HTML>\r\n";

// A page of three paragraphs, as two computers change it.
QByteArray ConflictPage(const char* first, const char* second, const char* third) {
    return QByteArray("<HTML><BODY><P>") + first + "</P><P>.</P><P>" + second + "</P><P>.</P><P>" +
           third + "</P></BODY></HTML>\r\n";
}

// "가나다" in code page 949.
const QByteArray GaNaDa = "\xB0\xA1\xB3\xAA\xB4\xD9";

// Stands in for the desktop's opener: keeps what it was handed.
class TDesktopOpener : public QObject {
    Q_OBJECT
public:
    static inline const QStringList Schemes{"http", "https", "mailto", "file", "javascript", "smb"};
    QStringList opened;

    TDesktopOpener() {
        for (const QString& scheme : Schemes)
            QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
    ~TDesktopOpener() override {
        for (const QString& scheme : Schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }

public slots:
    void Open(const QUrl& url) { opened << url.toString(); }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    TqbWindowFixture F;

    QString Lib(const QString& relative) const { return F.Lib(relative); }
    void Select(const QString& text) { F.Select(text); }
    void EnterMode(TqbViewMode mode) { F.EnterMode(mode); }

    // A library of one folder without a description page and two notes.
    void MakeWindow() {
        F.Open([](TqbWindowFixture& f) {
            QDir(f.Dir->path()).mkpath("BookData/폴더");
            WriteBytes(f.Lib("첫노트.htm"),
                       "<HTML><HEAD><META http-equiv=Content-Type content=\"text/"
                       "html; charset=euc-kr\"></HEAD><BODY><DIV>" +
                           GaNaDa + "</DIV></BODY></HTML>\r\n");
            WriteBytes(f.Lib("둘째.htm"), "<HTML><BODY><DIV>two</DIV></BODY></HTML>\r\n");
        });
    }

    QWidget* PageWidget() const { return F.PageWidget(); }
    void TypeIntoPage(const QString& text) { F.TypeIntoPage(text); }
    void PasteIntoPage(const QString& html) { F.PasteIntoPage(html); }

private slots:
    void init() { MakeWindow(); }
    void cleanup() { F.Close(); }

    void firstActivationOpensFirstNodeInBrowseMode() {
        QCOMPARE(F.Window->windowTitle(), QString("qbNivora 1.0 build 1"));
        QCOMPARE(F.Window->NoteTree()->currentIndex().data().toString(), QString("폴더"));
        QCOMPARE(F.Window->NoteTree()->OpenPath(), Lib("폴더/___폴더설명.qb"));
        QVERIFY(F.Window->Dhtml()->BrowseMode());
        QVERIFY(!F.Window->Action("actFileSave")->isEnabled());
    }

    void missingFolderPageGetsTheDefaultHeaderBytes() {
        QCOMPARE(ReadBytes(Lib("폴더/___폴더설명.qb")), DefaultHeaderBytes);
    }

    void editedTextReachesTheFileInCp949_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("ctrl+s") << "save";
        QTest::newRow("selection change") << "select";
        QTest::newRow("mode switch") << "browse";
        QTest::newRow("autosave") << "autosave";
    }
    void editedTextReachesTheFileInCp949() {
        QFETCH(QString, how);
        Select("첫노트");
        EnterMode(TqbViewMode::Edit);
        TypeIntoPage("한글");
        if (how == "save") {
            F.Window->UpdateActions();
            QTest::keyClick(PageWidget(), Qt::Key_S, Qt::ControlModifier);
        }
        else if (how == "select")
            Select("둘째");
        else if (how == "browse")
            EnterMode(TqbViewMode::Browse);
        else {
            auto* timer = F.Window->findChild<QTimer*>("tmrAutoSave");
            QVERIFY(timer->isActive());
            timer->setInterval(10);
        }
        // "한글" in code page 949.
        QTRY_VERIFY_WITH_TIMEOUT(ReadBytes(Lib("첫노트.htm")).contains("\xC7\xD1\xB1\xDB"),
                                 TqbWindowFixture::PageTimeoutMs);
        QVERIFY(ReadBytes(Lib("첫노트.htm")).contains(GaNaDa));
        QVERIFY(!F.Window->NoteModified());
    }

    // Tags written over the editor go into the file with the typing before them, and stay there
    // through the page's next save.
    void tagsFieldWritesThroughTheOpenNote() {
        Select("첫노트");
        EnterMode(TqbViewMode::Edit);
        TypeIntoPage("한글");
        auto* field = F.Window->findChild<QLineEdit*>("edtTags");
        QVERIFY(field->isEnabled());
        QCOMPARE(field->text(), QString());
        field->setFocus();
        QInputMethodEvent typed; // as the input method hands Hangul over
        typed.setCommitString("#업무, 회의,업무");
        QApplication::sendEvent(field, &typed);
        QTest::keyClick(field, Qt::Key_Return);
        // 업무, 회의 and 한글 in code page 949.
        const QByteArray meta =
            "<meta name=\"keywords\" content=\"\xBE\xF7\xB9\xAB, \xC8\xB8\xC0\xC7\">";
        QVERIFY(ReadBytes(Lib("첫노트.htm")).contains(meta));
        QVERIFY(ReadBytes(Lib("첫노트.htm")).contains("\xC7\xD1\xB1\xDB"));
        QCOMPARE(field->text(), QString("업무, 회의"));
        QTRY_VERIFY_WITH_TIMEOUT(F.Window->DocumentReady(), TqbWindowFixture::PageTimeoutMs);
        TypeIntoPage("다");
        QVERIFY(F.Window->SaveCurrentNote());
        QVERIFY(ReadBytes(Lib("첫노트.htm")).contains("\xB4\xD9")); // 다
        QVERIFY(ReadBytes(Lib("첫노트.htm")).contains(meta));
        Select("둘째");
        QCOMPARE(field->text(), QString());
        Select("첫노트");
        QCOMPARE(field->text(), QString("업무, 회의"));
    }

    // A tag the file could not take stays in the field over its own note and goes in at the next
    // try; another note shows its own tags.
    void tagsNotWrittenAreTriedAgain() {
        Select("첫노트");
        auto* field = F.Window->findChild<QLineEdit*>("edtTags");
        const QByteArray before = ReadBytes(Lib("첫노트.htm"));
        const auto typeTags = [field](const QString& tags) {
            field->setFocus();
            field->selectAll();
            QInputMethodEvent typed;
            typed.setCommitString(tags);
            QApplication::sendEvent(field, &typed);
        };
        typeTags("업무");
        {
            TqbReadOnlyFolder readOnly(Lib(""));
            TqbDialogAnswerer told;
            QTest::keyClick(field, Qt::Key_Return);
            QCOMPARE(told.texts.size(), 1);
        }
        QCOMPARE(ReadBytes(Lib("첫노트.htm")), before);
        QCOMPARE(field->text(), QString("업무"));
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(ReadBytes(Lib("첫노트.htm")).contains("<meta name=\"keywords\" content=\"\xBE\xF7\xB9\xAB\">"));
        typeTags("회의");
        {
            TqbReadOnlyFolder readOnly(Lib(""));
            TqbDialogAnswerer told;
            QTest::keyClick(field, Qt::Key_Return);
            QCOMPARE(told.texts.size(), 1);
        }
        Select("둘째");
        QCOMPARE(field->text(), QString());
        Select("첫노트");
        QCOMPARE(field->text(), QString("업무"));
    }

    // A capture makes the inbox note the first time; into the open inbox it comes after the
    // typing not saved yet, which stays.
    void captureGoesIntoTheInboxKeepingTyping() {
        const QString inbox = Lib("받은 메모.htm");
        QVERIFY(F.Window->Capture("우유 <사기>"));
        // 우유 and 사기 in code page 949, below the default header's body.
        const QByteArray first = "<br>\xBF\xEC\xC0\xAF &lt;\xBB\xE7\xB1\xE2&gt;</p>\r\n";
        QByteArray page = ReadBytes(inbox);
        QVERIFY(page.startsWith(DefaultHeaderBytes.chopped(16)));
        QVERIFY(page.endsWith(first + "</BODY></HTML>\r\n"));
        Select("받은 메모");
        EnterMode(TqbViewMode::Edit);
        TypeIntoPage("한글");
        QVERIFY(F.Window->Capture("다"));
        page = ReadBytes(inbox);
        QVERIFY(page.contains("\xC7\xD1\xB1\xDB")); // 한글
        QVERIFY(page.contains(first));
        // The editor's save wrote the markup in its own letters.
        QVERIFY(page.endsWith("<br>\xB4\xD9</p>\r\n</body></html>\r\n")); // 다
        QTRY_VERIFY_WITH_TIMEOUT(F.Window->DocumentReady(), TqbWindowFixture::PageTimeoutMs);
        QVERIFY(!F.Window->NoteModified());
    }

    // Today's note is made in its year's folder from the template, in edit mode; the other days
    // are the notes already there.
    void dailyNoteIsMadeOnceAndStepsThroughTheDays() {
        const QDate today = QDate::currentDate();
        const QString name = today.toString("yyyy-MM-dd");
        const QString path = Lib(QString("일기/%1/%2.htm").arg(today.year()).arg(name));
        WriteBytes(Lib("일기/2020/2020-05-01.htm"), "<HTML><BODY>old</BODY></HTML>\r\n");
        F.Window->NoteTree()->LoadRoot(F.Notes->GetDataDir());
        QTest::keyClick(F.Window->NoteTree(), Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(F.Window->NoteTree()->OpenPath(), path);
        QCOMPARE(F.Window->ViewMode(), TqbViewMode::Edit);
        QVERIFY(ReadBytes(path).contains("<B>" + name.toLatin1() + "</B>"));
        QCOMPARE(ReadBytes(Lib(QString("일기/%1/___폴더설명.qb").arg(today.year()))),
                 DefaultHeaderBytes);
        QTRY_VERIFY_WITH_TIMEOUT(F.Window->DocumentReady(), TqbWindowFixture::PageTimeoutMs);
        QTest::keyClick(PageWidget(), Qt::Key_PageUp, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(F.Window->NoteTree()->OpenPath(), Lib("일기/2020/2020-05-01.htm"));
        {
            TqbDialogAnswerer told;
            F.Window->Action("actDailyPrev")->trigger();
            QCOMPARE(told.texts, QStringList{TqbNoteNavigation::NoEarlierDailyNote});
        }
        F.Window->Action("actDailyNext")->trigger();
        QCOMPARE(F.Window->NoteTree()->OpenPath(), path);
        F.Window->Action("actDailyNote")->trigger();
        QCOMPARE(F.Window->NoteTree()->OpenPath(), path);
    }

    void browseModeNeverWrites() {
        Select("첫노트");
        const QByteArray before = ReadBytes(Lib("첫노트.htm"));
        QVERIFY(!F.Window->findChild<QTimer*>("tmrAutoSave")->isActive());
        QTest::keyClicks(F.Window->NoteTree(), "abc");
        F.Window->Action("actFileSave")->trigger();
        Select("둘째");
        QCOMPARE(ReadBytes(Lib("첫노트.htm")), before);
    }

    void sourceModeShowsWhatTheControlWrote() {
        Select("첫노트");
        EnterMode(TqbViewMode::Edit);
        PasteIntoPage("<b>굵게</b>");
        EnterMode(TqbViewMode::Source);
        const QString source = F.Window->RchDhtml()->toPlainText();
        QVERIFY2(source.contains("<b>굵게</b>"), qPrintable(source));
        QCOMPARE(source, qbText::ReadLines(Lib("첫노트.htm")).join('\n'));
        QVERIFY(F.Window->findChild<QTimer*>("tmrAutoSave")->isActive());
    }

    void sourceEditsReachTheControl() {
        Select("둘째");
        EnterMode(TqbViewMode::Source);
        QPlainTextEdit* source = F.Window->RchDhtml();
        const QString edited = source->toPlainText().replace("two", "소스에서");
        source->selectAll();
        source->insertPlainText(edited);
        QVERIFY(source->document()->isModified());
        EnterMode(TqbViewMode::Edit);
        QVERIFY(ReadBytes(Lib("둘째.htm")).contains("\xBC\xD2\xBD\xBA\xBF\xA1\xBC\xAD"));
        QVERIFY(F.Window->Dhtml()->DocumentHtml().contains("소스에서"));
    }

    void unchangedSourceIsNotWritten() {
        Select("둘째");
        EnterMode(TqbViewMode::Source);
        const QByteArray before = ReadBytes(Lib("둘째.htm"));
        EnterMode(TqbViewMode::Edit);
        QCOMPARE(ReadBytes(Lib("둘째.htm")), before);
    }

    void reloadDropsEdits() {
        Select("둘째");
        EnterMode(TqbViewMode::Edit);
        const QByteArray before = ReadBytes(Lib("둘째.htm"));
        TypeIntoPage("버릴 글");
        F.Window->Action("actReload")->trigger();
        F.WaitForPage();
        QVERIFY(!F.Window->NoteModified());
        Select("첫노트");
        QCOMPARE(ReadBytes(Lib("둘째.htm")), before);
    }

    void choosingTheCurrentModeSavesNothing() {
        Select("둘째");
        EnterMode(TqbViewMode::Edit);
        TypeIntoPage("x");
        const QByteArray before = ReadBytes(Lib("둘째.htm"));
        F.Window->SetViewMode(TqbViewMode::Edit);
        QVERIFY(F.Window->NoteModified());
        QCOMPARE(ReadBytes(Lib("둘째.htm")), before);
    }

    // A note whose folder has vanished cannot be written there: "다른 이름으로 저장" declined,
    // the user is told and the text stays.
    void failedSaveKeepsTheChanges() {
        QDir(F.Dir->path()).mkpath("BookData/폴더/안");
        WriteBytes(Lib("폴더/안/사라질.htm"), "<HTML><BODY>x</BODY></HTML>");
        F.Window->NoteTree()->LoadRoot(F.Notes->GetDataDir());
        F.Window->NoteTree()->SetOpenPath(Lib("폴더/안/사라질.htm"));
        F.WaitForPage();
        EnterMode(TqbViewMode::Edit);
        TypeIntoPage("지키기");
        QVERIFY(QDir(Lib("폴더/안")).removeRecursively());
        {
            TqbDialogAnswerer catcher;
            QVERIFY(!F.Window->SaveCurrentNote());
            QCOMPARE(catcher.texts, QStringList({TfrmMainNivora::FolderGoneQuestion,
                                                 TfrmMainNivora::SaveFailedMessage}));
        }
        QVERIFY(F.Window->NoteModified());
        QVERIFY(F.Window->Dhtml()->DocumentHtml().contains("지키기"));
        {
            // Closing tells why, then asks before it drops the changes; "No" keeps the window
            // and the text.
            TqbDialogAnswerer keep(QMessageBox::No);
            QVERIFY(!F.Window->close());
            QCOMPARE(keep.texts, QStringList({TfrmMainNivora::FolderGoneQuestion,
                                              TfrmMainNivora::SaveFailedMessage,
                                              TfrmMainNivora::CloseUnsavedQuestion}));
        }
        QVERIFY(F.Window->isVisible());
        QVERIFY(F.Window->NoteModified());
        // The folder is back, the note not: the next save asks, and writes it.
        QDir(F.Dir->path()).mkpath("BookData/폴더/안");
        {
            TqbDialogAnswerer restore(QMessageBox::Yes);
            QVERIFY(F.Window->SaveCurrentNote());
            QCOMPARE(restore.texts.size(), 1);
            QVERIFY(restore.texts.first().startsWith("다른 프로그램이 이 노트를 지웠습니다."));
        }
        QVERIFY(ReadBytes(Lib("폴더/안/사라질.htm")).contains("\xC1\xF6\xC5\xB0\xB1\xE2"));
    }

    // Only web and mail links reach the desktop; a note of the library opens in the tree.
    void linksFollowThePolicy_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("opened"); // what the desktop was given; empty: nothing
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("current"); // the tree's node afterwards

        QTest::newRow("web page") << "https://example.org/" << "https://example.org/" << ""
                                  << "폴더";
        QTest::newRow("mail asking to attach a file")
            << "mailto:a@example.org?subject=x&attach=/etc/passwd"
            << "mailto:a@example.org?subject=x"
            << QStringLiteral("메일 링크가 첨부하려던 파일은 넘기지 않았습니다. 필요하면 메일 "
                              "프로그램에서 직접 첨부하세요:\n/etc/passwd")
            << "폴더";
        QTest::newRow("note of the library") << "<lib>둘째.htm" << "" << "" << "둘째";
        QTest::newRow("note linked in code page 949")
            << "file://<lib>%B5%D1%C2%B0.htm" << "" << "" << "둘째";
        QTest::newRow("folder of the library") << "<lib>폴더" << "" << "" << "폴더";
        QTest::newRow("missing note of the library")
            << "<lib>없는 노트.htm" << "" << QStringLiteral("연결된 노트가 없습니다: <lib>없는 노트.htm")
            << "폴더";
        QTest::newRow("file outside the library")
            << "file:///etc/passwd" << ""
            << QStringLiteral("라이브러리 밖의 파일은 열지 않습니다: /etc/passwd") << "폴더";
        QTest::newRow("script") << "javascript:alert(1)" << ""
                                << QStringLiteral("이 종류의 링크는 열지 않습니다: javascript:")
                                << "폴더";
    }
    void linksFollowThePolicy() {
        QFETCH(QString, link);
        QFETCH(QString, opened);
        QFETCH(QString, told);
        QFETCH(QString, current);
        link.replace("file://<lib>", QUrl::fromLocalFile(Lib("")).toString(QUrl::FullyEncoded));
        const QUrl url = link.startsWith("<lib>") ? QUrl::fromLocalFile(Lib(link.mid(5))) : QUrl(link);
        TDesktopOpener desktop;
        TqbDialogAnswerer catcher;
        emit F.Window->Dhtml()->LinkClicked(url);
        QCOMPARE(desktop.opened, opened.isEmpty() ? QStringList() : QStringList{opened});
        told.replace("<lib>", QDir::toNativeSeparators(Lib("")));
        QCOMPARE(catcher.texts, told.isEmpty() ? QStringList() : QStringList{told});
        QCOMPARE(F.Window->NoteTree()->currentIndex().data().toString(), current);
    }

    // A real click in browse mode, on a name the engine must encode and the tree decode.
    void clickedLinkOpensTheNote() {
        WriteBytes(Lib("폴더/C# 노트 & 'x'.htm"), "<HTML><BODY>target</BODY></HTML>\r\n");
        WriteBytes(Lib("링크.htm"), "<HTML><BODY style=\"margin:0\"><A style=\"display:block;"
                                   "height:300px\" href=\"%ED%8F%B4%EB%8D%94/C%23 노트 &amp; 'x'."
                                   "htm\">go</A></BODY></HTML>\r\n");
        F.Window->NoteTree()->LoadRoot(F.Notes->GetDataDir());
        Select("링크");
        TDesktopOpener desktop;
        QTest::mouseClick(PageWidget(), Qt::LeftButton, {}, QPoint(40, 40));
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->NoteTree()->OpenPath(), Lib("폴더/C# 노트 & 'x'.htm"),
                                  TqbWindowFixture::PageTimeoutMs);
        QCOMPARE(F.Window->NoteTree()->currentIndex().data().toString(), QString("C# 노트 & 'x'"));
        QCOMPARE(desktop.opened, QStringList());
    }

    // The notes that link to the open one, or to the row the tree's pop-up menu was opened on,
    // are listed; the one chosen opens. None: a word.
    void backlinksOpenTheLinkingNote() {
        WriteBytes(Lib("폴더/가리킴.htm"), "<HTML><BODY><A href=\"../%EB%91%98%EC%A7%B8.htm\">2</A>"
                                          "</BODY></HTML>\r\n");
        F.Window->NoteTree()->LoadRoot(F.Notes->GetDataDir());
        Select("첫노트");
        {
            TqbDialogAnswerer told;
            F.Window->Action("actBacklinks")->trigger();
            QCOMPARE(told.texts, QStringList{TfrmMainNivora::NoBacklinksMessage});
        }
        QStringList listed;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            if (auto* dialog = qobject_cast<TqbPathListDialog*>(QApplication::activeModalWidget())) {
                answer.stop();
                for (int i = 0; i < dialog->Rows()->topLevelItemCount(); ++i)
                    listed << dialog->Rows()->topLevelItem(i)->text(0) + u'|' +
                                  dialog->Rows()->topLevelItem(i)->text(1);
                dialog->accept();
            }
        });
        answer.start(20);
        F.Tree()->SetContextNode(F.Node("둘째"));
        F.Tree()->PopupItem("itemBacklinks")->trigger();
        QCOMPARE(listed, QStringList{"가리킴|폴더"});
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->NoteTree()->OpenPath(), Lib("폴더/가리킴.htm"),
                                  TqbWindowFixture::PageTimeoutMs);
    }

    // The status bar counts the notes a sync engine left a conflict copy beside; choosing such a
    // note asks what it keeps, and once answered the count, the mark and the copy go and the
    // editor shows what the note holds now. Syncthing kept the page both started from.
    void conflictCopyIsCountedAskedAboutAndResolved_data() {
        QTest::addColumn<TqbConflictDialog::TChoice>("choice");
        QTest::addColumn<QByteArray>("noteAfter");
        QTest::addColumn<QByteArray>("bothAfter"); // "충돌 (다른 컴퓨터)"; empty: no such note

        QTest::newRow("take the other") << TqbConflictDialog::TChoice::TakeOther
                                        << ConflictPage("1", "2 there", "3 there") << QByteArray();
        QTest::newRow("keep both")
            << TqbConflictDialog::TChoice::KeepBoth << ConflictPage("1 here", "2 here", "3")
            << ConflictPage("1", "2 there", "3 there");
        QTest::newRow("merge, the overlap taken from the other")
            << TqbConflictDialog::TChoice::Merge << ConflictPage("1 here", "2 there", "3 there")
            << QByteArray();
    }
    void conflictCopyIsCountedAskedAboutAndResolved() {
        QFETCH(TqbConflictDialog::TChoice, choice);
        QFETCH(QByteArray, noteAfter);
        QFETCH(QByteArray, bothAfter);

        const QString copy = Lib("충돌.sync-conflict-20261209-101010-ABCDEFG.htm");
        WriteBytes(Lib(".stversions/충돌~20261209-101010.htm"), ConflictPage("1", "2", "3"));
        WriteBytes(Lib("충돌.htm"), ConflictPage("1 here", "2 here", "3"));
        WriteBytes(copy, ConflictPage("1", "2 there", "3 there"));
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->StatusPanel()->Conflicts(),
                                  QStringLiteral("충돌 사본이 있는 노트 1개"),
                                  TqbWindowFixture::PageTimeoutMs);
        QVERIFY(F.Node("충돌").data(TqbTree::ConflictRole).toBool());
        QStringList asked;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&asked, choice] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* dialog = qobject_cast<TqbConflictDialog*>(modal)) {
                asked << dialog->windowTitle();
                dialog->Button(choice)->click();
            } else if (auto* overlaps = qobject_cast<TqbOverlapDialog*>(modal)) {
                asked << overlaps->windowTitle();
                overlaps->Take(0, false);
                overlaps->accept();
            }
        });
        answer.start(20);
        F.Select("충돌");
        const QStringList questions = choice == TqbConflictDialog::TChoice::Merge
                                          ? QStringList{"충돌 사본 - 충돌.htm", "병합 - 충돌.htm"}
                                          : QStringList{"충돌 사본 - 충돌.htm"};
        QTRY_COMPARE_WITH_TIMEOUT(asked, questions, TqbWindowFixture::PageTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->StatusPanel()->Conflicts(), QString(),
                                  TqbWindowFixture::PageTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!F.Node("충돌").data(TqbTree::ConflictRole).toBool(),
                                 TqbWindowFixture::PageTimeoutMs);
        QCOMPARE(ReadBytes(Lib("충돌.htm")), noteAfter);
        QVERIFY(!QFileInfo::exists(copy));
        QCOMPARE(ReadBytes(Lib("충돌 (다른 컴퓨터).htm")), bothAfter);
        if (!bothAfter.isEmpty())
            QTRY_VERIFY_WITH_TIMEOUT(F.Node("충돌 (다른 컴퓨터)").isValid(), TqbWindowFixture::PageTimeoutMs);
        // The editor shows the note as it is now.
        const QString second =
            choice == TqbConflictDialog::TChoice::KeepBoth ? "2 here" : "2 there";
        QTRY_VERIFY_WITH_TIMEOUT(F.Window->Dhtml()->DocumentHtml().contains(second),
                                 TqbWindowFixture::PageTimeoutMs);
        QCOMPARE(asked, questions);
    }

    // Another program renames a note that the open, edited note links to: the edits are saved
    // first, then every link leads to the new name, and the status bar says how many notes.
    void linksFollowAnotherProgramsRename() {
        const QByteArray linking =
            "<HTML><BODY><A href=\"../%EB%91%98%EC%A7%B8.htm\">2</A></BODY></HTML>\r\n";
        WriteBytes(Lib("폴더/가리킴.htm"), linking);
        WriteBytes(Lib("첫노트.htm"), "<HTML><BODY><A href=\"둘째.htm\">2</A></BODY></HTML>\r\n");
        F.Window->NoteTree()->LoadRoot(F.Notes->GetDataDir());
        Select("첫노트");
        EnterMode(TqbViewMode::Edit);
        TypeIntoPage("mine");
        QTRY_VERIFY_WITH_TIMEOUT(F.Tree()->Watcher().Watched().contains(Lib("첫노트.htm")),
                                 TqbWindowFixture::PageTimeoutMs);
        QVERIFY(QDir().rename(Lib("둘째.htm"), Lib("셋째.htm")));
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->StatusPanel()->Notice(),
                                  QStringLiteral("다른 노트 2개의 링크를 새 위치로 고쳤습니다."),
                                  TqbWindowFixture::PageTimeoutMs);
        QByteArray moved = linking;
        QCOMPARE(ReadBytes(Lib("폴더/가리킴.htm")),
                 moved.replace("%EB%91%98%EC%A7%B8", "%EC%85%8B%EC%A7%B8"));
        const QByteArray open = ReadBytes(Lib("첫노트.htm"));
        QVERIFY2(open.contains("mine") && open.contains("href=\"%EC%85%8B%EC%A7%B8.htm\""), open);
        QTRY_VERIFY_WITH_TIMEOUT(F.Window->DocumentReady() &&
                                     F.Window->Dhtml()->DocumentHtml().contains("%EC%85%8B"),
                                 TqbWindowFixture::PageTimeoutMs);
        // The editor holds the new links: a save now puts no old one back.
        QVERIFY(F.Window->OpenNote()->SaveCurrentNote());
        QCOMPARE(ReadBytes(Lib("첫노트.htm")), open);
    }

    // The question before a delete names the other notes that link to the note or folder.
    void deleteNamesTheLinkingNotes_data() {
        QTest::addColumn<QString>("node"); // its page
        QTest::addColumn<QString>("question");
        QTest::newRow("note") << "둘째.htm"
                              << QStringLiteral("둘째를 삭제합니까?\n\n다른 노트 2개가 이 "
                                                "노트를 가리킵니다\n가리킴\n첫노트");
        QTest::newRow("folder, its own pages left out")
            << QStringLiteral("폴더/___폴더설명.qb") << QStringLiteral("폴더를 삭제합니까?\n\n다른 노트 1개가 이 노트를 "
                                        "가리킵니다\n둘째");
        QTest::newRow("note no one links to")
            << QStringLiteral("폴더/가리킴.htm") << QStringLiteral("가리킴을 삭제합니까?");
    }
    void deleteNamesTheLinkingNotes() {
        QFETCH(QString, node);
        QFETCH(QString, question);
        WriteBytes(Lib("폴더/가리킴.htm"), "<HTML><BODY><A href=\"../%EB%91%98%EC%A7%B8.htm\">2</A>"
                                          "<A href=\"./\">here</A></BODY></HTML>\r\n");
        WriteBytes(Lib("첫노트.htm"), "<HTML><BODY><A href=\"둘째.htm#x\">2</A></BODY></HTML>\r\n");
        WriteBytes(Lib("둘째.htm"), "<HTML><BODY><A href=\"폴더\">f</A></BODY></HTML>\r\n");
        F.Window->NoteTree()->LoadRoot(F.Notes->GetDataDir());
        QVERIFY(F.Window->OpenNote()->Open(Lib(node)));
        TqbDialogAnswerer keep(QMessageBox::No);
        F.Tree()->DeleteNode(F.Tree()->currentIndex());
        QCOMPARE(keep.texts, QStringList{question});
    }

    // Bytes the note's charset cannot read would turn into U+FFFD: the user decides, once.
    void undecodableBytesAreSavedOnlyWhenTheUserSaysSo_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("yes") << int(QMessageBox::Yes) << true;
        QTest::newRow("no") << int(QMessageBox::No) << false;
    }
    void undecodableBytesAreSavedOnlyWhenTheUserSaysSo() {
        QFETCH(int, answer);
        QFETCH(bool, written);
        const QByteArray bytes = "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; "
                                 "charset=euc-kr\"></HEAD><BODY><DIV>\xFF\xFE bad</DIV></BODY>"
                                 "</HTML>\r\n";
        WriteBytes(Lib("깨진.htm"), bytes);
        F.Window->NoteTree()->LoadRoot(F.Notes->GetDataDir());
        Select("깨진");
        EnterMode(TqbViewMode::Edit);
        TypeIntoPage(QStringLiteral("고침"));
        {
            TqbDialogAnswerer catcher{QMessageBox::StandardButton(answer)};
            QVERIFY(F.Window->SaveCurrentNote());
            QCOMPARE(catcher.texts.size(), 1);
            QCOMPARE(catcher.details, QStringList{QDir::toNativeSeparators(Lib("깨진.htm"))});
        }
        const QByteArray now = ReadBytes(Lib("깨진.htm"));
        QCOMPARE(now == bytes, !written);
        // "고침" in code page 949.
        QCOMPARE(now.contains("\xB0\xED\xC4\xA7"), written);
    }

    void unreadableNoteSaysWhy() {
        QDir(F.Dir->path()).mkpath("BookData/디렉터리.htm");
        F.Window->SetViewMode(TqbViewMode::Source);
        TqbDialogAnswerer catcher;
        F.Window->NoteTree()->SetOpenPath(Lib("디렉터리.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(catcher.texts, QStringList{TqbOpenNote::FolderInPlaceMessage},
                                  TqbWindowFixture::PageTimeoutMs);
        QVERIFY(!F.Window->NoteModified());
    }

    // Looking at notes in edit mode, clicking into them, leaves every file as it was, byte for
    // byte and in its time: sync tools and backups see no change that never happened.
    void viewingNotesInEditModeChangesNoFile() {
        const QList<QByteArray> pages = {
            "<HTML><BODY><DIV>upper case</DIV></BODY></HTML>\r\n",
            "<html><body><table><tr><td>no tbody</td></tr></table></body></html>\r\n",
            "<HTML><BODY><FONT color=#ff0000>red</FONT> <B>bold</B></BODY></HTML>\r\n",
            "<P>no html element<P>second\r\n",
            "<html><head><style>div{color:blue}</style></head><body><div>blue</div></body></html>",
            "<HTML><BODY><UL><LI>one<LI>two</UL><PRE>\r\n\r\npre</PRE></BODY></HTML>\r\n",
            "<HTML><BODY><A href=\"http://example.org\">link</A><IMG src=\"none.png\"></BODY></HTML>",
            "<!DOCTYPE html><html><body><p style=\"margin:0\">doctype</p></body></html>\r\n",
            "<HTML><BODY bgColor=#ffffcc><DIV align=center>\xB0\xA1\xB3\xAA</DIV></BODY></HTML>",
            "just text, no markup\r\nsecond line",
        };
        const QDateTime old(QDate(2020, 1, 1), QTime(12, 0), QTimeZone::utc());
        QStringList paths;
        for (int i = 0; i < pages.size(); ++i) {
            paths << Lib(QString("폴더/보기%1.htm").arg(i));
            WriteBytes(paths.last(), pages[i]);
        }
        paths << Lib("폴더/___폴더설명.qb");
        WriteBytes(paths.last(), DefaultHeaderBytes);
        for (const QString& path : paths) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(old, QFileDevice::FileModificationTime));
        }
        // The folder was listed empty when the window opened.
        F.Tree()->LoadRoot(QDir::cleanPath(Lib("")));
        EnterMode(TqbViewMode::Edit);
        for (const QString& path : paths) {
            QVERIFY(F.Window->OpenNote()->Open(path));
            F.WaitForPage();
            QTest::mouseClick(PageWidget(), Qt::LeftButton, {}, QPoint(20, 10));
            QTest::keyClick(PageWidget(), Qt::Key_End);
            // The style check follows the click; once the page answered it, it has run.
            F.Window->Dhtml()->DocumentHtml();
        }
        F.Window->SetViewMode(TqbViewMode::Browse);
        for (int i = 0; i < paths.size(); ++i) {
            QCOMPARE(ReadBytes(paths[i]), i < pages.size() ? pages[i] : DefaultHeaderBytes);
            QCOMPARE(QFileInfo(paths[i]).lastModified().toUTC(), old);
        }
    }

    // Another library chosen in the settings: the open note stays open only where the new
    // library holds it; otherwise it is closed, so typing never goes into a file the tree cannot
    // show.
    void switchingTheLibraryClosesANoteItDoesNotHold_data() {
        QTest::addColumn<QString>("library"); // relative to the program folder
        QTest::addColumn<QString>("open");    // the note open afterwards, relative to it too
        QTest::newRow("another library") << "other" << "other/다른.htm";
        QTest::newRow("an empty library") << "empty" << "";
        QTest::newRow("a library holding the note") << "." << "BookData/첫노트.htm";
    }
    void switchingTheLibraryClosesANoteItDoesNotHold() {
        QFETCH(QString, library);
        QFETCH(QString, open);
        const QDir program(F.Dir->path());
        program.mkpath("empty");
        program.mkpath("other");
        WriteBytes(program.filePath("other/다른.htm"), "<HTML><BODY>other</BODY></HTML>\r\n");
        Select("첫노트");
        const QByteArray before = ReadBytes(Lib("첫노트.htm"));
        EnterMode(TqbViewMode::Edit);
        F.Prj->Ini().WriteString("PROGRAM", "DirData", QDir::cleanPath(program.filePath(library)));
        QTimer confirm;
        connect(&confirm, &QTimer::timeout, this, [] {
            if (auto* dialog = qobject_cast<TfrmConfig*>(QApplication::activeModalWidget()))
                dialog->btnConfirm->click();
        });
        confirm.start(20);
        F.Window->Action("actToolConfig")->trigger();
        confirm.stop();
        const QString expected = open.isEmpty() ? QString() : program.filePath(open);
        QCOMPARE(F.Window->NoteTree()->OpenPath(), expected);
        if (!open.isEmpty())
            F.WaitForPage();
        QCOMPARE(F.Window->Dhtml()->DocumentPath(), expected);
        if (open.endsWith("첫노트.htm"))
            return;
        // A key now, then a save: nothing reaches the old note.
        QTest::keyClick(PageWidget(), Qt::Key_X);
        QVERIFY(F.Window->SaveCurrentNote());
        QCOMPARE(ReadBytes(Lib("첫노트.htm")), before);
    }

    // Another program's change to the open note is weighed as it happens, with no activation:
    // an unchanged note is read again, one with edits asks.
    void outsideChangeToTheOpenNoteIsWeighedAtOnce_data() {
        QTest::addColumn<bool>("edited");
        QTest::newRow("unchanged: read again") << false;
        QTest::newRow("edited: asked") << true;
    }
    void outsideChangeToTheOpenNoteIsWeighedAtOnce() {
        QFETCH(bool, edited);
        Select("둘째");
        EnterMode(TqbViewMode::Edit);
        if (edited)
            TypeIntoPage("mine");
        QTRY_VERIFY_WITH_TIMEOUT(F.Tree()->Watcher().Watched().contains(Lib("둘째.htm")),
                                 TqbWindowFixture::PageTimeoutMs);
        TqbDialogAnswerer answerer; // no button of the question: both kept, theirs shown
        WriteBytes(Lib("둘째.htm"), "<HTML><BODY><DIV>theirs</DIV></BODY></HTML>\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(F.Window->DocumentReady() &&
                                     F.Window->Dhtml()->DocumentHtml().contains("theirs"),
                                 TqbWindowFixture::PageTimeoutMs);
        QCOMPARE(answerer.texts,
                 edited ? QStringList({"다른 프로그램이 이 노트를 고쳤습니다. 어느 쪽을 남길까요?",
                                       "고친 내용을 다음 파일에 따로 저장했습니다."})
                        : QStringList{});
        QCOMPARE(QFileInfo::exists(Lib("둘째 - 사본.htm")), edited);
        QVERIFY(!F.Window->NoteModified());
    }

    // A quit signal (a close) while a save waits for the user's answer: the answer is still the
    // user's, nothing is reported as failed, and the window closes once the save is done. The
    // save may be the close's own or one the user started.
    void aCloseDuringASaveQuestionWaitsForTheAnswer_data() {
        QTest::addColumn<bool>("userSave");
        QTest::newRow("the close's save") << false;
        QTest::newRow("the user's save") << true;
    }
    void aCloseDuringASaveQuestionWaitsForTheAnswer() {
        QFETCH(bool, userSave);
        Select("첫노트");
        EnterMode(TqbViewMode::Edit);
        TypeIntoPage("mine");
        WriteBytes(Lib("첫노트.htm"), "<HTML><BODY>theirs, longer than it was</BODY></HTML>\r\n");
        TqbDialogAnswerer answerer; // no button of the question: both kept
        bool openWhileAsked = false;
        answerer.beforeAnswer = [&] {
            if (answerer.texts.size() == 1) {
                F.Window->close(); // the signal, while the question is up
                openWhileAsked = F.Window->isVisible();
            }
        };
        if (userSave)
            F.Window->Action("actFileSave")->trigger();
        else
            F.Window->close();
        QTRY_VERIFY_WITH_TIMEOUT(!F.Window->isVisible(), TqbWindowFixture::PageTimeoutMs);
        QVERIFY(openWhileAsked);
        QCOMPARE(answerer.texts,
                 QStringList({"다른 프로그램이 이 노트를 고쳤습니다. 어느 쪽을 남길까요?",
                              "고친 내용을 다음 파일에 따로 저장했습니다."}));
        QVERIFY(ReadBytes(Lib("첫노트 - 사본.htm")).contains("mine"));
    }

    void printingToAFileMakesAPdf() {
        Select("첫노트");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(F.Dir->filePath("note.pdf"));
        QSignalSpy finished(F.Window->Dhtml(), &TqbDhtmlEdit::PrintFinished);
        F.Window->Dhtml()->PrintDocument(&printer);
        // Printing runs on its own thread and takes its time on a busy machine.
        QVERIFY(finished.wait(180000));
        QVERIFY(finished.at(0).at(0).toBool());
        QVERIFY(ReadBytes(F.Dir->filePath("note.pdf")).startsWith("%PDF"));
    }

    void treeWidthIsStoredAtClosing_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("below 30") << 29 << 250;
        QTest::newRow("30") << 30 << 30;
        QTest::newRow("missing") << -1 << 250;
        QTest::newRow("wide") << 400 << 400;
    }
    void treeWidthIsStoredAtClosing() {
        QFETCH(int, stored);
        QFETCH(int, shown);
        F.Window.reset();
        TqbIniFile ini = F.Prj->Ini();
        ini.WriteInteger("PROGRAM", "TreeWidth", stored);
        F.Window = std::make_unique<TfrmMainNivora>(*F.Prj, *F.Notes);
        F.Window->resize(1000, 700);
        F.Window->show();
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->ViewMode(), TqbViewMode::Browse,
                                  TqbWindowFixture::PageTimeoutMs);
        QCOMPARE(F.Window->TreeWidth(), shown);
        F.Window->close();
        QCOMPARE(F.Prj->Ini().ReadInteger("PROGRAM", "TreeWidth", 0), shown);
    }
};

QB_APP_TEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
