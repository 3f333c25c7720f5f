// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TABLECELLS_H
#define TABLECELLS_H

// A cell of the table, made of the TS text of a source or a translation.

#include "codepagereferences.h"

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

} // namespace Conversion

#endif // TABLECELLS_H
