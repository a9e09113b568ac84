// Prepares 100,000 made-up Korean and Latin note names and ranks them for a few queries, the way
// the jump list filters on every key, and prints the times (median of several runs). Aim: one
// ranking well under 30 ms.
#include "library/qbNameMatch.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
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

} // namespace

int main() {
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
    return 0;
}
