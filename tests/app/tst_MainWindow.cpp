// The main window over a temporary program folder and library, checked on disk.
#include "app/main.h"
#include "editing/qbDhtmlEdit.h"
#include "library/qbNoteInfo.h"
#include "prjinfo/qbProjectInfo.h"
#include "platform/qbTextFile.h"
#include "library/qbTree.h"
#include "qbWindowTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
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

// "가나다" in code page 949.
const QByteArray GaNaDa = "\xB0\xA1\xB3\xAA\xB4\xD9";

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TqbPrjInfo> m_prj;
    std::unique_ptr<TqbNoteInfo> m_notes;
    std::unique_ptr<TfrmMainNivora> m_window;

    QString Lib(const QString& relative) const { return m_dir->filePath("BookData/" + relative); }

    // A library of one folder without a description page and two notes.
    void MakeWindow() {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir(m_dir->path()).mkpath("BookData/폴더");
        WriteBytes(Lib("첫노트.htm"), "<HTML><HEAD><META http-equiv=Content-Type content=\"text/"
                                      "html; charset=euc-kr\"></HEAD><BODY><DIV>" +
                                          GaNaDa + "</DIV></BODY></HTML>\r\n");
        WriteBytes(Lib("둘째.htm"), "<HTML><BODY><DIV>two</DIV></BODY></HTML>\r\n");
        m_prj = std::make_unique<TqbPrjInfo>("qbNivora", m_dir->path());
        m_notes = std::make_unique<TqbNoteInfo>(*m_prj);
        m_window = std::make_unique<TfrmMainNivora>(*m_prj, *m_notes);
        m_window->show();
        QTRY_COMPARE(m_window->ViewMode(), int(TfrmMainNivora::vmBrowse));
        QTRY_VERIFY(m_window->DocumentReady());
    }

    QTreeWidgetItem* Node(const QString& text) {
        const auto found = m_window->NoteTree()->findItems(text, Qt::MatchExactly);
        return found.value(0);
    }

    void Select(const QString& text) {
        m_window->NoteTree()->setCurrentItem(Node(text));
        QTRY_VERIFY(m_window->DocumentReady() || m_window->ViewMode() == TfrmMainNivora::vmSource);
    }

    void EnterMode(int mode) {
        m_window->SetViewMode(mode);
        if (mode != TfrmMainNivora::vmSource)
            QTRY_VERIFY(m_window->DocumentReady());
    }

    QWidget* PageWidget() const {
        return m_window->Dhtml()->findChild<QWebEngineView*>()->focusProxy();
    }

    // Types into the page as a Korean input method does and waits until the window saw it.
    void TypeIntoPage(const QString& text) {
        m_window->Dhtml()->FocusAtStart();
        QInputMethodEvent typed;
        typed.setCommitString(text);
        QApplication::sendEvent(PageWidget(), &typed);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->NoteModified(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->Dhtml()->DocumentHtml().contains(text), 10000);
    }

    void PasteIntoPage(const QString& html) {
        QVERIFY(m_window->Dhtml()->PasteHtml(html));
        QTRY_VERIFY(m_window->NoteModified());
    }

