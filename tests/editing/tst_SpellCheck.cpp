// The engine's spell checker in the editor: what it reports for a clicked word in each
// language, the user's words across a restart of the engine, and pages left as they were.
#include "editing/qbSpellCheck.h"
#include "platform/qbError.h"
#include "qbEditorFixture.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QMenu>
#include <QWebEngineProfile>

class TestSpellCheck : public QObject, protected TqbEditorFixture {
    Q_OBJECT

    QTemporaryDir m_settings;
    TqbSpellCheck* m_spell = nullptr;

    QString UserFile() const { return m_settings.filePath(QStringLiteral("words.txt")); }

    // Right-clicks the element and gives what the engine said of the word under it.
    QStringList ClickWord(const QString& id, bool closeMenu = true) {
        const QVariantList box =
            AskPage(
                QStringLiteral("(function(){var r=document.getElementById('%1')"
                               ".getBoundingClientRect();return [r.left+4, r.top+r.height/2];})()")
                    .arg(id))
                .toList();
        const QPoint at(box.value(0).toInt(), box.value(1).toInt());
        QSignalSpy shown(m_edit.get(), &TqbDhtmlEdit::ContextMenuShown);
        QTest::mouseClick(PageWidget(), Qt::RightButton, {}, at);
        if (!shown.wait(PageTimeoutMs))
            return {QStringLiteral("no menu")};
        if (QWidget* popup = QApplication::activePopupWidget(); popup && closeMenu)
            popup->close();
        return QStringList{shown.at(0).at(0).toString()} + shown.at(0).at(1).toStringList();
    }

    // The engine checks an edited page in the background: the first word is underlined once
    // its report comes.
    bool WaitForCheck() {
        return QTest::qWaitFor(
            [this] { return ClickWord(QStringLiteral("w0")).first() == QLatin1String("teh"); },
            PageTimeoutMs);
    }

    bool OpenForEditing(const QByteArray& body) {
        return LoadForEditing(Write(QStringLiteral("note.htm"),
                                    "<html><body><p id=w0>teh</p>" + body + "</body></html>"));
    }

private slots:
    void initTestCase() {
        m_spell = TqbSpellCheck::For(TqbDhtmlEdit::EngineProfile());
        if (!m_spell->Available())
            QSKIP("no spelling dictionaries were built");
        QCOMPARE(m_spell->Languages(), (QStringList{"en-US", "ko-KR"}));
        // A word added in an earlier run: the engine, starting now, must know it.
        TqbUserDictionary(UserFile()).Add(QStringLiteral("qbnivora"));
        m_spell->SetUserDictionary(UserFile());
    }

    void init() { QVERIFY(ShowEditor()); }
    void cleanup() { m_edit.reset(); }

    void clickedWord_data() {
        QTest::addColumn<QByteArray>("word");
        QTest::addColumn<QStringList>("report"); // the word, then the suggestions
        QTest::newRow("English") << QByteArray("wrok")
                                 << QStringList{"wrok", "work", "wok", "grok"};
        QTest::newRow("Korean") << QByteArray("됬다")
                                << QStringList{"됬다", "됐다", "되다", "뎄다", "댔다", "뒀다"};
        QTest::newRow("Korean, no suggestion") << QByteArray("맞춤뻡") << QStringList{"맞춤뻡"};
        QTest::newRow("Korean, right") << QByteArray("맞춤법") << QStringList{""};
        QTest::newRow("the user's word") << QByteArray("qbnivora") << QStringList{""};
    }
    void clickedWord() {
        QFETCH(QByteArray, word);
        QFETCH(QStringList, report);
        QVERIFY(OpenForEditing("<p id=w1>" + word + "</p>"));
        QVERIFY(WaitForCheck());
        QCOMPARE(ClickWord(QStringLiteral("w1")), report);
    }

    // The menu puts the suggestions first; one chosen takes the word's place as typing would.
    void suggestionChosen_data() {
        QTest::addColumn<QByteArray>("word");
        QTest::addColumn<QStringList>("menu");
        QTest::addColumn<QString>("chosen");
        const QStringList common = {"사전에 추가", "",     "실행 취소", "다시 실행", "",
                                    "잘라내기",    "복사", "붙여넣기",  "",          "모두 선택"};
        QTest::newRow("English") << QByteArray("teh")
                                 << QStringList{"the", "eh", "teth", "tech", "tee"} + common
                                 << "the";
        QTest::newRow("Korean") << QByteArray("됬다")
                                << QStringList{"됐다", "되다", "뎄다", "댔다", "뒀다"} + common
                                << "됐다";
    }
    void suggestionChosen() {
        QFETCH(QByteArray, word);
        QFETCH(QStringList, menu);
        QFETCH(QString, chosen);
        QVERIFY(OpenForEditing("<p id=w1>" + word + "</p>"));
        QVERIFY(WaitForCheck());
        const QString before = m_edit->DocumentHtml();
        ClickWord(QStringLiteral("w1"), false);
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(popup);
        QStringList texts;
        for (QAction* action : popup->actions())
            texts << action->text();
        QCOMPARE(texts, menu);
        QSignalSpy changed(m_edit.get(), &TqbDhtmlEdit::ContentChanged);
        popup->actions().first()->trigger();
        popup->close();
        QVERIFY(changed.wait(PageTimeoutMs));
        const QString clicked = QStringLiteral("<p id=\"w1\">");
        QCOMPARE(m_edit->DocumentHtml(),
                 QString(before).replace(clicked + QString::fromUtf8(word), clicked + chosen));
    }

