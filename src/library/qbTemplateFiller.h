#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Fills a template's fields as a note is made from it: {날짜} "2026년 12월 9일", {시각} "14:05",
// {요일} "수요일", {제목} the note's name. {커서} marks where typing should begin; without it
// that is the first empty line of the body (a block or cell of nothing but spaces, &nbsp; and
// line breaks), else the end of the body, never the title. The place is left as CaretMark,
// which the editor takes out as it puts the caret there. Other braces stay as they are.
class TqbTemplateFiller {
public:
    static inline const QString CaretMark = QStringLiteral("<!--qbCaret-->");

    TqbTemplateFiller(const QString& title, const QDateTime& when);

    QString Fill(const QString& page) const;
    // A template file's bytes filled, in the charset the template came in. A template whose
    // bytes do not read cleanly is taken as it is: filling it would change bytes of its own.
    QByteArray FillBytes(const QByteArray& bytes) const;

private:
    QString m_title;
    QDateTime m_when;
};
