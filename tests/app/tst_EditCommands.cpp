// The editing commands, insert tools and colour pickers, through the main window.
#include "app/main.h"
#include "controls/qbColorPicker.h"
#include "editing/qbDhtmlEdit.h"
#include "editing/qbFindDialog.h"
#include "editing/qbInsertTools.h"
#include "library/qbNoteInfo.h"
#include "prjinfo/qbProjectInfo.h"
#include "library/qbTree.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEngineView>
#include <functional>
#include <memory>

#include "qbWindowTestSupport.h"

namespace {


// Answers the next modal dialog: message boxes are closed (their text kept), input dialogs get
// the given text, any other dialog is cancelled.
class DialogAnswerer : public QObject {
public:
    QStringList texts;
    explicit DialogAnswerer(const QString& input = {}) {
        connect(&m_timer, &QTimer::timeout, this, [this, input] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                texts << box->text();
                box->accept();
            } else if (auto* ask = qobject_cast<QInputDialog*>(modal)) {
                ask->setTextValue(input);
                ask->accept();
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                texts << dialog->objectName();
                dialog->reject();
            }
        });
        m_timer.start(20);
    }

private:
    QTimer m_timer;
};

const QByteArray NoteBody =
    "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; charset=utf-8\"></HEAD>"
    "<BODY><DIV>abc def</DIV><DIV><FONT color=\"#0000ff\">blue</FONT></DIV></BODY></HTML>\r\n";

} // namespace

