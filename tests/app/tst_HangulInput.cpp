// Korean typed through a real input method: ibus with its Hangul engine on a private X server,
// keys sent as the keyboard sends them. "gksrmf" composes "한글"; the key filter must neither
// break the composition nor lose the syllable still being composed when a command comes.
#include "app/main.h"
#include "app/qbAppMessageFilter.h"
#include "app/qbApplication.h"
#include "common/qbDialogAnswerer.h"
#include "common/qbWindowFixture.h"
#include "common/qbXvfb.h"
#include "platform/qbPageCodec.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace {

constexpr int SetUpMs = 30000;
const QByteArray HangeulCp949 = "\xC7\xD1\xB1\xDB"; // "한글"

bool RunOnce(const QString& program, const QStringList& args) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, args);
    return process.waitForFinished(SetUpMs) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// Runs until it succeeds or the time is up: the daemon and its parts come up in their own time.
bool Retry(const QString& program, const QStringList& args) {
    const QDeadlineTimer deadline(SetUpMs);
    while (!deadline.hasExpired()) {
        if (RunOnce(program, args))
            return true;
        QThread::msleep(100);
    }
    return false;
}

// An X server with an ibus daemon whose Hangul engine starts in Hangul mode, set up before the
// application object so that Qt's ibus input context finds it. Problem() says what is missing.
class THangulSession {
public:
    THangulSession() { m_problem = Start(); }
    ~THangulSession() {
        StopProcess(m_daemon);
        StopProcess(m_windowManager);
    }
    QString Problem() const { return m_problem; }

private:
    QString Start() {
        const QString plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                               "/platforminputcontexts/libibusplatforminputcontextplugin.so";
        if (!QFile::exists(plugin))
            return "Qt's ibus input context plugin is missing: " + plugin;
        for (const char* program : {"Xvfb", "ibus-daemon", "ibus", "xdotool", "gsettings"})
            if (QStandardPaths::findExecutable(program).isEmpty())
                return QString("%1 is missing").arg(program);
        for (const char* part : {"/usr/libexec/ibus-engine-hangul", "/usr/libexec/ibus-memconf"})
            if (!QFile::exists(part))
                return QString("%1 is missing (packages ibus, ibus-hangul)").arg(part);
        if (!m_home.isValid() || !m_xvfb.Start())
            return "Xvfb did not start";
        qputenv("DISPLAY", m_xvfb.Display().toLatin1());
        // A window manager, as a user has: it gives the window back the keys when a dialog
        // closes.
        for (const char* program : {"openbox", "xprop", "sh"})
            if (QStandardPaths::findExecutable(program).isEmpty())
                return QString("%1 is missing").arg(program);
        m_windowManager.setStandardOutputFile(QProcess::nullDevice());
        m_windowManager.setStandardErrorFile(QProcess::nullDevice());
        m_windowManager.start("openbox", {"--sm-disable"});
        if (!m_windowManager.waitForStarted(SetUpMs) ||
            !Retry("sh", {"-c", "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"}))
            return "the window manager did not start";
        qputenv("XDG_CONFIG_HOME", m_home.filePath("config").toLocal8Bit());
        qputenv("XDG_CACHE_HOME", m_home.filePath("cache").toLocal8Bit());
        qunsetenv("IBUS_ADDRESS");
        // The engine's settings in a file of the test's own, so it starts in Hangul mode.
        qputenv("GSETTINGS_BACKEND", "keyfile");
        if (!RunOnce("gsettings",
                     {"set", "org.freedesktop.ibus.engine.hangul", "initial-input-mode", "hangul"}))
            return "the Hangul engine's starting mode could not be set";
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("QT_IM_MODULE", "ibus");

        m_daemon.setStandardOutputFile(QProcess::nullDevice());
        m_daemon.setStandardErrorFile(QProcess::nullDevice());
        m_daemon.start("ibus-daemon", {"--panel=disable", "--emoji-extension=disable",
                                       "--config=/usr/libexec/ibus-memconf"});
        if (!m_daemon.waitForStarted(SetUpMs))
            return "ibus-daemon did not start";
        const QString address = Address();
        if (address.isEmpty())
            return "ibus-daemon did not publish its address";
        if (!Retry("ibus", {"engine", "hangul"}))
            return "the ibus Hangul engine did not start";
        return {};
    }

