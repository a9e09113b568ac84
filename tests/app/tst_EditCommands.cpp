// The editing commands, insert tools and colour pickers, through the main window.
#include "app/main.h"
#include "app/qbEditCommands.h"
#include "controls/qbColorPicker.h"
#include "editing/qbDhtmlEdit.h"
#include "editing/qbFindDialog.h"
#include "editing/qbInsertTools.h"
#include "library/qbNoteInfo.h"
#include "library/qbTree.h"
#include "note/qbOpenNote.h"
#include "prjinfo/qbProjectInfo.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QMenu>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <functional>
#include <memory>

#include "common/qbAppTestMain.h"
#include "common/qbDialogAnswerer.h"
#include "common/qbPageScripts.h"
#include "common/qbReadOnlyFolder.h"
#include "common/qbTestFiles.h"
#include "common/qbWindowFixture.h"
#include "dialogs/qbLinkDialog.h"
#include "dialogs/qbNotePicker.h"

namespace {


const QByteArray NoteBody =
    "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; charset=utf-8\"></HEAD>"
    "<BODY><DIV>abc def</DIV><DIV><FONT color=\"#0000ff\">blue</FONT></DIV></BODY></HTML>\r\n";

// The page's body as it serializes it.
QString BodyOf(const QString& html) {
    static const QRegularExpression body(QStringLiteral("<body[^>]*>(.*)</body>"),
                                         QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::DotMatchesEverythingOption);
    return body.match(html).captured(1);
}

// Four colours, opaque, so that any lossless copy of it compares equal.
QImage SmallPicture() {
    QImage picture(2, 2, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 255, 0));
    picture.setPixel(0, 1, qRgb(0, 0, 255));
    picture.setPixel(1, 1, qRgb(10, 20, 30));
    return picture;
}

QByteArray PngOf(const QImage& picture) {
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    picture.save(&png, "PNG");
    return png.data();
}

} // namespace

class TestEditCommands : public QObject {
    Q_OBJECT

    TqbWindowFixture F;

    QString Lib(const QString& relative) const { return F.Lib(relative); }
    TqbDhtmlEdit* Edit() const { return F.Window->Dhtml(); }
    QAction* Act(const char* name) const { return F.Window->Action(name); }
    QString Html() const { return Edit()->DocumentHtml(); }

    QWidget* PageWidget() const { return F.PageWidget(); }

    void OpenNoteInMode(TqbViewMode mode) {
        F.Window->NoteTree()->setCurrentIndex(F.Node("노트"));
        F.Window->SetViewMode(mode);
        if (mode != TqbViewMode::Source)
            F.WaitForPage();
    }

    // Selects the whole first line, "abc def", and waits until the page reported it.
    void SelectFirstLine() {
        PageWidget()->setFocus();
        QWebEnginePage* page = Edit()->findChild<QWebEngineView*>()->page();
        page->runJavaScript(SelectFirstBlockScript(), QWebEngineScript::ApplicationWorld);
        QTRY_VERIFY_WITH_TIMEOUT(Edit()->SelectionState().HasSelection,
                                 TqbWindowFixture::PageTimeoutMs);
        // Keys typed in edit mode mark the note, Shift and Home included: start unmarked.
        F.Window->OpenNote()->DropChanges();
        F.Window->UpdateActions();
        F.Window->UpdateStyleChecks();
    }

    // Runs an action and waits for the page to have what the test expects.
    void TriggerAndExpect(QAction* action, const QString& expected) {
        action->trigger();
        QTRY_VERIFY2_WITH_TIMEOUT(Html().contains(expected, Qt::CaseInsensitive),
                                  qPrintable(Html()), TqbWindowFixture::PageTimeoutMs);
    }

