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
    qint64 rowNumber = 0;   // as the spreadsheet numbers the rows
    bool first = true;
    bool text = false;
    bool tab = false;
    while (!writer.writeFailed() && result.refusal == Refusal::None && reader.next(row)) {
        ++rowNumber;
        text = text || !row.cells[0].isEmpty();
        tab = tab || row.count > 1;
        if (row.holdsNoText())
            continue;   // empty lines, and rows that hold only padding or stray cells
        const bool header = first && row.isHeader();
        first = false;
        if (header)
            continue;
        writer.writeMessage(row.cells[0], row.cells[1], row.hasEncodingMarker());
        checks.check(writer.source(), writer.translation(), writer.plural(), rowNumber);
        ++result.messages;
        if (writer.refusal() != Refusal::None)
            result.refuse(writer.refusal(), reader.lines().lineNumber());
    }
    result.writeFailure = writer.finish();
    result.findings = checks.findings();
    reader.lines().report(result);
    // A table saved as CSV, with semicolons or commas, would give a message
    // per line and not one translation.
    if (text && !tab && result.refusal == Refusal::None)
        result.refuse(Refusal::NotTabSeparated, 0);
    return result;
}

} // namespace Conversion
