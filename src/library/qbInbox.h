#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

class QIODevice;

// The inbox: the note "받은 메모" at the library's root, where quick captures are appended,
// each as a paragraph headed by its time.
namespace qbInbox {

inline const QString NoteName = QStringLiteral("받은 메모");

QString PathOf(const QString& root, const QString& noteExt);

// The page with the text appended before its body's end (at its end when it has none): a
// paragraph of the time and the text, its lines kept apart. Every other byte stays as it was,
// in the page's charset. Throws EqbError for a page whose markup is not in ASCII bytes (UTF-16).
QByteArray Appended(const QByteArray& page, const QString& text, const QDateTime& when);

// The text of "--capture TEXT" among the program's arguments; "--capture -" reads it from `in`
// (UTF-8, a last line end dropped). Nothing when the option is not given; an empty text when it
// has nothing after it.
std::optional<QString> CaptureText(const QStringList& arguments, QIODevice& in);

} // namespace qbInbox
