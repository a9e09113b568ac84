#include "library/qbDailyNotes.h"

#include "library/qbFolderListing.h"

#include <QDir>
#include <algorithm>

namespace qbDailyNotes {

namespace {
const QString DayFormat = QStringLiteral("yyyy-MM-dd");

QString Top(const QString& root) {
    return QDir::cleanPath(root) + u'/' + FolderName;
}
} // namespace

QString PathOf(const QString& root, QDate day, const QString& noteExt) {
    return Top(root) + u'/' + QString::number(day.year()) + u'/' + day.toString(DayFormat) +
           noteExt;
}

std::optional<QDate> DayOf(const QString& root, const QString& path, const QString& noteExt) {
    const QString top = Top(root) + u'/';
    if (!path.startsWith(top) || !path.endsWith(noteExt, Qt::CaseInsensitive))
        return std::nullopt;
    const QStringList parts = path.mid(top.size()).chopped(noteExt.size()).split(u'/');
    if (parts.size() != 2)
        return std::nullopt;
    const QDate day = QDate::fromString(parts[1], DayFormat);
    if (!day.isValid() || parts[0] != QString::number(day.year()))
        return std::nullopt;
    return day;
}

QList<QDate> Days(const QString& root, const QString& noteExt) {
    QList<QDate> days;
    const QString top = Top(root);
    for (const TqbListedName& year : ListFolder(top, noteExt, root).Folders) {
        const QString dir = top + u'/' + year.Name;
        for (const TqbListedName& note : ListFolder(dir, noteExt, root).NoteFiles)
            if (const std::optional<QDate> day = DayOf(root, dir + u'/' + note.Name, noteExt))
                days.append(*day);
    }
    std::sort(days.begin(), days.end());
    return days;
}

std::optional<QDate> Neighbour(const QList<QDate>& days, QDate from, bool earlier) {
    if (earlier) {
        const auto it = std::lower_bound(days.cbegin(), days.cend(), from);
        if (it == days.cbegin())
            return std::nullopt;
        return *std::prev(it);
    }
    const auto it = std::upper_bound(days.cbegin(), days.cend(), from);
    if (it == days.cend())
        return std::nullopt;
    return *it;
}

} // namespace qbDailyNotes