class TestEditCommands : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TqbPrjInfo> m_prj;
    std::unique_ptr<TqbNoteInfo> m_notes;
    std::unique_ptr<TfrmMainNivora> m_window;

    QString Lib(const QString& relative) const { return m_dir->filePath("BookData/" + relative); }
    TqbDhtmlEdit* Edit() const { return m_window->Dhtml(); }
    QAction* Act(const char* name) const { return m_window->Action(name); }
    QString Html() const { return Edit()->DocumentHtml(); }

    QWidget* PageWidget() const { return Edit()->findChild<QWebEngineView*>()->focusProxy(); }

    void OpenNoteInMode(int mode) {
        m_window->NoteTree()->setCurrentItem(
            m_window->NoteTree()->findItems("노트", Qt::MatchExactly).value(0));
        m_window->SetViewMode(mode);
        if (mode != TfrmMainNivora::vmSource)
            QTRY_VERIFY_WITH_TIMEOUT(m_window->DocumentReady(), 10000);
    }

    // Selects the whole first line, "abc def", and waits until the page reported it.
    void SelectFirstLine() {
        // The page takes the focus and the caret a moment after being asked to.
        for (int attempt = 0; attempt < 10 && !Edit()->SelectionState().HasSelection; ++attempt) {
            QSignalSpy placed(Edit(), &TqbDhtmlEdit::SelectionStateChanged);
            Edit()->FocusAtStart();
            QTRY_VERIFY(PageWidget()->hasFocus());
            // The caret reaches the start a moment later; keys sent before it would be undone.
            placed.wait(1000);
            QTest::keyClick(PageWidget(), Qt::Key_Home);
            QTest::keyClick(PageWidget(), Qt::Key_End, Qt::ShiftModifier);
            QSignalSpy keyUps(Edit(), &TqbDhtmlEdit::DocumentKeyUp);
            // Both key releases reported: nothing still on its way moves the caret.
            keyUps.wait(2000);
            if (keyUps.count() < 2)
                keyUps.wait(2000);
        }
        QVERIFY(Edit()->SelectionState().HasSelection);
        m_window->UpdateActions();
        m_window->UpdateStyleChecks();
    }

    // Runs an action and waits for the page to have what the test expects.
    void TriggerAndExpect(QAction* action, const QString& expected) {
        action->trigger();
        QTRY_VERIFY2_WITH_TIMEOUT(Html().contains(expected, Qt::CaseInsensitive),
                                  qPrintable(Html()), 10000);
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir(m_dir->path()).mkpath("BookData");
        WriteBytes(Lib("노트.htm"), NoteBody);
        m_prj = std::make_unique<TqbPrjInfo>("qbNivora", m_dir->path());
        m_notes = std::make_unique<TqbNoteInfo>(*m_prj);
        m_window = std::make_unique<TfrmMainNivora>(*m_prj, *m_notes);
        m_window->show();
        QTRY_COMPARE(m_window->ViewMode(), int(TfrmMainNivora::vmBrowse));
        QTRY_VERIFY(m_window->DocumentReady());
        OpenNoteInMode(TfrmMainNivora::vmEdit);
    }
    void cleanup() {
        m_window.reset();
        m_notes.reset();
        m_prj.reset();
        m_dir.reset();
    }

    void toolbarHoldsEveryControl() {
        for (const char* name : {"cmbFontName", "cmbFontSize"})
            QVERIFY(m_window->findChild<QComboBox*>(name));
        QComboBox* sizes = m_window->findChild<QComboBox*>("cmbFontSize");
        QCOMPARE(sizes->count(), 7);
        QCOMPARE(sizes->itemText(6), QString("7"));
        TColorPickerButton* font = m_window->FontColorPicker();
        TColorPickerButton* back = m_window->BackColorPicker();
        QCOMPARE(font->size(), QSize(41, 22));
        QCOMPARE(font->DefaultText(), QString("글자 색상"));
        QCOMPARE(back->DefaultText(), QString("펜 색상"));
        QCOMPARE(back->CustomText(), QString("사용자 색상"));
        QCOMPARE(back->PopupSpacing(), 8);
        QVERIFY(!back->ShowSystemColors());
        for (const char* name : {"btnImage", "btnBR"})
            QVERIFY(m_window->findChild<QAction*>(name));
        QWidget* panel = m_window->findChild<QWidget*>("pnlSpecialChars");
        QCOMPARE(panel->width(), 69);
        QVERIFY(panel->isVisible());
        m_window->SetViewMode(TfrmMainNivora::vmBrowse);
        QVERIFY(!panel->isVisible());
    }

    void stylesApplyToTheSelection_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("markup");
        QTest::newRow("bold") << "actBold"
                              << "<b>abc def</b>";
        QTest::newRow("italic") << "actItalic"
                                << "<i>abc def</i>";
        QTest::newRow("underline") << "actUnderLine"
                                   << "<u>abc def</u>";
        QTest::newRow("centre") << "actCenter"
                                << "text-align: center";
        QTest::newRow("right") << "actRight"
                               << "text-align: right";
    }
    void stylesApplyToTheSelection() {
        QFETCH(QString, action);
        QFETCH(QString, markup);
        SelectFirstLine();
        QAction* style = Act(qPrintable(action));
        QVERIFY(!style->isChecked());
        TriggerAndExpect(style, markup);
        QVERIFY(style->isChecked());
        QVERIFY(m_window->NoteModified());
    }

    void boldTwiceClearsTheCheckAndTheStyle() {
        SelectFirstLine();
        TriggerAndExpect(Act("actBold"), "<b>abc def</b>");
        m_window->UpdateStyleChecks();
        QVERIFY(Act("actBold")->isChecked());
        Act("actBold")->trigger();
        QVERIFY(!Act("actBold")->isChecked());
        QTRY_VERIFY_WITH_TIMEOUT(!Html().contains("<b>", Qt::CaseInsensitive), 10000);
    }

    void sameValueAppliesNothingButMarksModified() {
        SelectFirstLine();
        QVERIFY(!m_window->NoteModified());
        const QString before = Html();
        // Checked now, so the click's inverted state (not bold) equals the selection's.
        Act("actItalic")->setChecked(true);
        Act("actItalic")->trigger();
        QVERIFY(m_window->NoteModified());
        QCOMPARE(Html(), before);
    }

    void fontBoxesApplyToTheSelection_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("markup");
        QTest::newRow("font name") << "cmbFontName"
                                   << "NanumGothic"
                                   << "face=\"NanumGothic\"";
        QTest::newRow("size 5") << "cmbFontSize"
                                << "5"
                                << "size=\"5\"";
        // The page's own limit makes the 9 the control received a 7.
        QTest::newRow("size 9") << "cmbFontSize"
                                << "9"
                                << "size=\"7\"";
        QTest::newRow("a letter gives 2") << "cmbFontSize"
                                          << "x"
                                          << "size=\"2\"";
    }
    void fontBoxesApplyToTheSelection() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, markup);
        SelectFirstLine();
        auto* combo = m_window->findChild<QComboBox*>(box);
        combo->setEditText(text);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QCOMPARE(combo->currentText(), text);
        QTRY_VERIFY2_WITH_TIMEOUT(Html().contains(markup), qPrintable(Html()), 10000);
        QVERIFY(m_window->NoteModified());
    }

    void fontControlsFollowTheCaret() {
        auto* size = m_window->findChild<QComboBox*>("cmbFontSize");
        QTRY_COMPARE(size->currentText(), QString("3")); // the page's default size
        Edit()->FocusAtStart();
        QTest::keyClick(PageWidget(), Qt::Key_Down);
        QTRY_COMPARE_WITH_TIMEOUT(m_window->FontColorPicker()->SelectionColor(), 0xFF0000, 10000);
        // Finding the colour equal to the selection's applies nothing but marks the note.
        QVERIFY(m_window->NoteModified());
        QVERIFY(Html().contains("<font color=\"#0000ff\">blue</font>", Qt::CaseInsensitive));
    }

    void pickerColoursReachThePage_data() {
        QTest::addColumn<bool>("text");
        QTest::addColumn<int>("color");
        QTest::addColumn<QString>("css");
        QTest::newRow("text red") << true << 0x0000FF << "color=\"#ff0000\"";
        QTest::newRow("text olive") << true << 0x003333 << "color=\"#333300\"";
        QTest::newRow("background blue") << false << 0xFF0000 << "background-color: rgb(0, 0, 255)";
    }
    void pickerColoursReachThePage() {
        QFETCH(bool, text);
        QFETCH(int, color);
        QFETCH(QString, css);
        SelectFirstLine();
        TColorPickerButton* picker =
            text ? m_window->FontColorPicker() : m_window->BackColorPicker();
        picker->SetSelectionColor(color);
        QTRY_VERIFY2_WITH_TIMEOUT(Html().contains(css, Qt::CaseInsensitive), qPrintable(Html()),
                                  10000);
    }

    void backgroundFaceClickReappliesItsColour() {
        m_window->BackColorPicker()->SetSelectionColor(0x00FFFF); // yellow, nothing selected
        SelectFirstLine();
        TColorPickerButton* back = m_window->BackColorPicker();
        QVERIFY(back->isEnabled());
        QTest::mouseClick(back, Qt::LeftButton, {}, QPoint(5, 10));
        QTRY_VERIFY2_WITH_TIMEOUT(Html().contains("rgb(255, 255, 0)"), qPrintable(Html()), 10000);
        QVERIFY(!back->DroppedDown());
    }

    void listsAndIndent_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("markup");
        QTest::newRow("bulleted") << "actBulleted"
                                  << "<ul>";
        QTest::newRow("numbered") << "actNumbered"
                                  << "<ol>";
        QTest::newRow("indent") << "actIndent"
                                << "margin";
    }
    void listsAndIndent() {
        QFETCH(QString, action);
        QFETCH(QString, markup);
        SelectFirstLine();
        TriggerAndExpect(Act(qPrintable(action)), markup);
        QVERIFY(m_window->NoteModified());
        m_window->UpdateStyleChecks();
        if (action == "actBulleted")
            QVERIFY(Act("actBulleted")->isChecked());
        if (action == "actNumbered")
            QVERIFY(Act("actNumbered")->isChecked() && !Act("actBulleted")->isChecked());
        if (action == "actIndent") {
            TriggerAndExpect(Act("actOutdent"), "abc def");
            QTRY_VERIFY_WITH_TIMEOUT(!Html().contains("margin"), 10000);
        }
    }

    void undoAndRedoInThePage() {
        SelectFirstLine();
        TriggerAndExpect(Act("actBold"), "<b>");
        m_window->UpdateActions();
        QVERIFY(Act("actUndo")->isEnabled());
        Act("actUndo")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!Html().contains("<b>"), 10000);
        m_window->UpdateActions();
        QVERIFY(Act("actRedo")->isEnabled());
        TriggerAndExpect(Act("actRedo"), "<b>");
    }

    void snippetsReplaceTheSelection_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("markup");
        QTest::newRow("title") << "ToolButton11"
                               << "<font color=\"#4070aa\"> 제 목</font>";
        QTest::newRow("time") << "ToolButton13" << QDate::currentDate().toString("yyyy-MM-dd");
        QTest::newRow("box") << "ToolButton15"
                             << "bgcolor=\"#3c62c6\"";
    }
    void snippetsReplaceTheSelection() {
        QFETCH(QString, button);
        QFETCH(QString, markup);
        SelectFirstLine();
        m_window->InsertTools()->findChild<QToolButton*>(button)->click();
        QTRY_VERIFY2_WITH_TIMEOUT(Html().contains(markup), qPrintable(Html()), 10000);
        QVERIFY(!Html().contains("abc def"));
        QVERIFY(m_window->NoteModified());
    }

    void specialCharacterReplacesTheSelection_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::newRow("a character") << 1 << "※";
        QTest::newRow("an empty cell") << 18 << "";
    }
    void specialCharacterReplacesTheSelection() {
        QFETCH(int, row);
        QFETCH(QString, text);
        SelectFirstLine();
        QTableWidget* grid = m_window->InsertTools()->Grid();
        const int column = text.isEmpty() ? 3 : 0;
        grid->scrollToItem(grid->item(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(row, column)).center());
        QTRY_VERIFY2_WITH_TIMEOUT(!Html().contains("abc def"), qPrintable(Html()), 10000);
        if (!text.isEmpty())
            QVERIFY(Html().contains("<div>" + text + "</div>", Qt::CaseInsensitive));
        QVERIFY(m_window->NoteModified());
    }

    void clipboardStateFollowsCut() {
        Edit()->FocusAtStart();
        QTRY_VERIFY_WITH_TIMEOUT(!Edit()->SelectionState().HasSelection, 10000);
        m_window->UpdateActions();
        for (const char* name : {"actCut", "actCopy", "actAddLink"})
            QVERIFY2(!Act(name)->isEnabled(), name);
        QVERIFY(!m_window->BackColorPicker()->isEnabled());
        SelectFirstLine();
        for (const char* name : {"actCut", "actCopy", "actAddLink"})
            QVERIFY2(Act(name)->isEnabled(), name);
        QVERIFY(m_window->BackColorPicker()->isEnabled());
    }

    void copyMarksTheNoteModified() {
        SelectFirstLine();
        QVERIFY(!m_window->NoteModified());
        Act("actCopy")->trigger();
        QVERIFY(m_window->NoteModified());
    }

    void linkAsksForTheAddress() {
        SelectFirstLine();
        DialogAnswerer answer("http://example.com/");
        Act("actAddLink")->trigger();
        QTRY_VERIFY2_WITH_TIMEOUT(Html().contains("<a href=\"http://example.com/\">abc def</a>"),
                                  qPrintable(Html()), 10000);
        QVERIFY(m_window->NoteModified());
    }

    void ruleAndCancelledPicture() {
        SelectFirstLine();
        TriggerAndExpect(m_window->findChild<QAction*>("btnBR"), "<hr>");
        m_window->SaveCurrentNote();
        QVERIFY(!m_window->NoteModified());
        DialogAnswerer answer;
        m_window->findChild<QAction*>("btnImage")->trigger();
        QCOMPARE(answer.texts, QStringList{"dlgPicture"});
        QVERIFY(m_window->NoteModified());
    }

    void findOpensOurDialogOverThePage() {
        Act("actToolFind")->trigger();
        TqbFindDialog* find = m_window->FindDialog();
        QTRY_VERIFY(find->isVisible());
        find->SetSearchText("nothing like it");
        find->findChild<QAbstractButton*>("btnFindNext")->click();
        QTRY_COMPARE_WITH_TIMEOUT(find->findChild<QLabel*>("lblFindResult")->text(),
                                  TqbFindDialog::NotFoundText, 10000);
    }

    void sourceModeUsesTheSourceEditor() {
        OpenNoteInMode(TfrmMainNivora::vmSource);
        m_window->UpdateActions();
        QVERIFY(Act("actUndo")->isEnabled());
        QVERIFY(!Act("actRedo")->isEnabled());
        QPlainTextEdit* source = m_window->RchDhtml();
        source->moveCursor(QTextCursor::End);
        source->insertPlainText("zz");
        Act("actUndo")->trigger();
        QVERIFY(!source->toPlainText().contains("zz"));
        // Redo stays off in source mode, though the editor could redo.
        m_window->UpdateActions();
        QVERIFY(source->document()->isRedoAvailable());
        QVERIFY(Act("actUndo")->isEnabled());
        QVERIFY(!Act("actRedo")->isEnabled());

        Act("actToolFind")->trigger();
        TqbFindDialog* find = m_window->FindDialog();
        QTRY_VERIFY(find->isVisible());
        find->SetSearchText("blue");
        find->findChild<QAbstractButton*>("btnFindNext")->click();
        QCOMPARE(source->textCursor().selectedText(), QString("blue"));
        find->hide();
        Act("actToolFind")->trigger();
        QCOMPARE(find->SearchText(), QString("blue"));
    }

    void controlErrorsShowAMessageAndLeaveTheNote() {
        SelectFirstLine();
        DialogAnswerer answer;
        m_window->ApplySelectionCommand("NoSuchCommand", true);
        QCOMPARE(answer.texts.size(), 1);
        QVERIFY(answer.texts.first().contains("NoSuchCommand"));
        QVERIFY(!m_window->NoteModified());
    }

    void commandsWaitForTheDocument() {
        m_window->SetViewMode(TfrmMainNivora::vmBrowse);
        m_window->SetViewMode(TfrmMainNivora::vmEdit);
        // Between the switch and the document's completion nothing runs.
        if (!m_window->DocumentReady()) {
            m_window->ApplySelectionCommand("Bold", true);
            QVERIFY(!m_window->NoteModified());
            QVERIFY(m_window->QuerySelectionValue("Bold").isNull());
        }
        QTRY_VERIFY_WITH_TIMEOUT(m_window->DocumentReady(), 10000);
    }
};

QTEST_MAIN(TestEditCommands)
#include "tst_EditCommands.moc"
