#include "library/qbVersionRules.h"

#include <QSet>
#include <algorithm>
#include <numeric>

namespace qbVersionRules {

namespace {

constexpr qint64 HourMs = 3600LL * 1000;
constexpr qint64 DayMs = 24 * HourMs;
constexpr qint64 WeekMs = 7 * DayMs;

// How wide the period is that keeps one version at this age; 0 keeps all.
qint64 PeriodFor(qint64 ageMs) {
    if (ageMs < DayMs)
        return 0;
    if (ageMs < WeekMs)
        return HourMs;
    if (ageMs < 90 * DayMs)
        return DayMs;
    return WeekMs;
}

qint64 FloorDiv(qint64 a, qint64 b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

const QString NameFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");

} // namespace

QList<qint64> Thinned(QList<qint64> timesMs, qint64 nowMs) {
    std::sort(timesMs.begin(), timesMs.end(), std::greater<>());
    QList<qint64> dropped;
    // Period width and index of the newest version seen in each period.
    QSet<std::pair<qint64, qint64>> taken;
    for (const qint64 time : std::as_const(timesMs)) {
        const qint64 period = PeriodFor(nowMs - time);
        if (period == 0)
            continue;
        const std::pair<qint64, qint64> bucket{period, FloorDiv(time, period)};
        if (taken.contains(bucket))
            dropped << time;
        else
            taken.insert(bucket);
    }
    return dropped;
}

qint64 SizeLimit(qint64 libraryBytes) {
    return std::max<qint64>(libraryBytes / 10, 100LL * 1000 * 1000);
}

QList<qsizetype> OverLimit(const QList<TVersionAge>& versions, qint64 limitBytes) {
    QList<qsizetype> order(versions.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return versions[a].TimeMs < versions[b].TimeMs;
    });
    qint64 total = 0;
    for (const TVersionAge& version : versions)
        total += version.Bytes;
    QList<qsizetype> dropped;
    for (qsizetype i = 0; i + 1 < order.size() && total > limitBytes; ++i) {
        dropped << order[i];
        total -= versions[order[i]].Bytes;
    }
    return dropped;
}

QString FileName(qint64 timeMs, const QString& suffix, const QString& computer) {
    const QString time = QDateTime::fromMSecsSinceEpoch(timeMs, Qt::UTC).toString(NameFormat);
    return computer.isEmpty() ? time + suffix : time + u'@' + computer + suffix;
}

QString ComputerOfFileName(const QString& name) {
    const qsizetype start = NameFormat.size() + 1;
    if (TimeOfFileName(name) < 0 || name.size() <= start || name[start - 1] != u'@')
        return {};
    const qsizetype dot = name.lastIndexOf(u'.');
    return name.mid(start, dot >= start ? dot - start : -1);
}

QString ComputerName(const QString& hostName, const QByteArray& machineId) {
    constexpr qsizetype HostChars = 24;
    constexpr qsizetype IdChars = 6;
    const auto safe = [](QStringView text, qsizetype most) {
        QString out;
        for (const QChar c : text) {
            if (out.size() == most)
                break;
            const char16_t u = c.unicode();
            const bool plain = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                               (u >= u'0' && u <= u'9') || u == u'-' || u == u'_';
            out += plain ? c : QChar(u'-');
        }
        return out;
    };
    const QString host = safe(QStringView(hostName).left(hostName.indexOf(u'.')), HostChars);
    const QString id = safe(QString::fromLatin1(machineId.trimmed()), IdChars);
    if (host.isEmpty() || id.isEmpty())
        return host.isEmpty() ? id : host;
    return host + u'-' + id;
}

// Read by hand: a note with a thousand versions lists them each time its dialog opens and each
// time it is saved.
qint64 TimeOfFileName(const QString& name) {
    if (name.size() < NameFormat.size() || name[8] != u'-' || name[15] != u'-')
        return -1;
    const auto number = [&name](int from, int length) {
        int value = 0;
        for (int i = from; i < from + length; ++i) {
            const char16_t c = name[i].unicode();
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    const QDate date(number(0, 4), number(4, 2), number(6, 2));
    const int hour = number(9, 2), minute = number(11, 2), second = number(13, 2),
              ms = number(16, 3);
    if (!date.isValid() || !QTime::isValid(hour, minute, second, ms))
        return -1;
    constexpr qint64 EpochDay = 2440588; // the Julian day of 1970-01-01
    return (date.toJulianDay() - EpochDay) * 86'400'000 +
           ((hour * 60 + minute) * 60 + second) * 1000LL + ms;
}

} // namespace qbVersionRules
