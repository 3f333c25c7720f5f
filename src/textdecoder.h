// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TEXTDECODER_H
#define TEXTDECODER_H

// The input, read with each call checked and decoded a chunk at a time,
// telling where its text is not valid in its encoding.

#include "inputdevice.h"

#include <QString>
#include <QTextCodec>

namespace Conversion {

struct DecoderState;

// Decodes the input a chunk at a time in a codec, and finds the first
// character that stands for bytes not valid in it, which Qt's decoders hide
// behind replacement characters, drop, or pass through. A Unicode
// byte-order mark at the start is skipped, and only there.
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
    int findInvalid(const DecoderState &before, const QString &text, int size);
    int replacementAt(const QString &text, int size);
    int loneSurrogateAt(const QString &text);
#ifdef Q_OS_WIN
    int invalidAnsiAt(int size);
    char m_leadByte = 0;
    bool m_afterLeadByte = false;
#endif

    InputDevice &m_input;
    QTextCodec *m_codec;
    QTextCodec::ConverterState m_state;
    bool m_unicode;
    QByteArray m_bytes;
    int m_chunks = 0;
    int m_invalidAt = -1;
    bool m_invalidSeen = false;
    bool m_afterHighSurrogate = false;
    QByteArray m_character;   // the bytes of a GB18030 character read so far
};

} // namespace Conversion

#endif // TEXTDECODER_H
