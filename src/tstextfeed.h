// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TSTEXTFEED_H
#define TSTEXTFEED_H

// The text of a TS file, decoded as Qt's XML reader asks for more of it,
// with the spelling of the token that the reader read last.

#include "conversion.h"
#include "textdecoder.h"

#include <QXmlStreamReader>

#include <memory>

namespace Conversion {

// Decodes the input where its bytes are checked, in the encoding that Qt's
// reader would read it in, and gives the reader the text as UTF-16 a piece
// at a time: memory holds the current token and little more. Offsets count
// the characters of the whole text, as the reader's characterOffset() does.
class TsTextFeed
{
public:
    TsTextFeed(InputDevice &input, QXmlStreamReader &xml);

    // Reads again from the first byte on, in the given codec: false where
    // the input cannot go back.
    bool restart(QTextCodec *codec);

    // Gives the reader more text: the rest of the input, or at least as much
    // again as it holds of the token that it is reading. False where there
    // was nothing more to give.
    bool feed(bool everything);

    // The reader has read a token up to the given offset, on the given line.
    void tokenRead(qint64 end, qint64 line);

    // The token read last, as the file spells it.
    QStringView spelling() const;

    // What stopped the decoding before the input's end (invalid bytes, U+0000,
    // a token too long), at its line: the file is refused when the reader
    // gets there.
    const Result &stopped() const { return m_stopped; }
    const TextDecoder &decoder() const { return *m_decoder; }

private:
    void start(QTextCodec *codec);
    void dropRead();
    qint64 lineAt(qint64 offset) const;

    InputDevice &m_input;
    QXmlStreamReader &m_xml;
    std::unique_ptr<TextDecoder> m_decoder;
    QString m_text;             // the decoded text, from m_textStart on
    qint64 m_textStart = 0;
    qint64 m_tokenStart = 0;
    qint64 m_tokenEnd = 0;
    qint64 m_lineAtTokenEnd = 1;
    bool m_inputEnded = false;
    Result m_stopped;
};

} // namespace Conversion

#endif // TSTEXTFEED_H
