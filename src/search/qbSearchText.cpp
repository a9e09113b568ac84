#include "search/qbSearchText.h"

#include "platform/qbTextFile.h"
#include "search/qbPageCharset.h"
#include "search/qbPageReader.h"
#include "search/qbVisibleText.h"

#include <algorithm>
#include <vector>

namespace qbSearch {

namespace {

bool IsBlankOrControl(QChar c) {
    return c.unicode() <= u' ' || c.category() == QChar::Other_Control;
}

struct TqbSourceRun {
    qsizetype begin;
    qsizetype end;
};

// The stretches of source under visible characters [from, to) that can be marked: each stops
// where a tag (or a line end) lies between two characters.
void AddMarkableRuns(const TqbVisibleText& visible, qsizetype from, qsizetype to,
                     std::vector<TqbSourceRun>& runs) {
    bool open = false;
    for (qsizetype i = from; i < to; ++i) {
        if (!visible.Markable(i)) {
            open = false;
            continue;
        }
        const qsizetype begin = visible.SourceBegin(i);
        const qsizetype end = visible.SourceEnd(i);
        // Both halves of a character from one reference share its source.
        if (open && begin <= runs.back().end) {
            runs.back().end = std::max(runs.back().end, end);
            continue;
        }
        runs.push_back({begin, end});
        open = true;
    }
}

} // namespace

QString MakeSearchText(const QString& entered) {
    qsizetype begin = 0;
    qsizetype end = entered.size();
    while (begin < end && IsBlankOrControl(entered.at(begin)))
        ++begin;
    while (end > begin && IsBlankOrControl(entered.at(end - 1)))
        --end;
    return FoldAsciiCase(QStringView(entered)
                             .sliced(begin, end - begin)
                             .toString()
                             .normalized(QString::NormalizationForm_C));
}

QString DecomposedForm(const QString& searchText) {
    QString decomposed = searchText.normalized(QString::NormalizationForm_D);
    return decomposed == searchText ? QString() : decomposed;
}

QString FoldAsciiCase(QStringView text) {
    QString folded(text.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(folded.data());
    const char16_t* in = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = (in[i] >= u'A' && in[i] <= u'Z') ? char16_t(in[i] + (u'a' - u'A')) : in[i];
    return folded;
}

QString HighlightMatches(QStringView page, const QString& searchText) {
    if (searchText.isEmpty())
        return page.toString();
    const TqbVisibleText visible(page, true);
    const QString folded = FoldAsciiCase(visible.Text());
    std::vector<TqbSourceRun> runs;
    for (const QString& form : {searchText, DecomposedForm(searchText)}) {
        const qsizetype n = form.size();
        for (qsizetype at = n ? folded.indexOf(form) : -1; at >= 0;
             at = folded.indexOf(form, at + n))
            AddMarkableRuns(visible, at, at + n, runs);
    }
    if (runs.empty())
        return page.toString();
    std::sort(runs.begin(), runs.end(),
              [](const TqbSourceRun& a, const TqbSourceRun& b) { return a.begin < b.begin; });
    QString marked;
    marked.reserve(page.size() + qsizetype(runs.size()) * (HighlightOpen.size() + HighlightClose.size()));
    qsizetype from = 0;
    for (const TqbSourceRun& run : runs) {
        marked += page.sliced(from, run.begin - from);
        marked += HighlightOpen;
        marked += page.sliced(run.begin, run.end - run.begin);
        marked += HighlightClose;
        from = run.end;
    }
    marked += page.sliced(from);
    return marked;
}

void WriteMarkedCopy(const QByteArray& nativeSource, const QString& target,
                     const QString& searchText) {
    TqbPageReader reader;
    const QByteArray& bytes = reader.Read(nativeSource);
    const QByteArray charset = PageCharset(bytes);
    const QString marked = HighlightMatches(DecodePage(bytes, charset), searchText);
    WritePage(target, qbText::JoinLines(qbText::SplitLines(marked)), charset);
}

} // namespace qbSearch
