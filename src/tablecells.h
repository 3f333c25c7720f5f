// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TABLECELLS_H
#define TABLECELLS_H

// A cell of the table, made of the TS text of a source or a translation,
// and the rows that the export writes of them.

#include "blockwriter.h"
#include "codepagereferences.h"
#include "conversion.h"

namespace Conversion {

// The cell holds the TS text as the file spells it, references and markup
// included, but for what would break the row, what a spreadsheet would take
// for a formula, and what the table's encoding cannot hold:
//  - a line break is written &#10;, a tab &#9; and a double quote &quot;,
//    so that each row is one line; in markup, white space is a space;
//  - the text of a CDATA section is escaped as TS text is (&amp;, &lt;, &gt;);
//  - the cell's first character, if it is =, +, - or @, is a character
//    reference;
//  - where the table is in a code page, a character that the code page
//    cannot hold, outside markup, is a character reference.
class CellText
{
public:
    // What a piece of TS text is, as the file spells it: text, a tag, or a
    // CDATA section.
    enum class Piece { Text, Markup, CData };

    explicit CellText(const QTextCodec *table) : m_references(table, Referenced::Unencodable) {}

    // Appends the piece of TS text to the cell.
    void append(QString &cell, QStringView ts, Piece piece) const;

private:
    void appendText(QString &cell, QStringView text) const;

    CodePageReferences m_references;
};

// The table that the export writes: its header line, then a row of each
// message, its source and its translation, and the marker of Qt 4's
// encoding where the message has it.
class TableRows
{
public:
    TableRows(QIODevice &table, QTextCodec *system);

    // Appends a piece of TS text to a cell; false where the cell has grown
    // longer than a text may be.
    bool append(QString &cell, QStringView ts, CellText::Piece piece) const;

    void write(const QString &source, const QString &translation, bool utf8Marker);

    // Writes out what is left; the rows written, and why a write failed,
    // go into the result.
    void finish(Result &result);

private:
    BlockWriter m_out;
    CellText m_cellText;
    qint64 m_rows = 0;
};

} // namespace Conversion

#endif // TABLECELLS_H
