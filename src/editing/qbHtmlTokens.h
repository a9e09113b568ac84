#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// A tolerant reading of HTML into tags and text, for markup that comes from elsewhere.
struct TqbHtmlAttribute {
    QString Name;  // in lower case
    QString Value; // as written, character references and all
    bool HasValue = false;
};

struct TqbHtmlToken {
    enum class TKind { Text, Start, End };
    TKind Kind = TKind::Text;
    QString Name; // a tag's, in lower case
    QString Text; // text as written; for a start tag of raw text (style, script, ...) its content
    QList<TqbHtmlAttribute> Attributes;
    bool SelfClosing = false;
};

// Comments, conditional comments' markers, declarations and processing instructions give no
// token: a page shows none of them. An element whose content is raw text (style, script, title,
// xml) is one start token holding that content, its end tag read with it. A '<' that
// starts no tag is text.
QList<TqbHtmlToken> qbReadHtml(QStringView html);
