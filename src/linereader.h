// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef LINEREADER_H
#define LINEREADER_H

// The input cut into lines, which tell where the text is not valid in its
// encoding.

#include "conversion.h"
#include "textdecoder.h"

#include <QStringList>

namespace Conversion {

// Reads a device line by line in the given codec; a Unicode byte-order mark
// at its start is skipped. The bytes are decoded a chunk at a time and cut
// into lines here: this costs far less than QTextStream::readLine(), and it
// tells where the text is not valid in its encoding, which QTextStream hides
// behind replacement characters. Memory holds one chunk and the current
// line. Lines can be handed back to be read again, for a look ahead.
//
// A line ends at a line feed, a carriage return and line feed, or a
// carriage return alone (Excel for Mac ends its lines so). The files are not
// opened in text mode: Qt drops every carriage-return byte in text mode,
// which breaks UTF-16 text whose code units hold a 0x0D byte.
class LineReader
{
public:
    LineReader(InputDevice &input, QTextCodec *codec);

    // The next line, without its line end; it stays valid until the next call.
    bool readLine(QStringView &line);

    // The lines, in order, the first of them numbered first, are read again
    // before the rest of the stream.
    void readAgain(const QStringList &lines, qint64 first);

    // The number of the line read last, counted from 1.
    qint64 lineNumber() const { return m_current; }

    // The first line that report() refuses, or 0.
    qint64 refusedLine() const;

    // What reading the input found: the first line that holds a byte
    // sequence invalid in the encoding, the encoding, a line too long to
    // read, a failed read.
    void report(Result &result) const;

private:
    bool refill();
    void passLineEnd(const QChar *eol, const QChar *end);

    TextDecoder m_decoder;
    QString m_chunk;
    int m_pos = 0;
    bool m_afterCarriageReturn = false;
    QString m_carry;
    QStringList m_replay;
    qint64 m_lines = 0;          // the lines read from the device
    qint64 m_current = 0;
    qint64 m_replayNumber = 0;
    qint64 m_invalidLine = 0;
    qint64 m_tooLongLine = 0;
};

} // namespace Conversion

#endif // LINEREADER_H
