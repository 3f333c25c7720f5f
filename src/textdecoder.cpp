// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "textdecoder.h"

#include "encodings.h"
#include "textsearch.h"

#include <algorithm>
#include <iterator>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace Conversion {

// A decoder's state between two chunks. Qt's own decoders of UTF-8, -16
// and -32 keep all of it in these fields, so that a chunk can be decoded
// again from where it began, to find where its first invalid bytes lie.
struct DecoderState
{
    explicit DecoderState(const QTextCodec::ConverterState &state)
        : flags(state.flags), remainingChars(state.remainingChars), invalidChars(state.invalidChars)
    {
        std::copy(std::begin(state.state_data), std::end(state.state_data), std::begin(data));
    }

    void restore(QTextCodec::ConverterState &state) const
    {
        state.flags = flags;
        state.remainingChars = remainingChars;
        state.invalidChars = invalidChars;
        std::copy(std::begin(data), std::end(data), std::begin(state.state_data));
    }

    // The length of the text that the bytes give before the first of them
    // that the codec finds invalid, decoded from this state.
    int textBeforeInvalid(QTextCodec *codec, const char *bytes, int size) const
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

    QTextCodec::ConversionFlags flags;
    int remainingChars;
    int invalidChars;
    uint data[3];
};

TextDecoder::TextDecoder(InputDevice &input, QTextCodec *codec)
    : m_input(input), m_codec(codec), m_unicode(isUnicodeCodec(codec))
{
}

bool TextDecoder::decode(QString &text)
{
#ifdef QUORVALE_SHORT_READS
    const int wanted = 1 + m_chunks++ % 13;
#else
    const int wanted = ChunkSize;
#endif
    m_bytes.resize(wanted);
    const qint64 size = m_input.read(m_bytes.data(), wanted);
    m_invalidAt = -1;
    if (size <= 0) {
        text.resize(0);
        return false;
    }
    const DecoderState before(m_state);
    text = m_codec->toUnicode(m_bytes.constData(), int(size), &m_state);
    // Qt's decoder of UTF-8 takes U+FEFF at the start of any chunk for a
    // byte-order mark, but where a character before it had no other bytes
    // than ASCII: once a character is decoded, the start is past.
    if (!text.isEmpty())
        m_state.flags |= QTextCodec::IgnoreHeader;
    if (!m_invalidSeen) {
        m_invalidAt = findInvalid(before, text, int(size));
        m_invalidSeen = m_invalidAt >= 0;
    }
    return true;
}

bool TextDecoder::endsInsideCharacter() const
{
    bool inside = m_state.remainingChars > 0 || m_afterHighSurrogate;
#ifdef Q_OS_WIN
    inside = inside || m_afterLeadByte;
#endif
    return inside;
}

int TextDecoder::findInvalid(const DecoderState &before, const QString &text, int size)
{
#ifdef Q_OS_WIN
    if (m_codec->mibEnum() == 0)   // the system's, Windows' own
        return invalidAnsiAt(size);
#endif
    if (!m_unicode)
        return replacementAt(text, size);
    if (m_state.invalidChars > before.invalidChars)
        return before.textBeforeInvalid(m_codec, m_bytes.constData(), size);
    return m_codec->mibEnum() == 106 ? -1 : loneSurrogateAt(text);
}

// A code page's decoder writes U+FFFD where it cannot read the bytes, and
// may count none of them as invalid. A code page has no U+FFFD of its own,
// but GB18030, which writes it 84 31 A4 37: there, the bytes are read as
// characters of one, two or four bytes (one that the chunk's edge cuts
// carried to the next), and a chunk holds invalid bytes where it decodes to
// more U+FFFD than it holds characters 84 31 A4 37; the first is taken for
// the invalid one.
int TextDecoder::replacementAt(const QString &text, int size)
{
    const int first = text.indexOf(QChar(QChar::ReplacementCharacter));
    if (m_codec->mibEnum() != 114)
        return first;
    int own = 0;
    for (int i = 0; i < size; ++i) {
        m_character += m_bytes[i];
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
int TextDecoder::invalidAnsiAt(int size)
{
    const char *const bytes = m_bytes.constData();
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
int TextDecoder::loneSurrogateAt(const QString &text)
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
