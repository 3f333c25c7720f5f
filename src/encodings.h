// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef ENCODINGS_H
#define ENCODINGS_H

// The encoding in which each kind of file is read.

class QTextCodec;

namespace Conversion {

class InputDevice;

// A TS file is XML: in the encoding that its byte-order mark or its XML
// declaration names, and UTF-8 when neither does, as lupdate writes it.
QTextCodec *tsCodec(InputDevice &input);

// A table that a spreadsheet saved: in the encoding that its byte-order
// mark names (Excel's "Unicode Text"); without one, in UTF-8 where it is
// valid UTF-8 (LibreOffice's default, whatever the system's code page), and
// else in the system's encoding (Excel's "Text" on Windows).
QTextCodec *tableCodec(InputDevice &input, QTextCodec *system);

// Whether the codec writes Unicode (UTF-8, -16 or -32), not a code page.
bool isUnicodeCodec(const QTextCodec *codec);

} // namespace Conversion

#endif // ENCODINGS_H
