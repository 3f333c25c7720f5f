// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef CODEPAGEREFERENCES_H
#define CODEPAGEREFERENCES_H

// The character references that keep a character intact where the output
// is in a code page, which would spoil it.

#include <QHash>
#include <QString>

class QTextCodec;

namespace Conversion {

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

#endif // CODEPAGEREFERENCES_H
