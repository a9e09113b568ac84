// Stands in for the program when a signal asks it to end: "quit_helper [--hang | --stuck]". It
// prints "ready" once it watches the signals; then it prints "quit N" for the signal N it is asked
// to end by and ends with 0. With "--hang" its event loop never runs (it waits on its standard
// input), as in a program that hangs; with "--stuck" its answer to the signal waits in an event
// loop of its own that never ends, as a save that waits for a page that does not answer.
#include "platform/qbQuitSignals.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TqbQuitSignals quitSignals;
    if (!quitSignals.IsWatching())
        return 2;
    const bool stuck = app.arguments().contains("--stuck");
    QObject::connect(&quitSignals, &TqbQuitSignals::QuitRequested, &app, [stuck](int signalNumber) {
        std::printf("quit %d\n", signalNumber);
        std::fflush(stdout);
        if (stuck) {
            QEventLoop never;
            never.exec();
        }
        QCoreApplication::quit();
    });
    std::printf("ready\n");
    std::fflush(stdout);
    if (app.arguments().contains("--hang")) {
        std::getchar();
        return 0;
    }
    return app.exec();
}
