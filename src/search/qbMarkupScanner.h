#pragma once

#include "search/qbCharacterReferences.h"

#include <QStringView>
#include <cstring>
#include <type_traits>

// What a page's source is made of, piece by piece, as a browser reads it: text, character
// references and markup (tags, comments, and the contents of elements that show no text).
struct TqbMarkupPiece {
    enum Kind { Text, Reference, Markup };
    Kind kind = Text;
    qsizetype begin = 0;
    qsizetype end = 0;
    char32_t character = 0; // a reference's character
    // Text inside a text box or a preformatted example: read, but never marked, since markup
    // put there would show as text.
    bool markable = true;
    // Markup that ends a block or holds a line end: no text runs on across it.
    bool breaks = false;
};

// Splits a page into pieces, front to back. Char is char16_t (decoded text) or char (the bytes
// of an ASCII-compatible charset such as windows-949 or UTF-8): every decision is made on ASCII
// characters that cannot be the second byte of a double-byte character ('<', '&', quotes, ...)
// or that follow such a character, so the bytes split exactly where their text would.
template <typename Char> class TqbMarkupScanner {
public:
    TqbMarkupScanner(const Char* data, qsizetype size) : m_data(data), m_size(size) {}

    // The next piece; false at the end.
    bool Next(TqbMarkupPiece& piece) {
        piece = TqbMarkupPiece();
        if (m_pos >= m_size)
            return false;
        piece.begin = m_pos;
        if (m_contentEnd > m_pos)
            return NextInContent(piece);
        if (m_plaintext) {
            piece.markable = false;
            return Finish(piece, TqbMarkupPiece::Text, m_size);
        }
        const qsizetype stop = std::min(NextOf('<', m_nextLt), NextOf('&', m_nextAmp));
        if (stop > m_pos)
            return Finish(piece, TqbMarkupPiece::Text, stop);
        if (At(m_pos) == '&')
            return ReadReference(piece);
        return ReadMarkup(piece);
    }

private:
    enum class Content { Hidden, Raw, Escapable };

    char32_t At(qsizetype i) const {
        return i < m_size ? char32_t(std::make_unsigned_t<Char>(m_data[i])) : 0;
    }
    static char32_t Lower(char32_t c) { return (c >= 'A' && c <= 'Z') ? c + 0x20 : c; }
    static bool IsSpace(char32_t c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
    }
    static bool IsAlpha(char32_t c) { return Lower(c) >= 'a' && Lower(c) <= 'z'; }

    // The first c in [from, to), else to.
    qsizetype Find(Char c, qsizetype from, qsizetype to) const {
        if (from >= to)
            return to;
        if constexpr (sizeof(Char) == 1) {
            const void* hit = std::memchr(m_data + from, c, size_t(to - from));
            return hit ? static_cast<const Char*>(hit) - m_data : to;
        } else {
            const qsizetype at = QStringView(m_data + from, to - from).indexOf(QChar(c));
            return at < 0 ? to : from + at;
        }
    }
    qsizetype Find(Char c, qsizetype from) const { return Find(c, from, m_size); }
    // The next c at or after the position, remembered so a page is searched for it only once.
    qsizetype NextOf(Char c, qsizetype& cached) const {
        if (cached < m_pos)
            cached = Find(c, m_pos);
        return cached;
    }
    bool HasLineEnd(qsizetype from, qsizetype to) const {
        return Find('\n', from, to) < to || Find('\r', from, to) < to;
    }

    bool Finish(TqbMarkupPiece& piece, TqbMarkupPiece::Kind kind, qsizetype end) {
        piece.kind = kind;
        piece.end = end;
        if (kind == TqbMarkupPiece::Markup && !piece.breaks)
            piece.breaks = HasLineEnd(piece.begin, end);
        m_pos = end;
        return true;
    }

    bool ReadReference(TqbMarkupPiece& piece) {
        char32_t c = 0;
        const qsizetype length = qbSearch::ReadCharacterReference(m_data + m_pos, m_size - m_pos, c);
        if (length == 0)
            return Finish(piece, TqbMarkupPiece::Text, m_pos + 1);
        piece.character = c;
        return Finish(piece, TqbMarkupPiece::Reference, m_pos + length);
    }

    // Text inside a text box or an example; hidden contents come as one piece with their end
    // tag.
    bool NextInContent(TqbMarkupPiece& piece) {
        if (m_content == Content::Hidden) {
            const qsizetype end = EndTagEnd(m_contentEnd);
            m_contentEnd = 0;
            return Finish(piece, TqbMarkupPiece::Markup, end);
        }
        piece.markable = false;
        if (m_content == Content::Escapable && At(m_pos) == '&')
            return ReadReference(piece);
        qsizetype stop = m_contentEnd;
        if (m_content == Content::Escapable)
            stop = std::min(stop, NextOf('&', m_nextAmp));
        if (stop == m_contentEnd && stop < m_size) {
            // The text box ends here: its end tag follows as markup.
            m_contentEnd = 0;
        }
        if (stop > m_pos)
            return Finish(piece, TqbMarkupPiece::Text, stop);
        return ReadMarkup(piece);
    }

    // The name after "<" or "</", lower-cased into m_name; returns where it ends.
    qsizetype ReadName(qsizetype i) {
        m_nameLength = 0;
        for (; i < m_size; ++i) {
            const char32_t c = At(i);
            if (IsSpace(c) || c == '/' || c == '>')
                break;
            if (m_nameLength < qsizetype(sizeof m_name))
                m_name[m_nameLength] = char(c < 0x80 ? Lower(c) : 0);
            ++m_nameLength;
        }
        return i;
    }
    bool NameIs(const char* name) const {
        const qsizetype n = qsizetype(std::strlen(name));
        return n == m_nameLength && std::memcmp(m_name, name, size_t(n)) == 0;
    }
    bool NameIsBlock() const {
        static const char* const blocks[] = {
            "address", "article", "aside",   "blockquote", "body",   "br",     "caption",
            "center",  "dd",      "details", "dialog",     "dir",    "div",    "dl",
            "dt",      "fieldset", "figcaption", "figure", "footer", "form",   "h1",
            "h2",      "h3",      "h4",      "h5",         "h6",     "head",   "header",
            "hr",      "html",    "legend",  "li",         "listing", "main",  "menu",
            "nav",     "ol",      "p",       "pre",        "section", "summary", "table",
            "tbody",   "td",      "tfoot",   "th",         "thead",  "tr",     "ul"};
        for (const char* block : blocks) {
            if (NameIs(block))
                return true;
        }
        return false;
    }

    // Past the tag's ">" (or the end of the page), attribute values in quotes skipped whole.
    qsizetype TagEnd(qsizetype i) const {
        while (i < m_size) {
            const char32_t c = At(i);
            if (c == '>')
                return i + 1;
            if (c == '=') {
                ++i;
                while (IsSpace(At(i)))
                    ++i;
                const char32_t quote = At(i);
                if (quote == '"' || quote == '\'') {
                    i = Find(Char(quote), i + 1);
                    if (i < m_size)
                        ++i;
                }
                continue;
            }
            ++i;
        }
        return m_size;
    }

    // Where "</name" that closes the current contents begins; the page's end when none does.
    qsizetype ContentEnd(qsizetype from) const {
        for (qsizetype i = Find('<', from); i < m_size; i = Find('<', i + 1)) {
            if (At(i + 1) != '/')
                continue;
            qsizetype k = 0;
            while (k < m_nameLength && Lower(At(i + 2 + k)) == char32_t(uchar(m_name[k])))
                ++k;
            const char32_t after = At(i + 2 + k);
            if (k == m_nameLength && (IsSpace(after) || after == '/' || after == '>'))
                return i;
        }
        return m_size;
    }
    qsizetype EndTagEnd(qsizetype at) const { return at < m_size ? TagEnd(at + 2) : m_size; }

    qsizetype CommentEnd(qsizetype i) const {
        // "<!-->" and "<!--->" are whole comments.
        if (At(i) == '>')
            return i + 1;
        if (At(i) == '-' && At(i + 1) == '>')
            return i + 2;
        for (i = Find('-', i); i < m_size; i = Find('-', i + 1)) {
            if (At(i + 1) != '-')
                continue;
            if (At(i + 2) == '>')
                return i + 3;
            if (At(i + 2) == '!' && At(i + 3) == '>')
                return i + 4;
        }
        return m_size;
    }
    qsizetype BogusCommentEnd(qsizetype i) const {
        const qsizetype end = Find('>', i);
        return end < m_size ? end + 1 : m_size;
    }

    bool ReadMarkup(TqbMarkupPiece& piece) {
        const qsizetype at = m_pos;
        const char32_t next = At(at + 1);
        if (next == '!') {
            const bool comment = At(at + 2) == '-' && At(at + 3) == '-';
            return Finish(piece, TqbMarkupPiece::Markup,
                          comment ? CommentEnd(at + 4) : BogusCommentEnd(at + 2));
        }
        if (next == '?')
            return Finish(piece, TqbMarkupPiece::Markup, BogusCommentEnd(at + 2));
        if (next == '/') {
            if (At(at + 2) == '>')
                return Finish(piece, TqbMarkupPiece::Markup, at + 3);
            if (!IsAlpha(At(at + 2)))
                return Finish(piece, TqbMarkupPiece::Markup, BogusCommentEnd(at + 2));
            const qsizetype nameEnd = ReadName(at + 2);
            piece.breaks = NameIsBlock();
            return Finish(piece, TqbMarkupPiece::Markup, TagEnd(nameEnd));
        }
        if (!IsAlpha(next))
            return Finish(piece, TqbMarkupPiece::Text, at + 1);
        const qsizetype end = TagEnd(ReadName(at + 1));
        piece.breaks = NameIsBlock();
        Finish(piece, TqbMarkupPiece::Markup, end);
        StartContent();
        return true;
    }

    // After a start tag: elements whose contents are not markup.
    void StartContent() {
        if (NameIs("plaintext")) {
            m_plaintext = true;
            return;
        }
        if (NameIs("style") || NameIs("script") || NameIs("title") || NameIs("iframe") ||
            NameIs("noembed") || NameIs("noframes"))
            m_content = Content::Hidden;
        else if (NameIs("xmp"))
            m_content = Content::Raw;
        else if (NameIs("textarea"))
            m_content = Content::Escapable;
        else
            return;
        m_contentEnd = ContentEnd(m_pos);
        if (m_contentEnd == m_pos && m_content != Content::Hidden)
            m_contentEnd = 0; // empty: the end tag is read as markup next
        else if (m_contentEnd == m_size && m_content != Content::Hidden)
            m_contentEnd = m_size;
    }

    const Char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    qsizetype m_nextLt = -1;
    qsizetype m_nextAmp = -1;
    // Contents of the element just opened run up to here (0: none).
    qsizetype m_contentEnd = 0;
    Content m_content = Content::Hidden;
    bool m_plaintext = false;
    char m_name[12] = {};
    qsizetype m_nameLength = 0;
};