    QString Address() {
        const QDir bus(m_home.filePath("config/ibus/bus"));
        const QDeadlineTimer deadline(SetUpMs);
        while (!deadline.hasExpired()) {
            for (const QString& name : bus.entryList(QDir::Files)) {
                QFile file(bus.filePath(name));
                if (!file.open(QIODevice::ReadOnly))
                    continue;
                for (const QByteArray& line : file.readAll().split('\n'))
                    if (line.startsWith("IBUS_ADDRESS="))
                        return QString::fromLocal8Bit(line.mid(13));
            }
            QThread::msleep(50);
        }
        return {};
    }

    QTemporaryDir m_home;
    TqbXvfb m_xvfb;
    QProcess m_daemon;
    QProcess m_windowManager;
    QString m_problem;
};

THangulSession* g_session = nullptr;

} // namespace

class TestHangulInput : public QObject {
    Q_OBJECT

    TqbWindowFixture F;

    // Keys as the keyboard sends them (xdotool key names), one after the other, or another
    // xdotool command; returns once xdotool is done.
    void Type(const QStringList& keys, bool areKeys = true, int delayMs = 60) {
        QProcess xdotool;
        QSignalSpy finished(&xdotool, &QProcess::finished);
        const QStringList key = {"key", "--delay", QString::number(delayMs)};
        xdotool.start("xdotool", areKeys ? key + keys : keys);
        QVERIFY(finished.wait(60000));
        QCOMPARE(xdotool.exitCode(), 0);
    }

    void Focus(QWidget* widget) {
        widget->setFocus();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), widget,
                                  TqbWindowFixture::PageTimeoutMs);
    }

    // A script's answer from the open page (in the editor's own world).
    QVariant AskPage(const QString& script) {
        auto* page = F.Window->Dhtml()->findChild<QWebEnginePage*>();
        QVariant answer;
        bool done = false;
        page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& value) {
            answer = value;
            done = true;
        });
        [&] { QTRY_VERIFY_WITH_TIMEOUT(done, TqbWindowFixture::PageTimeoutMs); }();
        return answer;
    }

    // Where the element's text ends (or starts), on the screen.
    QPoint ScreenPointIn(const QString& selector, bool atEnd) {
        const QVariantList box =
            AskPage(QString("(function () { const r = document.querySelector('%1')"
                            ".getBoundingClientRect(); return [r.left, r.top, r.width, r.height];"
                            " })()")
                        .arg(selector))
                .toList();
        const int x = int(box.value(0).toDouble() + (atEnd ? box.value(2).toDouble() - 3 : 3));
        const int y = int(box.value(1).toDouble() + box.value(3).toDouble() / 2);
        return F.PageWidget()->mapToGlobal(QPoint(x, y));
    }

    void ClickAt(const QPoint& where) {
        Type({"mousemove", QString::number(where.x()), QString::number(where.y()), "click", "1"},
             false);
    }

    // Ctrl+S from the keyboard: it reaches the window only after everything the input method
    // had to say, so what the note holds afterwards is all that was typed. The body as saved.
    QString SaveAndReadBody() {
        const QByteArray before = ReadBytes(F.Lib("노트.htm"));
        Type({"ctrl+s"});
        [&] {
            QTRY_VERIFY_WITH_TIMEOUT(ReadBytes(F.Lib("노트.htm")) != before,
                                     TqbWindowFixture::PageTimeoutMs);
        }();
        const QString page = qbPageCodec::Read(F.Lib("노트.htm")).Text;
        const qsizetype start = page.indexOf(u'>', page.indexOf("<body", 0, Qt::CaseInsensitive));
        const qsizetype end = page.lastIndexOf("</body>", -1, Qt::CaseInsensitive);
        return page.mid(start + 1, end - start - 1).trimmed();
    }

    // Edit or source mode, with the focus where that mode types.
    void TypeInMode(TqbViewMode mode) {
        F.EnterMode(mode);
        if (mode == TqbViewMode::Edit) {
            F.Window->Dhtml()->FocusAtStart();
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), F.PageWidget(),
                                      TqbWindowFixture::PageTimeoutMs);
        } else {
            Focus(F.Window->RchDhtml());
        }
    }

