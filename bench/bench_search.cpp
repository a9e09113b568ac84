// Times the folder search over a generated library of CP949 notes beside grep and ripgrep over
// the same folder: the search alone, the first hit, and the whole path a search panel takes
// (rows added, a progress bar moved, in the event loop).
#include "search/qbFolderSearch.h"
#include "search/qbSearchText.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QThread>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int NoteCount = 10000;
constexpr int FolderCount = 200;
constexpr int BigFolders = 3;
constexpr int BigFolderNotes = 2000;
constexpr int NoteBytes = 10 * 1024;
constexpr int HitEvery = 100; // each word is in 1% of the notes
constexpr int Runs = 7;
const QString AsciiWord = QStringLiteral("Needleword");
const QString KoreanWord = QStringLiteral("검색어");

const char* const Vocabulary[] = {"table",   "style",  "memo", "color", "font",   "note",
                                  "library", "search", "DIV",  "span",  "Korean", "text"};

QByteArray Cp949(const QString& text) {
    QStringEncoder encoder("windows-949");
    return encoder.encode(text);
}

// A page as the editor writes one: a style sheet, tags with attributes, and code page 949 text,
// mostly common Hangul syllables, some of the extended ones whose second byte is an ASCII letter
// ("똠" is 8C 63), ASCII words between them.
QByteArray NoteText(QRandomGenerator& random, const QByteArray& word) {
    QByteArray text = "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; "
                      "charset=euc-kr\">\r\n<STYLE>P { font-size: 9pt; color: #333 } "
                      "TABLE { border: 1px }</STYLE></HEAD>\r\n<BODY>\r\n<P>";
    const int wordAt = word.isEmpty() ? -1 : random.bounded(NoteBytes / 2, NoteBytes - 200);
    int lineLength = 0;
    bool placed = false;
    while (text.size() < NoteBytes) {
        if (wordAt >= 0 && !placed && text.size() >= wordAt) {
            text += word + ' ';
            placed = true;
        } else if (random.bounded(4) == 0) {
            text += Vocabulary[random.bounded(int(std::size(Vocabulary)))];
            text += ' ';
        } else if (random.bounded(10) == 0) {
            text += char(0x81 + random.bounded(0x20));
            text += char('A' + random.bounded(26));
        } else {
            text += char(0xB0 + random.bounded(0x19));
            text += char(0xA1 + random.bounded(0x5E));
        }
        if (++lineLength == 40) {
            text += random.bounded(3) == 0 ? "</P>\r\n<P><SPAN style=\"color: red\">font</SPAN> "
                                           : "\r\n";
            lineLength = 0;
        }
    }
    return text + "</P>\r\n</BODY></HTML>\r\n";
}

bool BuildLibrary(const QString& root) {
    QRandomGenerator random(1234);
    const QByteArray ascii = AsciiWord.toLatin1();
    const QByteArray korean = Cp949(KoreanWord);
    int note = 0;
    for (int f = 0; f < FolderCount; ++f) {
        const QString folder = root + QString("/폴더%1").arg(f, 3, 10, QChar('0'));
        if (!QDir().mkpath(folder))
            return false;
        const int small = (NoteCount - BigFolders * BigFolderNotes) / (FolderCount - BigFolders);
        const int notes = f < BigFolders         ? BigFolderNotes
                          : f == FolderCount - 1 ? NoteCount - note
                                                 : small;
        for (int n = 0; n < notes; ++n, ++note) {
            QFile file(folder + QString("/노트%1.htm").arg(n));
            if (!file.open(QIODevice::WriteOnly))
                return false;
            const QByteArray word = note % HitEvery == 0        ? ascii
                                    : note % HitEvery == HitEvery / 2 ? korean
                                                                      : QByteArray();
            file.write(NoteText(random, word));
        }
    }
    return true;
}

// The best wall and processor times of several rounds.
struct TqbTimes {
    double wallMs = 1e99;
    double cpuMs = 1e99;
};

