// Prepares 100,000 made-up Korean and Latin note names and ranks them for a few queries, the way
// the jump list filters on every key, and prints the times (median of several runs). Then the
// jump list itself over a library of 100,000 notes on disk: the first rows while the names are
// still gathered, the whole walk, and a key typed once all are in. Aim: an answer within 30 ms.
#include "library/qbJumpList.h"
#include "library/qbNameMatch.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int NameCount = 100000;
constexpr int Runs = 7;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString Word(QRandomGenerator& random) {
    static const QStringList korean = {"한글", "입력", "회의록", "일기", "가계부", "여행",
                                       "메모", "정리", "공부",   "하나", "과제",   "읽을거리"};
    static const QStringList latin = {"Note", "draft", "Qt", "todo", "Report", "ideas"};
    if (random.bounded(4) == 0)
        return latin[random.bounded(latin.size())];
    if (random.bounded(3) == 0) // a made-up syllable pair, so not every name repeats the list
        return QString(QChar(0xAC00 + random.bounded(11172))) +
               QChar(0xAC00 + random.bounded(11172));
    return korean[random.bounded(korean.size())];
}

QStringList Names() {
    QRandomGenerator random(949);
    QStringList names;
    names.reserve(NameCount);
    for (int i = 0; i < NameCount; ++i) {
        QString name = Word(random);
        for (int words = random.bounded(3); words > 0; --words)
            name += (random.bounded(4) == 0 ? u'_' : u' ') + Word(random);
        names.append(name + QStringLiteral(" %1").arg(i % 100, 2, 10, QLatin1Char('0')));
    }
    return names;
}

constexpr int FolderCount = 100;

// The names as a library: 100 folders of 1,000 empty notes (the folders count as names too).
bool WriteLibrary(const QString& root, const QStringList& names) {
    for (int f = 0; f < FolderCount; ++f)
        if (!QDir(root).mkpath(QStringLiteral("폴더 %1").arg(f)))
            return false;
    for (int i = 0; i + FolderCount < names.size(); ++i) {
        const QString path = QStringLiteral("%1/폴더 %2/%3 %4.htm")
                                 .arg(root)
                                 .arg(i % FolderCount)
                                 .arg(names[i])
                                 .arg(i);
        const int fd = ::creat(QFile::encodeName(path).constData(), 0644);
        if (fd < 0)
            return false;
        ::close(fd);
    }
    return true;
}

void BenchJumpList(const QStringList& names) {
    QTemporaryDir dir;
    if (!WriteLibrary(dir.path(), names)) {
        std::printf("Jump list: could not write the library\n");
        return;
    }
    QElapsedTimer timer;
    TqbJumpList list;
    double firstRows = -1;
    QObject::connect(&list, &TqbJumpList::RowsChanged, [&] {
        if (firstRows < 0 && list.RowCount() > 0)
            firstRows = timer.nsecsElapsed() / 1e6;
    });
    bool done = false;
    QObject::connect(&list, &TqbJumpList::GatheringFinished, [&] { done = true; });
    timer.start();
    list.SetQuery(QStringLiteral("ㅎ"));
    list.Start(dir.path(), QStringLiteral(".htm"));
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double gathered = timer.nsecsElapsed() / 1e6;
    std::printf("Jump list over %d names on disk: first rows after %.1f ms, all gathered after "
                "%.0f ms\n",
                list.NameCount(), firstRows, gathered);
    for (const QString query : {"ㅎㄱ", "하", "note", "회의록 05", "없는이름"}) {
        std::vector<double> ms;
        for (int run = 0; run < Runs; ++run) {
            list.SetQuery(QString());
            timer.restart();
            list.SetQuery(query);
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("Jump list, a key typed: \"%s\" %.1f ms, %d found\n", qPrintable(query),
                    Median(ms), list.MatchCount());
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    using namespace qbNameMatch;
    const QStringList names = Names();
    QList<TqbMatchName> prepared;
    std::vector<double> prepareMs;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        prepared.clear();
        prepared.reserve(names.size());
        for (const QString& name : names)
            prepared.append(Prepare(name));
        prepareMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("Prepare %d names: %.1f ms\n", NameCount, Median(prepareMs));
    for (const QString query :
         {"ㅎ", "ㅎㄱ", "한글", "하", "읽", "note", "회의록 05", "없는이름"}) {
        const TqbMatchQuery q = PrepareQuery(query);
        std::vector<double> rankMs;
        qsizetype found = 0;
        for (int run = 0; run < Runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            found = Rank(q, prepared).size();
            rankMs.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("Rank \"%s\": %.1f ms, %lld found\n", qPrintable(query), Median(rankMs),
                    static_cast<long long>(found));
    }
    BenchJumpList(names);
    return 0;
}
