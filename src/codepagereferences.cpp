// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "codepagereferences.h"

#include "encodings.h"

#include <QTextCodec>

namespace Conversion {

CodePageReferences::CodePageReferences(const QTextCodec *codec, Referenced referenced)
    : m_codec(codec), m_needed(!isUnicodeCodec(codec)), m_referenced(referenced)
{
}

const QChar *CodePageReferences::append(QString &out, const QChar *p, const QChar *end) const
{
    int length = 1;
    uint codePoint = p->unicode();
    if (p->isHighSurrogate() && p + 1 < end && p[1].isLowSurrogate()) {
        codePoint = QChar::surrogateToUcs4(p[0], p[1]);
        length = 2;
    }
    if (m_referenced == Referenced::Unencodable && encodable(codePoint, QStringView(p, length))) {
        out.append(p, length);
    } else {
        out += QLatin1String("&#x");
        out += QString::number(codePoint, 16);
        out += QLatin1Char(';');
    }
    return p + length;
}

// Whether the codec gives the character back as it was. Windows' own
// code-page codec says that it can encode anything, and writes '?' or a
// look-alike ("a" for "ā") for what it cannot.
bool CodePageReferences::encodable(uint codePoint, QStringView character) const
{
    auto known = m_encodable.constFind(codePoint);
    if (known == m_encodable.constEnd())
        known = m_encodable.insert(codePoint, m_codec->toUnicode(m_codec->fromUnicode(character)) == character);
    return *known;
}

} // namespace Conversion
