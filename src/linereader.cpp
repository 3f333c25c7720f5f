// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "linereader.h"

#include "textsearch.h"

namespace Conversion {

LineReader::LineReader(InputDevice &input, QTextCodec *codec) : m_decoder(input, codec)
{
}

bool LineReader::readLine(QStringView &line)
{
    if (m_tooLongLine)
        return false;
    if (!m_replay.isEmpty()) {
        m_carry = m_replay.takeFirst();
        line = m_carry;
        m_current = m_replayNumber++;
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
    m_current = ++m_lines;
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
void LineReader::readAgain(const QStringList &lines, qint64 first)
{
    m_replay = lines + m_replay;
    m_replayNumber = first;
}

qint64 LineReader::refusedLine() const
{
    return m_invalidLine && m_tooLongLine ? qMin(m_invalidLine, m_tooLongLine) : qMax(m_invalidLine, m_tooLongLine);
}

void LineReader::report(Result &result) const
{
    if (m_invalidLine)
        result.refuse(Refusal::InvalidBytes, m_invalidLine);
    if (m_tooLongLine)
        result.refuse(Refusal::TooLong, m_tooLongLine);
    result.codec = m_decoder.codec()->name();
    result.readFailure = m_decoder.readFailure();
}

bool LineReader::refill()
{
    m_pos = 0;
    do {
        if (!m_decoder.decode(m_chunk)) {
            if (m_decoder.endsInsideCharacter() && !m_invalidLine)
                m_invalidLine = m_lines + 1;
            return false;
        }
        const int at = m_decoder.invalidAt();
        if (at >= 0 && !m_invalidLine)
            m_invalidLine = m_lines + 1 + countLineEnds(QStringView(m_chunk).left(at), m_afterCarriageReturn);
    } while (m_chunk.isEmpty());   // a byte-order mark alone, or part of a character
    return true;
}

} // namespace Conversion
