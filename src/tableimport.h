// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TABLEIMPORT_H
#define TABLEIMPORT_H

// The import: a table that a spreadsheet saved in, a TS file out.

#include "conversion.h"

namespace Conversion {

// Reads a table saved by a spreadsheet as tab-separated text and writes a TS
// file in the system's encoding, one message per row. Spreadsheet quoting is
// undone; references and the numerus, length-variant and byte markup that
// the export writes are kept, and anything else that XML reserves is
// escaped. A table that names no encoding of its own, and is not valid
// UTF-8, is read in the system's. What the translator typed is checked as
// Qt Linguist checks it (translationchecks.h).
Result tableToTs(QIODevice &table, QIODevice &ts, QTextCodec *system);

} // namespace Conversion

#endif // TABLEIMPORT_H
