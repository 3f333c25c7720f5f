// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tablecells.h"

#include "formulastart.h"
#include "textsearch.h"
#include "tsmarkup.h"

namespace Conversion {

void CellText::append(QString &cell, QStringView ts, Piece piece) const
{
    switch (piece) {
    case Piece::Markup:
        // Markup inside the text, such as <byte value="xd"/>, stays as it is.
        appendTag(cell, ts, m_references);
        return;
    case Piece::CData: {   // <![CDATA[text]]>
        QString text = ts.mid(9).chopped(3).toString();
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

// Where a CDATA section ends in "]]" before a '>' of the text, the three
// would meet in the cell, which TS text may not hold: the position of that
// '>' in the text, or -1.
static int closesCDataSection(QStringView cell, QStringView text)
{
    const QString before = cell.right(2).toString();
    for (int i = 0; i < qMin<qsizetype>(text.size(), 2); ++i) {
        if (text[i] == QLatin1Char('>') && (before + text.left(i).toString()).endsWith(QLatin1String("]]")))
            return i;
    }
    return -1;
}

void CellText::appendText(QString &cell, QStringView text) const
{
    if (cell.endsWith(QLatin1Char(']'))) {
        const int gt = closesCDataSection(cell, text);
        if (gt >= 0) {
            appendText(cell, text.left(gt));
            cell += QLatin1String("&gt;");
            return appendText(cell, text.mid(gt + 1));
        }
    }
    if (cell.isEmpty())
        text = appendFormulaSafeStart(cell, text);
    const ushort plainUpTo = m_references.needed() ? 0x7F : 0xFFFF;
    const QChar *const end = text.data() + text.size();
    for (const QChar *p = text.data(); p < end;) {
        const QChar *run = p;
        p = findSpecial(p, end, 0, plainUpTo, '\t', '"', '\n', '\r');
        cell.append(run, int(p - run));
        if (p == end)
            break;
        switch (p->unicode()) {
        case '\t':
            cell += QLatin1String("&#9;");
            ++p;
            break;
        case '\r':   // a carriage return and a line feed, or a carriage return alone, end a line as a line feed
            p += p + 1 < end && p[1] == QLatin1Char('\n') ? 1 : 0;
            Q_FALLTHROUGH();
        case '\n':
            cell += QLatin1String("&#10;");
            ++p;
            break;
        case '"':
            cell += QLatin1String("&quot;");
            ++p;
            break;
        default:
            p = m_references.append(cell, p, end);
            break;
        }
    }
}

TableRows::TableRows(QIODevice &table, QTextCodec *system) : m_out(table, system), m_cellText(system)
{
    m_out.text() += QLatin1String("Origine \tTraduction\n");
}

bool TableRows::append(QString &cell, QStringView ts, CellText::Piece piece) const
{
    m_cellText.append(cell, ts, piece);
    return cell.size() <= LongestText;
}

void TableRows::write(const QString &source, const QString &translation, bool utf8Marker)
{
    m_out.write(source);
    m_out.write(QStringLiteral("\t"));
    m_out.write(translation);
    m_out.text() += QLatin1String(utf8Marker ? "\tUTF-8\n" : "\n");
    m_out.written();
    ++m_rows;
}

void TableRows::finish(Result &result)
{
    m_out.flush();
    result.writeFailure = m_out.failure();
    result.messages = m_rows;
}

} // namespace Conversion
