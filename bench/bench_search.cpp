// Times a whole folder search over a generated library beside grep over the same folder.
#include "search/qbFolderSearch.h"
#include "search/qbSearchFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int NoteCount = 10000;
constexpr int FolderCount = 200;
constexpr int BigFolders = 3;
constexpr int BigFolderNotes = 2000;
constexpr int NoteBytes = 10 * 1024;
constexpr int HitEvery = 100; // the word is in 1% of the notes
constexpr int Runs = 5;
const QByteArray Word = "Needleword";

const char* const Vocabulary[] = {"table",   "style",  "memo", "color", "font",   "note",
                                  "library", "search", "DIV",  "span",  "Korean", "text"};

// Code page 949 text: mostly common Hangul syllables, some of the extended ones whose second
// byte is an ASCII letter ("똠" is 8C 63), ASCII words between them.
QByteArray NoteText(QRandomGenerator& random, bool withWord) {
    QByteArray text = "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; "
                      "charset=euc-kr\"></HEAD><BODY>\r\n";
    const int wordAt = withWord ? random.bounded(NoteBytes / 2, NoteBytes - 200) : -1;
    int lineLength = 0;
    while (text.size() < NoteBytes) {
        if (wordAt >= 0 && text.size() >= wordAt && !text.contains(Word)) {
            text += Word + ' ';
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
            text += "\r\n";
            lineLength = 0;
        }
    }
    return text + "\r\n</BODY></HTML>\r\n";
}

bool BuildLibrary(const QString& root) {
    QRandomGenerator random(1234);
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
            file.write(NoteText(random, note % HitEvery == 0));
        }
    }
    return true;
}

// The best of Runs, after one run that warms the cache.
template <typename Work> double BestMs(Work work) {
    work();
    double best = 1e99;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

int SearchHits(const QString& root) {
    TqbFolderSearch search(root, QString::fromLatin1(Word).toLower());
    int hits = 0;
    QEventLoop loop;
    QObject::connect(&search, &TqbFolderSearch::Found, [&hits] { ++hits; });
    QObject::connect(&search, &TqbFolderSearch::Finished, &loop, &QEventLoop::quit);
    search.Start();
    loop.exec();
    return hits;
}

int GrepHits(const QString& root) {
    QProcess grep;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C");
    grep.setProcessEnvironment(env);
    grep.start("grep", {"-rilF", QString::fromLatin1(Word), root});
    grep.waitForFinished(-1);
    return int(grep.readAllStandardOutput().count('\n'));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.path() + "/BookData";
    if (!dir.isValid() || !BuildLibrary(root)) {
        std::fprintf(stderr, "cannot build the library\n");
        return 1;
    }
    int searchHits = 0;
    int grepHits = 0;
    const double searchMs = BestMs([&] { searchHits = SearchHits(root); });
    const double walkMs = BestMs([&] {
        QStringList files;
        qbSearch::CollectSearchFiles(root, files);
    });
    const double grepMs = BestMs([&] { grepHits = GrepHits(root); });
    std::printf("library: %d notes of about %d KB in %d folders (%d with %d notes), CP949\n",
                NoteCount, NoteBytes / 1024, FolderCount, BigFolders, BigFolderNotes);
    std::printf("folder search \"%s\": %.1f ms, %d hits (best of %d, warm cache)\n",
                Word.constData(), searchMs, searchHits, Runs);
    std::printf("of which the walk alone: %.1f ms\n", walkMs);
    std::printf("grep -rilF (LC_ALL=C): %.1f ms, %d files\n", grepMs, grepHits);
    std::printf("ratio search / grep: %.2f\n", searchMs / grepMs);
    return searchHits == grepHits ? 0 : 2;
}
