// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef FUZZ_COMMON_H
#define FUZZ_COMMON_H

#include "fileconversion.h"

#include <QTextCodec>

#include <cstdio>
#include <cstdlib>

// Runs one conversion on bytes and returns what it wrote, decoded.
inline QString convertBytes(Conversion::Direction conversion, const QByteArray &input,
                            Conversion::Result *result)
{
    QByteArray out;
    *result = Conversion::convertBytes(conversion, input, &out);
    return QTextCodec::codecForName("UTF-8")->toUnicode(out);
}

inline QString convertText(Conversion::Direction conversion, const QString &text,
                           Conversion::Result *result)
{
    return convertBytes(conversion, text.toUtf8(), result);
}

// A property that does not hold: libFuzzer keeps the input that broke it.
#define FUZZ_CHECK(condition, ...)                                                                                      \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "property failed: %s\n", #condition);                                                 \
            std::fprintf(stderr, __VA_ARGS__);                                                                         \
            std::fprintf(stderr, "\n");                                                                                \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

#endif // FUZZ_COMMON_H
