#include "editing/qbOfficePaste.h"

#include "editing/qbHtmlTokens.h"

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <algorithm>

namespace {

using TDeclarations = QList<std::pair<QString, QString>>; // property, value; in order

bool OneOf(const QString& name, std::initializer_list<QStringView> names) {
    return std::find(names.begin(), names.end(), QStringView(name)) != names.end();
}

// What a class may give that the user sees, written inline when the class goes. A note keeps
// its own font and spacing.
bool IsVisibleLook(const QString& property) {
    return OneOf(property, {u"color", u"background", u"background-color", u"font-weight",
                            u"font-style", u"text-decoration", u"text-decoration-line",
                            u"text-align", u"vertical-align", u"border", u"border-top",
                            u"border-right", u"border-bottom", u"border-left"});
}

// A class's look that changes nothing the user sees on its own, or that no browser reads
// ("general" is a spreadsheet's own alignment).
bool IsPlain(const std::pair<QString, QString>& declaration) {
    const auto& [property, value] = declaration;
    const QString plain = value.toLower();
    return plain == u"general" ||
           (property == u"font-weight" && (plain == u"normal" || plain == u"400")) ||
           (property == u"font-style" && plain == u"normal") ||
           (property == u"text-decoration" && plain == u"none");
}

// Properties only the office programs read.
bool IsOfficeOnly(const QString& property) {
    return property.startsWith(u"mso-") ||
           OneOf(property, {u"tab-stops", u"layout-grid-mode", u"text-autospace",
                            u"text-justify-trim", u"punctuation-wrap", u"page", u"style-name"});
}

// Declarations split at semicolons outside quotes; a backslash escapes the next character.
TDeclarations ReadDeclarations(QStringView text) {
    TDeclarations result;
    const auto add = [&result](QStringView declaration) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon <= 0)
            return;
        const QString property = declaration.first(colon).trimmed().toString().toLower();
        const QString value = declaration.sliced(colon + 1).trimmed().toString();
        if (!property.isEmpty() && !value.isEmpty() && !IsOfficeOnly(property))
            result.append({property, value});
    };
    QChar quote;
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\')
            ++i;
        else if (!quote.isNull())
            quote = c == quote ? QChar() : quote;
        else if (c == u'"' || c == u'\'')
            quote = c;
        else if (c == u';') {
            add(text.sliced(from, i - from));
            from = i + 1;
        }
    }
    if (from < text.size())
        add(text.sliced(from));
    return result;
}

void Put(TDeclarations& declarations, const QString& property, const QString& value) {
    for (auto& [name, old] : declarations)
        if (name == property) {
            old = value;
            return;
        }
    declarations.append({property, value});
}

QString WriteDeclarations(const TDeclarations& declarations) {
    QStringList parts;
    for (const auto& [property, value] : declarations)
        parts.append(property + QChar(u':') + value);
    return parts.join(u"; ");
}

// A rule of the clipboard's style sheet that one class selects ("td.xl65", ".xl65").
struct TClassRule {
    QString Element; // empty for any
    TDeclarations Look;
};

