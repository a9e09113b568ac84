#include "library/qbNoteMerge.h"

#include "platform/qbError.h"

#include <QString>

#include <git2.h>

#include <array>
#include <string_view>

namespace {

// A break the layout added is a line ending in Added; the byte itself in the page is doubled.
constexpr char Mark = '\x01';
constexpr char Escaped = '\x02';

// Tags after which a page's text starts a new block.
constexpr std::array<std::string_view, 20> BlockEnds = {
    "</p>",          "</div>",  "</h1>",    "</h2>",    "</h3>", "</h4>", "</h5>",
    "</h6>",         "</li>",   "</tr>",    "</table>", "</ul>", "</ol>", "</pre>",
    "</blockquote>", "</head>", "</title>", "</dl>",    "</dd>", "</dt>"};

// Long markers: a page's own line would have to begin with 32 '<' to be taken for one.
constexpr unsigned short MarkerSize = 32;

bool StartsWithNoCase(const QByteArray& text, qsizetype at, std::string_view word) {
    if (at + qsizetype(word.size()) > text.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        char c = text[at + qsizetype(i)];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != word[i])
            return false;
    }
    return true;
}

// The length of the block-ending tag at at ("</p>", "<br>", "<br/>", "<hr ...>"), or 0.
qsizetype BlockEndAt(const QByteArray& page, qsizetype at) {
    for (std::string_view tag : BlockEnds)
        if (StartsWithNoCase(page, at, tag))
            return qsizetype(tag.size());
    for (std::string_view open : {std::string_view("<br"), std::string_view("<hr")}) {
        if (!StartsWithNoCase(page, at, open))
            continue;
        const qsizetype next = at + 3;
        if (next >= page.size())
            return 0;
        const char c = page[next];
        if (c != '>' && c != '/' && c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return 0;
        const qsizetype close = page.indexOf('>', next);
        return close < 0 ? 0 : close + 1 - at;
    }
    return 0;
}

void InitOnce() {
    static const int ready = git_libgit2_init();
    Q_UNUSED(ready);
}

QString LastGitError() {
    const git_error* e = git_error_last();
    return e && e->message ? QString::fromUtf8(e->message) : QString();
}

enum class Marker { None, Ours, Base, Split, Theirs };

Marker MarkerOf(const QByteArray& line) {
    static const QByteArray ours(MarkerSize, '<'), base(MarkerSize, '|'), split(MarkerSize, '='),
        theirs(MarkerSize, '>');
    if (line.startsWith(ours))
        return Marker::Ours;
    if (line.startsWith(base))
        return Marker::Base;
    if (line.startsWith(split))
        return Marker::Split;
    if (line.startsWith(theirs))
        return Marker::Theirs;
    return Marker::None;
}

// The merge output with its markers read into parts, each part's text laid out still.
QList<TqbMergePart> ReadParts(const QByteArray& out) {
    QList<TqbMergePart> parts;
    TqbMergePart agreed;
    TqbMergePart overlap;
    overlap.Overlap = true;
    QByteArray* into = &agreed.Text;
    qsizetype at = 0;
    while (at < out.size()) {
        qsizetype end = out.indexOf('\n', at);
        end = end < 0 ? out.size() : end + 1;
        const QByteArray line = out.mid(at, end - at);
        at = end;
        switch (MarkerOf(line)) {
        case Marker::Ours:
            if (!agreed.Text.isEmpty())
                parts.append(agreed);
            agreed = {};
            into = &overlap.Ours;
            break;
        case Marker::Base:
            into = &overlap.Base;
            break;
        case Marker::Split:
            into = &overlap.Theirs;
            break;
        case Marker::Theirs:
            parts.append(overlap);
            overlap = {};
            overlap.Overlap = true;
            into = &agreed.Text;
            break;
        case Marker::None:
            into->append(line);
            break;
        }
    }
    if (!agreed.Text.isEmpty())
        parts.append(agreed);
    for (TqbMergePart& part : parts) {
        part.Text = TqbNoteMerge::Unlayout(part.Text);
        part.Base = TqbNoteMerge::Unlayout(part.Base);
        part.Ours = TqbNoteMerge::Unlayout(part.Ours);
        part.Theirs = TqbNoteMerge::Unlayout(part.Theirs);
    }
    return parts;
}

git_merge_file_input Input(const QByteArray& laid) {
    git_merge_file_input input = GIT_MERGE_FILE_INPUT_INIT;
    input.ptr = laid.constData();
    input.size = size_t(laid.size());
    return input;
}

} // namespace

