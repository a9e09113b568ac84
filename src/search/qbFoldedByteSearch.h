#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Finds bytes with the letters A to Z folded. The needle is folded already. Blocks of the text
// are tested at the needle's first and last byte at once; only where both fit is the rest
// compared.
class TqbFoldedByteSearch {
public:
    explicit TqbFoldedByteSearch(const QByteArray& needle);
    // The first position at or after from, or -1.
    qsizetype IndexIn(QByteArrayView bytes, qsizetype from = 0) const;

private:
    // A byte fits when (byte | mask) == value: mask 0x20 folds a letter's case.
    struct Probe {
        uchar mask;
        uchar value;
        bool Fits(char c) const { return uchar(uchar(c) | mask) == value; }
    };
    static Probe ProbeFor(char c);
    bool FitsAt(const char* text) const;

    QByteArray m_needle;
    Probe m_first;
    Probe m_last;
};

namespace qbSearch {

inline char FoldByte(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

// Whether the size bytes at text equal the folded needle, the letters A to Z folded.
inline bool FoldedEquals(const char* text, const char* needle, qsizetype size) {
    for (qsizetype i = 0; i < size; ++i) {
        if (FoldByte(text[i]) != needle[i])
            return false;
    }
    return true;
}

} // namespace qbSearch
