#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// The daily notes: one a day, "일기/2026/2026-12-09.htm" below the library's root, made from
// the "일기" template the first time.
namespace qbDailyNotes {

inline const QString FolderName = QStringLiteral("일기");
inline const QString TemplateName = QStringLiteral("일기");

QString PathOf(const QString& root, QDate day, const QString& noteExt);
// The day a daily note's path stands for; nothing for any other path.
std::optional<QDate> DayOf(const QString& root, const QString& path, const QString& noteExt);
// The days that have a note, earliest first.
QList<QDate> Days(const QString& root, const QString& noteExt);
// The nearest day before (or after) `from` among days (earliest first).
std::optional<QDate> Neighbour(const QList<QDate>& days, QDate from, bool earlier);

} // namespace qbDailyNotes
