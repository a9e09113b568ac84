// Stands in for a program start in the single-instance test: "instance_helper KEY [MESSAGE]".
// The first instance prints "first", then the first request it gets, and ends; a later one sends
// MESSAGE (default "restore") and ends with 0 when it was answered.
#include "platform/qbSingleInstance.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: instance_helper KEY [MESSAGE]\n");
        return 64;
    }
    const QByteArray message = args.size() > 2 ? args[2].toUtf8() : QByteArray("restore");

    TqbSingleInstance instance(args[1]);
    if (!instance.IsFirstInstance())
        return instance.SendRequest(message) ? 0 : 2;

    const auto report = [&app](const char* what) {
        std::printf("%s\n", what);
        std::fflush(stdout);
        // Let the answer go out before the process ends.
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    };
    QObject::connect(&instance, &TqbSingleInstance::RestoreRequest, [&] { report("restore"); });
    QObject::connect(&instance, &TqbSingleInstance::ActivateRequest, [&] { report("activate"); });
    // Never outlive a test that failed to talk to us.
    QTimer::singleShot(60000, &app, [] { QCoreApplication::exit(3); });
    std::printf("first\n");
    std::fflush(stdout);
    return app.exec();
}
