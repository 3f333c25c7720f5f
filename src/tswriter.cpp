// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tswriter.h"

#include "formulastart.h"
#include "textsearch.h"

#include <QVector>

namespace Conversion {

void TsTextWriter::appendCell(QString &out, QStringView cell)
{
    append(out, appendFormulaSafeStart(out, cell));
}

void TsTextWriter::append(QString &out, QStringView text)
{
    // Above these, only references reach a TS file that names no
    // encoding where the system's is not Unicode.
    const ushort plainUpTo = m_references.needed() ? 0x7F : 0xD7FF;
    const QChar *p = text.data();
    const QChar *end = p + text.size();
    while (p < end) {
        // Counted where it grows: a line of control characters, each a
        // <byte> element, would give a text eighteen times its length.
        if (out.size() > LongestText) {
            m_tooLong = true;
            return;
        }
        const QChar *run = p;
        p = findSpecial(p, end, 0x20, plainUpTo, '"', '&', '<', '>');
        out.append(run, int(p - run));
        if (p < end)
            p = appendSpecial(out, p, end);
    }
}

const QChar *TsTextWriter::appendSpecial(QString &out, const QChar *p, const QChar *end)
{
    const ushort u = p->unicode();
    const QStringView rest(p, end);
    if (u == '&') {
        if (const int kept = referenceLength(rest)) {
            out.append(p, kept);
            return p + kept;
        }
    } else if (u == '<') {
        if (const int kept = emptyElementLength(rest, byteElement)) {
            appendTag(out, rest.left(kept));
            return p + kept;
        }
    }
    switch (u) {
    case '&': out += QLatin1String("&amp;"); return p + 1;
    case '<': out += QLatin1String("&lt;"); return p + 1;
    case '>': out += QLatin1String("&gt;"); return p + 1;
    // The export writes a quote of the text as a reference; so does the
    // import, so that a TS that goes out and comes back is the same file.
    case '"': out += QLatin1String("&quot;"); return p + 1;
    case '\n': out += QLatin1String("&#10;"); return p + 1;
    case '\t': out += QLatin1String("&#9;"); return p + 1;
    default: break;
    }
    if (u < 0x20) {
        out += QLatin1String("<byte value=\"x");
        out += QString::number(u, 16);
        out += QLatin1String("\"/>");
        return p + 1;
    }
    const int length = p->isHighSurrogate() && p + 1 < end && p[1].isLowSurrogate() ? 2 : 1;
    if ((p->isSurrogate() && length == 1) || u >= 0xFFFE) {
        // Neither a lone surrogate nor U+FFFE or U+FFFF can stand in XML.
        out += QChar(QChar::ReplacementCharacter);
        m_textLost = true;
        return p + 1;
    }
    if (m_references.needed())
        return m_references.append(out, p, end);
    out.append(p, length);
    return p + length;
}

TsWriter::TsWriter(QIODevice &ts, QTextCodec *codec) : m_out(ts, codec), m_text(codec), m_buffer(m_out.text())
{
    m_buffer += QLatin1String("<!DOCTYPE TS><TS>\n"
                              "<context>\n");
}

void TsWriter::writeMessage(QStringView source, QStringView translation, bool utf8Marker)
{
    QVector<Element> forms;
    elementsOnly(translation, numerusForm, &forms);
    m_buffer += QLatin1String("    <message");
    if (utf8Marker)
        m_buffer += QLatin1String(" encoding=\"UTF-8\"");
    if (!forms.isEmpty())
        m_buffer += QLatin1String(" numerus=\"yes\"");
    m_buffer += QLatin1String(">\n        <source>");
    m_text.appendCell(m_buffer, source);
    m_buffer += QLatin1String("</source>\n        <translation");
    if (forms.isEmpty()) {
        writeContent(translation, true);
    } else {
        m_buffer += QLatin1Char('>');
        for (const Element &form : forms) {
            m_buffer += QLatin1String("<numerusform");
            writeContent(form.content, false);
            m_buffer += QLatin1String("</numerusform>");
        }
    }
    m_buffer += QLatin1String("</translation>\n    </message>\n");
    m_out.written();
}

Refusal TsWriter::refusal() const
{
    if (m_text.tooLong())
        return Refusal::TooLong;
    return m_text.textLost() ? Refusal::NotXmlText : Refusal::None;
}

QString TsWriter::finish()
{
    m_buffer += QLatin1String("</context>\n"
                              "</TS>\n");
    m_out.flush();
    return m_out.failure();
}

// Ends the opening tag of a translation or a numerus form and writes
// its content: the length variants that it is made of, or text. A whole
// cell's text is written so that no spreadsheet takes it for a formula.
void TsWriter::writeContent(QStringView content, bool wholeCell)
{
    QVector<Element> variants;
    if (!elementsOnly(content, lengthVariant, &variants)) {
        m_buffer += QLatin1Char('>');
        if (wholeCell)
            m_text.appendCell(m_buffer, content);
        else
            m_text.append(m_buffer, content);
        return;
    }
    m_buffer += QLatin1String(" variants=\"yes\">");
    for (const Element &variant : variants) {
        m_text.appendTag(m_buffer, variant.openTag);
        if (variant.empty)
            continue;
        m_text.append(m_buffer, variant.content);
        m_buffer += QLatin1String("</lengthvariant>");
    }
}

} // namespace Conversion
