#include "editing/qbDhtmlColor.h"
#include "editing/qbDhtmlEdit.h"
#include "editing/qbPageFonts.h"
#include "qbEditorFixture.h"
#include "platform/qbError.h"

#include <QFile>
#include <QDir>
#include <QInputMethodEvent>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <QtTest>

using namespace qbDhtml;

namespace {

// "가나다" in code page 949 and in UTF-8.
const QByteArray Cp949Text("\xB0\xA1\xB3\xAA\xB4\xD9");
const QByteArray Utf8Text("\xEA\xB0\x80\xEB\x82\x98\xEB\x8B\xA4");

QByteArray Page(const QByteArray& head, const QByteArray& body) {
    return "<html><head>" + head + "</head>\r\n<body><div>" + body + "</div></body></html>\r\n";
}

const QByteArray EucKrMeta =
    R"(<meta http-equiv="Content-Type" content="text/html; charset=euc-kr">)";

// The PDF's text as a reader's copy would take it; pages end in form feeds.
QString PdfText(const QString& pdf) {
    QProcess extract;
    extract.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                                pdf, QStringLiteral("-")});
    if (!extract.waitForFinished(60000) || extract.exitCode() != 0)
        qWarning("pdftotext: %s", extract.readAllStandardError().constData());
    return QString::fromUtf8(extract.readAllStandardOutput());
}

bool HasLoneLf(const QByteArray& bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return true;
    return false;
}

} // namespace

class TestDhtmlEdit : public QObject, protected TqbEditorFixture {
    Q_OBJECT

private slots:
    void init() { QVERIFY(ShowEditor()); }
    void cleanup() { m_edit.reset(); }

    void colorFromCss_data() {
        QTest::addColumn<QString>("css");
        QTest::addColumn<int>("color"); // -1: no colour
        QTest::newRow("red") << "rgb(255, 0, 0)" << 0x0000FF;
        QTest::newRow("mixed") << "rgb(0, 128, 255)" << 0xFF8000;
        QTest::newRow("no spaces") << "rgb(1,2,3)" << 0x030201;
        QTest::newRow("half transparent") << "rgba(1, 2, 3, 0.5)" << 0x030201;
        QTest::newRow("transparent") << "rgba(0, 0, 0, 0)" << -1;
        QTest::newRow("hex") << "#00FF80" << 0x80FF00;
        QTest::newRow("short hex") << "#123" << 0x332211;
        QTest::newRow("name") << "transparent" << -1;
        QTest::newRow("out of range") << "rgb(300, 0, 0)" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void colorFromCss() {
        QFETCH(QString, css);
        QFETCH(int, color);
        QCOMPARE(ColorFromCss(css).value_or(-1), color);
    }

    void colorToCss_data() {
        QTest::addColumn<int>("color");
        QTest::addColumn<QString>("css");
        QTest::newRow("red") << 0x0000FF << "#ff0000";
        QTest::newRow("blue") << 0xFF0000 << "#0000ff";
        QTest::newRow("mixed") << 0x80FF00 << "#00ff80";
        QTest::newRow("black") << 0 << "#000000";
        QTest::newRow("white") << 0xFFFFFF << "#ffffff";
        QTest::newRow("system colour") << int(0x80000005) << "";
        QTest::newRow("none") << 0x1FFFFFFF << "";
    }
    void colorToCss() {
        QFETCH(int, color);
        QFETCH(QString, css);
        QCOMPARE(ColorToCss(color), css);
        if (!css.isEmpty())
            QCOMPARE(ColorFromCss(css).value_or(-1), color);
    }

    // Code page 949's extended syllables ("똠" is 8C 63) show as themselves and are saved whole.
    void extendedSyllablesSurvive_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("head");
        QTest::newRow("declared") << "d.htm"
                                  << QByteArray(R"(<META http-equiv=Content-Type )"
                                                R"(content="text/html; charset=euc-kr">)");
        QTest::newRow("undeclared") << "u.htm" << QByteArray();
        QTest::newRow("folder page") << "___f.qb" << QByteArray(R"(<meta charset="euc-kr">)");
    }
    void extendedSyllablesSurvive() {
        QFETCH(QString, name);
        QFETCH(QByteArray, head);
        const QString path = Write(name, Page(head, "\x8C\x63\xB0\xA1 c"));
        QVERIFY(Load(path));
        QVERIFY(m_edit->DocumentHtml().contains(QString::fromUtf8("\xEB\x98\xA0\xEA\xB0\x80 c")));
        m_edit->SaveDocument(path);
        const QByteArray saved = ReadBytes(path);
        QVERIFY2(saved.contains("\x8C\x63\xB0\xA1 c"), saved.constData());
        QVERIFY(!saved.contains("&#x"));
    }