    // Paragraphs as the engine divides the text, measured in the page's markup.
    void longestParagraph_data() {
        QTest::addColumn<QString>("html");
        QTest::addColumn<int>("chars");
        QTest::newRow("paragraphs") << "<p>abc</p><p>de</p>" << 3;
        QTest::newRow("a line break ends one") << "<P>ab<BR>cde" << 3;
        QTest::newRow("inline elements do not") << "<p>a<b>bc</b><span>d</span></p>" << 4;
        QTest::newRow("line ends of the source do not") << "<p>ab\ncd</p>" << 5;
        QTest::newRow("line ends of a pre do") << "<pre>ab\ncde</pre>x" << 3;
        QTest::newRow("comment") << "<p>a<!-- <p> comment --></p>" << 1;
        QTest::newRow("script and style") << "<style>p{}</style><SCRIPT>var x;</script><p>ab" << 2;
    }
    void longestParagraph() {
        QFETCH(QString, html);
        QFETCH(int, chars);
        QCOMPARE(TqbSpellCheck::LongestParagraph(html), chars);
    }

    // The engine checks while an editor edits a page whose paragraphs it checks at typing
    // speed; one with a longer paragraph is left unchecked, or every key would keep the page's
    // process busy and a save wait behind it.
    void checkedOnlyWhereParagraphsAreShort_data() {
        QTest::addColumn<int>("paragraphs");
        QTest::addColumn<int>("chars"); // each
        QTest::addColumn<bool>("checked");
        const int longest = int(TqbSpellCheck::MaxCheckedParagraph);
        QTest::newRow("a note") << 1 << 100 << true;
        QTest::newRow("many paragraphs") << 40 << longest << true;
        QTest::newRow("one paragraph too long to check") << 1 << longest + 1 << false;
    }
    void checkedOnlyWhereParagraphsAreShort() {
        QFETCH(int, paragraphs);
        QFETCH(int, chars);
        QFETCH(bool, checked);
        QVERIFY(OpenForEditing(("<p>" + QByteArray(chars, 'a') + "</p>").repeated(paragraphs)));
        QCOMPARE(m_spell->Active(), checked);
    }

    // Underlines live in the engine only: the text a save writes is the same with them, and
    // browse mode has none.
    void markupUnchanged() {
        QVERIFY(OpenForEditing("<p>맞춤뻡 wrok</p>"));
        m_spell->SetWanted(false);
        const QString plain = m_edit->DocumentHtml();
        m_spell->SetWanted(true);
        QVERIFY(m_spell->Active());
        QVERIFY(WaitForCheck());
        QCOMPARE(m_edit->DocumentHtml(), plain);
        m_edit->SetBrowseMode(true);
        QVERIFY(!m_spell->Active());
        QCOMPARE(ClickWord(QStringLiteral("w0")), QStringList{""});
        QCOMPARE(m_edit->DocumentHtml(), plain);
    }

    void addedWordKept_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("taken");
        QTest::newRow("new") << QStringLiteral("wrok") << true;
        QTest::newRow("known") << QStringLiteral("qbnivora") << false;
        QTest::newRow("two words") << QStringLiteral("a b") << false;
        QTest::newRow("too long") << QString(100, u'a') << false;
    }
    void addedWordKept() {
        QFETCH(QString, word);
        QFETCH(bool, taken);
        const QStringList before = TqbUserDictionary(UserFile()).Words();
        try {
            m_spell->AddWord(word);
        } catch (const EqbError&) {
        }
        const QStringList words = before + (taken ? QStringList{word} : QStringList{});
        // What the next run reads: the list, and the engine's own copy with its checksum.
        QCOMPARE(TqbUserDictionary(UserFile()).Words(), words);
        QByteArray lines;
        for (const QString& each : words)
            lines += each.toUtf8() + '\n';
        const QString engineFile = TqbUserDictionary::EngineFileName(
            TqbDhtmlEdit::EngineProfile()->persistentStoragePath());
        QCOMPARE(ReadBytes(engineFile),
                 lines + "checksum_v1 = " +
                     QCryptographicHash::hash(lines, QCryptographicHash::Md5).toHex());
    }

    // What the user wrote into the file by hand stays, even what the list does not take.
    void handEditedFileKept_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("a line of two words")
            << QByteArray("a b\nqbx\n") << QStringList{"qbx", "new"}
            << QByteArray("a b\nqbx\nnew\n");
        QTest::newRow("no last line end")
            << QByteArray("qbx") << QStringList{"qbx", "new"} << QByteArray("qbx\nnew\n");
    }
    void handEditedFileKept() {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, words);
        QFETCH(QByteArray, after);
        const QString path = Write(QStringLiteral("hand.txt"), before);
        TqbUserDictionary dictionary(path);
        QVERIFY(dictionary.Add(QStringLiteral("new")));
        QCOMPARE(dictionary.Words(), words);
        QCOMPARE(ReadBytes(path), after);
    }
};

int main(int argc, char* argv[]) {
    // The engine's storage (where its copy of the user's words goes) in a folder of the test's.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    QApplication app(argc, argv);
    TestSpellCheck test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_SpellCheck.moc"
