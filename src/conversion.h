// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef CONVERSION_H
#define CONVERSION_H

// What a conversion is, the export or the import, and what one pass of it
// over its input found.

#include <QByteArray>
#include <QString>

class QIODevice;
class QTextCodec;

namespace Conversion {

// No TS file or table holds a line or a text longer than this, in
// characters; a longer one ends the conversion, before the memory it takes
// does. (A spreadsheet's cell holds at most 32,767.)
const int LongestText = 64 * 1024 * 1024;

struct Result
{
    qint64 records = 0;             // table rows written by the export, messages written by the import
    bool textLost = false;          // a character that the output cannot hold was met
    bool notTabSeparated = false;   // a table that holds text but not a single tab
    bool notTs = false;             // a file whose first element is not the TS root, or that has none
    bool declaresMarkup = false;    // a TS file that declares entities or attributes of its own
    qint64 tooLongLine = 0;         // the line where a line or a text grew past LongestText, or 0
    qint64 invalidLine = 0;         // the first input line that is not valid in its encoding, or 0
    QByteArray codec;               // the input's encoding
    QString readFailure;            // why the input could not be read to its end, or nothing
    QString writeFailure;           // why the output could not be written, or nothing
};

// The export or the import: reads the input and writes the output, in the
// system's encoding where a file names none.
using Direction = Result (*)(QIODevice &input, QIODevice &output, QTextCodec *system);

} // namespace Conversion

#endif // CONVERSION_H