    // A folder page has no HTML extension, yet it is shown and saved as HTML.
    void folderPageIsHtml() {
        const QString path = Write("___folder.qb", Page(R"(<META http-equiv=Content-Type )"
                                                        R"(content="text/html; charset=euc-kr">)",
                                                        "<b>\xB0\xA1</b>"));
        QVERIFY(Load(path));
        const QString html = m_edit->DocumentHtml();
        QVERIFY2(html.contains(QString::fromUtf8("<b>\xEA\xB0\x80</b>")), qPrintable(html));
        QVERIFY(!html.contains("<pre", Qt::CaseInsensitive));
        m_edit->SaveDocument(path);
        QVERIFY(ReadBytes(path).contains("<b>\xB0\xA1</b>"));
    }

    // What is saved is in the page's charset, reads back the same, and ends lines with CR LF.
    void saveKeepsCharset_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArrayList>("expected");
        QTest::addColumn<QByteArray>("forbidden");
        const QByteArray eucKr =
            "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-kr\">";
        const QByteArray utf8 = "<meta charset=\"utf-8\">";
        QTest::newRow("euc-kr") << "노트.htm" << Page(eucKr, Cp949Text)
                                << QByteArrayList{eucKr, Cp949Text} << Utf8Text;
        QTest::newRow("undeclared cp949")
            << "b.htm" << Page({}, Cp949Text) << QByteArrayList{Cp949Text} << Utf8Text;
        QTest::newRow("utf-8") << "c.htm" << Page(utf8, Utf8Text) << QByteArrayList{utf8, Utf8Text}
                               << Cp949Text;
        // Valid UTF-8 is read as UTF-8 again: no mark needed.
        QTest::newRow("undeclared utf-8")
            << "d.htm" << Page({}, Utf8Text + " " + Utf8Text)
            << QByteArrayList{"<html", Utf8Text} << QByteArray("\xEF\xBB\xBF");
    }
    void saveKeepsCharset() {
        QFETCH(QString, name);
        QFETCH(QByteArray, page);
        QFETCH(QByteArrayList, expected);
        QFETCH(QByteArray, forbidden);
        const QString path = Write(name, page);
        QVERIFY(Load(path));
        const QString before = m_edit->DocumentHtml();
        m_edit->SaveDocument(path);
        const QByteArray saved = ReadBytes(path);
        for (const QByteArray& part : expected)
            QVERIFY2(saved.contains(part), saved.constData());
        QVERIFY(!saved.contains("&#x"));
        QVERIFY2(!saved.contains(forbidden), saved.constData());
        QVERIFY(!HasLoneLf(saved));
        QVERIFY(saved.endsWith("</html>\r\n"));
        // Saved again, the page stays the same bytes: nothing grows from save to save.
        QVERIFY(Load(path));
        QCOMPARE(m_edit->DocumentHtml(), before);
        m_edit->SaveDocument(path);
        QCOMPARE(ReadBytes(path), saved);
    }

    // Text from the source view is saved in the charset it declares.
    void htmlTextKeepsItsDeclaration_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("euc-kr") << QByteArray("<meta charset=\"euc-kr\">") << Cp949Text;
        QTest::newRow("undeclared") << QByteArray() << Cp949Text;
        QTest::newRow("utf-8") << QByteArray("<meta charset=\"utf-8\">") << Utf8Text;
    }
    void htmlTextKeepsItsDeclaration() {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, expected);
        const QString path = Write("e.htm", Page({}, "old"));
        QVERIFY(Load(path));
        QSignalSpy complete(m_edit.get(), &TqbDhtmlEdit::DocumentComplete);
        m_edit->SetDocumentHtml(QString::fromUtf8(Page(head, Utf8Text + " new")));
        QVERIFY(complete.wait(30000));
        QCOMPARE(m_edit->DocumentPath(), path);
        m_edit->SaveDocument(path);
        const QByteArray saved = ReadBytes(path);
        QVERIFY2(saved.contains(expected + " new"), saved.constData());
    }

    // An emoji is typed whole, through an input method or as a key's text, and written as a
    // reference where the charset cannot hold it.
    void emojiBecomesReferenceInEucKr_data() {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("input method") << false;
        QTest::newRow("key event") << true;
    }
    void emojiBecomesReferenceInEucKr() {
        QFETCH(bool, byKey);
        const QString path = Write("f.htm", Page("<meta charset=\"euc-kr\">", Cp949Text));
        // As the window opens a note in edit mode: focus asked for before the page is there.
        m_edit->SetBrowseMode(false);
        m_edit->FocusAtStart();
        QVERIFY(Load(path));
        QTRY_VERIFY_WITH_TIMEOUT(m_edit->SelectionState().Editable, PageTimeoutMs);
        QSignalSpy changed(m_edit.get(), &TqbDhtmlEdit::ContentChanged);
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        if (byKey) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, emoji);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, emoji);
            QApplication::sendEvent(PageWidget(), &press);
            QApplication::sendEvent(PageWidget(), &release);
        } else {
            QInputMethodEvent typed;
            typed.setCommitString(emoji);
            QApplication::sendEvent(PageWidget(), &typed);
        }
        QVERIFY(changed.wait(10000));
        m_edit->SaveDocument(path);
        QCOMPARE(ReadBytes(path), Page("<meta charset=\"euc-kr\">", "&#x1F600;" + Cp949Text));
    }

    // The same page read again (after its links were rewritten) takes the typing where the
    // caret was; any other load starts at the top.
    void aPageReadAgainKeepsTheCaret_data() {
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("place kept") << true << QByteArray("<div>one</div><div>twXo</div>");
        QTest::newRow("another load") << false << QByteArray("<div>Xone</div><div>two</div>");
    }
    void aPageReadAgainKeepsTheCaret() {
        QFETCH(bool, kept);
        QFETCH(QByteArray, body);
        const QString path = Write("k.htm", Page({}, "<div>one</div><div>two</div>"));
        QVERIFY(LoadForEditing(path));
        AskPage("(function () { var r = document.createRange();"
                " r.setStart(document.body.firstElementChild.children[1].firstChild, 2);"
                " r.collapse(true);"
                " getSelection().removeAllRanges(); getSelection().addRange(r); })()");
        if (kept)
            m_edit->KeepPlaceForNextLoad();
        QSignalSpy complete(m_edit.get(), &TqbDhtmlEdit::DocumentComplete);
        m_edit->LoadDocument(path);
        m_edit->FocusAtStart(); // as the open note asks after every load
        QVERIFY(complete.wait(PageTimeoutMs));
        m_edit->DocumentHtml(); // the page runs calls in order: the caret is placed by now
        QSignalSpy changed(m_edit.get(), &TqbDhtmlEdit::ContentChanged);
        QInputMethodEvent typed;
        typed.setCommitString("X");
        QApplication::sendEvent(PageWidget(), &typed);
        QVERIFY(changed.wait(10000));
        m_edit->SaveDocument(path);
        QCOMPARE(ReadBytes(path), Page({}, body));
    }

    void browseModeBlocksTyping() {
        const QString path = Write("g.htm", Page({}, "text"));
        QVERIFY(Load(path));
        QSignalSpy changed(m_edit.get(), &TqbDhtmlEdit::ContentChanged);
        QSignalSpy keyUp(m_edit.get(), &TqbDhtmlEdit::DocumentKeyUp);
        m_edit->FocusAtStart();
        QTest::keyClicks(PageWidget(), "xyz");
        QVERIFY(!(m_edit->DocQueryStatus(IDM_UNDO) & OLECMDF_ENABLED));

        QVERIFY(StartEditing());
        QTest::keyClicks(PageWidget(), "abc");
        QTRY_VERIFY_WITH_TIMEOUT(m_edit->DocumentHtml().contains("abctext"), PageTimeoutMs);
        QVERIFY(!m_edit->DocumentHtml().contains("xyz"));
        QVERIFY(changed.count() > 0);
        QVERIFY(keyUp.count() > 0);

        QTRY_VERIFY_WITH_TIMEOUT(m_edit->DocQueryStatus(IDM_UNDO) & OLECMDF_ENABLED, PageTimeoutMs);
        m_edit->DocExec(IDM_UNDO);
        QVERIFY(!m_edit->DocumentHtml().contains("abc"));
        QVERIFY(m_edit->DocQueryStatus(IDM_REDO) & OLECMDF_ENABLED);
    }

    void saveBeforeLoadCompleteThrows() {
        const QByteArray first = Page({}, "first"), second = Page({}, "second");
        const QString a = Write("h.htm", first), b = Write("i.htm", second);
        m_edit->LoadDocument(a);
        QVERIFY_THROWS_EXCEPTION(EqbError, m_edit->SaveDocument(a));
        QVERIFY(Load(a));
        // Switching notes: the page still shows the first one.
        m_edit->LoadDocument(b);
        QVERIFY(!m_edit->IsDocumentReady());
        QVERIFY_THROWS_EXCEPTION(EqbError, m_edit->SaveDocument(b));
        QCOMPARE(ReadBytes(a), first);
        QCOMPARE(ReadBytes(b), second);
    }

    // The page's process ending under a note is reported once; ending again while no document
    // shows is no news, so a failure's message never brings on another. The next note loads.
    void processEndIsReportedOnce() {
        QVERIFY(Load(Write("p.htm", Page({}, "text"))));
        QWebEnginePage* page = m_edit->findChild<QWebEngineView*>()->page();
        QSignalSpy failed(m_edit.get(), &TqbDhtmlEdit::DocumentLoadFailed);
        for (int i = 0; i < 2; ++i) {
            emit page->renderProcessTerminated(QWebEnginePage::KilledTerminationStatus, 9);
            QCoreApplication::processEvents(); // the queued report, if any
        }
        QCOMPARE(failed.count(), 1);
        QVERIFY(!m_edit->IsDocumentReady());
        QVERIFY(Load(Write("q.htm", Page({}, "again"))));
        QCOMPARE(failed.count(), 1);
    }

    void impossiblePathsThrow() {
        const QString path = Write("j.htm", Page({}, "text"));
        QVERIFY(Load(path));
        QVERIFY_THROWS_EXCEPTION(EqbError, m_edit->SaveDocument(m_dir.filePath("no/such/x.htm")));
        QVERIFY_THROWS_EXCEPTION(EqbError, m_edit->SaveDocument(m_dir.path()));
    }

    void nestedSaveIsRefused() {
        const QString path = Write("k.htm", Page({}, "text"));
        QVERIFY(Load(path));
        bool refused = false;
        QTimer::singleShot(0, this, [&] {
            try {
                m_edit->SaveDocument(path);
            } catch (const EqbError&) {
                refused = true;
            }
        });
        m_edit->SaveDocument(path);
        QTRY_VERIFY_WITH_TIMEOUT(refused, PageTimeoutMs);
    }

    void pageScriptsDoNotRun() {
        const QString path =
            Write("l.htm", "<html><body onload=\"document.body.setAttribute('data-' + 'ran', 1)\">"
                           "<script>document.write('<p id=' + '\"ran\">x</p>')</script>"
                           "<div>text</div></body></html>");
        QVERIFY(Load(path));
        const QString html = m_edit->DocumentHtml();
        QVERIFY(!html.contains("id=\"ran\""));
        QVERIFY(!html.contains("data-ran"));
    }

    void findText() {
        const QString path = Write("t.htm", Page({}, "needle in text"));
        QVERIFY(Load(path));
        QSignalSpy found(m_edit.get(), &TqbDhtmlEdit::TextFound);
        m_edit->FindText("NEEDLE");
        QVERIFY(found.wait(10000));
        m_edit->FindText("NEEDLE", false, true);
        QVERIFY(found.wait(10000));
        QCOMPARE(found.at(0).first().toBool(), true);
        QCOMPARE(found.at(1).first().toBool(), false);
    }

    void followedLinkKeepsTheNote() {
        const QString path = Write(
            "m.htm", "<html><body style=\"margin:0\"><a href=\"other.htm\" style=\"display:block;"
                     "height:300px\">link</a></body></html>");
        QVERIFY(Load(path));
        QSignalSpy followed(m_edit.get(), &TqbDhtmlEdit::LinkClicked);
        QSignalSpy clicked(m_edit.get(), &TqbDhtmlEdit::DocumentClick);
        QTest::mouseClick(PageWidget(), Qt::LeftButton, {}, QPoint(40, 40));
        QVERIFY(followed.wait(10000));
        QTRY_COMPARE_WITH_TIMEOUT(clicked.count(), 1, PageTimeoutMs);
        QCOMPARE(followed.first().first().toUrl().fileName(), QString("other.htm"));
        QVERIFY(m_edit->IsDocumentReady());
        QVERIFY(m_edit->DocumentHtml().contains("other.htm"));
    }

    void selectionCommandReachesFile_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bold") << "Bold" << QVariant(true) << "<b>plain words</b>";
        QTest::newRow("italic") << "Italic" << QVariant(true) << "<i>plain words</i>";
        QTest::newRow("underline") << "Underline" << QVariant(true) << "<u>plain words</u>";
        QTest::newRow("text colour") << "ForeColor" << QVariant(0x0000FF) << "color=\"#ff0000\"";
        QTest::newRow("back colour")
            << "BackColor" << QVariant(0x00FFFF) << "background-color: rgb(255, 255, 0)";
        QTest::newRow("font size") << "FontSize" << QVariant(5) << "size=\"5\"";
        // Not the pages' standard face, which unstyled text already has.
        QTest::newRow("font name")
            << "FontName" << QVariant("NanumMyeongjo") << "face=\"NanumMyeongjo\"";
        QTest::newRow("centre") << "JustifyCenter" << QVariant(true) << "text-align: center";
    }
    void selectionCommandReachesFile() {
        QFETCH(QString, command);
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        const QString path = Write("n.htm", Page({}, "plain words"));
        QVERIFY(Load(path));
        QVERIFY(StartEditing());
        QVERIFY(SelectFirstLine());
        QVERIFY(m_edit->QueryStatus(DECMD_CUT) & OLECMDF_ENABLED);

        QVERIFY(m_edit->ExecSelectionCommand(command, value));
        QCOMPARE(m_edit->QueryCommandValue(command), value);
        m_edit->SaveDocument(path);
        const QByteArray saved = ReadBytes(path);
        QVERIFY2(saved.contains(expected.toUtf8()), saved.constData());
    }

    void documentCommandReachesFile_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("latched");
        QTest::newRow("numbered") << IDM_ORDERLIST << ""
                                  << "<ol><li>plain words" << true;
        QTest::newRow("bulleted") << IDM_UNORDERLIST << ""
                                  << "<ul><li>plain words" << true;
        QTest::newRow("indent") << IDM_INDENT << ""
                                << "<blockquote" << false;
        QTest::newRow("rule") << IDM_HORIZONTALLINE << ""
                              << "<hr>" << false;
        QTest::newRow("link") << IDM_HYPERLINK << "http://example.org/"
                              << "<a href=\"http://example.org/\">plain words</a>" << false;
        QTest::newRow("picture") << IDM_IMAGE << "/pictures/a b.png"
                                 << "<img src=\"file:///pictures/a%20b.png\">" << false;
    }
    void documentCommandReachesFile() {
        QFETCH(int, id);
        QFETCH(QString, address);
        QFETCH(QString, expected);
        QFETCH(bool, latched);
        const QString path = Write("s.htm", Page({}, "plain words"));
        QVERIFY(Load(path));
        QVERIFY(StartEditing());
        QVERIFY(SelectFirstLine());
        QVERIFY(m_edit->DocQueryStatus(id) & OLECMDF_ENABLED);

        m_edit->DocExec(id, address);
        QCOMPARE(bool(m_edit->DocQueryStatus(id) & OLECMDF_LATCHED), latched);
        m_edit->SaveDocument(path);
        const QByteArray saved = ReadBytes(path);
        QVERIFY2(saved.contains(expected.toUtf8()), saved.constData());
    }

    // A to-do item's box: a click in edit mode ticks or unticks it as a change to save, one step
    // of the editor's undo and redo; in browse mode the box and the note stay as they were.
    void clickOnABox_data() {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<int>("box");
        QTest::addColumn<QList<int>>("steps");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QByteArray>("clickedAgain");
        const QByteArray meta = "<meta charset=\"utf-8\">";
        const QByteArray before = Page(meta, "<input type=\"checkbox\"> 우유 두 통</div>"
                                             "<div><input type=\"checkbox\" checked> 빵 한 개");
        const QByteArray bothTicked = Page(meta, "<input type=\"checkbox\" checked> 우유 두 통</div>"
                                                 "<div><input type=\"checkbox\" checked> 빵 한 개");
        const QByteArray noneTicked =
            Page(meta, "<input type=\"checkbox\"> 우유 두 통</div>"
                       "<div><input type=\"checkbox\"> 빵 한 개");
        QTest::newRow("ticks") << true << 0 << QList<int>{} << true << bothTicked << before;
        QTest::newRow("unticks") << true << 1 << QList<int>{} << false << noneTicked << before;
        QTest::newRow("tick undone")
            << true << 0 << QList<int>{IDM_UNDO} << false << before << bothTicked;
        QTest::newRow("tick undone and redone")
            << true << 0 << QList<int>{IDM_UNDO, IDM_REDO} << true << bothTicked << before;
        QTest::newRow("untick undone")
            << true << 1 << QList<int>{IDM_UNDO} << true << before << noneTicked;
        QTest::newRow("browse mode leaves the note")
            << false << 0 << QList<int>{} << false << before << before;
    }
    void clickOnABox() {
        QFETCH(bool, editing);
        QFETCH(int, box);
        QFETCH(QList<int>, steps);
        const QByteArray before =
            Page("<meta charset=\"utf-8\">", "<input type=\"checkbox\"> 우유 두 통</div>"
                                             "<div><input type=\"checkbox\" checked> 빵 한 개");
        const QString path = Write("todo.htm", before);
        if (editing) {
            QVERIFY(LoadForEditing(path));
            QVERIFY(StartEditing());
        } else {
            m_edit->SetBrowseMode(true);
            QVERIFY(Load(path));
        }
        const QVariantList at =
            AskPage(QStringLiteral("(function(){var r=document.querySelectorAll('input')[%1]"
                                   ".getBoundingClientRect();return [r.left+r.width/2,"
                                   "r.top+r.height/2];})()")
                        .arg(box))
                .toList();
        const QPoint centre(at.value(0).toInt(), at.value(1).toInt());
        QSignalSpy changed(m_edit.get(), &TqbDhtmlEdit::ContentChanged);
        QSignalSpy clicked(m_edit.get(), &TqbDhtmlEdit::DocumentClick);
        QTest::mouseClick(PageWidget(), Qt::LeftButton, {}, centre);
        // The change is reported before the click, on the same channel.
        QVERIFY(clicked.wait(PageTimeoutMs));
        QCOMPARE(changed.count(), editing ? 1 : 0);
        QCOMPARE(m_edit->DocumentChanged(), editing);
        // Each step takes the whole tick back or puts it back, and is a change to save.
        for (int step : steps)
            m_edit->DocExec(step);
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), (editing ? 1 : 0) + steps.size(), PageTimeoutMs);
        QTEST(AskPage(QStringLiteral("document.querySelectorAll('input')[%1].checked").arg(box))
                  .toBool(),
              "ticked");
        m_edit->SaveDocument(path);
        QTEST(ReadBytes(path), "after");

        // The box now in that place answers the next click.
        QTest::mouseClick(PageWidget(), Qt::LeftButton, {}, centre);
        QVERIFY(clicked.wait(PageTimeoutMs));
        m_edit->SaveDocument(path);
        QTEST(ReadBytes(path), "clickedAgain");
    }

    void pasteHtmlReplacesSelection() {
        const QString path = Write("o.htm", Page({}, "old"));
        QVERIFY(Load(path));
        QVERIFY(StartEditing());
        QVERIFY(SelectFirstLine());
        QVERIFY(m_edit->PasteHtml("<strong>new</strong>"));
        const QString html = m_edit->DocumentHtml();
        QVERIFY2(html.contains("<strong>new</strong>") && !html.contains("old"), qPrintable(html));
    }

    void cutAndPaste() {
        const QString path = Write("r.htm", Page({}, "moved"));
        QVERIFY(Load(path));
        QVERIFY(StartEditing());
        QCOMPARE(m_edit->QueryStatus(DECMD_CUT) & 3, OLECMDF_SUPPORTED);
        QVERIFY(SelectFirstLine());
        QCOMPARE(m_edit->QueryStatus(DECMD_CUT) & 3, 3);
        m_edit->ExecCommand(DECMD_CUT);
        QTRY_VERIFY_WITH_TIMEOUT(!m_edit->DocumentHtml().contains("moved"), PageTimeoutMs);
        QCOMPARE(m_edit->QueryStatus(DECMD_PASTE) & 3, 3);
        m_edit->ExecCommand(DECMD_PASTE);
        m_edit->ExecCommand(DECMD_PASTE);
        QTRY_VERIFY_WITH_TIMEOUT(m_edit->DocumentHtml().contains("movedmoved"), PageTimeoutMs);
    }

    void savesAfterHideForClose() {
        const QString path = Write("p.htm", Page({}, "text"));
        QVERIFY(Load(path));
        QVERIFY(StartEditing());
        QVERIFY(m_edit->PasteHtml("typed "));
        m_edit->HideForClose();
        m_edit->SaveDocument(path);
        QVERIFY(ReadBytes(path).contains("typed text"));
    }

    // A PDF file holds the page's text, not pictures of it, and stays small.
    void printsToPdfWithText() {
        QByteArray body;
        for (int i = 0; i < 160; ++i)
            body += "<p>line " + QByteArray::number(i) + " \xB0\xA1\xB3\xAA\xB4\xD9 print me</p>";
        const QString path = Write("q.htm", Page(EucKrMeta, body));
        QVERIFY(Load(path));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        const QString pdf = m_dir.filePath("out.pdf");
        printer.setOutputFileName(pdf);
        QSignalSpy finished(m_edit.get(), &TqbDhtmlEdit::PrintFinished);
        m_edit->PrintDocument(&printer);
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.first().first().toBool(), true);
        const QByteArray bytes = ReadBytes(pdf);
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY2(bytes.size() < 1024 * 1024, QByteArray::number(bytes.size()));

        const QString text = PdfText(pdf);
        QVERIFY2(text.contains("line 0 " + QString::fromUtf8(Utf8Text) + " print me"),
                 qPrintable(text.left(300)));
        QVERIFY(text.contains("line 159 "));
        const int pages = int(text.count(u'\f'));
        QVERIFY2(pages >= 3 && pages <= 6, qPrintable(QString::number(pages)));
    }

    void pdfThatCannotBeWrittenFails() {
        QVERIFY(Load(Write("q.htm", Page({}, "print me"))));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir.filePath("no such folder/out.pdf"));
        QSignalSpy finished(m_edit.get(), &TqbDhtmlEdit::PrintFinished);
        QSignalSpy failed(m_edit.get(), &TqbDhtmlEdit::PrintFailed);
        m_edit->PrintDocument(&printer);
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.first().first().toBool(), false);
        QCOMPARE(failed.size(), 1);
        QVERIFY(!failed.first().first().toString().isEmpty());
    }

    // Fonts the page asks for but this machine lacks are drawn in their stand-ins, and the page
    // as saved does not change for it.
    void missingPageFontsGetTheirStandIns_data() {
        QTest::addColumn<QString>("pageFont");
        QTest::addColumn<QString>("markup");
        QTest::newRow("verdana in a style") << "verdana" << "style";
        QTest::newRow("Verdana in a style") << "Verdana" << "style";
        QTest::newRow("Tahoma as a face") << "Tahoma" << "face";
        QTest::newRow("굴림체 as a face") << "굴림체" << "face";
        QTest::newRow("바탕 in a style") << "바탕" << "style";
        QTest::newRow("BatangChe in a style") << "BatangChe" << "style";
    }
    void missingPageFontsGetTheirStandIns() {
        QFETCH(QString, pageFont);
        QFETCH(QString, markup);
        const QString standIn =
            qbPageFonts::Substitute(pageFont, qbPageFonts::InstalledFamilies());
        QVERIFY2(!standIn.isEmpty(), "the set-up script installs a face of each kind");
        const QString sample = QStringLiteral("Hamburgefonstiv 0123 가나다라마바사");
        const QString asked = markup == u"style"
                                  ? QStringLiteral("<span id=asked style=\"font-family: '%1'\">%2</span>")
                                  : QStringLiteral("<font id=asked face=\"%1\">%2</font>");
        const QString html =
            QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><p>") +
            asked.arg(pageFont, sample) +
            QStringLiteral("</p><p><span id=standin style=\"font-family: '%1'\">%2</span></p>"
                           "<p><span id=plain>%2</span></p></body></html>")
                .arg(standIn, sample);
        const QString path = Write("fonts.htm", html.toUtf8());
        QVERIFY(Load(path));
        const auto width = [this](const char* id) {
            return AskPage(QStringLiteral("document.getElementById('%1').getBoundingClientRect()"
                                          ".width")
                               .arg(QLatin1String(id)))
                .toDouble();
        };
        QTRY_COMPARE_WITH_TIMEOUT(width("asked"), width("standin"), PageTimeoutMs);
        QVERIFY(width("standin") != width("plain"));
        const QString saved = m_edit->DocumentHtml();
        QVERIFY(!saved.contains("local(") && !saved.contains("font-face"));
    }
};

QTEST_MAIN(TestDhtmlEdit)
#include "tst_DhtmlEdit.moc"
