// The notes' kept versions: listing a note's 1,000 versions as "이전 버전" shows them, and what the
// history holds on disk after 10,000 saves of a 10 KB note made over ten weeks, thinned as it ages.
#include "app/qbHistoryCommands.h"
#include "library/qbNoteVersions.h"
#include "qbBenchTiming.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr qint64 Minute = 60'000;

// A 10 KB page whose text differs with n, as a note does from save to save.
QByteArray Page(int n) {
    QByteArray page = "<HTML><BODY>\r\n";
    for (int line = 0; page.size() < 10 * 1024 - 64; ++line)
        page += "<P>line " + QByteArray::number(line) + " of save " + QByteArray::number(n) +
                "</P>\r\n";
    return page + "</BODY></HTML>\r\n";
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir temp;
    const QString root = temp.filePath("BookData");
    QDir().mkpath(root);
    const QString note = root + "/note.htm";
    QFile(note).open(QIODevice::WriteOnly);

    // A thousand versions from the last day: thinning keeps them all.
    qint64 now = QDateTime::currentMSecsSinceEpoch() - 1000 * Minute;
    TqbNoteVersions versions;
    versions.SetRoot(root);
    versions.SetClock([&now] { return now += Minute; });
    for (int i = 0; i < 1000; ++i)
        versions.Keep(note, Page(i));
    qsizetype listed = 0;
    const double listMs = qbBestOfMs(5, [&] {
        listed = TqbHistoryCommands::Rows(versions.List(note)).size();
    });
    std::printf("listing the versions of a note with %lld versions: %.1f ms (aim: < 50 ms)\n",
                static_cast<long long>(listed), listMs);

    // What keeping costs a save of a 1 MB note: the old page written and synced beside it.
    const QByteArray big(1024 * 1024, 'x');
    int variant = 0;
    const double keepBigMs = qbBestOfMs(5, [&] {
        QByteArray page = big;
        page[0] = char('a' + variant++);
        versions.Keep(root + "/big.htm", page);
    });
    std::printf("keeping a 1 MB page as a version: %.1f ms\n", keepBigMs);

    // Ten thousand saves, one every ten minutes: ten weeks of work on one note.
    const QString other = temp.filePath("Other");
    QDir().mkpath(other);
    const QString otherNote = other + "/note.htm";
    QFile(otherNote).open(QIODevice::WriteOnly);
    TqbNoteVersions history;
    history.SetRoot(other);
    qint64 clock = QDateTime::currentMSecsSinceEpoch() - 10'000 * 10 * Minute;
    history.SetClock([&clock] { return clock; });
    constexpr int Saves = 10'000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Saves; ++i) {
        clock += 10 * Minute;
        history.Keep(otherNote, Page(i));
    }
    const double perSaveMs = timer.nsecsElapsed() / 1e6 / Saves;
    std::printf("after %d saves of a %lld-byte note, one every 10 minutes: %lld versions kept, "
                "history %.1f MB on disk (every version would be %.1f MB); keeping one took "
                "%.2f ms on average\n",
                Saves, static_cast<long long>(Page(0).size()),
                static_cast<long long>(history.List(otherNote).size()),
                history.DiskUse() / 1e6, Saves * double(Page(0).size()) / 1e6, perSaveMs);
    return 0;
}
