// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef INVALIDBYTES_H
#define INVALIDBYTES_H

// Where decoded text stands for bytes that are not valid in their encoding.

#include <QString>
#include <QTextCodec>

#include <algorithm>
#include <iterator>

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
    int textBeforeInvalid(QTextCodec *codec, const char *bytes, int size) const;

    QTextCodec::ConversionFlags flags;
    int remainingChars;
    int invalidChars;
    uint data[3];
};

// Finds, in each chunk of text decoded in a codec, the first character that
// stands for bytes not valid in it, which Qt's decoders hide behind
// replacement characters, drop, or pass through. It follows the characters
// that the edges of the chunks cut.
class InvalidBytesFinder
{
public:
    // A Unicode codec tells of invalid bytes in its state; another writes
    // U+FFFD for them.
    InvalidBytesFinder(QTextCodec *codec, bool unicode);

    // Where the first character lies, in the text that the bytes were
    // decoded to from the state before, that stands for invalid bytes, or -1.
    int find(const DecoderState &before, const QTextCodec::ConverterState &after, const QByteArray &bytes, int size,
             const QString &text);

    // Whether the bytes so far end inside a character that it follows.
    bool insideCharacter() const;

private:
    int replacementAt(const QByteArray &bytes, int size, const QString &text);
    int loneSurrogateAt(const QString &text);
#ifdef Q_OS_WIN
    int invalidAnsiAt(const char *bytes, int size);
    char m_leadByte = 0;
    bool m_afterLeadByte = false;
#endif

    QTextCodec *m_codec;
    bool m_unicode;
    bool m_afterHighSurrogate = false;
    QByteArray m_character;   // the bytes of a GB18030 character read so far
};

} // namespace Conversion

#endif // INVALIDBYTES_H
