// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tableimport.h"

#include "tablereader.h"
#include "translationchecks.h"
#include "tswriter.h"

namespace Conversion {

Result tableToTs(QIODevice &table, QIODevice &ts, QTextCodec *system)
{
    TsWriter writer(ts, system);
    TableReader reader(table, system);
    TranslationChecks checks;
    Result result;
    Row row;
    qint64 rowNumber = 0;       // as the spreadsheet numbers the rows
    qint64 refusedLineRow = 0;  // the row of the line that the reader refuses, once read
    bool first = true;
    bool text = false;
    bool tab = false;
    const LineReader &lines = reader.lines();
    for (qint64 rowEnd = 0; !writer.writeFailed() && result.refusal == Refusal::None && reader.next(row);
         rowEnd = lines.lineNumber()) {
        ++rowNumber;
        if (lines.refusedLine() > 0 && refusedLineRow == 0 && lines.lineNumber() >= lines.refusedLine())
            refusedLineRow = rowNumber;
        text = text || !row.cells[0].isEmpty();
        tab = tab || row.count > 1;
        if (row.holdsNoText())
            continue;   // empty lines, and rows that hold only padding or stray cells
        const bool header = first && row.isHeader();
        first = false;
        if (header)
            continue;
        writer.writeMessage(row.cells[0], row.cells[1], row.hasEncodingMarker());
        checks.check(writer.texts(), rowNumber);
        ++result.messages;
        if (writer.refusal() != Refusal::None)
            result.refuse(writer.refusal(), rowNumber, QString(), rowEnd + 1);
    }
    result.writeFailure = writer.finish();
    result.findings = checks.findings();
    // What the reader refuses, at a line of the file, is told at its row.
    Result read;
    lines.report(read);
    result.codec = read.codec;
    result.readFailure = read.readFailure;
    if (read.refusal != Refusal::None)
        result.refuse(read.refusal, refusedLineRow > 0 ? refusedLineRow : rowNumber + 1, QString(), read.line);
    // A table saved as CSV, with semicolons or commas, would give a message
    // per line and not one translation.
    if (text && !tab && result.refusal == Refusal::None)
        result.refuse(Refusal::NotTabSeparated, 0);
    return result;
}

} // namespace Conversion
