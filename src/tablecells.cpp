// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tablecells.h"

#include "textsearch.h"
#include "tsmarkup.h"

namespace Conversion {

void CellText::append(QString &cell, QStringView ts, Piece piece) const
{
    switch (piece) {
    case Piece::LineBreak:
        cell += QLatin1String("&#10;");
        return;
    case Piece::Markup:
        // Markup inside the text, such as <byte value="xd"/>, stays as it is.
        appendTag(cell, ts, m_references);
        return;
    case Piece::CData: {
        QString text = ts.toString();
        text.replace(QLatin1Char('&'), QLatin1String("&amp;"));
        text.replace(QLatin1Char('<'), QLatin1String("&lt;"));
        text.replace(QLatin1Char('>'), QLatin1String("&gt;"));
        appendText(cell, text);
        return;
    }
    case Piece::Text:
        appendText(cell, ts);
        return;
    }
}

// Where a comment or a processing instruction that the cell leaves out
// stood between "]]" and ">", the three would meet, which TS text may not
// hold: the position of that '>' in the text, or -1.
static int closesCDataSection(QStringView cell, QStringView text)
{
    for (int i = 0; i < qMin<qsizetype>(text.size(), 2); ++i) {
        if (text[i] == QLatin1Char('>') && (cell.toString() + text.left(i).toString()).endsWith(QLatin1String("]]")))
            return i;
    }
    return -1;
}

void CellText::appendText(QString &cell, QStringView text) const
{
    if (!cell.isEmpty() && cell.at(cell.size() - 1) == QLatin1Char(']')) {
        const int gt = closesCDataSection(cell, text);
        if (gt >= 0) {
            appendText(cell, text.left(gt));
            cell += QLatin1String("&gt;");
            return appendText(cell, text.mid(gt + 1));
        }
    }
    if (cell.isEmpty())
        text = appendSafeStart(cell, text);
    const ushort plainUpTo = m_references.needed() ? 0x7F : 0xFFFF;
    const QChar *const end = text.data() + text.size();
    for (const QChar *p = text.data(); p < end;) {
        const QChar *run = p;
        p = findSpecial(p, end, 0, plainUpTo, '\t', '"', '\n');
        cell.append(run, int(p - run));
        if (p == end)
            break;
        if (*p == QLatin1Char('\t')) {
            cell += QLatin1String("&#9;");
            ++p;
        } else if (*p == QLatin1Char('\n')) {   // in a CDATA section
            cell += QLatin1String("&#10;");
            ++p;
        } else if (*p == QLatin1Char('"')) {
            cell += QLatin1String("&quot;");
            ++p;
        } else {
            p = m_references.append(cell, p, end);
        }
    }
}

QStringView appendSafeStart(QString &out, QStringView cell)
{
    const ushort first = cell.isEmpty() ? 0 : cell[0].unicode();
    if (first != '=' && first != '+' && first != '-' && first != '@')
        return cell;
    out += QLatin1String("&#") + QString::number(first) + QLatin1Char(';');
    return cell.mid(1);
}

} // namespace Conversion
