// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes read as a TS file give the header line and then exactly one
// line per message, each of two cells, or three with "UTF-8" last; no cell
// opens with a quote or with what a spreadsheet takes for a formula.

#include "fuzz_common.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Conversion::Result result;
    const QString table = convertBytes(Conversion::tsToTable,
                                       QByteArray(reinterpret_cast<const char *>(data), int(size)), &result);
    const QString header = QStringLiteral("Origine \tTraduction\n");
    FUZZ_CHECK(table.startsWith(header), "no header");
    FUZZ_CHECK(table.endsWith(QLatin1Char('\n')), "last row without its line end");
    FUZZ_CHECK(!table.contains(QLatin1Char('\r')), "carriage return in the table");
    const QStringList rows = table.mid(header.size()).split(QLatin1Char('\n'));
    FUZZ_CHECK(rows.size() - 1 == result.records, "%d lines for %lld messages", rows.size() - 1,
               static_cast<long long>(result.records));
    for (int i = 0; i + 1 < rows.size(); ++i) {
        const QStringList cells = rows.at(i).split(QLatin1Char('\t'));
        FUZZ_CHECK(cells.size() == 2 || (cells.size() == 3 && cells.at(2) == QLatin1String("UTF-8")),
                   "row %d has %d cells: %s", i + 1, cells.size(), qPrintable(rows.at(i)));
        for (int c = 0; c < 2; ++c) {
            const QChar first = cells.at(c).isEmpty() ? QChar() : cells.at(c).at(0);
            FUZZ_CHECK(!QStringLiteral("\"=+-@").contains(first), "cell %d of row %d opens with %c", c, i + 1,
                       first.toLatin1());
        }
    }
    return 0;
}
