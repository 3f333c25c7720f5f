// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TEXTSEARCH_H
#define TEXTSEARCH_H

// The search that cuts and escapes the text: the searches take a fifth of a
// conversion with Qt's own search for one character (bench/README.md),
// hence SSE2.

#include <QStringView>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace Conversion {

// The first character in [p, end) that is one of `wanted` or lies outside
// [plainLow, plainHigh], or end.
template <typename... Chars>
inline const QChar *findSpecial(const QChar *p, const QChar *end, ushort plainLow, ushort plainHigh,
                                Chars... wanted)
{
#ifdef __SSE2__
    const __m128i bias = _mm_set1_epi16(short(0x8000));
    const __m128i low = _mm_set1_epi16(short(plainLow ^ 0x8000));
    const __m128i high = _mm_set1_epi16(short(plainHigh ^ 0x8000));
    for (; end - p >= 8; p += 8) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i biased = _mm_xor_si128(chars, bias);
        __m128i found = _mm_or_si128(_mm_cmplt_epi16(biased, low), _mm_cmpgt_epi16(biased, high));
        ((found = _mm_or_si128(found, _mm_cmpeq_epi16(chars, _mm_set1_epi16(wanted)))), ...);
        if (const int mask = _mm_movemask_epi8(found))
            return p + (__builtin_ctz(uint(mask)) >> 1);
    }
#endif
    for (; p < end; ++p) {
        const ushort u = p->unicode();
        if (u < plainLow || u > plainHigh || ((u == ushort(wanted)) || ...))
            return p;
    }
    return end;
}

// The first of the wanted characters in [p, end), or end.
template <typename... Chars>
inline const QChar *findFirstOf(const QChar *p, const QChar *end, Chars... wanted)
{
    return findSpecial(p, end, 0, 0xFFFF, wanted...);
}

// The position of the first `wanted` in text from `from` on, or -1.
inline int indexOf(QStringView text, char wanted, int from = 0)
{
    const QChar *end = text.data() + text.size();
    const QChar *at = findFirstOf(text.data() + from, end, wanted);
    return at == end ? -1 : int(at - text.data());
}

// How many lines end in text: at a line feed, a carriage return and line
// feed, or a carriage return alone. A line feed first in a text that follows
// a carriage return ends no line of its own.
inline qint64 countLineEnds(QStringView text, bool afterCarriageReturn = false)
{
    const QChar *p = text.data();
    const QChar *const end = p + text.size();
    if (afterCarriageReturn && p < end && *p == QLatin1Char('\n'))
        ++p;
    qint64 count = 0;
    while ((p = findFirstOf(p, end, '\n', '\r')) < end) {
        ++count;
        p += *p == QLatin1Char('\r') && p + 1 < end && p[1] == QLatin1Char('\n') ? 2 : 1;
    }
    return count;
}

} // namespace Conversion

#endif // TEXTSEARCH_H
