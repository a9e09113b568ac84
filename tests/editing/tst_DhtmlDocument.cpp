// The editor never loses or damages a note: what replaces the document, what counts as a
// change, pages that fail or are big, what a page may load, and what a save writes.
#include "editing/qbDhtmlEdit.h"
#include "platform/qbError.h"
#include "qbEditorFixture.h"

#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QtTest>

namespace {

const QByteArray EucKrMeta = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-kr\">";
// "똠가" in code page 949 (an extended syllable, then a KS X 1001 one) and as text.
const QByteArray Cp949TtomGa("\x8C\x63\xB0\xA1");
const QString TtomGa = QStringLiteral("똠가");
const QByteArray Gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00!\xF9\x04\x01\x00\x00"
                     "\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02" "D\x01\x00;",
                     43);

QByteArray Page(const QByteArray& head, const QByteArray& body) {
    return "<html><head>" + head + "</head>\r\n<body>" + body + "</body></html>\r\n";
}

} // namespace

// The save as a test step: its message when it fails.
bool SaveOrSay(TqbDhtmlEdit& edit, const QString& path) {
    try {
        edit.SaveDocument(path);
        return true;
    } catch (const EqbError& error) {
        qWarning("save failed: %s", qPrintable(error.Message()));
        return false;
    }
}

class TestDhtmlDocument : public QObject, protected TqbEditorFixture {
    Q_OBJECT

