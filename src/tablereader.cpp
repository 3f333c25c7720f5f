// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tablereader.h"

#include "encodings.h"
#include "textsearch.h"

namespace Conversion {

void Row::clear()
{
    for (int i = 0; i < 3; ++i) {
        cells[i] = QStringView();
        owned[i].resize(0);
    }
    count = 0;
    moreNonEmpty = false;
}

void Row::keepCells()
{
    for (int i = 0; i < qMin(count, 3); ++i) {
        if (cells[i].data() != owned[i].constData()) {
            owned[i] = cells[i].toString();
            cells[i] = owned[i];
        }
    }
}

bool Row::isHeader() const
{
    return (cells[0] == QLatin1String("Origine ") || cells[0] == QLatin1String("Origine"))
           && cells[1] == QLatin1String("Traduction") && cells[2].isEmpty() && !moreNonEmpty;
}

namespace {

const int NotQuoted = -2;

void append(QString &buffer, QStringView text)
{
    buffer.append(text.data(), int(text.size()));
}

// The first quote of the line that is not doubled, or -1.
int closingQuote(QStringView line)
{
    for (int p = 0;;) {
        const int quote = indexOf(line, '"', p);
        if (quote < 0 || quote + 1 == line.size() || line.at(quote + 1) != QLatin1Char('"'))
            return quote;
        p = quote + 2;
    }
}

} // namespace

TableReader::TableReader(QIODevice &table, QTextCodec *system)
    : m_input(&table), m_in(m_input, tableCodec(m_input, system))
{
}

bool TableReader::next(Row &row)
{
    row.clear();
    if (!m_in.readLine(m_line))
        return false;
    int pos = 0;
    for (;;) {
        const int index = row.count;
        QStringView cell;
        const int tab = readCell(row, pos, index < 3 ? row.owned[index] : m_scratch, cell);
        if (index < 3)
            row.cells[index] = cell;
        else if (!cell.isEmpty())
            row.moreNonEmpty = true;
        ++row.count;
        if (tab < 0)
            return true;
        pos = tab + 1;
    }
}

// Reads the cell that starts at pos; a quoted cell is gathered into
// buffer. Returns the position of the tab that ends the cell, or -1 at
// the end of the row.
int TableReader::readCell(Row &row, int pos, QString &buffer, QStringView &cell)
{
    if (pos < m_line.size() && m_line.at(pos) == QLatin1Char('"')) {
        buffer.resize(0);
        const int end = readQuotedCell(row, pos, buffer);
        if (end != NotQuoted) {
            cell = buffer;
            return end;
        }
    }
    const int tab = indexOf(m_line, '\t', pos);
    cell = m_line.mid(pos, tab < 0 ? m_line.size() - pos : tab - pos);
    return tab;
}

int TableReader::readQuotedCell(Row &row, int pos, QString &cell)
{
    int p = pos + 1;
    for (;;) {
        const int quote = indexOf(m_line, '"', p);
        if (quote < 0) {
            // The cell goes on after a line break, if it closes at all.
            append(cell, m_line.mid(p));
            cell.append(QLatin1Char('\n'));
            if (!readUpToClosingLine(row, cell))
                return NotQuoted;
            p = 0;
            continue;
        }
        if (quote + 1 < m_line.size() && m_line.at(quote + 1) == QLatin1Char('"')) {
            append(cell, m_line.mid(p, quote + 1 - p));
            p = quote + 2;
            continue;
        }
        if (quote + 1 < m_line.size() && m_line.at(quote + 1) != QLatin1Char('\t'))
            return NotQuoted;   // a quote in the middle of the text: not a quoted cell
        append(cell, m_line.mid(p, quote - p));
        return quote + 1 < m_line.size() ? quote + 1 : -1;
    }
}

// Looks ahead: does a quoted cell that is open at the end of the current
// line close properly further on? If it does, the lines before the one
// where it closes are the cell's, with their doubled quotes made single:
// they are appended to it, and that line becomes the current one. If
// not, the lines read are handed back to the reader, so that a stray
// quote never swallows the rows after it. Each line is thus looked at
// once, whatever the length of the cell.
bool TableReader::readUpToClosingLine(Row &row, QString &cell)
{
    // Reading ahead moves the reader: the current line is kept first.
    row.keepCells();
    m_kept = m_line.toString();
    m_line = m_kept;
    QString ahead;   // the lines read, each ended by a line feed
    QStringView line;
    qint64 first = 0;
    while (ahead.size() <= LongestQuotedCell && m_in.readLine(line)) {
        first = first > 0 ? first : m_in.lineNumber();
        const int quote = closingQuote(line);
        const bool closes = quote >= 0 && (quote + 1 == line.size() || line.at(quote + 1) == QLatin1Char('\t'));
        if (closes && ahead.size() + line.size() < LongestQuotedCell) {
            cell += ahead.replace(QLatin1String("\"\""), QLatin1String("\""));
            m_line = line;
            return true;
        }
        append(ahead, line);
        ahead += QLatin1Char('\n');
        if (quote >= 0)
            break;
    }
    if (!ahead.isEmpty()) {
        ahead.chop(1);
        m_in.readAgain(ahead.split(QLatin1Char('\n')), first);
    }
    return false;
}

} // namespace Conversion
