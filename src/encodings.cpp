// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "encodings.h"

#include "linereader.h"

#include <QRegularExpression>
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

QTextCodec *tsCodec(InputDevice &input)
{
    const QByteArray head = input.peek(1024);
    if (QTextCodec *marked = QTextCodec::codecForUtfText(head, nullptr))
        return marked;
    static const QRegularExpression declaration(
        QStringLiteral("^<\\?xml\\s[^>]*?encoding\\s*=\\s*[\"']([A-Za-z][A-Za-z0-9._-]*)[\"']"));
    const QRegularExpressionMatch match = declaration.match(QString::fromLatin1(head));
    QTextCodec *declared = match.hasMatch() ? QTextCodec::codecForName(match.captured(1).toLatin1()) : nullptr;
    return declared ? declared : utf8Codec();
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
