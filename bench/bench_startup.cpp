// Prints the program's start-up time: from process start to the first shown main window.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QString program = QCoreApplication::applicationDirPath() + "/qbnivora";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains("DISPLAY") && !env.contains("WAYLAND_DISPLAY"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QBNIVORA_INSTANCE_KEY", "qbNivora-bench-startup");
    env.insert("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");

    std::vector<qint64> shown, wall;
    for (int run = 0; run < 6; ++run) {
        QProcess process;
        process.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        process.start(program, {"--quit-when-shown"});
        if (!process.waitForFinished(60000)) {
            std::fprintf(stderr, "qbnivora did not finish: %s\n", qPrintable(process.errorString()));
            return 1;
        }
        const qint64 total = timer.elapsed();
        const auto match = QRegularExpression("shown after (\\d+) ms")
                               .match(QString::fromLocal8Bit(process.readAllStandardOutput()));
        if (!match.hasMatch()) {
            std::fprintf(stderr, "no start-up figure in the program's output\n");
            return 1;
        }
        if (run == 0)
            continue; // the first run warms the disk cache
        shown.push_back(match.captured(1).toLongLong());
        wall.push_back(total);
    }
    std::sort(shown.begin(), shown.end());
    std::sort(wall.begin(), wall.end());
    std::printf("start-up to shown window: best %lld ms, median %lld ms (aim: < 500 ms)\n",
                static_cast<long long>(shown.front()),
                static_cast<long long>(shown[shown.size() / 2]));
    std::printf("whole run incl. shut-down: best %lld ms, median %lld ms\n",
                static_cast<long long>(wall.front()), static_cast<long long>(wall[wall.size() / 2]));
    return 0;
}
