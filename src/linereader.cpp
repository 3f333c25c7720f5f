// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "linereader.h"

#include "encodings.h"
#include "textsearch.h"

#include <QIODevice>

#include <algorithm>
#include <iterator>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace Conversion {

qint64 InputDevice::checked(qint64 result)
{
    if (result < 0 && m_failure.isEmpty())
        m_failure = m_device->errorString();
    return result;
}

qint64 InputDevice::read(char *data, qint64 size)
{
    return m_failure.isEmpty() ? checked(m_device->read(data, size)) : -1;
}

QByteArray InputDevice::peek(qint64 size)
{
    QByteArray head(int(size), Qt::Uninitialized);
    const qint64 peeked = m_failure.isEmpty() ? checked(m_device->peek(head.data(), size)) : -1;
    head.resize(int(qMax<qint64>(peeked, 0)));
    return head;
}

qint64 InputDevice::pos() const
{
    return m_device->pos();
}

bool InputDevice::isSequential() const
{
    return m_device->isSequential();
}

bool InputDevice::seek(qint64 position)
{
    return m_failure.isEmpty() && checked(m_device->seek(position) ? 0 : -1) == 0;
}

LineReader::LineReader(InputDevice &input, QTextCodec *codec)
    : m_input(input), m_codec(codec), m_unicode(isUnicodeCodec(codec))
{
}

bool LineReader::readLine(QStringView &line)
{
    if (m_tooLongLine)
        return false;
    if (!m_replay.isEmpty()) {
        m_carry = m_replay.takeFirst();
        line = m_carry;
        return true;
    }
    bool carried = false;
    m_carry.resize(0);
    for (;;) {
        if (m_pos == m_chunk.size() && !refill()) {
            if (!carried)
                return false;
            line = m_carry;   // a last line without a line end
            break;
        }
        const QChar *begin = m_chunk.constData() + m_pos;
        const QChar *end = m_chunk.constData() + m_chunk.size();
        if (m_afterCarriageReturn) {
            m_afterCarriageReturn = false;
            if (*begin == QLatin1Char('\n')) {   // the rest of a CR LF cut between two chunks
                ++m_pos;
                continue;
            }
        }
        const QChar *eol = findFirstOf(begin, end, '\n', '\r');
        if (eol == end) {
            m_carry.append(begin, int(end - begin));   // a line across two chunks
            carried = true;
            m_pos = m_chunk.size();
            m_tooLongLine = m_carry.size() > LongestText ? m_lines + 1 : 0;
            if (m_tooLongLine)
                return false;
            continue;
        }
        if (carried) {
            m_carry.append(begin, int(eol - begin));
            line = m_carry;
        } else {
            line = QStringView(begin, eol);
        }
        passLineEnd(eol, end);
        break;
    }
    ++m_lines;
    return true;
}

// Moves past the line end at eol: a carriage return and a line feed are one.
void LineReader::passLineEnd(const QChar *eol, const QChar *end)
{
    m_pos = int(eol + 1 - m_chunk.constData());
    if (*eol == QLatin1Char('\r')) {
        if (eol + 1 == end)
            m_afterCarriageReturn = true;
        else if (eol[1] == QLatin1Char('\n'))
            ++m_pos;
    }
}

// The lines handed back were counted when they were read first: m_lines
// counts the lines read from the device, which places an invalid byte.
void LineReader::readAgain(const QStringList &lines)
{
    m_replay = lines + m_replay;
}

void LineReader::report(Result &result) const
{
    result.invalidLine = m_invalidLine;
    result.tooLongLine = m_tooLongLine;
    result.codec = m_codec->name();
    result.readFailure = m_input.failure();
}

// How many lines end in text: at a line feed, a carriage return and line
// feed, or a carriage return alone. A line feed first in the text that
// follows a carriage return ends no line of its own.
static qint64 countLineEnds(QStringView text, bool afterCarriageReturn)
{
    qint64 count = 0;
    for (int i = afterCarriageReturn && text.startsWith(QLatin1Char('\n')) ? 1 : 0; i < text.size(); ++i) {
        const bool carriageReturnAlone =
            text[i] == QLatin1Char('\r') && (i + 1 == text.size() || text[i + 1] != QLatin1Char('\n'));
        if (text[i] == QLatin1Char('\n') || carriageReturnAlone)
            ++count;
    }
    return count;
}

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

bool LineReader::refill()
{
    m_pos = 0;
    do {
        m_bytes.resize(ChunkSize);
        const qint64 n = m_input.read(m_bytes.data(), ChunkSize);
        if (n <= 0) {
            m_chunk.clear();
            if (n == 0 && (m_state.remainingChars > 0 || m_afterHighSurrogate || m_afterLeadByte) && !m_invalidLine)
                m_invalidLine = m_lines + 1;   // the text ends inside a character
            return false;
        }
        const DecoderState before(m_state);
        m_chunk = m_codec->toUnicode(m_bytes.constData(), int(n), &m_state);
        const int at = m_invalidLine ? -1 : invalidAt(before, int(n));
        if (at >= 0)
            m_invalidLine = m_lines + 1 + countLineEnds(QStringView(m_chunk).left(at), m_afterCarriageReturn);
    } while (m_chunk.isEmpty());   // a byte-order mark alone, or part of a character
    return true;
}

// Where in the chunk just decoded the first character lies that stands for
// bytes that are not valid in the encoding, or -1.
int LineReader::invalidAt(const DecoderState &before, int size)
{
#ifdef Q_OS_WIN
    if (m_codec->mibEnum() == 0)   // the system's, Windows' own
        return invalidAnsiAt(m_bytes.constData(), size);
#endif
    // A code page has no character for U+FFFD: its decoder writes one where
    // it cannot read the bytes, and may not count them as invalid.
    if (!m_unicode)
        return m_chunk.indexOf(QChar(QChar::ReplacementCharacter));
    if (m_state.invalidChars > before.invalidChars)
        return before.textBeforeInvalid(m_codec, m_bytes.constData(), size);
    return m_codec->mibEnum() == 106 ? -1 : loneSurrogateAt();
}

#ifdef Q_OS_WIN
// Windows' decoder of its ANSI code page, behind Qt's system codec, drops
// the bytes that it cannot read without a trace, with a tab or a line end
// after them: they are looked for here. The first byte of a double-byte
// character may end a chunk, and its second open the next.
int LineReader::invalidAnsiAt(const char *bytes, int size)
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
int LineReader::loneSurrogateAt()
{
    const QChar *const begin = m_chunk.constData();
    const QChar *const end = begin + m_chunk.size();
    const QChar *p = begin;
    if (m_afterHighSurrogate) {
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
