// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef BLOCKWRITER_H
#define BLOCKWRITER_H

// The output, written a block at a time with each write checked, and the
// references that keep a character intact where a code page would spoil it.

#include <QHash>
#include <QString>
#include <QTextCodec>

class QIODevice;

namespace Conversion {

// Writes text to a device in a codec, a block of 64 Ki characters at a
// time: the caller appends to text() and calls written(). Through
// QTextStream's own buffer, which is freed at every flush, the import takes
// four times as long. No byte-order mark is written. Each write is checked:
// after the first that fails, nothing more is written.
class BlockWriter
{
public:
    BlockWriter(QIODevice &device, QTextCodec *codec);
    ~BlockWriter() { flush(); }

    QString &text() { return m_text; }

    void written()
    {
        if (m_text.size() >= 64 * 1024)
            flush();
    }

    void flush();

    // Why a write failed, or nothing.
    const QString &failure() const { return m_failure; }

private:
    QIODevice *m_device;
    QTextCodec *m_codec;
    QTextCodec::ConverterState m_state;
    QString m_text;
    QString m_failure;
};

// Which characters are written as character references where the output is
// in a code page (a Windows one), not in Unicode.
enum class Referenced {
    Unencodable,   // those that the code page has no bytes for, which would become '?'
    NonAscii,      // every one beyond ASCII: for a file that names no encoding, read as UTF-8
};

// Writes a character as itself, or, where the output is in a code page and
// the character is one of those referenced there, as a character reference,
// which reaches the reader intact.
class CodePageReferences
{
public:
    CodePageReferences(const QTextCodec *codec, Referenced referenced);

    // Whether the output is in a code page, where some characters are references.
    bool needed() const { return m_needed; }

    // Appends the non-ASCII character at *p (a surrogate pair counts as one),
    // and returns the position after it.
    const QChar *append(QString &out, const QChar *p, const QChar *end) const;

private:
    bool encodable(uint codePoint, QStringView character) const;

    const QTextCodec *m_codec;
    bool m_needed;
    Referenced m_referenced;
    mutable QHash<uint, bool> m_encodable;
};

} // namespace Conversion

#endif // BLOCKWRITER_H
