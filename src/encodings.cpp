// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "encodings.h"

#include "inputdevice.h"

#include <QTextCodec>

#include <algorithm>

namespace Conversion {

namespace {

QTextCodec *utf8Codec()
{
    return QTextCodec::codecForMib(106);
}

// Whether the rest of the input is valid UTF-8 that holds something other
// than ASCII; the input is left where it was.
bool holdsUtf8Text(InputDevice &input)
{
    const qint64 start = input.pos();
    QTextCodec::ConverterState state;
    bool nonAscii = false;
    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    qint64 size;
    while (state.invalidChars == 0 && (size = input.read(chunk.data(), ChunkSize)) > 0) {
        nonAscii = nonAscii || std::any_of(chunk.cbegin(), chunk.cbegin() + size, [](char c) { return c & 0x80; });
        utf8Codec()->toUnicode(chunk.constData(), int(size), &state);
    }
    return input.seek(start) && nonAscii && state.invalidChars == 0 && state.remainingChars == 0;
}

} // namespace

QTextCodec *xmlCodec(InputDevice &input)
{
    // As QXmlStreamReader looks at them, in this order.
    static const struct {
        const char *start;
        int length;
        int mib;
    } starts[] = {{"\x00\x00\xfe\xff", 4, 1017}, {"\xff\xfe\x00\x00", 4, 1017}, {"<\x00\x00\x00", 4, 1019},
                  {"\x00\x00\x00<", 4, 1018},     {"\xfe\xff", 2, 1015},         {"\xff\xfe", 2, 1015},
                  {"<\x00", 2, 1014},               {"\x00<", 2, 1013}};
    const QByteArray head = input.peek(4);
    for (const auto &start : starts) {
        if (head.size() == 4 && head.startsWith(QByteArray::fromRawData(start.start, start.length)))
            return QTextCodec::codecForMib(start.mib);
    }
    return utf8Codec();
}

QTextCodec *tableCodec(InputDevice &input, QTextCodec *system)
{
    if (QTextCodec *marked = QTextCodec::codecForUtfText(input.peek(4), nullptr))
        return marked;
    if (system->mibEnum() != 106 && !input.isSequential() && holdsUtf8Text(input))
        return utf8Codec();
    return system;
}

bool isUnicodeCodec(const QTextCodec *codec)
{
    switch (codec->mibEnum()) {
    case 106:                        // UTF-8
    case 1013: case 1014: case 1015: // UTF-16BE, UTF-16LE, UTF-16
    case 1017: case 1018: case 1019: // UTF-32
        return true;
    default:
        return false;
    }
}

} // namespace Conversion
