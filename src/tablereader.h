// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TABLEREADER_H
#define TABLEREADER_H

// A table that a spreadsheet saved as tab-separated text, cut into rows.

#include "linereader.h"

namespace Conversion {

// One row of the table as a spreadsheet saved it. Only the first three cells
// have a role; of the others it matters only whether they are empty. A cell
// is a view into the line that holds it, or, for a quoted cell, into a
// string of its own.
struct Row
{
    QStringView cells[3];
    QString owned[3];
    int count = 0;
    bool moreNonEmpty = false;

    void clear();

    // Before the reader moves to another line, the cells that still view the
    // current one get a copy of their own.
    void keepCells();

    // A row without a source and without a translation has nothing to say,
    // whatever the cells after them hold.
    bool holdsNoText() const { return cells[0].isEmpty() && cells[1].isEmpty(); }

    bool isHeader() const;
    bool hasEncodingMarker() const { return count >= 3 && cells[2] == QLatin1String("UTF-8"); }
};

// Cuts the table into rows. A cell that begins with a double quote and whose
// closing quote is followed by a tab or the end of a line is a quoted cell,
// as spreadsheets write them: doubled quotes inside it stand for one, and it
// may run over several lines. Any other cell is taken as it stands.
class TableReader
{
public:
    // The table is read in the encoding that it names or that its bytes
    // show, else in the system's.
    TableReader(QIODevice &table, QTextCodec *system);

    // No spreadsheet holds a cell this long (Excel stops at 32767
    // characters): a quote that opens a longer one is a stray quote.
    static constexpr int LongestQuotedCell = 1024 * 1024;

    const LineReader &lines() const { return m_in; }

    bool next(Row &row);

private:
    int readCell(Row &row, int pos, QString &buffer, QStringView &cell);
    int readQuotedCell(Row &row, int pos, QString &cell);
    bool readUpToClosingLine(Row &row, QString &cell);

    InputDevice m_input;
    LineReader m_in;
    QStringView m_line;
    QString m_kept;
    QString m_scratch;   // quoted cells after the third
};

} // namespace Conversion

#endif // TABLEREADER_H
