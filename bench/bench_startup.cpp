// Prints the program's start-up on a library of 10,000 notes, step by step: from process start
// to each step the program reports, the shown main window (its first paint) and the first
// note's text among them. The program is a copy in a scratch folder, so its library and
// settings are the generated ones.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Folders = 99;
constexpr int NotesPerFolder = 100;
constexpr int RootNotes = 100;
constexpr int Runs = 6; // the first warms the disk cache and is not counted

void WriteNote(const QString& path, int index) {
    QFile note(path);
    note.open(QIODevice::WriteOnly);
    QByteArray page = "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; "
                      "charset=euc-kr\"></HEAD><BODY>\r\n";
    for (int line = 0; line < 20; ++line)
        page += "<DIV>\xB0\xA1\xB3\xAA\xB4\xD9 note " + QByteArray::number(index) +
                " lorem ipsum dolor sit amet</DIV>\r\n";
    note.write(page + "</BODY></HTML>\r\n");
}

// 10,000 notes: some at the top, the rest in folders of a hundred, each with its page.
void MakeLibrary(const QString& root) {
    QDir().mkpath(root);
    int index = 0;
    for (int i = 0; i < RootNotes; ++i)
        WriteNote(root + QString("/note %1.htm").arg(i, 5, 10, QChar('0')), index++);
    for (int f = 0; f < Folders; ++f) {
        const QString folder = root + QString("/folder %1").arg(f, 3, 10, QChar('0'));
        QDir().mkpath(folder);
        WriteNote(folder + QStringLiteral("/___폴더설명.qb"), index);
        for (int i = 0; i < NotesPerFolder; ++i)
            WriteNote(folder + QString("/note %1.htm").arg(i, 5, 10, QChar('0')), index++);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch;
    const QString program = scratch.filePath("qbnivora");
    if (!QFile::copy(QCoreApplication::applicationDirPath() + "/qbnivora", program)) {
        std::fprintf(stderr, "cannot copy the program\n");
        return 1;
    }
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    MakeLibrary(scratch.filePath("BookData"));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains("DISPLAY") && !env.contains("WAYLAND_DISPLAY"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QBNIVORA_INSTANCE_KEY", "qbNivora-bench-startup");

    QStringList order;
    QMap<QString, std::vector<qint64>> arrivals;
    for (int run = 0; run < Runs; ++run) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer timer;
        timer.start();
        process.start(program, {"--quit-when-note-shown"});
        QMap<QString, qint64> seen;
        while (process.state() != QProcess::NotRunning || process.canReadLine()) {
            if (!process.canReadLine() && !process.waitForReadyRead(60000))
                break;
            const qint64 at = timer.elapsed();
            while (process.canReadLine()) {
                const QString line = QString::fromUtf8(process.readLine()).trimmed();
                if (line.startsWith("step: "))
                    seen.insert(line.mid(6), at);
                if (run == 1 && line.startsWith("step: "))
                    order << line.mid(6);
            }
        }
        process.waitForFinished(60000);
        seen.insert("process ended", timer.elapsed());
        if (run == 1)
            order << "process ended";
        if (run == 0)
            continue;
        for (auto step = seen.cbegin(); step != seen.cend(); ++step)
            arrivals[step.key()].push_back(step.value());
    }
    if (!arrivals.contains("first note's text")) {
        std::fprintf(stderr, "the program never showed its first note\n");
        return 1;
    }
    std::printf("start-up on a library of %d notes, from process start, over %d runs:\n",
                RootNotes + Folders * NotesPerFolder, Runs - 1);
    for (const QString& step : order) {
        std::vector<qint64> times = arrivals.value(step);
        std::sort(times.begin(), times.end());
        std::printf("  %-28s best %5lld ms, median %5lld ms%s\n", qPrintable(step),
                    static_cast<long long>(times.front()),
                    static_cast<long long>(times[times.size() / 2]),
                    step == "first paint"         ? "  (aim: < 300 ms)"
                    : step == "first note's text" ? "  (aim: < 600 ms)"
                                                  : "");
    }
    return 0;
}