    // Drags a file from another program onto the start of the page's first line.
    void DropFile(const QString& path) {
        QWebEnginePage* page = Edit()->findChild<QWebEngineView*>()->page();
        QVariantList place;
        page->runJavaScript("(function () {"
                            "  const r = document.body.firstElementChild.getBoundingClientRect();"
                            "  return [r.left + 1, r.top + r.height / 2];"
                            "})();",
                            QWebEngineScript::ApplicationWorld,
                            [&place](const QVariant& answer) { place = answer.toList(); });
        QTRY_COMPARE_WITH_TIMEOUT(place.size(), 2, TqbWindowFixture::PageTimeoutMs);
        const QPoint at(place[0].toInt(), place[1].toInt());
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(PageWidget(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(PageWidget(), &move);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(PageWidget(), &drop);
    }

private slots:
    void init() {
        F.Open([](TqbWindowFixture& f) { WriteBytes(f.Lib("노트.htm"), NoteBody); });
        OpenNoteInMode(TqbViewMode::Edit);
    }
    void cleanup() { F.Close(); }

    void toolbarHoldsEveryControl() {
        for (const char* name : {"cmbFontName", "cmbFontSize"})
            QVERIFY(F.Window->findChild<QComboBox*>(name));
        QComboBox* sizes = F.Window->findChild<QComboBox*>("cmbFontSize");
        QCOMPARE(sizes->count(), 7);
        QCOMPARE(sizes->itemText(6), QString("7"));
        TColorPickerButton* font = F.Window->FontColorPicker();
        TColorPickerButton* back = F.Window->BackColorPicker();
        QCOMPARE(font->size(), QSize(41, 22));
        QCOMPARE(font->DefaultText(), QString("글자 색상"));
        QCOMPARE(back->DefaultText(), QString("펜 색상"));
        QCOMPARE(back->CustomText(), QString("사용자 색상"));
        QCOMPARE(back->PopupSpacing(), 8);
        QVERIFY(!back->ShowSystemColors());
        for (const char* name : {"btnImage", "btnBR"})
            QVERIFY(F.Window->findChild<QAction*>(name));
        QWidget* panel = F.Window->findChild<QWidget*>("pnlSpecialChars");
        QCOMPARE(panel->width(), 69);
        QVERIFY(panel->isVisible());
        F.Window->SetViewMode(TqbViewMode::Browse);
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
        QVERIFY(F.Window->NoteModified());
    }

    void boldTwiceClearsTheCheckAndTheStyle() {
        SelectFirstLine();
        TriggerAndExpect(Act("actBold"), "<b>abc def</b>");
        F.Window->UpdateStyleChecks();
        QVERIFY(Act("actBold")->isChecked());
        Act("actBold")->trigger();
        QVERIFY(!Act("actBold")->isChecked());
        QTRY_VERIFY_WITH_TIMEOUT(!Html().contains("<b>", Qt::CaseInsensitive), TqbWindowFixture::PageTimeoutMs);
    }

    void sameValueAppliesNothingButMarksModified() {
        SelectFirstLine();
        QVERIFY(!F.Window->NoteModified());
        const QString before = Html();
        // Checked now, so the click's inverted state (not bold) equals the selection's.
        Act("actItalic")->setChecked(true);
        Act("actItalic")->trigger();
        QVERIFY(F.Window->NoteModified());
        QCOMPARE(Html(), before);
    }

    void fontBoxesApplyToTheSelection_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("markup");
        // Not the pages' standard face, which unstyled text already has.
        QTest::newRow("font name") << "cmbFontName"
                                   << "NanumMyeongjo"
                                   << "face=\"NanumMyeongjo\"";
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
        auto* combo = F.Window->findChild<QComboBox*>(box);
        combo->setEditText(text);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QCOMPARE(combo->currentText(), text);
        QTRY_VERIFY2_WITH_TIMEOUT(Html().contains(markup), qPrintable(Html()), TqbWindowFixture::PageTimeoutMs);
        QVERIFY(F.Window->NoteModified());
    }

    void fontControlsFollowTheCaret() {
        auto* size = F.Window->findChild<QComboBox*>("cmbFontSize");
        QTRY_COMPARE_WITH_TIMEOUT(size->currentText(), QString("3"),
                                  TqbWindowFixture::PageTimeoutMs); // the page's default size
        // The key only once the caret is at the start: the page may take input before a script.
        QSignalSpy placed(Edit(), &TqbDhtmlEdit::SelectionStateChanged);
        Edit()->FocusAtStart();
        QVERIFY(placed.wait(TqbWindowFixture::PageTimeoutMs));
        QTest::keyClick(PageWidget(), Qt::Key_Down);
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->FontColorPicker()->SelectionColor(), 0xFF0000, TqbWindowFixture::PageTimeoutMs);
        // A name longer than its box shows from its start.
        auto* name = F.Window->findChild<QComboBox*>("cmbFontName");
        QVERIFY(!name->currentText().isEmpty());
        QCOMPARE(name->lineEdit()->cursorPosition(), 0);
        // Finding the colour equal to the selection's applies nothing but marks the note.
        QVERIFY(F.Window->NoteModified());
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
            text ? F.Window->FontColorPicker() : F.Window->BackColorPicker();
        picker->SetSelectionColor(color);
        QTRY_VERIFY2_WITH_TIMEOUT(Html().contains(css, Qt::CaseInsensitive), qPrintable(Html()),
                                  TqbWindowFixture::PageTimeoutMs);
    }

