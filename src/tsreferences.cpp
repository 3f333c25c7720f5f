// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tsreferences.h"

#include <QString>

namespace Conversion {

namespace {

// The value of an ASCII digit in the given base, or -1.
int digitValue(QChar c, int base)
{
    const ushort u = c.unicode();
    int value = -1;
    if (u >= '0' && u <= '9')
        value = u - '0';
    else if (u >= 'a' && u <= 'f')
        value = u - 'a' + 10;
    else if (u >= 'A' && u <= 'F')
        value = u - 'A' + 10;
    return value < base ? value : -1;
}

const QLatin1String entities[] = {QLatin1String("&amp;"), QLatin1String("&lt;"), QLatin1String("&gt;"),
                                  QLatin1String("&quot;"), QLatin1String("&apos;")};

// The character of the character reference at the start of text, whose
// length is known to be that of one.
uint referencedCharacter(QStringView reference)
{
    const int base = reference.at(2) == QLatin1Char('x') ? 16 : 10;
    uint value = 0;
    for (QChar c : reference.mid(base == 16 ? 3 : 2).chopped(1))
        value = value * uint(base) + uint(digitValue(c, base));
    return value;
}

} // namespace

bool isXmlChar(uint c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
           || (c >= 0x10000 && c <= 0x10FFFF);
}

int referenceLength(QStringView text)
{
    if (text.size() > 1 && text[1] != QLatin1Char('#')) {
        // Told by their letters, as the most common references are.
        for (QLatin1String entity : entities) {
            int i = 1;
            while (i < entity.size() && i < text.size() && text[i] == QLatin1Char(entity[i]))
                ++i;
            if (i == entity.size())
                return i;
        }
        return 0;
    }
    if (text.size() < 4)
        return 0;
    const int base = text[2] == QLatin1Char('x') ? 16 : 10;
    const int digits = base == 16 ? 3 : 2;
    int i = digits;
    uint value = 0;
    for (; i < text.size() && digitValue(text[i], base) >= 0; ++i) {
        if (value <= 0x10FFFF)   // beyond it the reference is no character anyway
            value = value * uint(base) + uint(digitValue(text[i], base));
    }
    if (i == digits || i == text.size() || text[i] != QLatin1Char(';') || !isXmlChar(value))
        return 0;
    return i + 1;
}

// The code point of the reference at the start of text, whose length is
// known to be that of one.
uint referencedCodePoint(QStringView reference)
{
    if (reference[1] == QLatin1Char('#'))
        return referencedCharacter(reference);
    // amp, apos, lt, gt, quot: told apart by two letters
    const ushort second = reference[1].unicode(), third = reference[2].unicode();
    return second == 'a' ? (third == 'm' ? '&' : '\'') : second == 'l' ? '<' : second == 'g' ? '>' : '"';
}

} // namespace Conversion
