// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TSEXPORT_H
#define TSEXPORT_H

// The export: a TS file in, the translation table out.

#include "conversion.h"

namespace Conversion {

// Reads a TS file and writes the translation table in the system's
// encoding: the header line, then one row per message (source, tab,
// translation, and a tab and "UTF-8" for a message flagged with that
// encoding). Cells keep the text in its TS form, but for what tablecells.h
// lists.
Result tsToTable(QIODevice &ts, QIODevice &table, QTextCodec *system);

} // namespace Conversion

#endif // TSEXPORT_H
