#include "editing/qbHtmlTokens.h"

namespace {

bool IsSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool IsLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool HoldsRawText(const QString& name) {
    return name == u"style" || name == u"script" || name == u"title" || name == u"xml";
}

class TReader {
public:
    explicit TReader(QStringView html) : m_html(html) {}

    QList<TqbHtmlToken> Read() {
        while (m_at < m_html.size()) {
            const qsizetype lt = m_html.indexOf(u'<', m_at);
            if (lt < 0) {
                Text(m_html.size());
                break;
            }
            Text(lt);
            m_at = lt;
            if (!Markup())
                Text(m_at + 1);
        }
        return std::move(m_tokens);
    }

private:
    // Text up to `end`, joined to text just before it.
    void Text(qsizetype end) {
        if (end <= m_at)
            return;
        if (m_tokens.isEmpty() || m_tokens.last().Kind != TqbHtmlToken::TKind::Text)
            m_tokens.append(TqbHtmlToken());
        m_tokens.last().Text += m_html.sliced(m_at, end - m_at);
        m_at = end;
    }

    // Past the first `marker` from `from`, or to the end.
    void SkipPast(QStringView marker, qsizetype from) {
        const qsizetype found = m_html.indexOf(marker, from, Qt::CaseInsensitive);
        m_at = found < 0 ? m_html.size() : found + marker.size();
    }

    bool Markup() {
        const QStringView rest = m_html.sliced(m_at);
        if (rest.startsWith(u"<!--")) {
            SkipPast(u"-->", m_at + 4);
        } else if (rest.startsWith(u"<![CDATA[")) {
            SkipPast(u"]]>", m_at + 9);
        } else if (rest.startsWith(u"<![")) {
            SkipPast(u"]>", m_at + 3);
        } else if (rest.startsWith(u"<!") || rest.startsWith(u"<?")) {
            SkipPast(u">", m_at + 2);
        } else if (rest.startsWith(u"</") && rest.size() > 2 && IsLetter(rest[2])) {
            m_at += 2;
            TqbHtmlToken token;
            token.Kind = TqbHtmlToken::TKind::End;
            token.Name = Name();
            SkipPast(u">", m_at);
            m_tokens.append(std::move(token));
        } else if (rest.size() > 1 && IsLetter(rest[1])) {
            ++m_at;
            StartTag();
        } else {
            return false;
        }
        return true;
    }

    QString Name() {
        const qsizetype from = m_at;
        while (m_at < m_html.size() && !IsSpace(m_html[m_at]) && m_html[m_at] != u'>' &&
               m_html[m_at] != u'/')
            ++m_at;
        return m_html.sliced(from, m_at - from).toString().toLower();
    }

    void SkipSpaces() {
        while (m_at < m_html.size() && IsSpace(m_html[m_at]))
            ++m_at;
    }

    void StartTag() {
        TqbHtmlToken token;
        token.Kind = TqbHtmlToken::TKind::Start;
        token.Name = Name();
        for (;;) {
            SkipSpaces();
            if (m_at >= m_html.size())
                break;
            const QChar c = m_html[m_at];
            if (c == u'>') {
                ++m_at;
                break;
            }
            if (c == u'/') {
                ++m_at;
                token.SelfClosing = m_at < m_html.size() && m_html[m_at] == u'>';
                continue;
            }
            token.Attributes.append(Attribute());
        }
        if (HoldsRawText(token.Name) && !token.SelfClosing) {
            const QString end = QStringLiteral("</") + token.Name;
            const qsizetype found = m_html.indexOf(end, m_at, Qt::CaseInsensitive);
            const qsizetype stop = found < 0 ? m_html.size() : found;
            token.Text = m_html.sliced(m_at, stop - m_at).toString();
            SkipPast(u">", stop);
        }
        m_tokens.append(std::move(token));
    }

    TqbHtmlAttribute Attribute() {
        TqbHtmlAttribute attribute;
        const qsizetype from = m_at;
        while (m_at < m_html.size() && !IsSpace(m_html[m_at]) && m_html[m_at] != u'>' &&
               m_html[m_at] != u'=' && (m_at == from || m_html[m_at] != u'/'))
            ++m_at;
        attribute.Name = m_html.sliced(from, m_at - from).toString().toLower();
        SkipSpaces();
        if (m_at >= m_html.size() || m_html[m_at] != u'=')
            return attribute;
        ++m_at;
        SkipSpaces();
        attribute.HasValue = true;
        if (m_at < m_html.size() && (m_html[m_at] == u'"' || m_html[m_at] == u'\'')) {
            const QChar quote = m_html[m_at++];
            const qsizetype close = m_html.indexOf(quote, m_at);
            const qsizetype end = close < 0 ? m_html.size() : close;
            attribute.Value = m_html.sliced(m_at, end - m_at).toString();
            m_at = close < 0 ? end : end + 1;
        } else {
            const qsizetype start = m_at;
            while (m_at < m_html.size() && !IsSpace(m_html[m_at]) && m_html[m_at] != u'>')
                ++m_at;
            attribute.Value = m_html.sliced(start, m_at - start).toString();
        }
        return attribute;
    }

    QStringView m_html;
    qsizetype m_at = 0;
    QList<TqbHtmlToken> m_tokens;
};

} // namespace

QList<TqbHtmlToken> qbReadHtml(QStringView html) {
    return TReader(html).Read();
}
