#include "search/qbFoldedByteSearch.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

TqbFoldedByteSearch::TqbFoldedByteSearch(const QByteArray& needle)
    : m_needle(needle), m_first(ProbeFor(needle.isEmpty() ? 0 : needle.front())),
      m_last(ProbeFor(needle.isEmpty() ? 0 : needle.back())) {}

TqbFoldedByteSearch::Probe TqbFoldedByteSearch::ProbeFor(char c) {
    if (c >= 'a' && c <= 'z')
        return {0x20, uchar(c)};
    return {0, uchar(c)};
}

bool TqbFoldedByteSearch::FitsAt(const char* text) const {
    return qbSearch::FoldedEquals(text, m_needle.constData(), m_needle.size());
}

qsizetype TqbFoldedByteSearch::IndexIn(QByteArrayView bytes, qsizetype from) const {
    const qsizetype n = m_needle.size();
    if (n == 0)
        return from <= bytes.size() ? from : -1;
    const char* text = bytes.data();
    const qsizetype lastStart = bytes.size() - n; // the last position a hit can start at
    qsizetype at = from;
#if defined(__SSE2__)
    const __m128i firstMask = _mm_set1_epi8(char(m_first.mask));
    const __m128i firstValue = _mm_set1_epi8(char(m_first.value));
    const __m128i lastMask = _mm_set1_epi8(char(m_last.mask));
    const __m128i lastValue = _mm_set1_epi8(char(m_last.value));
    for (; at + 15 <= lastStart; at += 16) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
        const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at + n - 1));
        const __m128i both =
            _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(first, firstMask), firstValue),
                          _mm_cmpeq_epi8(_mm_or_si128(last, lastMask), lastValue));
        for (unsigned bits = unsigned(_mm_movemask_epi8(both)); bits != 0; bits &= bits - 1) {
            const qsizetype start = at + __builtin_ctz(bits);
            if (FitsAt(text + start))
                return start;
        }
    }
#endif
    for (; at <= lastStart; ++at) {
        if (m_first.Fits(text[at]) && m_last.Fits(text[at + n - 1]) && FitsAt(text + at))
            return at;
    }
    return -1;
}
