// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef BLOCKWRITER_H
#define BLOCKWRITER_H

// The output, written a block at a time with each write checked.

#include <QString>
#include <QTextCodec>

class QIODevice;

namespace Conversion {

// Writes text to a device in a codec, a block of 64 Ki characters at a
// time: the caller appends to text() and calls written(), or, for a text
// that may be long, calls write(). Through QTextStream's own buffer, which
// is freed at every flush, the import takes four times as long. No
// byte-order mark is written. Each write is checked: after the first that
// fails, nothing more is written.
class BlockWriter
{
public:
    static constexpr int BlockSize = 64 * 1024;

    BlockWriter(QIODevice &device, QTextCodec *codec);
    ~BlockWriter() { flush(); }

    QString &text() { return m_text; }

    void written()
    {
        if (m_text.size() >= BlockSize)
            flush();
    }

    void flush();

    // Writes the text after what text() holds, a block at a time, without a
    // copy of it.
    void write(QStringView text);

    // Why a write failed, or nothing.
    const QString &failure() const { return m_failure; }

private:
    void encode(QStringView text);

    QIODevice *m_device;
    QTextCodec *m_codec;
    QTextCodec::ConverterState m_state;
    QString m_text;
    QString m_failure;
};

} // namespace Conversion

#endif // BLOCKWRITER_H
