// The program's entry: bring the process up in order, or hand over to the running instance.
#include "app/main.h"
#include "app/qbAfterFirstPaint.h"
#include "app/qbApplication.h"
#include "app/qbStartupSteps.h"
#include "controls/qbImageLists.h"
#include "editing/qbDhtmlEdit.h"
#include "editing/qbSpellCheck.h"
#include "library/qbInbox.h"
#include "library/qbNoteInfo.h"
#include "platform/qbLeftovers.h"
#include "platform/qbParticle.h"
#include "platform/qbQtTranslations.h"
#include "platform/qbQuitSignals.h"
#include "platform/qbRenderPath.h"
#include "platform/qbSingleInstance.h"
#include "prjinfo/qbProjectInfo.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// Chromium refuses to run its sandbox as root; a root user still gets a working editor.
void PrepareWebEngineEnvironment() {
#ifdef Q_OS_UNIX
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
}

} // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    const auto given = [argc, argv](const char* option) {
        return std::any_of(argv + 1, argv + argc,
                           [option](const char* arg) { return std::strcmp(arg, option) == 0; });
    };
    const bool quitWhenShown = given("--quit-when-shown");
    const bool quitWhenNoteShown = given("--quit-when-note-shown");
    if (quitWhenShown || quitWhenNoteShown)
        qbStartupSteps::Enable();
    qbStartupSteps::Mark("main entered");
    PrepareWebEngineEnvironment();
    qbRenderPath::Apply();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The program folder is known only once the application object exists.
    TqbApplication app(argc, argv);
    QApplication::setApplicationName("qbNivora");
    // Qt's own buttons and dialogs speak the user's language; the program's texts are its own.
    qbQtTranslations::Install(app, QLocale::system());
    // Task bars and the tray find the program's name and icon through its desktop entry.
    QGuiApplication::setDesktopFileName(TqbPrjInfo::DesktopId());
    QApplication::setWindowIcon(qbAppIcon());
    qbStartupSteps::Mark("application object");

    TqbPrjInfo prjInfo("qbNivora");
    // "--capture TEXT" (or "-" for standard input): the text goes into the inbox note.
    QFile standardInput;
    standardInput.open(stdin, QIODevice::ReadOnly);
    const std::optional<QString> captured = qbInbox::CaptureText(app.arguments(), standardInput);
    TqbSingleInstance instance(TqbSingleInstance::DefaultKey(prjInfo.AppName()));
    if (!instance.IsFirstInstance()) {
        QString problem = instance.HandOver(prjInfo.AppName(),
                                            captured ? TqbSingleInstance::CaptureRequest(*captured)
                                                     : QByteArray("restore"));
        if (!problem.isEmpty()) {
            // The text reached nobody: the user gets it back to keep.
            if (captured) {
                problem += QStringLiteral("\n\n받은 메모에 넣지 못한 글:\n") + *captured;
                std::fprintf(stderr, "%s\n", captured->toUtf8().constData());
            }
            QMessageBox::warning(nullptr, QStringLiteral("Warning"), qbParticle::Resolve(problem));
            return 1;
        }
        return 0;
    }
    // An installed copy's dictionaries are not where the engine looks by itself.
    TqbSpellCheck::PublishDictionaries(prjInfo.SharedDir());
    // What a crash of an earlier run left behind is ours to remove, now that no other run is.
    qbLeftovers::RemoveInTempFolder();
    qbStartupSteps::Mark("single instance checked");

    int rc = 0;
    {
        TqbNoteInfo noteInfo(prjInfo);
        TfrmMainNivora window(prjInfo, noteInfo);
        QObject::connect(&instance, &TqbSingleInstance::RestoreRequest, &window,
                         &TfrmMainNivora::RestoreFromTray);
        QObject::connect(&instance, &TqbSingleInstance::ActivateRequest, &window,
                         &TfrmMainNivora::RestoreFromTray);
        QObject::connect(&instance, &TqbSingleInstance::CaptureRequested, &window,
                         &TfrmMainNivora::Capture);
        // Being told to stop (a shutdown, kill, Ctrl+C) closes as the user would: the note is
        // saved.
        TqbQuitSignals quitSignals;
        QObject::connect(&quitSignals, &TqbQuitSignals::QuitRequested, &window, &QWidget::close);
        // Started for a capture, the program stays in the notification area.
        if (captured) {
            window.HideToTray();
            window.Capture(*captured);
        } else if (prjInfo.StartMaximized())
            window.showMaximized();
        else
            window.show();
        qbStartupSteps::Mark("window built and shown");
        if (qbStartupSteps::Enabled()) {
            new TqbAfterFirstPaint(
                &window,
                [&] {
                    qbStartupSteps::Mark("first paint");
                    std::printf("shown after %lld ms\n",
                                static_cast<long long>(sinceStart.elapsed()));
                    std::fflush(stdout);
                    if (quitWhenShown)
                        window.close();
                },
                -1); // the figure is the paint itself, however late
        }
        if (quitWhenNoteShown) {
            QObject::connect(window.Dhtml(), &TqbDhtmlEdit::DocumentComplete, &window, [&] {
                QTimer::singleShot(0, &window, [&] {
                    qbStartupSteps::Mark("first note's text");
                    window.close();
                });
            });
        }
        rc = app.exec();
    }
    return rc;
}
