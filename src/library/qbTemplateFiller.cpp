#include "library/qbTemplateFiller.h"

#include "platform/qbPageCodec.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

// Where typing begins when the template does not say: just inside the first empty block or
// cell after <BODY>, else before </BODY>, else at the end.
qsizetype DefaultCaretPlace(const QString& page) {
    static const QRegularExpression body(QStringLiteral("<body\\b[^>]*>"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression emptyBlock(
        QStringLiteral("<(div|p|li|td|th|h[1-6]|pre|blockquote)\\b[^>]*>"
                       "(?:\\s|&nbsp;|&#160;|<br\\s*/?>)*</\\1\\s*>"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression bodyEnd(QStringLiteral("</body\\s*>"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch open = body.match(page);
    const qsizetype from = open.hasMatch() ? open.capturedEnd() : 0;
    const QRegularExpressionMatch empty = emptyBlock.match(page, from);
    if (empty.hasMatch())
        return page.indexOf(u'>', empty.capturedStart()) + 1;
    const QRegularExpressionMatch end = bodyEnd.match(page, from);
    return end.hasMatch() ? end.capturedStart() : page.size();
}

} // namespace

TqbTemplateFiller::TqbTemplateFiller(const QString& title, const QDateTime& when)
    : m_title(title), m_when(when) {}

QString TqbTemplateFiller::Fill(const QString& page) const {
    static const QRegularExpression field(QStringLiteral("\\{(날짜|시각|요일|제목|커서)\\}"));
    const QDate date = m_when.date();
    QString text;
    text.reserve(page.size() + 64);
    qsizetype caret = -1;
    qsizetype from = 0;
    // One pass, so a value that reads like a field (a note named "{커서}") stays a value.
    for (QRegularExpressionMatchIterator it = field.globalMatch(page); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        text += QStringView(page).sliced(from, match.capturedStart() - from);
        from = match.capturedEnd();
        const QStringView name = match.capturedView(1);
        if (name == u"날짜")
            text +=
                QStringLiteral("%1년 %2월 %3일").arg(date.year()).arg(date.month()).arg(date.day());
        else if (name == u"시각")
            text += m_when.time().toString(QStringLiteral("HH:mm"));
        else if (name == u"요일")
            text += QLocale(QLocale::Korean, QLocale::SouthKorea).dayName(date.dayOfWeek());
        else if (name == u"제목")
            text += m_title.toHtmlEscaped();
        else if (caret < 0) // the first {커서} is the place; any later one goes
            caret = text.size();
    }
    text += QStringView(page).sliced(from);
    text.insert(caret >= 0 ? caret : DefaultCaretPlace(text), CaretMark);
    return text;
}

QByteArray TqbTemplateFiller::FillBytes(const QByteArray& bytes) const {
    const TqbPageText page = qbPageCodec::Decode(bytes);
    if (page.HadDecodingErrors)
        return bytes;
    return qbPageCodec::Encode(Fill(page.Text), page.Charset);
}