    QTemporaryDir m_temp; // the system temp folder while these tests run

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid() && m_temp.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
        QCOMPARE(QDir::tempPath(), QDir::cleanPath(m_temp.path()));
    }
    void init() { QVERIFY(ShowEditor()); }
    void cleanup() { m_edit.reset(); }

    // A note's own refresh never replaces it: the page keeps the note as we decoded it, and the
    // save writes the note's own text.
    void refreshNeverReplacesTheNote_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("reload") << QByteArray("0");
        QTest::newRow("another note") << QByteArray("0;url=other.htm");
        QTest::newRow("a system file") << QByteArray("0; URL='file:///etc/hostname'");
    }
    void refreshNeverReplacesTheNote() {
        QFETCH(QByteArray, content);
        Write("other.htm", Page({}, "other"));
        const QString path = Write("refresh.htm", Page(EucKrMeta + "<meta http-equiv=\"refresh\" content=\"" +
                                                           content + "\">",
                                                       "<div>" + Cp949TtomGa + " note</div>"));
        QList<QWebEngineLoadingInfo::LoadStatus> ends;
        connect(EnginePage(), &QWebEnginePage::loadingChanged, this,
                [&](const QWebEngineLoadingInfo& info) {
                    if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus)
                        ends.append(info.status());
                });
        QVERIFY(LoadForEditing(path));
        // Our load, then the refresh's end: refused, it never succeeds.
        QTRY_VERIFY_WITH_TIMEOUT(ends.size() >= 2, PageTimeoutMs);
        QCOMPARE(ends.first(), QWebEngineLoadingInfo::LoadSucceededStatus);
        QVERIFY(!ends.mid(1).contains(QWebEngineLoadingInfo::LoadSucceededStatus));
        QVERIFY(m_edit->IsDocumentReady());
        QVERIFY(m_edit->DocumentHtml().contains(TtomGa + " note"));
        m_edit->SaveDocument(path);
        const QByteArray saved = ReadBytes(path);
        QVERIFY2(saved.contains(Cp949TtomGa + " note"), saved.constData());
        QVERIFY(!saved.contains(">other<"));
    }

    // Merely opening notes in edit mode is no change; typing is.
    void openingInEditModeIsNoChange_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::newRow("template") << QByteArray(
            "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; charset=euc-kr\">\r\n"
            "</HEAD><BODY>\r\n<DIV>&nbsp;</DIV>\r\n<DIV></DIV></BODY></HTML>\r\n");
        QTest::newRow("empty body") << QByteArray("<html><body></body></html>");
        QTest::newRow("no markup") << QByteArray("just text\r\nand more");
        QTest::newRow("tables and lists")
            << Page({}, "<table><tr><td>a<td>b</table><ul><li>x<li>y</ul><p><p>");
        QTest::newRow("picture and form")
            << Page({}, "<img src=\"missing.png\"><form><input value=\"v\"><textarea>t"
                        "</textarea><select><option>o</select></form>");
        QTest::newRow("pre and styles")
            << Page("<style>div{color:red}</style>", "<pre>\n\nx</pre><div style=\"x\">y</div>");
    }
    void openingInEditModeIsNoChange() {
        QFETCH(QByteArray, page);
        const QString path = Write("viewed.htm", page);
        QSignalSpy changed(m_edit.get(), &TqbDhtmlEdit::ContentChanged);
        QSignalSpy keyUp(m_edit.get(), &TqbDhtmlEdit::DocumentKeyUp);
        QVERIFY(LoadForEditing(path));
        // The page reports in order: once a key-up is in, any change before it is too.
        QTest::keyClick(PageWidget(), Qt::Key_Right);
        QVERIFY(keyUp.wait(10000));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(ReadBytes(path), page);
        QTest::keyClicks(PageWidget(), "x");
        QVERIFY(changed.wait(10000));
    }

    // Typing that starts while the next note loads lands in that note, in the order typed.
    void typingWhileLoadingReachesTheNextDocument() {
        const QString first = Write("first.htm", Page({}, "<div>first</div>"));
        const QString second = Write("second.htm", Page({}, "<div>second</div>"));
        QVERIFY(LoadForEditing(first));
        QSignalSpy changed(m_edit.get(), &TqbDhtmlEdit::ContentChanged);
        m_edit->LoadDocument(second);
        m_edit->FocusAtStart();
        QVERIFY(!m_edit->IsDocumentReady());
        QTest::keyClicks(PageWidget(), "typed ");
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("한글"));
        QApplication::sendEvent(PageWidget(), &composed);
        QVERIFY(m_edit->WaitUntilReady(60000));
        QTRY_VERIFY2_WITH_TIMEOUT(m_edit->DocumentHtml().contains(QStringLiteral("typed 한글second")),
                                  qPrintable(m_edit->DocumentHtml()), 20000);
        QVERIFY(changed.count() > 0);
        QCOMPARE(ReadBytes(first), Page({}, "<div>first</div>"));
    }

    // Keys typed while a note loads and keys typed just as it became ready arrive in the order
    // typed, whether the next note comes as data or, being big, from its own address (which
    // brings a new widget for the page: the focus moves to it).
    void typingAcrossALoadKeepsItsOrder_data() {
        QTest::addColumn<int>("kilobytes");
        QTest::newRow("small to small") << 1;
        QTest::newRow("small to big") << 2500;
    }
    void typingAcrossALoadKeepsItsOrder() {
        QFETCH(int, kilobytes);
        const QString small = Write("small.htm", Page({}, "<div>small</div>"));
        QByteArray body = "<div>first</div>\r\n";
        while (body.size() < kilobytes * 1024)
            body += "<div>line of the next note</div>\r\n";
        const QString next = Write("next.htm", Page({}, body));
        m_edit->SetAllowedRoots({m_dir.path()});
        QVERIFY(LoadForEditing(small));
        connect(m_edit.get(), &TqbDhtmlEdit::DocumentComplete, this,
                [this] { QTest::keyClicks(PageWidget(), "NOPQRSTUVWXYZ"); });
        m_edit->LoadDocument(next);
        m_edit->FocusAtStart();
        QTest::keyClicks(PageWidget(), "ABCDEFGHIJKLM");
        QVERIFY(m_edit->WaitUntilReady(60000));
        disconnect(m_edit.get(), &TqbDhtmlEdit::DocumentComplete, this, nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), PageWidget(), PageTimeoutMs);
        // Typed once the note is there: after all the rest.
        QTest::keyClicks(PageWidget(), "!");
        QTRY_COMPARE_WITH_TIMEOUT(
            AskPage("document.body.textContent.trim().split('\\n')[0]").toString(),
            QString("ABCDEFGHIJKLMNOPQRSTUVWXYZ!first"), PageTimeoutMs);
    }

    // A frameset page has no text of its own to edit: keys typed at it (while it loads and
    // after) change nothing.
    void framesetTakesNoTyping() {
        Write("fa.htm", Page({}, "<div>left</div>"));
        Write("fb.htm", Page({}, "<div>right</div>"));
        const QByteArray frames = "<html><frameset cols=\"50%,50%\"><frame src=\"fa.htm\">"
                                  "<frame src=\"fb.htm\"></frameset></html>\r\n";
        const QString path = Write("frames.htm", frames);
        QVERIFY(LoadForEditing(Write("small.htm", Page({}, "<div>small</div>"))));
        m_edit->LoadDocument(path);
        m_edit->FocusAtStart();
        QTest::keyClicks(PageWidget(), "ABC");
        QVERIFY(m_edit->WaitUntilReady(60000));
        QTest::keyClicks(PageWidget(), "XYZ");
        QVERIFY(!m_edit->SelectionState().Editable);
        // The page answers in order: once this is in, the keys have been dealt with.
        const QString html = m_edit->DocumentHtml();
        QVERIFY2(!html.contains("ABC") && !html.contains("XYZ"), qPrintable(html));
        QVERIFY(!m_edit->DocumentChanged()); // so the window's save writes nothing
    }

    // Typed for a document that failed to load: dropped, never written into the next one.
    void typingWhileALoadFailsGoesNowhere() {
        const QString next = Write("next.htm", Page({}, "<div>next</div>"));
        QVERIFY(LoadForEditing(next));
        QSignalSpy failed(m_edit.get(), &TqbDhtmlEdit::DocumentLoadFailed);
        m_edit->LoadDocument(m_dir.filePath("missing.htm"));
        QTest::keyClicks(PageWidget(), "lost");
        QVERIFY(failed.wait(60000));
        QVERIFY(LoadForEditing(next));
        QVERIFY(!m_edit->DocumentHtml().contains("lost"));
    }

    // Links never move the document; in edit mode Ctrl+click follows them.
    void linksInEditMode_data() {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("followed");
        QTest::newRow("click edits") << int(Qt::NoModifier) << false;
        QTest::newRow("ctrl+click follows") << int(Qt::ControlModifier) << true;
    }
    void linksInEditMode() {
        QFETCH(int, modifiers);
        QFETCH(bool, followed);
        const QString path = Write("links/l.htm", Page({}, "<a href=\"../other.htm?a=1\" style=\""
                                                           "display:block;height:300px\">link</a>"));
        QVERIFY(LoadForEditing(path));
        QSignalSpy links(m_edit.get(), &TqbDhtmlEdit::LinkClicked);
        QSignalSpy clicks(m_edit.get(), &TqbDhtmlEdit::DocumentClick);
        QTest::mouseClick(PageWidget(), Qt::LeftButton, Qt::KeyboardModifiers(modifiers),
                          QPoint(40, 40));
        QVERIFY(clicks.wait(10000)); // reported after the link, on the same channel
        // The link is handed on from the event loop, out of the page's message.
        QTRY_COMPARE_WITH_TIMEOUT(links.count(), followed ? 1 : 0, 10000);
        if (followed)
            QCOMPARE(links.first().first().toUrl(),
                     QUrl::fromLocalFile(m_dir.filePath("other.htm")).resolved(QUrl("?a=1")));
        QVERIFY(m_edit->IsDocumentReady());
        QCOMPARE(m_edit->DocumentPath(), path);
    }

    // Whatever fails to load, the editor shows no document and says so.
    void loadFailuresLeaveNoDocument_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << "없는 노트.htm";
        QTest::newRow("a folder") << "폴더.htm/";
    }
    void loadFailuresLeaveNoDocument() {
        QFETCH(QString, name);
        if (name.endsWith('/'))
            QDir(m_dir.path()).mkpath(name);
        const QString before = Write("before.htm", Page({}, "before"));
        QVERIFY(LoadForEditing(before));
        QSignalSpy failed(m_edit.get(), &TqbDhtmlEdit::DocumentLoadFailed);
        const QString path = m_dir.filePath(name.chopped(name.endsWith('/') ? 1 : 0));
        m_edit->LoadDocument(path);
        QVERIFY(failed.wait(10000));
        QVERIFY2(failed.first().first().toString().contains(QFileInfo(path).fileName()),
                 qPrintable(failed.first().first().toString()));
        QVERIFY(!m_edit->IsDocumentReady());
        QVERIFY(m_edit->DocumentPath().isEmpty());
        QVERIFY(!m_edit->WaitUntilReady(10000));
        QVERIFY_THROWS_EXCEPTION(EqbError, m_edit->SaveDocument(before));
        // HTML shown afterwards belongs to no file: still nothing to edit or save.
        m_edit->SetDocumentHtml("<html><body>blank</body></html>");
        QVERIFY(!m_edit->IsDocumentReady());
        QVERIFY(!m_edit->WaitUntilReady(10000));
        QCOMPARE(ReadBytes(before), Page({}, "before"));
    }

    // After ShowNoDocument the page is empty and read-only, and typing goes nowhere.
    void noDocumentTakesNoTyping() {
        const QByteArray page = Page({}, "<div>kept</div>");
        const QString path = Write("gone.htm", page);
        QVERIFY(LoadForEditing(path));
        QSignalSpy loaded(EnginePage(), &QWebEnginePage::loadFinished);
        QSignalSpy changed(m_edit.get(), &TqbDhtmlEdit::ContentChanged);
        m_edit->ShowNoDocument();
        QVERIFY(!m_edit->IsDocumentReady());
        QVERIFY(m_edit->DocumentPath().isEmpty());
        QVERIFY(!m_edit->WaitUntilReady(10000));
        QVERIFY_THROWS_EXCEPTION(EqbError, m_edit->SaveDocument(path));
        // Typed before and after the empty page shows.
        QTest::keyClicks(PageWidget(), "lost");
        QVERIFY(loaded.wait(10000));
        m_edit->FocusAtStart();
        QTest::keyClicks(PageWidget(), "lost");
        QCOMPARE(AskPage("document.designMode + '|' + document.body.innerHTML"), QVariant("off|"));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(ReadBytes(path), page);
    }

    // A save asked for while the page loads can wait for it instead of being dropped.
    void saveWaitsUntilReady() {
        const QString first = Write("w1.htm", Page({}, "first"));
        const QString second = Write("w2.htm", Page(EucKrMeta, Cp949TtomGa));
        QVERIFY(Load(first));
        m_edit->LoadDocument(second);
        QVERIFY(!m_edit->IsDocumentReady());
        QVERIFY_THROWS_EXCEPTION(EqbError, m_edit->SaveDocument(second));
        QVERIFY(m_edit->WaitUntilReady(60000));
        QVERIFY(m_edit->IsDocumentReady());
        m_edit->SaveDocument(second);
        QVERIFY(ReadBytes(second).contains(Cp949TtomGa));
        QCOMPARE(ReadBytes(first), Page({}, "first"));
    }

    // Big notes open, keep their extended syllables and their pictures, take typing, and
    // leave no copy anywhere.
    void bigNotesOpen_data() {
        QTest::addColumn<int>("kilobytes");
        QTest::newRow("600 KB, too big for a data address") << 600;
        QTest::newRow("2.5 MB, over the old limit") << 2500;
    }
    void bigNotesOpen() {
        QFETCH(int, kilobytes);
        Write("big/pic.gif", Gif);
        Write("up.gif", Gif);
        QByteArray body = "<div><img src=\"pic.gif\"><img src=\"../up.gif\"></div>\r\n";
        while (body.size() < kilobytes * 1024)
            body += "<div>" + Cp949TtomGa + " \xC5\xAB \xB3\xEB\xC6\xAE \xC1\xD9</div>\r\n";
        const QString path = Write("big/big.htm", Page(EucKrMeta, body));
        QSignalSpy changed(m_edit.get(), &TqbDhtmlEdit::ContentChanged);
        m_edit->SetAllowedRoots({m_dir.path()});
        QVERIFY(LoadForEditing(path));
        QCOMPARE(AskPage("document.images[0].naturalWidth + ',' + document.images[1].naturalWidth")
                     .toString(),
                 QString("1,1"));
        QVERIFY(m_edit->DocumentHtml().contains(TtomGa));
        QCOMPARE(changed.count(), 0);
        QTest::keyClicks(PageWidget(), "typed");
        QVERIFY(changed.wait(10000));
        m_edit->SaveDocument(path);
        const QByteArray saved = ReadBytes(path);
        QVERIFY(saved.startsWith("<html"));
        QVERIFY(saved.contains(Cp949TtomGa + " \xC5\xAB"));
        QVERIFY(saved.contains("typed"));
        QVERIFY(!saved.contains("&#x"));
        QVERIFY(QDir(m_temp.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QVERIFY(QDir(m_dir.filePath("big")).entryList({".*"}, QDir::AllEntries | QDir::Hidden |
                                                                  QDir::NoDotAndDotDot).isEmpty());
    }

    // A big note of many lines is shown in pieces, but what is saved is the note itself: byte
    // for byte when nothing was changed, whatever the lines hold, and without a trace of the
    // pieces after edits that cross them.
    void bigNoteOfManyLinesSavesAsItCame_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("lines of blocks")
            << QByteArray("<div>" + Cp949TtomGa + " a &amp; b &lt;c&gt;&nbsp;d</div>\r\n");
        QTest::newRow("paragraphs and tables")
            << QByteArray("<p>para <b>bold</b></p><table><tbody><tr><td>cell</td></tr></tbody>"
                          "</table>\r\n");
        QTest::newRow("inline runs between blocks")
            << QByteArray("text <i>run</i><br><div>block</div><!-- note -->\r\n");
        QTest::newRow("pre with a first blank line")
            << QByteArray("<pre>\r\n\r\nfirst</pre>\r\n");
    }
    void bigNoteOfManyLinesSavesAsItCame() {
        QFETCH(QByteArray, line);
        QByteArray body;
        while (body.size() < 2500 * 1024)
            body += line;
        const QByteArray bytes = Page(EucKrMeta, body);
        const QString path = Write("lines.htm", bytes);
        QVERIFY(LoadForEditing(path));
        QVERIFY(AskPage("document.querySelectorAll('qb-chunk').length").toInt() > 1);
        QVERIFY(SaveOrSay(*m_edit, path));
        const QByteArray saved = ReadBytes(path);
        const QByteArray savedBody = saved.mid(saved.indexOf("<body>"));
        QCOMPARE(savedBody.size(), bytes.mid(bytes.indexOf("<body>")).size());
        QVERIFY(savedBody == bytes.mid(bytes.indexOf("<body>")));

        // Lines across the first two pieces centred, and typed over.
        AskPage("var blocks = document.querySelectorAll('body div, body p, body pre');"
                "var range = document.createRange();"
                "range.setStart(blocks[200], 0);"
                "range.setEnd(blocks[300], 0);"
                "getSelection().removeAllRanges(); getSelection().addRange(range); 1");
        try {
            QVERIFY(m_edit->ExecSelectionCommand("JustifyCenter", true));
            QVERIFY(m_edit->PasteHtml("typed"));
        } catch (const EqbError& error) {
            QFAIL(qPrintable(error.Message()));
        }
        QVERIFY(SaveOrSay(*m_edit, path));
        const QByteArray edited = ReadBytes(path);
        QVERIFY(!edited.contains("qb-chunk"));
        QVERIFY(edited.contains("text-align: center") || edited.contains("align=\"center\""));
        QVERIFY(edited.contains("typed"));
    }

    // Ctrl+End reaches the end of a big note, though the pieces before it were never laid out,
    // and a key typed there lands there alone. A note of one <pre> is laid out in pieces of
    // lines too, yet saved as it came.
    void bigNoteTakesKeysAtItsEnd_data() {
        QTest::addColumn<bool>("pre");
        QTest::addColumn<QByteArray>("lineEnd"); // the file's, kept by the save
        QTest::newRow("many lines") << false << QByteArray("\r\n");
        QTest::newRow("one pre") << true << QByteArray("\r\n");
        QTest::newRow("one pre of line feeds") << true << QByteArray("\n");
    }
    void bigNoteTakesKeysAtItsEnd() {
        QFETCH(bool, pre);
        QFETCH(QByteArray, lineEnd);
        // The parser drops one line feed after <pre>.
        QByteArray body = pre ? "<pre>" + lineEnd + lineEnd : "";
        for (int line = 0; body.size() < 2500 * 1024; ++line)
            body += pre ? Cp949TtomGa + " a &amp; b &lt;c&gt; " + QByteArray::number(line) + lineEnd
                        : "<div>" + Cp949TtomGa + " line " + QByteArray::number(line) +
                              "</div>" + lineEnd;
        if (pre)
            body += "</pre>" + lineEnd;
        const QByteArray bytes = Page(EucKrMeta, body).replace("\r\n", lineEnd);
        const QString path = Write("big.htm", bytes);
        QVERIFY(LoadForEditing(path));
        QVERIFY(AskPage(pre ? "document.querySelectorAll('pre > qb-chunk').length"
                            : "document.querySelectorAll('qb-chunk').length")
                    .toInt() > 1);
        QSignalSpy changed(m_edit.get(), &TqbDhtmlEdit::ContentChanged);
        QTest::keyClick(PageWidget(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(PageWidget(), "end");
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 3, PageTimeoutMs);
        QVERIFY(SaveOrSay(*m_edit, path));
        QByteArray expected = bytes;
        expected.insert(expected.lastIndexOf(pre ? lineEnd + "</pre>" : "</div>"), "end");
        QCOMPARE(ReadBytes(path), expected);
    }

    // A table of thousands of rows is shown in parts laid out as they come into view, whose
    // columns line up though later rows are wider, and which meet with the gap there is between
    // rows; it is not edited, and edit mode is refused as it opens. Its markup is still the
    // file's, whole.
    void hugeTableIsShownNotEdited_data() {
        QTest::addColumn<QByteArray>("tableTag");
        QTest::newRow("separate borders") << QByteArray("<table border=\"1\" cellspacing=\"3\">");
        QTest::newRow("collapsed borders")
            << QByteArray("<table border=\"2\" style=\"border-collapse: collapse\">");
    }
    void hugeTableIsShownNotEdited() {
        QFETCH(QByteArray, tableTag);
        QByteArray body = tableTag + "<tbody>";
        for (int row = 0; body.size() < 2500 * 1024; ++row)
            body += "<tr><td>" + Cp949TtomGa + " " + QByteArray::number(row) + "</td><td>" +
                    QByteArray(row < 1000 ? 1 : 1 + row % 40, 'w') + "</td></tr>\r\n";
        body += "</tbody></table>\r\n";
        const QByteArray bytes = Page(EucKrMeta, body);
        const QString path = Write("table.htm", bytes);
        QSignalSpy refused(m_edit.get(), &TqbDhtmlEdit::EditingRefused);
        m_edit->SetBrowseMode(false);
        QVERIFY(Load(path));
        QVERIFY(refused.wait(PageTimeoutMs));
        QCOMPARE(AskPage("document.designMode").toString(), QString("off"));
        QVERIFY(AskPage("document.querySelectorAll('qb-chunk > table').length").toInt() > 1);
        QCOMPARE(AskPage("var tables = document.getElementsByTagName('table');"
                         "var widths = function (table) {"
                         "  return Array.from(table.rows[0].cells, function (cell) {"
                         "    return Math.round(cell.getBoundingClientRect().width); }); };"
                         "JSON.stringify(widths(tables[0])) === "
                         "JSON.stringify(widths(tables[tables.length - 1]))"),
                 QVariant(true));
        const char* gaps =
            "var tables = document.getElementsByTagName('table');"
            "tables[1].rows[0].scrollIntoView();"
            "var gap = function (upper, lower) {"
            "  return lower.getBoundingClientRect().top - upper.getBoundingClientRect().bottom; };"
            "JSON.stringify([gap(tables[0].rows[498], tables[0].rows[499]),"
            "                gap(tables[0].rows[499], tables[1].rows[0])])";
        const QStringList measured = AskPage(gaps).toString().remove('[').remove(']').split(',');
        QCOMPARE(measured.size(), 2);
        QCOMPARE(measured[1], measured[0]);
        QCOMPARE(m_edit->DocumentBytes(), bytes);
    }

    // Saving a big note takes the page longer than a small one: the wait grows with it, and
    // the first save succeeds however short the wait for a small note is.
    void bigNoteSavesDespiteAShortWait() {
        QByteArray body;
        while (body.size() < 2500 * 1024)
            body += "<div>" + Cp949TtomGa + " \xC5\xAB \xB3\xEB\xC6\xAE \xC1\xD9</div>\r\n";
        const QString path = Write("big.htm", Page(EucKrMeta, body));
        QVERIFY(LoadForEditing(path));
        m_edit->SetScriptTimeout(1);
        QVERIFY(m_edit->PasteHtml("typed"));
        m_edit->SaveDocument(path);
        QVERIFY(ReadBytes(path).contains("typed"));
    }

    // Keys typed into a long line keep the page busy laying it out, each for a while, and a
    // save right after waits behind them: a page that keeps reporting is working, so the save
    // waits for it however short the wait for a silent page is, up to a cap. Past the cap the
    // save is refused with a message, the file is untouched, and the text is still there to
    // save once the page is free. The busy page is played by a script that reports every few
    // milliseconds for longer than the wait for a silent page.
    void saveWaitsForAPageThatKeepsReporting_data() {
        QTest::addColumn<int>("busyMs");
        QTest::addColumn<int>("busyLimitMs");
        QTest::newRow("busy within the cap: saved") << 1500 << 60000;
        QTest::newRow("busy past the cap: refused, then saved") << 4000 << 600;
    }
    void saveWaitsForAPageThatKeepsReporting() {
        QFETCH(int, busyMs);
        QFETCH(int, busyLimitMs);
        const QString path = Write("busy.htm", Page(EucKrMeta, "text"));
        QVERIFY(LoadForEditing(path));
        m_edit->SetScriptTimeout(300);
        m_edit->SetBusyPageLimit(busyLimitMs);
        EnginePage()->runJavaScript(
            QString("document.body.append('typed');"
                    "for (var end = Date.now() + %1; Date.now() < end;) {"
                    "  for (var step = Date.now() + 20; Date.now() < step;) {}"
                    "  document.dispatchEvent(new Event('selectionchange'));"
                    "}")
                .arg(busyMs),
            QWebEngineScript::ApplicationWorld);
        if (busyLimitMs < busyMs) {
            QString refusal;
            try {
                m_edit->SaveDocument(path);
            } catch (const EqbError& error) {
                refusal = error.Message();
            }
            QCOMPARE(refusal, QString("편집기가 0.6초 동안 바빠서 응답하지 않았습니다."));
            QCOMPARE(ReadBytes(path), Page(EucKrMeta, "text"));
            m_edit->SetBusyPageLimit(60000);
        }
        QVERIFY(SaveOrSay(*m_edit, path));
        QCOMPARE(ReadBytes(path), Page(EucKrMeta, "text\r\ntyped"));
    }

    // Local files load from the allowed folders and the note's own only; web addresses are not
    // judged here.
    void pagesLoadOnlyAllowedFiles_data() {
        QTest::addColumn<QStringList>("roots"); // below the test folder
        QTest::addColumn<QString>("loaded");
        QTest::newRow("none given: the note's folder") << QStringList() << "1,0,0";
        QTest::newRow("the library") << QStringList{"lib"} << "1,1,0";
        QTest::newRow("library and outside") << QStringList{"lib", "outside"} << "1,1,1";
    }
    void pagesLoadOnlyAllowedFiles() {
        QFETCH(QStringList, roots);
        QFETCH(QString, loaded);
        Write("lib/notes/here.gif", Gif);
        Write("lib/up.gif", Gif);
        Write("outside/there.gif", Gif);
        const QString path =
            Write("lib/notes/n.htm",
                  Page({}, "<img src=\"here.gif\"><img src=\"../up.gif\"><img src=\"" +
                               QUrl::fromLocalFile(m_dir.filePath("outside/there.gif")).toEncoded() +
                               "\"><iframe src=\"file:///etc/passwd\"></iframe>"));
        QStringList folders;
        for (const QString& root : roots)
            folders << m_dir.filePath(root);
        m_edit->SetAllowedRoots(folders);
        QVERIFY(Load(path));
        QCOMPARE(AskPage("Array.prototype.map.call(document.images,"
                         " function (i) { return i.naturalWidth; }).join()")
                     .toString(),
                 loaded);
    }

    // The parser drops a line feed right after <pre>, <textarea> and <listing>, and makes a
    // line feed of a carriage return: the text must still be the same after any number of saves.
    void preformattedTextSurvives_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("selector");
        QTest::addColumn<QString>("start");
        QTest::newRow("pre") << QByteArray("<pre>\r\n\r\nfirst</pre>") << "pre" << "\nfirst";
        QTest::newRow("textarea") << QByteArray("<textarea>\r\n\r\nfirst</textarea>") << "textarea"
                                  << "\nfirst";
        QTest::newRow("listing") << QByteArray("<listing>\r\n\r\nfirst</listing>") << "listing"
                                 << "\nfirst";
        QTest::newRow("deep, with markup and entities")
            << QByteArray("<div id=\"a\"><p>x &amp; y</p><div><pre class=\"c\" title=\"t&quot;\">"
                          "\r\n\r\na &lt; b <b>bold</b>\r\n</pre></div></div><p>after</p>")
            << "pre" << "\na < b bold\n";
        QTest::newRow("carriage return reference")
            << QByteArray("<pre title=\"a&#13;b\">&#13;\r\n&lt;?xml?&gt;</pre>") << "pre"
            << "\r\n<?xml?>";
    }
    void preformattedTextSurvives() {
        QFETCH(QByteArray, body);
        QFETCH(QString, selector);
        QFETCH(QString, start);
        const QString path = Write("pre.htm", Page({}, body));
        const QString ask = "document.querySelector('" + selector + "').textContent + '|' + "
                            "document.querySelector('" + selector + "').title";
        QVERIFY(Load(path));
        const QString shown = AskPage(ask).toString();
        QVERIFY2(shown.startsWith(start), qPrintable(shown));
        const QString html = m_edit->DocumentHtml();
        m_edit->SaveDocument(path);
        QVERIFY(Load(path));
        QCOMPARE(AskPage(ask).toString(), shown);
        QCOMPARE(m_edit->DocumentHtml(), html);
        const QByteArray once = ReadBytes(path);
        m_edit->SaveDocument(path);
        QCOMPARE(ReadBytes(path), once);
    }

    // Some pages declare their charset only in an XML declaration: it stays, and so does the
    // charset.
    void xmlDeclarationStays() {
        const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>";
        const QString path =
            Write("x.htm", declaration + "\r\n<html><body><div>caf\xE9</div></body></html>\r\n");
        QVERIFY(Load(path));
        QCOMPARE(m_edit->DocumentCharset(), QByteArray("windows-1252"));
        m_edit->SaveDocument(path);
        const QByteArray saved = ReadBytes(path);
        QVERIFY2(saved.startsWith(declaration + "\r\n<html>"), saved.constData());
        QVERIFY(saved.contains("caf\xE9"));
    }

    // Bytes that are not valid in the page's charset are shown as U+FFFD, each alone, and the
    // window is told so before it saves.
    // A page that declares UTF-8 but holds CP949, read as CP949 when the user chose so, is
    // saved as its own bytes but for the declaration.
    void decodingErrorsAreTold_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("asCp949");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("errors");
        QTest::newRow("latin-1 in a cp949 note")
            << QByteArray() << QByteArray("G\xF3rny") << false << QStringLiteral("G\uFFFDrny")
            << true;
        QTest::newRow("clean") << QByteArray() << Cp949TtomGa << false << TtomGa << false;
        QTest::newRow("cp949 declared utf-8") << QByteArray(R"(<meta charset="utf-8">)")
                                              << Cp949TtomGa << false
                                              << QStringLiteral("\uFFFDc\uFFFD\uFFFD") << true;
        QTest::newRow("cp949 declared utf-8, read as cp949")
            << QByteArray(R"(<meta charset="utf-8">)") << Cp949TtomGa << true << TtomGa << false;
    }
    void decodingErrorsAreTold() {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, body);
        QFETCH(bool, asCp949);
        QFETCH(QString, text);
        QFETCH(bool, errors);
        const QString path = Write("latin.htm", Page(head, "<div>" + body + "</div>"));
        QVERIFY(Load(path, asCp949));
        QCOMPARE(m_edit->HadDecodingErrors(), errors);
        QVERIFY(m_edit->DocumentHtml().contains("<div>" + text + "</div>"));
        if (!asCp949)
            return;
        m_edit->SaveDocument(path);
        QCOMPARE(ReadBytes(path), Page(R"(<meta charset="euc-kr">)", "<div>" + body + "</div>"));
    }
};

QTEST_MAIN(TestDhtmlDocument)
#include "tst_DhtmlDocument.moc"