private slots:
    void init() {
        if (!g_session->Problem().isEmpty())
            QSKIP(qPrintable(g_session->Problem()));
        F.Open([](TqbWindowFixture& f) {
            WriteBytes(f.Lib("노트.htm"), "<HTML><BODY><DIV>text</DIV></BODY></HTML>\r\n");
            WriteBytes(f.Lib("둘째.htm"), "<HTML><BODY><DIV>two</DIV></BODY></HTML>\r\n");
        });
        F.Select("노트");
        F.Window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(F.Window.get()));
    }
    void cleanup() { F.Close(); }

    // Ctrl+S right after the last key: the syllable still being composed reaches the file.
    void composedTextReachesTheFile_data() {
        QTest::addColumn<TqbViewMode>("mode");
        QTest::newRow("editor") << TqbViewMode::Edit;
        QTest::newRow("source view") << TqbViewMode::Source;
    }
    void composedTextReachesTheFile() {
        QFETCH(TqbViewMode, mode);
        TypeInMode(mode);
        Type({"g", "k", "s", "r", "m", "f", "ctrl+s"});
        QTRY_VERIFY_WITH_TIMEOUT(ReadBytes(F.Lib("노트.htm")).contains(HangeulCp949),
                                 TqbWindowFixture::PageTimeoutMs);
    }

    // A click while "글" is still being composed: on another note (the focus moves), or on the
    // save button (it does not). The syllable goes in before the note is written.
    void composedTextSurvivesAClick_data() {
        QTest::addColumn<TqbViewMode>("mode");
        QTest::addColumn<QString>("target");
        for (const TqbViewMode mode : {TqbViewMode::Edit, TqbViewMode::Source})
            for (const char* target : {"another note", "save button"})
                QTest::addRow("%s, %s", mode == TqbViewMode::Edit ? "editor" : "source view",
                              target)
                    << mode << QString(target);
    }
    void composedTextSurvivesAClick() {
        QFETCH(TqbViewMode, mode);
        QFETCH(QString, target);
        TypeInMode(mode);
        Type({"g", "k", "s", "r", "m", "f"});
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->MessageFilter()->CompositionText(), QString("글"),
                                  TqbWindowFixture::PageTimeoutMs);
        const QPersistentModelIndex other = F.Node("둘째");
        QPoint where;
        if (target == "another note") {
            where = F.Tree()->viewport()->mapToGlobal(F.Tree()->visualRect(other).center());
        } else {
            QAction* save = F.Window->Action("actFileSave");
            QTRY_VERIFY_WITH_TIMEOUT(save->isEnabled(), TqbWindowFixture::PageTimeoutMs);
            QWidget* button = F.Window->findChild<QToolBar*>("TBToolbar1")->widgetForAction(save);
            where = button->mapToGlobal(button->rect().center());
        }
        Type({"mousemove", QString::number(where.x()), QString::number(where.y()), "click", "1"},
             false);
        if (target == "another note")
            QTRY_COMPARE_WITH_TIMEOUT(F.Tree()->currentIndex(), QModelIndex(other),
                                      TqbWindowFixture::PageTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(ReadBytes(F.Lib("노트.htm")).contains(HangeulCp949),
                                 TqbWindowFixture::PageTimeoutMs);
    }

    // The composition ends once, where it was composed, whatever click ends it.
    void aClickEndsTheCompositionOnce_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("start"); // where typing starts: the body's start, or a click
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("body");
        const QByteArray lines = "<DIV>text</DIV><DIV>two</DIV>";
        const QString typed = "<div>시험문장text</div><div>two</div>";
        QTest::newRow("in the text") << lines << ""
                                     << "div:nth-of-type(2)" << typed;
        QTest::newRow("bold button") << lines << ""
                                     << "bold" << typed;
        QTest::newRow("next table cell")
            << QByteArray("<TABLE><TR><TD>a</TD><TD>b</TD></TR></TABLE>") << "td"
            << "td:nth-of-type(2)"
            << "<table><tbody><tr><td>a시험문장</td><td>b</td></tr></tbody></table>";
    }
    void aClickEndsTheCompositionOnce() {
        QFETCH(QByteArray, page);
        QFETCH(QString, start);
        QFETCH(QString, target);
        QFETCH(QString, body);
        WriteBytes(F.Lib("노트.htm"), "<HTML><BODY>" + page + "</BODY></HTML>\r\n");
        F.Window->OpenCurrentNote();
        F.WaitForPage();
        TypeInMode(TqbViewMode::Edit);
        if (!start.isEmpty())
            ClickAt(ScreenPointIn(start, true));
        Type({"t", "l", "g", "j", "a", "a", "n", "s", "w", "k", "d"});
        // The input method has taken every key: the last syllable is still composed (on a busy
        // machine ibus may have taken it off the screen, holding it still).
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->MessageFilter()->PendingSyllable(), QString("장"),
                                  TqbWindowFixture::PageTimeoutMs);
        if (target == "bold") {
            QAction* bold = F.Window->Action("actBold");
            QWidget* button = nullptr;
            for (QToolBar* bar : F.Window->findChildren<QToolBar*>())
                if (!button)
                    button = bar->widgetForAction(bold);
            QVERIFY(button);
            ClickAt(button->mapToGlobal(button->rect().center()));
        } else {
            ClickAt(ScreenPointIn(target, true));
        }
        QCOMPARE(SaveAndReadBody(), body);
    }

    // Typed into at once after another note is chosen in the tree, while it loads: a big note
    // comes in a page process and widget of its own, and the engine ends compositions as it
    // loads. Every syllable lands in the chosen note once, the one typed across the switch too.
    void typingWhileTheNextNoteLoads_data() {
        QTest::addColumn<bool>("toBig");  // from the small note to a big one, or back
        QTest::addColumn<int>("delayMs"); // between keys
        for (const int delay : {60, 150, 300})
            QTest::addRow("small to big, %d ms apart", delay) << true << delay;
        QTest::addRow("big to small") << false << 60;
    }
    void typingWhileTheNextNoteLoads() {
        QFETCH(bool, toBig);
        QFETCH(int, delayMs);
        QString lines;
        for (int i = 0; lines.size() < 2'200'000; ++i)
            lines += QString("<div>line %1</div>").arg(i);
        WriteBytes(F.Lib("둘째.htm"), "<html><body>" + lines.toLatin1() + "</body></html>\r\n");
        if (!toBig) {
            F.Select("둘째");
            F.WaitForPage();
        }
        const QString next = toBig ? F.Lib("둘째.htm") : F.Lib("노트.htm");
        TypeInMode(TqbViewMode::Edit);
        const QPersistentModelIndex item = F.Node(toBig ? "둘째" : "노트");
        ClickAt(F.Tree()->viewport()->mapToGlobal(F.Tree()->visualRect(item).center()));
        Type({"g", "k", "s", "r", "m", "f"}, true, delayMs);
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->OpenNote()->Path(), next,
                                  TqbWindowFixture::PageTimeoutMs);
        F.WaitForPage();
        const QByteArray before = ReadBytes(next);
        Type({"ctrl+s"});
        QTRY_VERIFY_WITH_TIMEOUT(ReadBytes(next) != before, TqbWindowFixture::PageTimeoutMs);
        const QString page = qbPageCodec::Read(next).Text;
        const qsizetype start = page.indexOf(u'>', page.indexOf("<body", 0, Qt::CaseInsensitive));
        const qsizetype end = page.lastIndexOf("</body>", -1, Qt::CaseInsensitive);
        QCOMPARE(page.mid(start + 1, end - start - 1).trimmed(),
                 toBig ? QString(lines).insert(5, QStringLiteral("한글"))
                       : QStringLiteral("<div>한글text</div>"));
    }

    // A new note from the blank template, typed into at once: every key and every space lands.
    void aNewNoteKeepsEveryKey_data() {
        QTest::addColumn<bool>("fromPage"); // Ctrl+Insert typed in the open note, or in the tree
        QTest::addColumn<bool>("click");    // into the page first, or straight away
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("withEnter"); // typed on from the Enter that names the note
        const QStringList korean = QString("q h r h t j space w k r t j d").split(' ');
        const QStringList digits = QString("1 2 space 3 4").split(' ');
        // The template's first line is an empty block, which holds no caret: typing goes before it.
        // (Korean typed within milliseconds of the page taking the focus may reach the page before
        // the input method has heard of it: a user clicks into the page first.)
        QTest::newRow("Korean words after a click")
            << false << true << korean << "보고서 작성<div></div>" << false;
        QTest::newRow("digits") << false << false << digits << "12 34<div></div>" << false;
        QTest::newRow("digits after a click")
            << false << true << digits << "12 34<div></div>" << false;
        // The page is offered Ctrl+Insert as its own copy key, though the window takes it.
        QTest::newRow("digits, made from the page")
            << true << false << digits << "12 34<div></div>" << false;
        QTest::newRow("Korean words, made from the page")
            << true << false << korean << "보고서 작성<div></div>" << false;
        // Typed while the page loads: the page between documents takes no text, and the input
        // method must not let the keys through uncomposed.
        QTest::newRow("digits with the Enter")
            << false << false << digits << "12 34<div></div>" << true;
    }
    void aNewNoteKeepsEveryKey() {
        QFETCH(bool, fromPage);
        QFETCH(bool, click);
        QFETCH(QStringList, keys);
        QFETCH(QString, body);
        QFETCH(bool, withEnter);
        QProcess opener;
        QProcess enter;
        QSignalSpy entered(&enter, &QProcess::finished);
        bool accepted = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            auto* name = dialog ? dialog->findChild<QLineEdit*>("edtName") : nullptr;
            if (!name || accepted || QApplication::focusWidget() != name)
                return;
            accepted = true;
            name->setText("새 노트");
            enter.start("xdotool", QStringList{"key", "--delay", "60", "Return"} +
                                       (withEnter ? keys : QStringList()));
        });
        watch.start(20);
        if (fromPage)
            TypeInMode(TqbViewMode::Edit);
        else
            Focus(F.Tree());
        opener.start("xdotool", {"key", "ctrl+Insert"});
        QTRY_VERIFY_WITH_TIMEOUT(accepted, TqbWindowFixture::PageTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->NoteTree()->OpenPath(), F.Lib("새 노트.htm"),
                                  TqbWindowFixture::PageTimeoutMs);
        watch.stop();
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->ViewMode(), TqbViewMode::Edit,
                                  TqbWindowFixture::PageTimeoutMs);
        F.WaitForPage();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), F.PageWidget(),
                                  TqbWindowFixture::PageTimeoutMs);
        if (click)
            ClickAt(F.PageWidget()->mapToGlobal(QPoint(40, 8)));
        QTRY_VERIFY_WITH_TIMEOUT(!entered.isEmpty(), TqbWindowFixture::PageTimeoutMs);
        if (!withEnter)
            Type(keys);
        const QByteArray before = ReadBytes(F.Lib("새 노트.htm"));
        Type({"ctrl+s"});
        QTRY_VERIFY_WITH_TIMEOUT(ReadBytes(F.Lib("새 노트.htm")) != before,
                                 TqbWindowFixture::PageTimeoutMs);
        const QString page = qbPageCodec::Read(F.Lib("새 노트.htm")).Text;
        const qsizetype start = page.indexOf(u'>', page.indexOf("<body", 0, Qt::CaseInsensitive));
        const qsizetype end = page.lastIndexOf("</body>", -1, Qt::CaseInsensitive);
        QCOMPARE(page.mid(start + 1, end - start - 1).trimmed(), body);
    }

    void composedTextInTheSearchBox() {
        Type({"ctrl+d"});
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->PanelMode(), TqbPanelMode::Search,
                                  TqbWindowFixture::PageTimeoutMs);
        auto* box = F.Window->findChild<QLineEdit*>("edtSearch");
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box,
                                  TqbWindowFixture::PageTimeoutMs);
        // Tab moves on, which ends the composition (Return would start a search).
        Type({"g", "k", "s", "r", "m", "f", "Tab"});
        QTRY_COMPARE_WITH_TIMEOUT(box->text(), QStringLiteral("한글"),
                                  TqbWindowFixture::PageTimeoutMs);
    }

    // The name box of the new-note dialog, opened by Ctrl+Insert from the keyboard. The dialog
    // runs its own loop inside the key's handling, so what follows is driven from a timer.
    void composedTextInTheNameDialog() {
        QProcess opener, typist;
        QString typed;
        bool typing = false, closed = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            auto* name = dialog ? dialog->findChild<QLineEdit*>("edtName") : nullptr;
            if (!name || closed)
                return;
            if (!typing && QApplication::focusWidget() == name) {
                typing = true;
                // Tab moves on from the name box, which ends the composition there.
                typist.start("xdotool",
                             {"key", "--delay", "60", "g", "k", "s", "r", "m", "f", "Tab"});
            }
            typed = name->text();
            // The proposed name is selected: typing replaces it.
            if (typed.endsWith(QStringLiteral("한글"))) {
                closed = true;
                static_cast<QDialog*>(dialog)->reject();
            }
        });
        watch.start(20);
        Focus(F.Tree());
        opener.start("xdotool", {"key", "ctrl+Insert"});
        QTRY_VERIFY_WITH_TIMEOUT(closed, TqbWindowFixture::PageTimeoutMs);
        QCOMPARE(typed, QStringLiteral("한글"));
        typist.waitForFinished(10000);
    }
};

int main(int argc, char* argv[]) {
    THangulSession session;
    g_session = &session;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TqbApplication app(argc, argv);
    TestHangulInput test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_HangulInput.moc"
