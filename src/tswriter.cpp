// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tswriter.h"

#include "formulastart.h"
#include "textsearch.h"

#include <QVector>

namespace Conversion {

bool TsTextWriter::appendCell(QString &out, QStringView cell, QString *read)
{
    return append(out, appendFormulaSafeStart(out, cell), read, cell.data());
}

bool TsTextWriter::append(QString &out, QStringView text, QString *read, const QChar *origin)
{
    // Above these, only references reach a TS file that names no
    // encoding where the system's is not Unicode.
    const ushort plainUpTo = m_references.needed() ? 0x7F : 0xD7FF;
    const QChar *p = text.data();
    const QChar *end = p + text.size();
    bool reading = false;
    while (p < end) {
        // Counted where it grows: a line of control characters, each a
        // <byte> element, would give a text eighteen times its length.
        if (out.size() > LongestText) {
            m_tooLong = true;
            return reading;
        }
        const QChar *run = p;
        p = findSpecial(p, end, 0x20, plainUpTo, '"', '&', '<', '>');
        out.append(run, int(p - run));
        if (reading)
            read->append(run, int(p - run));
        if (p == end)
            break;
        const QChar *const next = appendEscaped(out, p, text);
        // The text read differs from the TS text from its first reference
        // or <byte> element on.
        if (read && !reading && next - p > 1 && (p->unicode() == '&' || p->unicode() == '<')) {
            reading = true;
            read->resize(0);
            read->append(origin ? origin : text.data(), int(p - (origin ? origin : text.data())));
        }
        if (reading)
            appendRead(*read, QStringView(p, next));
        p = next;
    }
    return reading;
}

const QChar *TsTextWriter::appendEscaped(QString &out, const QChar *p, QStringView text)
{
    const ushort u = p->unicode();
    const int at = int(p - text.data());
    const QStringView rest = text.mid(at);
    const QChar *const end = text.data() + text.size();
    if (u == '&') {
        // A reference is kept; a bare '&' is escaped below.
        if (const int length = referenceLength(rest)) {
            out.append(p, length);
            return p + length;
        }
    } else if (u == '<') {
        if (const int kept = emptyElementLength(rest, byteElement)) {
            appendTag(out, rest.left(kept));
            return p + kept;
        }
    }
    switch (u) {
    case '&': out += QStringLiteral("&amp;"); return p + 1;
    case '<': out += QStringLiteral("&lt;"); return p + 1;
    case '>': out += QStringLiteral("&gt;"); return p + 1;
    // The export writes a quote of the text as a reference; so does the
    // import, so that a TS that goes out and comes back is the same file.
    case '"': out += QStringLiteral("&quot;"); return p + 1;
    case '\n': out += QStringLiteral("&#10;"); return p + 1;
    case '\t': out += QStringLiteral("&#9;"); return p + 1;
    default: break;
    }
    if (u < 0x20) {
        out += QStringLiteral("<byte value=\"x");
        out += QString::number(u, 16);
        out += QStringLiteral("\"/>");
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
    const bool numerusLike = beginsWithElement(translation, numerusForm);
    if (!numerusLike || !elementsOnly(translation, numerusForm, &m_forms))
        m_forms.clear();
    m_texts.translation.resize(0);
    m_texts.plural = !m_forms.isEmpty();
    m_texts.brokenForms = numerusLike && m_forms.isEmpty() ? numerusForm : QLatin1String();
    m_buffer += QStringLiteral("    <message");
    if (utf8Marker)
        m_buffer += QStringLiteral(" encoding=\"UTF-8\"");
    if (!m_forms.isEmpty())
        m_buffer += QStringLiteral(" numerus=\"yes\"");
    m_buffer += QStringLiteral(">\n        <source>");
    m_texts.source = m_text.appendCell(m_buffer, source, &m_readSource) ? QStringView(m_readSource) : source;
    m_buffer += QStringLiteral("</source>\n        <translation");
    if (m_forms.isEmpty()) {
        writeContent(translation, 0);
    } else {
        m_buffer += QLatin1Char('>');
        for (int i = 0; i < m_forms.size(); ++i) {
            m_buffer += QStringLiteral("<numerusform");
            writeContent(m_forms.at(i).content, i + 1);
            m_buffer += QStringLiteral("</numerusform>");
        }
    }
    m_buffer += QStringLiteral("</translation>\n    </message>\n");
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

// Ends the opening tag of a translation or of its numerus form (from 1)
// and writes its content: the length variants that it is made of, or text.
// A whole cell's text is written so that no spreadsheet takes it for a
// formula.
void TsWriter::writeContent(QStringView content, int form)
{
    const int index = int(m_texts.translation.size());
    if (m_readTexts.size() <= index)
        m_readTexts.resize(index + 1);
    QString *const read = &m_readTexts[index];
    const bool variantLike = beginsWithElement(content, lengthVariant);
    if (!variantLike || !elementsOnly(content, lengthVariant, &m_variants)) {
        if (variantLike && m_texts.brokenForms.isEmpty())
            m_texts.brokenForms = lengthVariant;
        m_buffer += QLatin1Char('>');
        const bool wasRead =
            form == 0 ? m_text.appendCell(m_buffer, content, read) : m_text.append(m_buffer, content, read);
        m_texts.translation.append(wasRead ? QStringView(*read) : content);
        return;
    }
    m_buffer += QStringLiteral(" variants=\"yes\">");
    bool wasRead = false;
    for (const Element &variant : qAsConst(m_variants)) {
        m_text.appendTag(m_buffer, variant.openTag);
        if (variant.empty)
            continue;
        const bool first = &variant == &m_variants.first();
        wasRead = m_text.append(m_buffer, variant.content, first ? read : nullptr) || (wasRead && !first);
        m_buffer += QStringLiteral("</lengthvariant>");
    }
    m_texts.translation.append(wasRead ? QStringView(*read) : m_variants.first().content);
}

} // namespace Conversion
