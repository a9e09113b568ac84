// The search panel of the main window over a temporary program folder and library.
#include "app/main.h"
#include "editing/qbDhtmlEdit.h"
#include "library/NewNoteName.h"
#include "library/qbNoteInfo.h"
#include "library/qbTree.h"
#include "note/qbOpenNote.h"
#include "prjinfo/qbProjectInfo.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>

#include "common/qbAppTestMain.h"
#include "common/qbDialogAnswerer.h"
#include "common/qbWindowFixture.h"

namespace {

const QByteArray Head = "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; "
                        "charset=euc-kr\"></HEAD><BODY>\r\n";
// "메모" and "똠" in code page 949; the second byte of "똠" is the byte of "c".
const QByteArray Memo = "\xB8\xDE\xB8\xF0";
const QByteArray Ddom = "\x8C\x63";
const QByteArray Tag = "<FONT style=\"BACKGROUND-COLOR: #ff6600\" color=#ffffff>";

} // namespace

class TestSearch : public QObject {
    Q_OBJECT

    TqbWindowFixture F;

    QString Lib(const QString& relative) const { return F.Lib(relative); }
    QLineEdit* Edit() const { return F.Window->findChild<QLineEdit*>("edtSearch"); }
    QToolButton* Button() const { return F.Window->findChild<QToolButton*>("btnSearch"); }
    QTreeWidget* Results() const { return F.Window->findChild<QTreeWidget*>("treeSearch"); }
    QProgressBar* Bar() const { return F.Window->findChild<QProgressBar*>("bar"); }

    QStringList Rows() const {
        QStringList rows;
        for (int i = 0; i < Results()->topLevelItemCount(); ++i)
            rows << Results()->topLevelItem(i)->text(0);
        return rows;
    }

    void MakeWindow() {
        F.Open([](TqbWindowFixture& f) {
            WriteBytes(f.Lib("___폴더설명.qb"), Head + "abc in the library's own page\r\n");
            WriteBytes(f.Lib("폴더/___폴더설명.qb"), Head + "ABC folder\r\n");
            WriteBytes(f.Lib("폴더/" + QString("메모.htm")),
                       Head + "xAbcyabc\r\nline " + Memo + " abc " + Ddom + "\r\n");
            WriteBytes(f.Lib("대문자.HTM"), Head + "abc\r\n");
            WriteBytes(f.Lib("똠.htm"), Head + Ddom + Ddom + "\r\n");
            WriteBytes(f.Lib("__images/그림.htm"), Head + "abc\r\n");
            WriteBytes(f.Lib(".숨김/숨은.htm"), Head + "abc\r\n");
        });
        F.Window->SetPanelMode(TqbPanelMode::Search);
        F.WaitForPage();
    }

    // Types the text, presses Enter and waits until the search is over.
    void Search(const QString& text) {
        Edit()->setText(text);
        QTest::keyClick(Edit(), Qt::Key_Return);
        // The scan runs on its own thread: the button waits for its end.
        QCOMPARE(Button()->isEnabled(), !F.Window->SearchRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!F.Window->SearchRunning(), TqbWindowFixture::PageTimeoutMs);
        QVERIFY(Button()->isEnabled());
        QCOMPARE(Bar()->value(), 0);
    }

private slots:
    void init() { MakeWindow(); }
    void cleanup() { F.Close(); }

