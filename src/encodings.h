// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef ENCODINGS_H
#define ENCODINGS_H

// The encoding in which each kind of file is read.

class QTextCodec;

namespace Conversion {

class InputDevice;

// A TS file is XML, read in the encoding that Qt's XML reader reads it in:
// the one that its first four bytes show (a byte-order mark, or the '<'
// that opens it in UTF-16 or UTF-32), and else UTF-8, as lupdate writes it;
// its XML declaration may name another one (TsXmlReader).
QTextCodec *xmlCodec(InputDevice &input);

// A table that a spreadsheet saved: in the encoding that its byte-order
// mark names (Excel's "Unicode Text"); without one, in UTF-8 where it is
// valid UTF-8 (LibreOffice's default, whatever the system's code page), and
// else in the system's encoding (Excel's "Text" on Windows).
QTextCodec *tableCodec(InputDevice &input, QTextCodec *system);

// Whether the codec writes Unicode (UTF-8, -16 or -32), not a code page.
bool isUnicodeCodec(const QTextCodec *codec);

} // namespace Conversion

#endif // ENCODINGS_H