private slots:
    void init() { MakeWindow(); }
    void cleanup() {
        m_window.reset();
        m_notes.reset();
        m_prj.reset();
        m_dir.reset();
    }

    void firstActivationOpensFirstNodeInBrowseMode() {
        QCOMPARE(m_window->windowTitle(), QString("qbNivora 1.0 build 1"));
        QCOMPARE(m_window->NoteTree()->currentItem()->text(0), QString("폴더"));
        QCOMPARE(m_window->NoteTree()->OpenPath(), Lib("폴더/___폴더설명.qb"));
        QVERIFY(m_window->Dhtml()->BrowseMode());
        QVERIFY(!m_window->Action("actFileSave")->isEnabled());
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
        EnterMode(TfrmMainNivora::vmEdit);
        TypeIntoPage("한글");
        if (how == "save") {
            m_window->UpdateActions();
            QTest::keyClick(PageWidget(), Qt::Key_S, Qt::ControlModifier);
        }
        else if (how == "select")
            Select("둘째");
        else if (how == "browse")
            EnterMode(TfrmMainNivora::vmBrowse);
        else {
            auto* timer = m_window->findChild<QTimer*>("tmrAutoSave");
            QVERIFY(timer->isActive());
            timer->setInterval(10);
        }
        // "한글" in code page 949.
        QTRY_VERIFY(ReadBytes(Lib("첫노트.htm")).contains("\xC7\xD1\xB1\xDB"));
        QVERIFY(ReadBytes(Lib("첫노트.htm")).contains(GaNaDa));
        QVERIFY(!m_window->NoteModified());
    }

    void browseModeNeverWrites() {
        Select("첫노트");
        const QByteArray before = ReadBytes(Lib("첫노트.htm"));
        QVERIFY(!m_window->findChild<QTimer*>("tmrAutoSave")->isActive());
        QTest::keyClicks(m_window->NoteTree(), "abc");
        m_window->Action("actFileSave")->trigger();
        Select("둘째");
        QCOMPARE(ReadBytes(Lib("첫노트.htm")), before);
    }

    void sourceModeShowsWhatTheControlWrote() {
        Select("첫노트");
        EnterMode(TfrmMainNivora::vmEdit);
        PasteIntoPage("<b>굵게</b>");
        EnterMode(TfrmMainNivora::vmSource);
        const QString source = m_window->RchDhtml()->toPlainText();
        QVERIFY2(source.contains("<b>굵게</b>"), qPrintable(source));
        QCOMPARE(source, qbText::ReadLines(Lib("첫노트.htm")).join('\n'));
        QVERIFY(m_window->findChild<QTimer*>("tmrAutoSave")->isActive());
    }

    void sourceEditsReachTheControl() {
        Select("둘째");
        EnterMode(TfrmMainNivora::vmSource);
        QPlainTextEdit* source = m_window->RchDhtml();
        const QString edited = source->toPlainText().replace("two", "소스에서");
        source->selectAll();
        source->insertPlainText(edited);
        QVERIFY(source->document()->isModified());
        EnterMode(TfrmMainNivora::vmEdit);
        QVERIFY(ReadBytes(Lib("둘째.htm")).contains("\xBC\xD2\xBD\xBA\xBF\xA1\xBC\xAD"));
        QVERIFY(m_window->Dhtml()->DocumentHtml().contains("소스에서"));
    }

    void unchangedSourceIsNotWritten() {
        Select("둘째");
        EnterMode(TfrmMainNivora::vmSource);
        const QByteArray before = ReadBytes(Lib("둘째.htm"));
        EnterMode(TfrmMainNivora::vmEdit);
        QCOMPARE(ReadBytes(Lib("둘째.htm")), before);
    }

    void reloadDropsEdits() {
        Select("둘째");
        EnterMode(TfrmMainNivora::vmEdit);
        const QByteArray before = ReadBytes(Lib("둘째.htm"));
        TypeIntoPage("버릴 글");
        m_window->Action("actReload")->trigger();
        QTRY_VERIFY(m_window->DocumentReady());
        QVERIFY(!m_window->NoteModified());
        Select("첫노트");
        QCOMPARE(ReadBytes(Lib("둘째.htm")), before);
    }

    void choosingTheCurrentModeSavesNothing() {
        Select("둘째");
        EnterMode(TfrmMainNivora::vmEdit);
        TypeIntoPage("x");
        const QByteArray before = ReadBytes(Lib("둘째.htm"));
        m_window->SetViewMode(TfrmMainNivora::vmEdit);
        QVERIFY(m_window->NoteModified());
        QCOMPARE(ReadBytes(Lib("둘째.htm")), before);
    }

    // A note whose folder has vanished cannot be written: the user is told, the text stays.
    void failedSaveKeepsTheChanges() {
        QDir(m_dir->path()).mkpath("BookData/폴더/안");
        WriteBytes(Lib("폴더/안/사라질.htm"), "<HTML><BODY>x</BODY></HTML>");
        m_window->NoteTree()->LoadRoot(m_notes->GetDataDir());
        m_window->NoteTree()->SetOpenPath(Lib("폴더/안/사라질.htm"));
        QTRY_VERIFY(m_window->DocumentReady());
        EnterMode(TfrmMainNivora::vmEdit);
        TypeIntoPage("지키기");
        QVERIFY(QDir(Lib("폴더/안")).removeRecursively());
        MessageCatcher catcher;
        QVERIFY(!m_window->SaveCurrentNote());
        QCOMPARE(catcher.texts.size(), 1);
        QVERIFY(catcher.texts[0].contains(TfrmMainNivora::SaveFailedMessage));
        QVERIFY(m_window->NoteModified());
        QVERIFY(m_window->Dhtml()->DocumentHtml().contains("지키기"));
        // Closing asks before it drops the changes; "No" keeps the window and the text.
        MessageCatcher keep(QMessageBox::No);
        QVERIFY(!m_window->close());
        QCOMPARE(keep.texts, QStringList{TfrmMainNivora::CloseUnsavedQuestion});
        QVERIFY(m_window->isVisible());
        QVERIFY(m_window->NoteModified());
        // The folder is back: the next save writes it.
        QDir(m_dir->path()).mkpath("BookData/폴더/안");
        QVERIFY(m_window->SaveCurrentNote());
        QVERIFY(ReadBytes(Lib("폴더/안/사라질.htm")).contains("\xC1\xF6\xC5\xB0\xB1\xE2"));
    }

    void unreadableNoteShowsTheLoadMessage() {
        QDir(m_dir->path()).mkpath("BookData/디렉터리.htm");
        m_window->SetViewMode(TfrmMainNivora::vmSource);
        MessageCatcher catcher;
        m_window->NoteTree()->SetOpenPath(Lib("디렉터리.htm"));
        QTRY_COMPARE(catcher.texts, QStringList{TfrmMainNivora::LoadFailedMessage});
        QVERIFY(!m_window->NoteModified());
    }

    void printingToAFileMakesAPdf() {
        Select("첫노트");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir->filePath("note.pdf"));
        QSignalSpy finished(m_window->Dhtml(), &TqbDhtmlEdit::PrintFinished);
        m_window->Dhtml()->PrintDocument(&printer);
        QVERIFY(finished.wait(20000));
        QVERIFY(finished.at(0).at(0).toBool());
        QVERIFY(ReadBytes(m_dir->filePath("note.pdf")).startsWith("%PDF"));
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
        m_window.reset();
        TqbIniFile ini = m_prj->Ini();
        ini.WriteInteger("PROGRAM", "TreeWidth", stored);
        m_window = std::make_unique<TfrmMainNivora>(*m_prj, *m_notes);
        m_window->resize(1000, 700);
        m_window->show();
        QTRY_COMPARE(m_window->ViewMode(), int(TfrmMainNivora::vmBrowse));
        QCOMPARE(m_window->TreeWidth(), shown);
        m_window->close();
        QCOMPARE(m_prj->Ini().ReadInteger("PROGRAM", "TreeWidth", 0), shown);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
