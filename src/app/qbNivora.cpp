// The program's entry: bring the process up in order, or hand over to the running instance.
#include "app/main.h"
#include "app/qbApplication.h"
#include "controls/qbImageLists.h"
#include "editing/qbSpellCheck.h"
#include "platform/qbLeftovers.h"
#include "platform/qbQtTranslations.h"
#include "platform/qbQuitSignals.h"
#include "library/qbNoteInfo.h"
#include "prjinfo/qbProjectInfo.h"
#include "platform/qbSingleInstance.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <memory>

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
    PrepareWebEngineEnvironment();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The program folder is known only once the application object exists.
    TqbApplication app(argc, argv);
    QApplication::setApplicationName("qbNivora");
    // Qt's own buttons and dialogs speak the user's language; the program's texts are its own.
    qbQtTranslations::Install(app, QLocale::system());
    // Task bars and the tray find the program's name and icon through its desktop entry.
    QGuiApplication::setDesktopFileName(TqbPrjInfo::DesktopId());
    QApplication::setWindowIcon(qbAppIcon());
    const bool quitWhenShown = app.arguments().contains("--quit-when-shown");

    TqbPrjInfo prjInfo("qbNivora");
    TqbSingleInstance instance(TqbSingleInstance::DefaultKey(prjInfo.AppName()));
    if (!instance.IsFirstInstance()) {
        const QString problem = instance.HandOver(prjInfo.AppName());
        if (!problem.isEmpty())
            QMessageBox::warning(nullptr, QStringLiteral("Warning"), problem);
        return 0;
    }
    // An installed copy's dictionaries are not where the engine looks by itself.
    TqbSpellCheck::PublishDictionaries(prjInfo.SharedDir());
    // What a crash of an earlier run left behind is ours to remove, now that no other run is.
    qbLeftovers::RemoveInTempFolder();

    int rc = 0;
    {
        TqbNoteInfo noteInfo(prjInfo);
        TfrmMainNivora window(prjInfo, noteInfo);
        QObject::connect(&instance, &TqbSingleInstance::RestoreRequest, &window,
                         &TfrmMainNivora::RestoreFromTray);
        QObject::connect(&instance, &TqbSingleInstance::ActivateRequest, &window,
                         &TfrmMainNivora::RestoreFromTray);
        // Being told to stop (a shutdown, kill, Ctrl+C) closes as the user would: the note is saved.
        TqbQuitSignals quitSignals;
        QObject::connect(&quitSignals, &TqbQuitSignals::QuitRequested, &window, &QWidget::close);
        if (prjInfo.StartMaximized())
            window.showMaximized();
        else
            window.show();
        if (quitWhenShown) {
            // Start-up timing for the benchmark: the window is up once the first paint is done.
            QTimer::singleShot(0, &window, [&] {
                std::printf("shown after %lld ms\n", static_cast<long long>(sinceStart.elapsed()));
                std::fflush(stdout);
                window.close();
            });
        }
        rc = app.exec();
    }
    return rc;
}
