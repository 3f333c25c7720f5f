// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "invalidbytes.h"

#include "textsearch.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace Conversion {

int DecoderState::textBeforeInvalid(QTextCodec *codec, const char *bytes, int size) const
{
    int valid = 0;   // decoding this many bytes finds nothing invalid, and all of them something
    while (size - valid > 1) {
        const int middle = valid + (size - valid) / 2;
        QTextCodec::ConverterState state;
        restore(state);
        codec->toUnicode(bytes, middle, &state);
        (state.invalidChars > invalidChars ? size : valid) = middle;
    }
    QTextCodec::ConverterState state;
    restore(state);
    return codec->toUnicode(bytes, valid, &state).size();
}

InvalidBytesFinder::InvalidBytesFinder(QTextCodec *codec, bool unicode) : m_codec(codec), m_unicode(unicode)
{
}

int InvalidBytesFinder::find(const DecoderState &before, const QTextCodec::ConverterState &after,
                             const QByteArray &bytes, int size, const QString &text)
{
#ifdef Q_OS_WIN
    if (m_codec->mibEnum() == 0)   // the system's, Windows' own
        return invalidAnsiAt(bytes.constData(), size);
#endif
    if (!m_unicode)
        return replacementAt(bytes, size, text);
    if (after.invalidChars > before.invalidChars)
        return before.textBeforeInvalid(m_codec, bytes.constData(), size);
    return m_codec->mibEnum() == 106 ? -1 : loneSurrogateAt(text);
}

bool InvalidBytesFinder::insideCharacter() const
{
#ifdef Q_OS_WIN
    if (m_afterLeadByte)
        return true;
#endif
    return m_afterHighSurrogate;
}

// A code page's decoder writes U+FFFD where it cannot read the bytes, and
// may count none of them as invalid. A code page has no U+FFFD of its own,
// but GB18030, which writes it 84 31 A4 37: there, the bytes are read as
// characters of one, two or four bytes (one that the chunk's edge cuts
// carried to the next), and a chunk holds invalid bytes where it decodes to
// more U+FFFD than it holds characters 84 31 A4 37; the first is taken for
// the invalid one.
int InvalidBytesFinder::replacementAt(const QByteArray &bytes, int size, const QString &text)
{
    const int first = text.indexOf(QChar(QChar::ReplacementCharacter));
    if (m_codec->mibEnum() != 114)
        return first;
    int own = 0;
    for (int i = 0; i < size; ++i) {
        m_character += bytes[i];
        const uchar lead = uchar(m_character[0]);
        const uchar second = m_character.size() > 1 ? uchar(m_character[1]) : 0;
        const int length = lead < 0x81 || lead == 0xFF ? 1 : second == 0 ? 2 : second >= 0x30 && second <= 0x39 ? 4 : 2;
        if (m_character.size() < length)
            continue;
        own += m_character == "\x84\x31\xa4\x37";
        m_character.resize(0);
    }
    return text.count(QChar(QChar::ReplacementCharacter)) > own ? first : -1;
}

#ifdef Q_OS_WIN
// Windows' decoder of its ANSI code page, behind Qt's system codec, drops
// the bytes that it cannot read without a trace, with a tab or a line end
// after them: they are looked for here. The first byte of a double-byte
// character may end a chunk, and its second open the next.
int InvalidBytesFinder::invalidAnsiAt(const char *bytes, int size)
{
    const auto valid = [](const char *from, int length) {
        return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, from, length, nullptr, 0) > 0;
    };
    int start = 0;
    if (m_afterLeadByte) {
        m_afterLeadByte = false;
        const char pair[2] = {m_leadByte, bytes[0]};
        if (!valid(pair, 2))
            return 0;
        start = 1;
    }
    int end = start;   // the characters that the chunk holds whole
    while (end < size) {
        const int length = IsDBCSLeadByteEx(CP_ACP, BYTE(bytes[end])) ? 2 : 1;
        if (end + length > size) {
            m_afterLeadByte = true;
            m_leadByte = bytes[end];
            break;
        }
        end += length;
    }
    if (end == start || valid(bytes + start, end - start))
        return -1;
    for (int i = start; i < end;) {
        const int length = IsDBCSLeadByteEx(CP_ACP, BYTE(bytes[i])) ? 2 : 1;
        // Before it in the decoded text: the pair carried from the last
        // chunk (one character, where start is 1), and the valid bytes.
        if (!valid(bytes + i, length))
            return start + MultiByteToWideChar(CP_ACP, 0, bytes + start, i - start, nullptr, 0);
        i += length;
    }
    return -1;
}
#endif

// The decoders of UTF-16 and UTF-32 pass a surrogate that has no partner
// through; one at the end of a chunk may find it in the next.
int InvalidBytesFinder::loneSurrogateAt(const QString &text)
{
    const QChar *const begin = text.constData();
    const QChar *const end = begin + text.size();
    const QChar *p = begin;
    if (m_afterHighSurrogate && p < end) {
        m_afterHighSurrogate = false;
        if (!p->isLowSurrogate())
            return 0;
        ++p;
    }
    for (; (p = findSpecial(p, end, 0, 0xD7FF)) < end; ++p) {
        if (p->isLowSurrogate())
            return int(p - begin);
        if (!p->isHighSurrogate())
            continue;
        if (p + 1 == end) {
            m_afterHighSurrogate = true;
            break;
        }
        if (!p[1].isLowSurrogate())
            return int(p - begin);
        ++p;
    }
    return -1;
}

} // namespace Conversion