    void backgroundFaceClickReappliesItsColour() {
        F.Window->BackColorPicker()->SetSelectionColor(0x00FFFF); // yellow, nothing selected
        SelectFirstLine();
        TColorPickerButton* back = F.Window->BackColorPicker();
        QVERIFY(back->isEnabled());
        QTest::mouseClick(back, Qt::LeftButton, {}, QPoint(5, 10));
        QTRY_VERIFY2_WITH_TIMEOUT(Html().contains("rgb(255, 255, 0)"), qPrintable(Html()), TqbWindowFixture::PageTimeoutMs);
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
        QVERIFY(F.Window->NoteModified());
        F.Window->UpdateStyleChecks();
        if (action == "actBulleted")
            QVERIFY(Act("actBulleted")->isChecked());
        if (action == "actNumbered")
            QVERIFY(Act("actNumbered")->isChecked() && !Act("actBulleted")->isChecked());
        if (action == "actIndent") {
            TriggerAndExpect(Act("actOutdent"), "abc def");
            QTRY_VERIFY_WITH_TIMEOUT(!Html().contains("margin"), TqbWindowFixture::PageTimeoutMs);
        }
    }

    void undoAndRedoInThePage() {
        SelectFirstLine();
        TriggerAndExpect(Act("actBold"), "<b>");
        F.Window->UpdateActions();
        QVERIFY(Act("actUndo")->isEnabled());
        Act("actUndo")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!Html().contains("<b>"), TqbWindowFixture::PageTimeoutMs);
        F.Window->UpdateActions();
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
        QTest::newRow("to-do list") << "ToolButton17" << "<input type=\"checkbox\"> 할 일";
    }
    void snippetsReplaceTheSelection() {
        QFETCH(QString, button);
        QFETCH(QString, markup);
        SelectFirstLine();
        F.Window->InsertTools()->findChild<QToolButton*>(button)->click();
        QTRY_VERIFY2_WITH_TIMEOUT(Html().contains(markup), qPrintable(Html()), TqbWindowFixture::PageTimeoutMs);
        QVERIFY(!Html().contains("abc def"));
        QVERIFY(F.Window->NoteModified());
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
        QTableWidget* grid = F.Window->InsertTools()->Grid();
        const int column = text.isEmpty() ? 3 : 0;
        grid->scrollToItem(grid->item(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(row, column)).center());
        QTRY_VERIFY2_WITH_TIMEOUT(!Html().contains("abc def"), qPrintable(Html()), TqbWindowFixture::PageTimeoutMs);
        if (!text.isEmpty())
            QVERIFY(Html().contains("<div>" + text + "</div>", Qt::CaseInsensitive));
        QVERIFY(F.Window->NoteModified());
    }

    void clipboardStateFollowsCut() {
        Edit()->FocusAtStart();
        QTRY_VERIFY_WITH_TIMEOUT(!Edit()->SelectionState().HasSelection, TqbWindowFixture::PageTimeoutMs);
        F.Window->UpdateActions();
        for (const char* name : {"actCut", "actCopy"})
            QVERIFY2(!Act(name)->isEnabled(), name);
        QVERIFY(Act("actAddLink")->isEnabled());
        QVERIFY(!F.Window->BackColorPicker()->isEnabled());
        SelectFirstLine();
        for (const char* name : {"actCut", "actCopy", "actAddLink"})
            QVERIFY2(Act(name)->isEnabled(), name);
        QVERIFY(F.Window->BackColorPicker()->isEnabled());
    }

    void copyMarksTheNoteModified() {
        SelectFirstLine();
        QVERIFY(!F.Window->NoteModified());
        Act("actCopy")->trigger();
        QVERIFY(F.Window->NoteModified());
    }

    // Answers the link dialog with a web address, or with the one note a typed name finds.
    void AnswerLinkDialog(const QString& address, const QString& typedName, QTimer& answer) {
        auto picking = std::make_shared<bool>(false);
        connect(&answer, &QTimer::timeout, this, [address, typedName, picking] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* picker = qobject_cast<TqbNotePicker*>(modal)) {
                if (picker->List().Gathering())
                    return;
                if (picker->QueryBox()->text().isEmpty())
                    picker->QueryBox()->setText(typedName);
                else if (picker->Rows()->topLevelItemCount() == 1)
                    QTest::keyClick(picker->QueryBox(), Qt::Key_Return);
            } else if (auto* dialog = qobject_cast<TqbLinkDialog*>(modal)) {
                if (!address.isEmpty()) {
                    dialog->AddressBox()->setText(address);
                    dialog->accept();
                } else if (!*picking) {
                    *picking = true;
                    QMetaObject::invokeMethod(dialog->NoteButton(), &QPushButton::click,
                                              Qt::QueuedConnection);
                }
            }
        });
        answer.start(20);
    }

    // A table made through the menu's dialog, then a row added by its key and offered in the
    // pop-up menu; the commands are greyed where they do not apply.
    void tableCommandsThroughTheWindow() {
        const auto enabled = [this] {
            F.Window->UpdateActions();
            QStringList names;
            for (const char* name : {"actTableInsert", "actTableRowBelow", "actTableMerge",
                                     "actTableSplit"})
                if (Act(name)->isEnabled())
                    names << name;
            return names;
        };
        SelectFirstLine();
        QCOMPARE(enabled(), QStringList{"actTableInsert"});
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || dialog->objectName() != "dlgTable")
                return;
            dialog->findChild<QSpinBox*>("spnRows")->setValue(1);
            dialog->findChild<QSpinBox*>("spnColumns")->setValue(2);
            dialog->findChild<QCheckBox*>("chkHeaderRow")->setChecked(true);
            dialog->accept();
        });
        answer.start(20);
        F.Window->OpenNote()->DropChanges();
        Act("actTableInsert")->trigger();
        answer.stop();
        // The selected line's block holds the table in its place.
        const QString table = "<div><table border=\"1\" cellspacing=\"0\" cellpadding=\"4\"><tbody>"
                              "<tr><th><br></th><th><br></th></tr>";
        const QString after = "</tbody></table></div><div><font color=\"#0000ff\">blue</font></div>";
        QCOMPARE(BodyOf(Html()), table + after);
        QVERIFY(F.Window->NoteModified());
        QTRY_COMPARE_WITH_TIMEOUT(enabled(), QStringList({"actTableInsert", "actTableRowBelow"}),
                                  TqbWindowFixture::PageTimeoutMs);

        // A shortcut reaches only the active window.
        F.Window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(F.Window.get()));
        // Its letter too, for desktops whose window manager takes Alt+Shift with the arrows.
        const QString row = "<tr><td><br></td><td><br></td></tr>";
        QTest::keyClick(PageWidget(), Qt::Key_Down, Qt::AltModifier | Qt::ShiftModifier);
        QTRY_COMPARE_WITH_TIMEOUT(BodyOf(Html()), table + row + after,
                                  TqbWindowFixture::PageTimeoutMs);
        QTest::keyClick(PageWidget(), Qt::Key_B, Qt::AltModifier | Qt::ShiftModifier);
        QTRY_COMPARE_WITH_TIMEOUT(BodyOf(Html()), table + row + row + after,
                                  TqbWindowFixture::PageTimeoutMs);
        QMenu popup;
        emit Edit()->ContextMenuFilling(&popup);
        QCOMPARE(popup.actions().last()->text(), QString("표"));

        F.Window->SetViewMode(TqbViewMode::Browse);
        F.WaitForPage();
        QCOMPARE(enabled(), QStringList());
    }

    void linkAsksForTheAddress() {
        SelectFirstLine();
        QTimer answer;
        AnswerLinkDialog("http://example.com/", {}, answer);
        Act("actAddLink")->trigger();
        QTRY_VERIFY2_WITH_TIMEOUT(Html().contains("<a href=\"http://example.com/\">abc def</a>"),
                                  qPrintable(Html()), TqbWindowFixture::PageTimeoutMs);
        QVERIFY(F.Window->NoteModified());
    }

    // Ctrl+K with nothing selected, a note picked by name: the link carries the note's name,
    // reaches the file, and a Ctrl+click on it opens that note.
    void linkToANoteIsMadeAndFollowed() {
        QDir(Lib("")).mkpath("폴더");
        WriteBytes(Lib("폴더/C# 노트 & 'x'.htm"), "<HTML><BODY>target</BODY></HTML>\r\n");
        WriteBytes(Lib("링크.htm"), "<HTML><BODY style=\"margin:0;font-size:80px\"><DIV>끝</DIV>"
                                   "</BODY></HTML>\r\n");
        F.Window->NoteTree()->LoadRoot(F.Notes->GetDataDir());
        F.Select("링크");
        F.EnterMode(TqbViewMode::Edit);
        Edit()->FocusAtStart();
        QTRY_VERIFY_WITH_TIMEOUT(Act("actAddLink")->isEnabled(), TqbWindowFixture::PageTimeoutMs);
        QTimer answer;
        AnswerLinkDialog({}, "C#", answer);
        QTest::keyClick(PageWidget(), Qt::Key_K, Qt::ControlModifier);
        const QString link = "<a href=\"%ED%8F%B4%EB%8D%94/C%23%20%EB%85%B8%ED%8A%B8%20%26%20"
                             "%27x%27.htm\">C# 노트 &amp; 'x'</a>";
        QTRY_VERIFY2_WITH_TIMEOUT(Html().contains(link), qPrintable(Html()),
                                  TqbWindowFixture::PageTimeoutMs);
        // Followed from the changed note, which is saved on the way.
        TqbDialogAnswerer unexpected;
        QTest::mouseClick(PageWidget(), Qt::LeftButton, Qt::ControlModifier, QPoint(20, 40));
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->NoteTree()->OpenPath(), Lib("폴더/C# 노트 & 'x'.htm"),
                                  TqbWindowFixture::PageTimeoutMs);
        QCOMPARE(unexpected.texts, QStringList());
        QVERIFY(QString::fromUtf8(ReadBytes(Lib("링크.htm"))).contains(link));
    }

    void ruleAndCancelledPicture() {
        SelectFirstLine();
        TriggerAndExpect(F.Window->findChild<QAction*>("btnBR"), "<hr>");
        F.Window->SaveCurrentNote();
        QVERIFY(!F.Window->NoteModified());
        TqbDialogAnswerer answer;
        F.Window->findChild<QAction*>("btnImage")->trigger();
        QCOMPARE(answer.texts, QStringList{"dlgPicture"});
        QVERIFY(F.Window->NoteModified());
    }

    // A picture pasted or dropped as data goes to a file in the note folder's "__images",
    // linked from where it was put; a clipboard that carries HTML is pasted as HTML; a folder
    // that takes no file gets a message and the note stays as it was.
    void picturesAreKeptBesideTheNote_data() {
        QTest::addColumn<QString>("how");     // "Ctrl+V", "menu", "drop" or "drop empty"
        QTest::addColumn<bool>("withHtml");   // the clipboard has HTML beside the picture
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("kept");    // the file's name in "__images"; empty: none
        QTest::addColumn<QString>("body");    // %1: the file's address
        const QString linked = "<div><img src=\"%1\">abc def</div>"
                               "<div><font color=\"#0000ff\">blue</font></div>";
        const QString pasted = "pasted-\\d{8}-\\d{6}\\.png";
        QTest::newRow("screenshot, Ctrl+V") << "Ctrl+V" << false << true << pasted << linked;
        QTest::newRow("screenshot, menu") << "menu" << false << true << pasted << linked;
        QTest::newRow("dropped file keeps its name")
            << "drop" << false << true << "사진\\.png" << linked;
        QTest::newRow("picture beside HTML")
            << "Ctrl+V" << true << true << ""
            << "<div><b>html</b>abc def</div><div><font color=\"#0000ff\">blue</font></div>";
        QTest::newRow("read-only folder")
            << "Ctrl+V" << false << false << ""
            << "<div>abc def</div><div><font color=\"#0000ff\">blue</font></div>";
        QTest::newRow("empty file dropped")
            << "drop empty" << false << true << ""
            << "<div>abc def</div><div><font color=\"#0000ff\">blue</font></div>";
    }
    void picturesAreKeptBesideTheNote() {
        QFETCH(QString, how);
        QFETCH(bool, withHtml);
        QFETCH(bool, writable);
        QFETCH(QString, kept);
        QFETCH(QString, body);
        const QImage picture = SmallPicture();
        const QString dropped = F.Dir->filePath("사진.png");
        const bool empty = how == "drop empty";
        WriteBytes(dropped, empty ? QByteArray() : PngOf(picture));
        std::unique_ptr<TqbReadOnlyFolder> readOnly;
        if (!writable) {
            readOnly = std::make_unique<TqbReadOnlyFolder>(Lib(""));
            if (!readOnly->IsReadOnly())
                QSKIP(qPrintable("no read-only folder: " + readOnly->Error()));
        }
        const QString before = BodyOf(Html());
        Edit()->FocusAtStart();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), PageWidget(),
                                  TqbWindowFixture::PageTimeoutMs);
        if (how.startsWith("drop")) {
            DropFile(dropped);
        } else {
            auto* data = new QMimeData;
            data->setImageData(picture);
            if (withHtml)
                data->setHtml("<b>html</b>");
            QApplication::clipboard()->setMimeData(data);
            if (how == "menu") {
                // As a user finds it: the item is greyed until the page says it can paste.
                QTRY_VERIFY_WITH_TIMEOUT(Act("actPaste")->isEnabled(),
                                         TqbWindowFixture::PageTimeoutMs);
                Act("actPaste")->trigger();
            }
            else
                QTest::keyClick(PageWidget(), Qt::Key_V, Qt::ControlModifier);
        }

        const QString images = Lib("__images");
        if (!writable || empty) {
            QMessageBox* box = nullptr;
            QTRY_VERIFY_WITH_TIMEOUT((box = F.Window->findChild<QMessageBox*>()),
                                     TqbWindowFixture::PageTimeoutMs);
            if (empty)
                QCOMPARE(box->text(), TqbEditCommands::PictureNotKeptMessage +
                                          "\n그림 파일이 비어 있습니다 (0바이트): 사진.png");
            else
                QVERIFY2(box->text().startsWith(TqbEditCommands::PictureNotKeptMessage + "\n") &&
                             box->text().contains(QDir::toNativeSeparators(images)),
                         qPrintable(box->text()));
            QCOMPARE(BodyOf(Html()), body);
            QVERIFY(!QFileInfo::exists(images));
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(BodyOf(Html()) != before, TqbWindowFixture::PageTimeoutMs);
        F.Window->SaveCurrentNote();
        const QStringList files = QDir(images).entryList(QDir::Files);
        QCOMPARE(files.size(), kept.isEmpty() ? 0 : 1);
        const QString name = files.value(0);
        QVERIFY2(QRegularExpression("^" + kept + "$").match(name).hasMatch(), qPrintable(name));
        const QString address = "__images/" + QString::fromUtf8(QUrl::toPercentEncoding(name));
        QCOMPARE(BodyOf(QString::fromUtf8(ReadBytes(Lib("노트.htm")))),
                 kept.isEmpty() ? body : body.arg(address));
        if (how == "drop")
            QCOMPARE(ReadBytes(images + "/" + name), ReadBytes(dropped));
        else if (!kept.isEmpty())
            QCOMPARE(QImage(images + "/" + name).convertToFormat(picture.format()), picture);
    }

    // An office program's clipboard HTML is cleaned before it goes in, and saved clean; its
    // picture files are kept beside the note, as any HTML's pictures from files or data are;
    // one paste is one step to undo; a paste as plain text stays plain.
    void officePastesAreCleaned_data() {
        QTest::addColumn<QString>("html"); // %1: a picture file's address, %2: the picture as data
        QTest::addColumn<bool>("plain");   // pasted with Ctrl+Shift+V
        QTest::addColumn<QString>("body"); // %1: the name a picture from data gets
        QTest::addColumn<QString>("message"); // the warning after the first line; empty: none
        const QString rest = "abc def</div><div><font color=\"#0000ff\">blue</font></div>";
        const QString sheet =
            "<html xmlns:x=\"urn:schemas-microsoft-com:office:excel\"><head><style>"
            ".xl65 {font-weight:700; mso-number-format:\"\\#\\,\\#\\#0\";}</style></head><body>"
            "<table><!--StartFragment--><tr><td class=\"box xl65\" x:num=\"1234\">1,234</td></tr>"
            "<!--EndFragment--></table></body></html>";
        QTest::newRow("spreadsheet cells")
            << sheet << false
            << "<table><tbody><tr><td class=\"box\" style=\"font-weight:700\">1,234</td></tr>"
               "</tbody></table>"
               "<div>" + rest
            << "";
        const QString word =
            "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"><body>"
            "<p class=MsoNormal><span lang=EN-US>그림<img src=\"%1\" v:shapes=\"_x0000_i1025\">"
            "</span><o:p></o:p></p></body></html>";
        QTest::newRow("word processor text with a picture file")
            << word << false
            << "<div>그림<img src=\"__images/clip_image001.png\">" + rest << "";
        QTest::newRow("a picture file that is gone")
            << QString(word).replace("%1", "file:///nowhere/clip_image009.png") << false
            << "<div>그림" + rest << "그림 파일이 없습니다: /nowhere/clip_image009.png";
        QTest::newRow("as plain text") << sheet << true << "<div>1,234" + rest << "";
        const QString browser = "<meta charset=\"utf-8\"><b>사진</b><img src=\"%1\" alt=\"p\">";
        const QString kept = "<div><b>사진</b><img src=\"__images/%1\" alt=\"p\">" + rest;
        QTest::newRow("browser HTML with a picture file")
            << browser << false << QString(kept).replace("%1", "clip_image001.png") << "";
        QTest::newRow("browser HTML with a picture as data")
            << QString(browser).replace("%1", "%2") << false << kept << "";
        QTest::newRow("browser HTML with a picture file that is gone")
            << QString(browser).replace("%1", "file:///nowhere/pic.png") << false
            << "<div><b>사진</b>" + rest << "그림 파일이 없습니다: /nowhere/pic.png";
        QTest::newRow("browser HTML with a web picture")
            << QString(browser).replace("%1", "https://example.org/a.png") << false
            << "<div><b>사진</b><img src=\"https://example.org/a.png\" alt=\"p\">" + rest << "";
    }
    void officePastesAreCleaned() {
        QFETCH(QString, html);
        QFETCH(bool, plain);
        QFETCH(QString, body);
        QFETCH(QString, message);
        const QString picture = F.Dir->filePath("clip_image001.png");
        WriteBytes(picture, PngOf(SmallPicture()));
        // The note's own style sheet defines "box", which a paste keeps.
        bool styled = false;
        Edit()->findChild<QWebEngineView*>()->page()->runJavaScript(
            "document.head.insertAdjacentHTML('beforeend', '<style>.box {color: green}</style>');",
            QWebEngineScript::ApplicationWorld, [&styled](const QVariant&) { styled = true; });
        QTRY_VERIFY_WITH_TIMEOUT(styled, TqbWindowFixture::PageTimeoutMs);
        const QString before = BodyOf(Html());
        Edit()->FocusAtStart();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), PageWidget(),
                                  TqbWindowFixture::PageTimeoutMs);
        auto* data = new QMimeData;
        const QString asData = "data:image/png;base64," + PngOf(SmallPicture()).toBase64();
        data->setHtml(QString(html)
                          .replace("%1", QUrl::fromLocalFile(picture).toString())
                          .replace("%2", asData));
        data->setText(QStringLiteral("1,234"));
        QApplication::clipboard()->setMimeData(data);
        QTest::keyClick(PageWidget(), Qt::Key_V,
                        plain ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(BodyOf(Html()) != before, TqbWindowFixture::PageTimeoutMs);
        if (!message.isEmpty()) {
            QMessageBox* box = nullptr;
            QTRY_VERIFY_WITH_TIMEOUT((box = F.Window->findChild<QMessageBox*>()),
                                     TqbWindowFixture::PageTimeoutMs);
            QCOMPARE(box->text(), TqbEditCommands::PictureNotKeptMessage + '\n' + message);
            box->close();
        }
        F.Window->SaveCurrentNote();
        const QStringList kept = QDir(Lib("__images")).entryList(QDir::Files);
        QCOMPARE(kept.size(), body.contains("__images") ? 1 : 0);
        if (body.contains("%1"))
            QVERIFY2(
                QRegularExpression("^pasted-\\d{8}-\\d{6}\\.png$").match(kept.value(0)).hasMatch(),
                qPrintable(kept.value(0)));
        QCOMPARE(BodyOf(QString::fromUtf8(ReadBytes(Lib("노트.htm")))),
                 QString(body).replace("%1", kept.value(0)));
        if (!kept.isEmpty())
            QCOMPARE(ReadBytes(Lib("__images/" + kept.first())), ReadBytes(picture));
        // The box took the page's focus; the page then offers no undo until the user is back.
        if (!message.isEmpty())
            return;
        QTRY_VERIFY_WITH_TIMEOUT(Act("actUndo")->isEnabled(), TqbWindowFixture::PageTimeoutMs);
        Act("actUndo")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(BodyOf(Html()), before, TqbWindowFixture::PageTimeoutMs);
    }

    void findOpensOurDialogOverThePage() {
        Act("actToolFind")->trigger();
        TqbFindDialog* find = F.Window->FindDialog();
        QTRY_VERIFY_WITH_TIMEOUT(find->isVisible(), TqbWindowFixture::PageTimeoutMs);
        find->SetSearchText("nothing like it");
        find->findChild<QAbstractButton*>("btnFindNext")->click();
        QTRY_COMPARE_WITH_TIMEOUT(find->findChild<QLabel*>("lblFindResult")->text(),
                                  TqbFindDialog::NotFoundText, TqbWindowFixture::PageTimeoutMs);
    }

    void sourceModeUsesTheSourceEditor() {
        OpenNoteInMode(TqbViewMode::Source);
        F.Window->UpdateActions();
        QVERIFY(Act("actUndo")->isEnabled());
        QVERIFY(!Act("actRedo")->isEnabled());
        QPlainTextEdit* source = F.Window->RchDhtml();
        source->moveCursor(QTextCursor::End);
        source->insertPlainText("zz");
        Act("actUndo")->trigger();
        QVERIFY(!source->toPlainText().contains("zz"));
        // Redo stays off in source mode, though the editor could redo.
        F.Window->UpdateActions();
        QVERIFY(source->document()->isRedoAvailable());
        QVERIFY(Act("actUndo")->isEnabled());
        QVERIFY(!Act("actRedo")->isEnabled());

        Act("actToolFind")->trigger();
        TqbFindDialog* find = F.Window->FindDialog();
        QTRY_VERIFY_WITH_TIMEOUT(find->isVisible(), TqbWindowFixture::PageTimeoutMs);
        find->SetSearchText("blue");
        find->findChild<QAbstractButton*>("btnFindNext")->click();
        QCOMPARE(source->textCursor().selectedText(), QString("blue"));
        find->hide();
        Act("actToolFind")->trigger();
        QCOMPARE(find->SearchText(), QString("blue"));
    }

    void controlErrorsShowAMessageAndLeaveTheNote() {
        SelectFirstLine();
        TqbDialogAnswerer answer;
        // As from a menu: the error meets the program's guard in the event loop.
        QMetaObject::invokeMethod(
            F.Window.get(), [this] { F.Window->ApplySelectionCommand("NoSuchCommand", true); },
            Qt::QueuedConnection);
        QTRY_COMPARE_WITH_TIMEOUT(answer.texts.size(), 1, TqbWindowFixture::PageTimeoutMs);
        QVERIFY(answer.texts.first().contains("NoSuchCommand"));
        QVERIFY(!F.Window->NoteModified());
    }

    void commandsWaitForTheDocument() {
        F.Window->SetViewMode(TqbViewMode::Browse);
        F.Window->SetViewMode(TqbViewMode::Edit);
        // Between the switch and the document's completion nothing runs.
        if (!F.Window->DocumentReady()) {
            F.Window->ApplySelectionCommand("Bold", true);
            QVERIFY(!F.Window->NoteModified());
            QVERIFY(F.Window->QuerySelectionValue("Bold").isNull());
        }
        F.WaitForPage();
    }
};

QB_APP_TEST_MAIN(TestEditCommands)
#include "tst_EditCommands.moc"
