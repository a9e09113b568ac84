// Prints the processor time the idle window costs, the program and the web engine's processes
// together, in each panel: the tree, the search box with its caret, the editor with its caret.
// Each is measured 15 s after the panel was shown, once what showing it started has settled;
// no key is pressed, so the carets have stopped blinking by then, as they do for a user who
// rests. The kernel counts in 10 ms ticks: --seconds 30 gives steadier figures.
//   bench_idle [--seconds N] [--keep-gl]
// --keep-gl leaves the render path as the environment has it, to compare with the chosen one.
#include "app/main.h"
#include "editing/qbDhtmlEdit.h"
#include "library/qbNoteInfo.h"
#include "library/qbTree.h"
#include "platform/qbRenderPath.h"
#include "prjinfo/qbProjectInfo.h"
#include "qbBenchProcesses.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <cstdio>

namespace {

// The event loop as the program runs it: QTest::qWait would wake a hundred times a second.
void Idle(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Processor time over the given seconds, per second of wall time.
double IdleMsPerSecond(int seconds) {
    Idle(15000); // what the last step started settles first
    const double before = qbBench::ProcessorMs();
    QElapsedTimer wall;
    wall.start();
    Idle(seconds * 1000);
    return (qbBench::ProcessorMs() - before) / (wall.elapsed() / 1000.0);
}

void Print(const char* panel, double msPerSecond) {
    std::printf("  %-28s %5.1f ms a second = %4.2f %% of a core (aim: < 1 %%)\n", panel,
                msPerSecond, msPerSecond / 10.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    const QStringList args = [&] {
        QStringList list;
        for (int i = 1; i < argc; ++i)
            list << QString::fromLocal8Bit(argv[i]);
        return list;
    }();
    const qsizetype at = args.indexOf(QStringLiteral("--seconds"));
    const int seconds = at >= 0 ? args.value(at + 1).toInt() : 20;
    const bool keepGl = args.contains(QStringLiteral("--keep-gl"));
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!keepGl)
        qbRenderPath::Apply();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);

    QTemporaryDir dir;
    QDir(dir.path()).mkpath("BookData");
    for (int i = 0; i < 50; ++i) {
        QFile note(dir.filePath(QString("BookData/note%1.htm").arg(i, 2, 10, QChar('0'))));
        note.open(QIODevice::WriteOnly);
        note.write(
            "<HTML><BODY><P>\xEA\xB0\x80\xEB\x82\x98\xEB\x8B\xA4 idle note</P></BODY></HTML>");
    }
    TqbPrjInfo prj("qbNivora", dir.path());
    TqbNoteInfo notes(prj);
    TfrmMainNivora window(prj, notes);
    window.show();
    while (!(window.ViewMode() == TqbViewMode::Browse && window.DocumentReady()))
        QTest::qWait(10);

    std::printf("processor time of the idle window over %d s, program and web engine (%s; "
                "QT_QUICK_BACKEND=%s, engine flags \"%s\"):\n",
                seconds, keepGl ? "render path as the environment has it" : "chosen render path",
                qgetenv("QT_QUICK_BACKEND").isEmpty() ? "(unset)"
                                                      : qgetenv("QT_QUICK_BACKEND").constData(),
                qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").constData());
    window.NoteTree()->setFocus();
    Print("tree, a note in browse mode", IdleMsPerSecond(seconds));

    window.SetPanelMode(TqbPanelMode::Search);
    Print("search box with its caret", IdleMsPerSecond(seconds));

    window.SetPanelMode(TqbPanelMode::Tree);
    while (!window.DocumentReady())
        QTest::qWait(10);
    window.SetViewMode(TqbViewMode::Edit);
    while (!window.DocumentReady())
        QTest::qWait(10);
    window.FocusCurrentView();
    Print("editor with its caret", IdleMsPerSecond(seconds));
    return 0;
}
