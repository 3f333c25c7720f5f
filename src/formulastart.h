// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef FORMULASTART_H
#define FORMULASTART_H

// The first character of a cell, which a spreadsheet may take for the start
// of a formula.

#include <QString>

namespace Conversion {

// A spreadsheet runs a cell that begins with one of =, +, - or @ as a
// formula (and changes it when the sheet is saved): the export writes such
// a first character of a cell as a character reference, which Qt's tools
// read as that very character, and so does the import, so that a TS file
// that goes out and comes back is the same file. Appends that reference to
// out where the cell needs one, and returns the rest of the cell, to append.
QStringView appendFormulaSafeStart(QString &out, QStringView cell);

} // namespace Conversion

#endif // FORMULASTART_H