QByteArray TqbNoteMerge::Layout(const QByteArray& page) {
    QByteArray laid;
    laid.reserve(page.size() + page.size() / 16 + 2);
    qsizetype at = 0;
    while (at < page.size()) {
        const char c = page[at];
        if (c == Mark) {
            laid.append(Mark).append(Escaped);
            ++at;
            continue;
        }
        const qsizetype tag = c == '<' ? BlockEndAt(page, at) : 0;
        if (tag == 0) {
            laid.append(c);
            ++at;
            continue;
        }
        laid.append(page.constData() + at, tag);
        at += tag;
        // A page's own line break after the tag already ends the line.
        if (at < page.size() && page[at] == '\n')
            continue;
        if (at + 1 < page.size() && page[at] == '\r' && page[at + 1] == '\n')
            continue;
        laid.append(Mark).append('\n');
    }
    // A last line without its end would come out of a conflict with one.
    if (!laid.isEmpty() && !laid.endsWith('\n'))
        laid.append(Mark).append('\n');
    return laid;
}

QByteArray TqbNoteMerge::Unlayout(const QByteArray& laid) {
    QByteArray page;
    page.reserve(laid.size());
    for (qsizetype at = 0; at < laid.size(); ++at) {
        const char c = laid[at];
        if (c == Mark && at + 1 < laid.size()) {
            if (laid[at + 1] == Escaped)
                page.append(Mark);
            ++at; // an added break, or the escape: both are one byte more
            continue;
        }
        page.append(c);
    }
    return page;
}

TqbMergeResult TqbNoteMerge::Merge(const QByteArray& base, const QByteArray& ours,
                                   const QByteArray& theirs) {
    InitOnce();
    const QByteArray laidBase = Layout(base), laidOurs = Layout(ours), laidTheirs = Layout(theirs);
    const git_merge_file_input inBase = Input(laidBase), inOurs = Input(laidOurs),
                               inTheirs = Input(laidTheirs);
    git_merge_file_options options = GIT_MERGE_FILE_OPTIONS_INIT;
    options.flags = GIT_MERGE_FILE_STYLE_DIFF3;
    options.marker_size = MarkerSize;
    git_merge_file_result out = {};
    if (git_merge_file(&out, &inBase, &inOurs, &inTheirs, &options) != 0)
        throw EqbError(QStringLiteral("두 판을 병합하지 못했습니다. %1").arg(LastGitError()));
    const QByteArray merged(out.ptr, qsizetype(out.len));
    const bool clean = out.automergeable != 0;
    git_merge_file_result_free(&out);

    TqbMergeResult result;
    result.Clean = clean;
    if (clean) {
        result.Merged = Unlayout(merged);
        result.Parts = {TqbMergePart{false, result.Merged, {}, {}, {}}};
    } else {
        result.Parts = ReadParts(merged);
    }
    return result;
}

QByteArray TqbNoteMerge::Join(const TqbMergeResult& result, const QList<bool>& takeOurs) {
    QByteArray page;
    qsizetype overlap = 0;
    for (const TqbMergePart& part : result.Parts) {
        if (!part.Overlap) {
            page.append(part.Text);
            continue;
        }
        page.append(takeOurs.value(overlap++, true) ? part.Ours : part.Theirs);
    }
    return page;
}