double CpuMs(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// who: RUSAGE_SELF for the search, RUSAGE_CHILDREN for a tool.
template <typename Work> void Time(TqbTimes& times, int who, Work work) {
    const double cpu = CpuMs(who);
    QElapsedTimer timer;
    timer.start();
    work();
    times.wallMs = std::min(times.wallMs, timer.nsecsElapsed() / 1e6);
    times.cpuMs = std::min(times.cpuMs, CpuMs(who) - cpu);
}

struct TqbSearchFigures {
    int hits = 0;
    double firstHitMs = -1;
    int progressSignals = 0;
    int hitBatches = 0;
};

// The search alone: its signals counted as they reach the event loop.
TqbSearchFigures Search(const QString& root, const QString& word) {
    TqbSearchFigures figures;
    TqbFolderSearch search(root, qbSearch::MakeSearchText(word));
    QEventLoop loop;
    QElapsedTimer timer;
    QObject::connect(&search, &TqbFolderSearch::FoundBatch, &loop,
                     [&](const QList<TqbSearchHit>& hits) {
                         if (figures.firstHitMs < 0)
                             figures.firstHitMs = timer.nsecsElapsed() / 1e6;
                         figures.hits += int(hits.size());
                         ++figures.hitBatches;
                     });
    QObject::connect(&search, &TqbFolderSearch::Progress, &loop,
                     [&] { ++figures.progressSignals; });
    QObject::connect(&search, &TqbFolderSearch::Finished, &loop, &QEventLoop::quit);
    timer.start();
    search.Start();
    loop.exec();
    return figures;
}

// What a search panel does with the signals: a row per hit, a progress bar, a shown window.
class TqbPanelStandIn : public QWidget {
public:
    TqbPanelStandIn() {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_list);
        layout->addWidget(m_bar);
        resize(300, 600);
        show();
    }

    int Run(const QString& root, const QString& word) {
        TqbFolderSearch search(root, qbSearch::MakeSearchText(word));
        QEventLoop loop;
        // The rows of the last search stay until this one has candidates or hits: the first
        // hits may come before Collected.
        bool cleared = false;
        const auto clearOnce = [&] {
            if (!cleared)
                m_list->clear();
            cleared = true;
        };
        connect(&search, &TqbFolderSearch::Collected, this, [&](int candidates) {
            if (candidates > 0)
                clearOnce();
            m_bar->setMaximum(candidates);
            m_bar->setValue(0);
        });
        connect(&search, &TqbFolderSearch::Progress, m_bar, &QProgressBar::setValue);
        connect(&search, &TqbFolderSearch::FoundBatch, this,
                [&](const QList<TqbSearchHit>& hits) {
                    clearOnce();
                    for (const TqbSearchHit& hit : hits)
                        m_list->addItem(hit.label);
                });
        connect(&search, &TqbFolderSearch::Finished, &loop, &QEventLoop::quit);
        search.Start();
        loop.exec();
        m_bar->setValue(0);
        if (m_list->count() > 0)
            m_list->setCurrentRow(0);
        QCoreApplication::processEvents();
        return m_list->count();
    }

private:
    QListWidget* m_list = new QListWidget;
    QProgressBar* m_bar = new QProgressBar;
};

// The files a tool lists, or -1 when it is not there.
int ToolHits(const QString& program, const QStringList& arguments) {
    if (QStandardPaths::findExecutable(program).isEmpty())
        return -1;
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C");
    tool.setProcessEnvironment(env);
    tool.start(program, arguments);
    tool.waitForFinished(-1);
    return int(tool.readAllStandardOutput().count('\n'));
}

void PrintTimes(const char* name, const TqbTimes& times, const QString& rest) {
    std::printf("  %-26s %7.1f ms (processor %6.1f ms)%s\n", name, times.wallMs, times.cpuMs,
                qPrintable(rest));
}

