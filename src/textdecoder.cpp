// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "textdecoder.h"

#include "encodings.h"

namespace Conversion {

TextDecoder::TextDecoder(InputDevice &input, QTextCodec *codec)
    : m_input(input), m_codec(codec), m_invalid(codec, isUnicodeCodec(codec))
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
        m_invalidAt = m_invalid.find(before, m_state, m_bytes, int(size), text);
        m_invalidSeen = m_invalidAt >= 0;
    }
    return true;
}

bool TextDecoder::endsInsideCharacter() const
{
    return m_state.remainingChars > 0 || m_invalid.insideCharacter();
}

} // namespace Conversion
