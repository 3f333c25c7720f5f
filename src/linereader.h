// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef LINEREADER_H
#define LINEREADER_H

// The input, read with each call checked, and cut into lines that tell
// where the text is not valid in its encoding.

#include "conversion.h"

#include <QStringList>
#include <QTextCodec>

class QIODevice;

namespace Conversion {

// The input is read so many bytes at a time.
const int ChunkSize = 64 * 1024;

// The input device, with each read checked where it happens: the first
// read, peek or seek that fails is kept with the system's reason, and
// nothing is read after it. Qt's error() tells of the last call only, so a
// failed read followed by one that succeeds would leave no trace, and a
// failed read taken for the end of the text would cut it short.
class InputDevice
{
public:
    explicit InputDevice(QIODevice *device) : m_device(device) {}

    // The bytes read, 0 at the end, -1 once a read has failed.
    qint64 read(char *data, qint64 size);
    QByteArray peek(qint64 size);
    bool seek(qint64 position);
    qint64 pos() const;
    bool isSequential() const;

    const QString &failure() const { return m_failure; }

private:
    qint64 checked(qint64 result);

    QIODevice *m_device;
    QString m_failure;
};

struct DecoderState;

// Reads a device line by line in the given codec; a Unicode byte-order mark
// at its start is skipped. The bytes are read in chunks, decoded here and
// cut into lines: this costs far less than QTextStream::readLine(), and it
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

    // The lines, in order, are read again before the rest of the stream.
    void readAgain(const QStringList &lines);

    // The number of the line read last, counted from 1.
    qint64 lineNumber() const { return m_lines; }

    // What reading the input found: the first line that holds a byte
    // sequence invalid in the encoding, the encoding, a line too long to
    // read, a failed read.
    void report(Result &result) const;

private:
    bool refill();
    void passLineEnd(const QChar *eol, const QChar *end);
    int invalidAt(const DecoderState &before, int size);
    int loneSurrogateAt();
#ifdef Q_OS_WIN
    int invalidAnsiAt(const char *bytes, int size);
    char m_leadByte = 0;
#endif

    InputDevice &m_input;
    QTextCodec *m_codec;
    QTextCodec::ConverterState m_state;
    bool m_unicode;
    QByteArray m_bytes;
    QString m_chunk;
    int m_pos = 0;
    bool m_afterCarriageReturn = false;
    bool m_afterHighSurrogate = false;
    bool m_afterLeadByte = false;
    QString m_carry;
    QStringList m_replay;
    qint64 m_lines = 0;
    qint64 m_invalidLine = 0;
    qint64 m_tooLongLine = 0;
};

} // namespace Conversion

#endif // LINEREADER_H