void PrintTool(const char* name, const TqbTimes& tool, int hits, const TqbTimes& search,
               const char* aim) {
    if (hits < 0) {
        std::printf("  %-26s not installed\n", name);
        return;
    }
    PrintTimes(name, tool,
               QString(", %1 files; search / it: %2 (processor %3)%4")
                   .arg(hits)
                   .arg(search.wallMs / tool.wallMs, 0, 'f', 2)
                   .arg(search.cpuMs / tool.cpuMs, 0, 'f', 2)
                   .arg(QString::fromLatin1(aim)));
}

// Each round runs the search, the panel and the tools in turn, so that all meet the same load.
bool Measure(const QString& root, const QString& word, const QString& patternFile,
             bool withRipgrep, TqbPanelStandIn& panel) {
    const QStringList grepArguments = {"-rlF", "-f", patternFile, root};
    const QStringList rgArguments = {"-l", "-i", "-F", word, root};
    const int grepHits = ToolHits("grep", grepArguments);
    const int rgHits = withRipgrep ? ToolHits("rg", rgArguments) : -1;
    TqbTimes search, path, grep, rg;
    TqbSearchFigures figures;
    double firstHit = 1e99;
    int rows = 0;
    for (int round = 0; round < Runs; ++round) {
        Time(search, RUSAGE_SELF, [&] { figures = Search(root, word); });
        firstHit = std::min(firstHit, figures.firstHitMs);
        Time(path, RUSAGE_SELF, [&] { rows = panel.Run(root, word); });
        if (grepHits >= 0)
            Time(grep, RUSAGE_CHILDREN, [&] { ToolHits("grep", grepArguments); });
        if (rgHits >= 0)
            Time(rg, RUSAGE_CHILDREN, [&] { ToolHits("rg", rgArguments); });
    }

    std::printf("\n\"%s\" (%s):\n", qPrintable(word), withRipgrep ? "ASCII" : "Korean");
    PrintTimes("folder search", search,
               QString(", %1 hits, %2 progress signals, %3 hit batches")
                   .arg(figures.hits)
                   .arg(figures.progressSignals)
                   .arg(figures.hitBatches));
    std::printf("  %-26s %7.1f ms (aim: 50 ms or less)\n", "first hit", firstHit);
    PrintTimes("whole path with a panel", path, QString(", %1 rows").arg(rows));
    PrintTool("LC_ALL=C grep -rlF", grep, grepHits, search,
              withRipgrep ? "" : " (aim: 1.0 or less)");
    if (withRipgrep)
        PrintTool("rg -l -i -F", rg, rgHits, search, " (aim: 1.0 or less)");
    return (grepHits < 0 || grepHits == figures.hits) && (rgHits < 0 || rgHits == figures.hits) &&
           rows == figures.hits;
}

bool WritePattern(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes + '\n') == bytes.size() + 1;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.path() + "/BookData";
    if (!dir.isValid() || !BuildLibrary(root)) {
        std::fprintf(stderr, "cannot build the library\n");
        return 1;
    }
    std::printf("library: %d notes of about %d KB in %d folders (%d with %d notes), CP949; "
                "each word in 1%% of them\n",
                NoteCount, NoteBytes / 1024, FolderCount, BigFolders, BigFolderNotes);
    std::printf("times: best of %d rounds, warm cache, %d threads available\n", Runs,
                QThread::idealThreadCount());
    const QString asciiPattern = dir.path() + "/ascii.txt";
    const QString koreanPattern = dir.path() + "/korean.txt";
    if (!WritePattern(asciiPattern, AsciiWord.toLatin1()) ||
        !WritePattern(koreanPattern, Cp949(KoreanWord))) {
        std::fprintf(stderr, "cannot write the patterns\n");
        return 1;
    }
    TqbPanelStandIn panel;
    Search(root, AsciiWord); // warms the cache
    const bool asciiSame = Measure(root, AsciiWord, asciiPattern, true, panel);
    const bool koreanSame = Measure(root, KoreanWord, koreanPattern, false, panel);
    if (!asciiSame || !koreanSame) {
        std::printf("\nthe search and the tools disagree on the files\n");
        return 2;
    }
    return 0;
}
