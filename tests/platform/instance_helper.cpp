// Stands in for a program start in the single-instance test:
//   instance_helper KEY [MESSAGE [WAIT_MS]]
// The first instance prints "first", then the first request it gets (a captured text's line ends as
// "|"), and ends; MESSAGE "--hang" makes it print "first" and then never answer (it waits on its
// standard input). A later start hands MESSAGE (default "restore"; "capture:TEXT" captures TEXT)
// over and ends with 0 when it was answered, else prints "not answering" and ends with 4.
#include "platform/qbSingleInstance.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: instance_helper KEY [MESSAGE [WAIT_MS]]\n");
        return 64;
    }
    QByteArray message = args.size() > 2 ? args[2].toUtf8() : QByteArray("restore");
    if (message.startsWith("capture:"))
        message = TqbSingleInstance::CaptureRequest(args[2].mid(8));
    const int waitMs = args.size() > 3 ? args[3].toInt() : TqbSingleInstance::HandOverWaitMs;

    TqbSingleInstance instance(args[1]);
    if (!instance.IsFirstInstance()) {
        if (instance.HandOver("qbNivora", message, waitMs).isEmpty())
            return 0;
        std::printf("not answering\n");
        return 4;
    }

    std::printf("first\n");
    std::fflush(stdout);
    if (message == "--hang") {
        // Busy forever as far as later starts can tell: the event loop never runs.
        std::getchar();
        return 0;
    }

    const auto report = [&app](const char* what) {
        std::printf("%s\n", what);
        std::fflush(stdout);
        // Let the answer go out before the process ends.
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    };
    QObject::connect(&instance, &TqbSingleInstance::RestoreRequest, [&] { report("restore"); });
    QObject::connect(&instance, &TqbSingleInstance::ActivateRequest, [&] { report("activate"); });
    QObject::connect(&instance, &TqbSingleInstance::CaptureRequested, [&](const QString& text) {
        report(("capture " + QString(text).replace(u'\n', u'|')).toUtf8().constData());
    });
    // Never outlive a test that failed to talk to us.
    QTimer::singleShot(60000, &app, [] { QCoreApplication::exit(3); });
    return app.exec();
}