// The visible look each class of the clipboard's style sheets gives, rules in their order.
class TClassLooks {
public:
    void Read(QString sheet) {
        static const QRegularExpression comments(QStringLiteral("/\\*.*?\\*/|<!--|-->"),
                                                 QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression classSelector(
            QStringLiteral("^([A-Za-z][A-Za-z0-9]*)?\\.([A-Za-z0-9_-]+)$"));
        sheet.remove(comments);
        qsizetype at = 0;
        while (at < sheet.size()) {
            const qsizetype open = sheet.indexOf(u'{', at);
            if (open < 0)
                break;
            const QStringView selectors = QStringView(sheet).sliced(at, open - at).trimmed();
            const qsizetype close = BlockEnd(sheet, open);
            const QStringView body = QStringView(sheet).sliced(open + 1, close - open - 1);
            at = close + 1;
            if (selectors.startsWith(u'@'))
                continue;
            TDeclarations look;
            for (auto& declaration : ReadDeclarations(body))
                if (IsVisibleLook(declaration.first) && !IsPlain(declaration))
                    look.append(declaration);
            if (look.isEmpty())
                continue;
            for (QStringView selector : selectors.split(u','))
                if (const auto match = classSelector.match(selector.trimmed().toString()); match.hasMatch())
                    m_rules[match.captured(2)].append({match.captured(1).toLower(), look});
        }
    }

    // What `classes` give an element named `element`, later rules over earlier ones.
    TDeclarations LookOf(const QString& element, const QStringList& classes) const {
        TDeclarations look;
        for (const QString& name : classes)
            for (const TClassRule& rule : m_rules.value(name))
                if (rule.Element.isEmpty() || rule.Element == element)
                    for (const auto& [property, value] : rule.Look)
                        Put(look, property, value);
        return look;
    }

private:
    // The brace that closes the block opened at `open` (an at-rule may nest blocks).
    static qsizetype BlockEnd(const QString& sheet, qsizetype open) {
        int depth = 0;
        for (qsizetype i = open; i < sheet.size(); ++i) {
            if (sheet[i] == u'{')
                ++depth;
            else if (sheet[i] == u'}' && --depth == 0)
                return i;
        }
        return sheet.size();
    }

    QHash<QString, QList<TClassRule>> m_rules;
};

bool IsVoid(const QString& name) {
    return OneOf(name, {u"area", u"base", u"br", u"col", u"embed", u"hr", u"img", u"input",
                        u"link", u"meta", u"param", u"source", u"track", u"wbr"});
}

// Elements whose end tag a page may leave out: not written where the clipboard left it out.
bool EndsByItself(const QString& name) {
    return OneOf(name, {u"p", u"li", u"td", u"th", u"tr", u"dt", u"dd", u"thead", u"tbody",
                        u"tfoot", u"colgroup", u"option"});
}

// Office namespaces' elements (o:p, st1:place, w:sdt) and the page's own frame: their content
// stays, the tags go.
bool Unwrapped(const QString& name) {
    return name.contains(u':') || name == u"html" || name == u"head" || name == u"body";
}

// Wholly dropped: what only the office program reads.
bool Dropped(const QString& name) {
    return OneOf(name, {u"style", u"script", u"title", u"xml", u"meta", u"link", u"base"});
}

// Carriers of look only: without attributes they are unwrapped, without content dropped.
bool CarriesLookOnly(const QString& name) {
    return name == u"span" || name == u"font";
}

// Namespaced and office-only attributes; event handlers too, which no note runs.
bool IsOfficeAttribute(const QString& name) {
    return name.contains(u':') || name.startsWith(u"xmlns") || name.startsWith(u"on") ||
           name == u"lang" || name == u"sdval" || name == u"sdnum";
}

QString AttributeText(const QString& name, const QString& value) {
    QString escaped = value;
    escaped.replace(QChar(u'"'), QStringLiteral("&quot;"));
    return QStringLiteral(" %1=\"%2\"").arg(name, escaped);
}

class TCleaner {
public:
    TCleaner(const QSet<QString>& noteClasses, const TqbOfficePaste::TPictureMap& pictures)
        : m_noteClasses(noteClasses), m_pictures(pictures) {}

    QString Clean(const QString& html) {
        const QList<TqbHtmlToken> tokens = qbReadHtml(html);
        for (const TqbHtmlToken& token : tokens)
            if (token.Kind == TqbHtmlToken::TKind::Start && token.Name == u"style")
                m_looks.Read(token.Text);
        m_out.reserve(html.size());
        for (const TqbHtmlToken& token : tokens) {
            if (token.Kind == TqbHtmlToken::TKind::Text)
                m_out += token.Text;
            else if (token.Kind == TqbHtmlToken::TKind::Start)
                Start(token);
            else
                End(token.Name);
        }
        while (!m_open.isEmpty())
            Close();
        return m_out.trimmed();
    }

private:
    struct TOpen {
        QString Name;
        bool Written = false;
        qsizetype TagAt = 0;  // where its start tag begins in the output
        qsizetype TagEnd = 0; // and ends
    };

