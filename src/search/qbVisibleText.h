#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// The text a reader sees on a page: what lies outside tags, comments, style sheets and scripts,
// with character references decoded. A line end or a block's edge in the source becomes '\n',
// so a search text (which holds no line end) is found only within one line of one block.
class TqbVisibleText {
public:
    // withSources keeps, for each character, the stretch of source it came from (for marking).
    explicit TqbVisibleText(QStringView page, bool withSources = false);

    const QString& Text() const { return m_text; }

    // Where character i of Text() came from: [SourceBegin, SourceEnd) of the page; a reference
    // gives both halves of its character the whole reference. Only with sources.
    qsizetype SourceBegin(qsizetype i) const { return m_sources[size_t(i)].begin; }
    qsizetype SourceEnd(qsizetype i) const { return m_sources[size_t(i)].end; }
    // Whether character i may be marked in place (false for a line end and for text boxes).
    bool Markable(qsizetype i) const { return m_sources[size_t(i)].markable; }

private:
    struct Source {
        qsizetype begin;
        qsizetype end;
        bool markable;
    };
    void Append(QChar c, qsizetype begin, qsizetype end, bool markable);

    QString m_text;
    bool m_withSources;
    std::vector<Source> m_sources;
};