    void blankTextStartsNothing_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "  \t ";
    }
    void blankTextStartsNothing() {
        QFETCH(QString, text);
        TqbDialogAnswerer catcher;
        Search(text);
        QVERIFY(Rows().isEmpty());
        QVERIFY(catcher.shown.isEmpty());
        QVERIFY(F.Window->SearchText().isEmpty());
    }

    void hitsAreListedInWalkOrderWithTheirLabels() {
        Edit()->setText("  ABC ");
        QTest::keyClick(Edit(), Qt::Key_Return);
        QVERIFY(F.Window->SearchRunning());
        QVERIFY(!Button()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!F.Window->SearchRunning(), TqbWindowFixture::PageTimeoutMs);
        QVERIFY(Button()->isEnabled());
        QCOMPARE(F.Window->SearchText(), QString("abc"));
        // "__images" is walked; ".숨김", ".HTM" and the library's own page give no row.
        QCOMPARE(Rows(), QStringList({"그림", "폴더", "메모"}));
        QCOMPARE(F.Window->SearchResultPaths(),
                 QStringList(
                     {Lib("__images/그림.htm"), Lib("폴더/___폴더설명.qb"), Lib("폴더/메모.htm")}));
    }

    void clickShowsTheMarkedCopyAndLeavesTheNote() {
        Search("abc");
        const QString note = Lib("폴더/메모.htm");
        const QByteArray before = ReadBytes(note);
        const QString temp = F.Notes->TempFileName();
        F.WaitForPage();
        QCOMPARE(F.Window->Dhtml()->DocumentPath(), temp);

        QSignalSpy loaded(F.Window->Dhtml(), &TqbDhtmlEdit::DocumentComplete);
        Results()->setCurrentItem(Results()->topLevelItem(2));
        QVERIFY(loaded.wait(TqbWindowFixture::PageTimeoutMs));
        QCOMPARE(ReadBytes(temp), Head + "x" + Tag + "Abc</FONT>y" + Tag + "abc</FONT>\r\nline " +
                                      Memo + " " + Tag + "abc</FONT> " + Ddom + "\r\n");
        // The copy is shown in its own charset: Korean stays whole, "똠" included.
        QTRY_VERIFY_WITH_TIMEOUT(F.Window->Dhtml()->DocumentHtml().contains("ff6600"),
                                 TqbWindowFixture::PageTimeoutMs);
        QVERIFY(F.Window->Dhtml()->DocumentHtml().contains("메모"));
        QVERIFY(F.Window->Dhtml()->DocumentHtml().contains("똠"));
        QVERIFY(F.Window->Dhtml()->BrowseMode());
        QCOMPARE(ReadBytes(note), before);

        F.Window->SetPanelMode(TqbPanelMode::Tree);
        F.WaitForPage();
        QCOMPARE(F.Window->Dhtml()->DocumentPath(), F.Window->NoteTree()->OpenPath());
        QCOMPARE(ReadBytes(note), before);
    }

    void leavingThePanelDuringASearchKeepsTheTreeNote() {
        Edit()->setText("abc");
        QTest::keyClick(Edit(), Qt::Key_Return);
        F.Window->SetPanelMode(TqbPanelMode::Tree);
        QTRY_VERIFY_WITH_TIMEOUT(!F.Window->SearchRunning(), TqbWindowFixture::PageTimeoutMs);
        F.WaitForPage();
        QCOMPARE(F.Window->Dhtml()->DocumentPath(), F.Window->NoteTree()->OpenPath());
        QCOMPARE(Rows().size(), 3);
    }

    void viewModeStaysBrowseInThePanel_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("F7") << int(Qt::Key_F7);
        QTest::newRow("F8") << int(Qt::Key_F8);
    }
    void viewModeStaysBrowseInThePanel() {
        QFETCH(int, key);
        Search("abc");
        QTest::keyClick(Results(), Qt::Key(key));
        QTest::keyClick(Edit(), Qt::Key(key));
        QCOMPARE(F.Window->ViewMode(), TqbViewMode::Browse);
    }

    // Double click or Enter on a hit: back to the tree with the note itself open.
    void hitOpensForEditing_data() {
        QTest::addColumn<bool>("enter");
        QTest::newRow("double click") << false;
        QTest::newRow("enter") << true;
    }
    void hitOpensForEditing() {
        QFETCH(bool, enter);
        Search("abc");
        QTreeWidgetItem* row = Results()->topLevelItem(2);
        Results()->setCurrentItem(row);
        if (enter) {
            QTest::keyClick(Results(), Qt::Key_Return);
        } else {
            const QPoint at = Results()->visualItemRect(row).center();
            QTest::mouseClick(Results()->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(Results()->viewport(), Qt::LeftButton, {}, at);
        }
        QCOMPARE(F.Window->PanelMode(), TqbPanelMode::Tree);
        QCOMPARE(F.Window->NoteTree()->OpenPath(), Lib("폴더/메모.htm"));
        QCOMPARE(F.Window->NoteTree()->currentIndex().data().toString(), QString("메모"));
        F.WaitForPage();
        QCOMPARE(F.Window->Dhtml()->DocumentPath(), Lib("폴더/메모.htm"));
        QCOMPARE(F.Window->ViewMode(), TqbViewMode::Edit);
        QVERIFY(!F.Window->Dhtml()->BrowseMode());
    }

    // The page shown may have changed since (the note was opened); a click on the row shows
    // the hit again.
    void clickOnTheShownRowShowsItAgain() {
        Search("abc");
        QTreeWidgetItem* row = Results()->topLevelItem(0);
        F.WaitForPage();
        F.Window->OpenNote()->ShowOtherPage(Lib("폴더/메모.htm"));
        F.WaitForPage();
        QSignalSpy loaded(F.Window->Dhtml(), &TqbDhtmlEdit::DocumentComplete);
        QTest::mouseClick(Results()->viewport(), Qt::LeftButton, {},
                          Results()->visualItemRect(row).center());
        QVERIFY(loaded.wait(TqbWindowFixture::PageTimeoutMs));
        QCOMPARE(F.Window->Dhtml()->DocumentPath(), F.Notes->TempFileName());
    }

    // Creating from the search panel returns to the tree: what is typed then is saved.
    void newNoteFromThePanelIsEditedInTheTree() {
        F.Tree()->SetDialogRunner([](QDialog& dialog) {
            auto* note = dynamic_cast<TfrmNewNoteName*>(&dialog);
            note->edtName->setText("새것");
            note->btnConfirmClick();
            return note->result() == QDialog::Accepted;
        });
        F.Window->Action("actFileNewNote")->trigger();
        QCOMPARE(F.Window->PanelMode(), TqbPanelMode::Tree);
        F.WaitForPage();
        QCOMPARE(F.Window->ViewMode(), TqbViewMode::Edit);
        F.TypeIntoPage("살아남기");
        QVERIFY(F.Window->SaveCurrentNote());
        QVERIFY(ReadBytes(F.Window->NoteTree()->OpenPath()).contains("\xBB\xEC\xBE\xC6\xB3\xB2\xB1\xE2"));
    }

    void koreanSecondBytesAreNoLetters() {
        TqbDialogAnswerer catcher;
        Search("cc");
        QTRY_COMPARE_WITH_TIMEOUT(catcher.shown, QStringList("Warning: 찾는 파일이 없습니다."),
                                  TqbWindowFixture::PageTimeoutMs);
    }

    void noCandidatesKeepsTheEarlierRows() {
        Search("abc");
        const QStringList rows = Rows();
        QDir(Lib("")).removeRecursively();
        QDir().mkpath(Lib(""));
        TqbDialogAnswerer catcher;
        Search("abc");
        QTRY_COMPARE_WITH_TIMEOUT(catcher.shown, QStringList("Warning: 검색할 파일이 없습니다."),
                                  TqbWindowFixture::PageTimeoutMs);
        QCOMPARE(Rows(), rows);
    }

    void unreadableFilesAreNamedOnceAndSkipped() {
        QVERIFY(QFile::link(Lib("없는대상.htm"), Lib("깨진.htm")));
        TqbDialogAnswerer catcher;
        Search("abc");
        QTRY_COMPARE_WITH_TIMEOUT(catcher.shown.size(), 1, TqbWindowFixture::PageTimeoutMs);
        QVERIFY(catcher.shown.first().contains("깨진.htm"));
        QCOMPARE(Rows(), QStringList({"그림", "폴더", "메모"}));
    }
};

QB_APP_TEST_MAIN(TestSearch)
#include "tst_Search.moc"