    void Start(const TqbHtmlToken& token) {
        if (Dropped(token.Name))
            return;
        const bool hasEnd = !IsVoid(token.Name) && !token.SelfClosing;
        if (Unwrapped(token.Name)) {
            if (hasEnd)
                m_open.append({token.Name});
            return;
        }
        QString attributes;
        if (!Attributes(token, attributes))
            return;
        if (CarriesLookOnly(token.Name) && attributes.isEmpty()) {
            if (hasEnd)
                m_open.append({token.Name});
            return;
        }
        const qsizetype at = m_out.size();
        m_out += QChar(u'<') + token.Name + attributes + QChar(u'>');
        if (hasEnd)
            m_open.append({token.Name, true, at, m_out.size()});
        else if (token.SelfClosing && !IsVoid(token.Name))
            m_out += QStringLiteral("</%1>").arg(token.Name);
    }

    void End(const QString& name) {
        for (qsizetype i = m_open.size() - 1; i >= 0; --i) {
            if (m_open[i].Name != name)
                continue;
            while (m_open.size() > i + 1)
                Close();
            Close(true);
            return;
        }
    }

    // Closes the innermost open element; `explicitly` when the clipboard wrote its end tag.
    void Close(bool explicitly = false) {
        const TOpen open = m_open.takeLast();
        if (!open.Written)
            return;
        if (CarriesLookOnly(open.Name) && m_out.size() == open.TagEnd) {
            m_out.truncate(open.TagAt);
            return;
        }
        if (explicitly || !EndsByItself(open.Name))
            m_out += QStringLiteral("</%1>").arg(open.Name);
    }

    // The attributes to keep, as written; false when the element is to be left out.
    bool Attributes(const TqbHtmlToken& token, QString& text) {
        TDeclarations look, own;
        QStringList kept;
        for (const TqbHtmlAttribute& attribute : token.Attributes) {
            const QString& name = attribute.Name;
            if (IsOfficeAttribute(name))
                continue;
            if (name == u"class") {
                QStringList gone;
                for (const QString& one : attribute.Value.split(u' ', Qt::SkipEmptyParts))
                    (m_noteClasses.contains(one) ? kept : gone).append(one);
                look = m_looks.LookOf(token.Name, gone);
            } else if (name == u"style") {
                own = ReadDeclarations(attribute.Value);
            } else if (name == u"src" && token.Name == u"img" && m_pictures) {
                QString address = m_pictures(QString(attribute.Value).replace(QStringLiteral("&amp;"), QStringLiteral("&")));
                if (address.isEmpty())
                    return false;
                text += AttributeText(name, address.replace(QChar(u'&'), QStringLiteral("&amp;")));
            } else {
                text += attribute.HasValue ? AttributeText(name, attribute.Value) : QChar(u' ') + name;
            }
        }
        if (!kept.isEmpty())
            text.prepend(AttributeText(QStringLiteral("class"), kept.join(u' ')));
        // The element's own declarations come after its classes' and so win, as in the page.
        look.removeIf([&own](const auto& declaration) {
            return std::any_of(own.begin(), own.end(), [&declaration](const auto& mine) {
                return mine.first == declaration.first;
            });
        });
        look.append(own);
        if (!look.isEmpty())
            text += AttributeText(QStringLiteral("style"), WriteDeclarations(look));
        return true;
    }

    const QSet<QString>& m_noteClasses;
    const TqbOfficePaste::TPictureMap& m_pictures;
    TClassLooks m_looks;
    QList<TOpen> m_open;
    QString m_out;
};

} // namespace

TqbOfficePaste::TqbOfficePaste(QSet<QString> noteClasses, TPictureMap pictures)
    : m_noteClasses(std::move(noteClasses)), m_pictures(std::move(pictures)) {}

QString TqbOfficePaste::Clean(const QString& html) const {
    return TCleaner(m_noteClasses, m_pictures).Clean(html);
}
