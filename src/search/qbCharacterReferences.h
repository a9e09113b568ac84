#pragma once

#include <QByteArrayView>
#include <QtGlobal>
#include <algorithm>
#include <type_traits>

// Character references in page text ("&amp;", "&nbsp", "&#xAC00;"), read as a browser reads them
// outside tags: the named references of HTML 4 (and "&apos;"), the legacy ones also without
// their ";", numeric ones with or without it.
namespace qbSearch {

// The character of a named reference ("amp" gives '&'), 0 when there is none. legacyOnly asks
// for the names a browser also takes without ";".
char32_t NamedReference(QByteArrayView name, bool legacyOnly);

// Whether some named reference stands for c.
bool IsNamedReferenceCharacter(char32_t c);

// The character of "&#" + digits, as browsers replace the ones no page may hold.
char32_t NumericReference(quint32 value, bool overflow);

// The length of the reference at text[0] (which is '&'), 0 when none starts there; its
// character goes to c. Char is char (bytes of an ASCII-compatible charset) or char16_t.
template <typename Char>
qsizetype ReadCharacterReference(const Char* text, qsizetype size, char32_t& c) {
    const auto at = [&](qsizetype i) -> char32_t {
        return i < size ? char32_t(std::make_unsigned_t<Char>(text[i])) : 0;
    };
    const auto isDigit = [](char32_t d) { return d >= '0' && d <= '9'; };
    const auto isAlpha = [](char32_t a) { return (a | 0x20) >= 'a' && (a | 0x20) <= 'z'; };
    if (at(1) == '#') {
        const bool hex = (at(2) | 0x20) == 'x';
        qsizetype i = hex ? 3 : 2;
        const qsizetype first = i;
        quint32 value = 0;
        bool overflow = false;
        for (;; ++i) {
            const char32_t d = at(i);
            quint32 digit;
            if (isDigit(d))
                digit = d - '0';
            else if (hex && (d | 0x20) >= 'a' && (d | 0x20) <= 'f')
                digit = (d | 0x20) - 'a' + 10;
            else
                break;
            value = value * (hex ? 16 : 10) + digit;
            if (value > 0x10FFFF) {
                overflow = true;
                value = 0x110000;
            }
        }
        if (i == first)
            return 0;
        c = NumericReference(value, overflow);
        return at(i) == ';' ? i + 1 : i;
    }
    // The longest name in the table is eight letters; a longer run can only hold a legacy
    // prefix.
    constexpr qsizetype MaxName = 8;
    char name[MaxName];
    qsizetype run = 1;
    while (run < size && (isAlpha(at(run)) || isDigit(at(run)))) {
        if (run - 1 < MaxName)
            name[run - 1] = char(at(run));
        ++run;
    }
    const qsizetype length = run - 1;
    if (length == 0)
        return 0;
    if (length <= MaxName && at(run) == ';') {
        if (const char32_t named = NamedReference(QByteArrayView(name, length), false)) {
            c = named;
            return run + 1;
        }
    }
    for (qsizetype n = std::min(length, MaxName); n >= 2; --n) {
        if (const char32_t legacy = NamedReference(QByteArrayView(name, n), true)) {
            c = legacy;
            return 1 + n;
        }
    }
    return 0;
}

} // namespace qbSearch
