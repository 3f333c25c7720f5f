// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TEXTDECODER_H
#define TEXTDECODER_H

// The input, read with each call checked and decoded a chunk at a time,
// telling where its text is not valid in its encoding.

#include "inputdevice.h"
#include "invalidbytes.h"

#include <QString>
#include <QTextCodec>

namespace Conversion {

// Decodes the input a chunk at a time in a codec, and finds the first
// character that stands for bytes not valid in it. A Unicode byte-order
// mark at the start is skipped, and only there.
class TextDecoder
{
public:
    TextDecoder(InputDevice &input, QTextCodec *codec);

    // Decodes the next chunk into text (empty where its bytes end inside a
    // character); false at the end of the input, or once a read failed.
    bool decode(QString &text);

    // Where the first character lies, in the text decoded last, that stands
    // for bytes not valid in the encoding, or -1. Once one is found, no
    // other is looked for.
    int invalidAt() const { return m_invalidAt; }

    // Whether the input ended inside a character (decode() returned false).
    bool endsInsideCharacter() const;

    QTextCodec *codec() const { return m_codec; }
    const QString &readFailure() const { return m_input.failure(); }

private:
    InputDevice &m_input;
    QTextCodec *m_codec;
    QTextCodec::ConverterState m_state;
    QByteArray m_bytes;
    int m_chunks = 0;
    int m_invalidAt = -1;
    bool m_invalidSeen = false;
    InvalidBytesFinder m_invalid;
};

} // namespace Conversion

#endif // TEXTDECODER_H
