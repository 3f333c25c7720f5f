// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tstokenizer.h"

#include "textsearch.h"

namespace Conversion {

namespace {

bool endsName(QChar c)
{
    const ushort u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '/' || u == '>';
}

const QChar *nameEnd(const QChar *name, const QChar *end)
{
    while (name < end && !endsName(*name))
        ++name;
    return name;
}

// Whether the export needs the text of the tag at lt outside a source or a
// translation, once the first element is known: a message's, a source's or
// a translation's, and those that the line cuts before their name ends.
// Declarations and processing instructions are read whole, so that a '>' in
// them does not end them.
bool isWanted(const QChar *lt, const QChar *end)
{
    const QChar *name = lt + 1;
    if (name < end && (*name == QLatin1Char('!') || *name == QLatin1Char('?')))
        return true;
    if (name < end && *name == QLatin1Char('/'))
        ++name;
    const QChar *const after = nameEnd(name, end);
    if (after == end)
        return true;
    const QStringView tag(name, after);
    return tag == QLatin1String("source") || tag == QLatin1String("message") || tag == QLatin1String("translation");
}

} // namespace

void TsTokenizer::startLine(QStringView line)
{
    m_p = line.data();
    m_end = m_p + line.size();
    m_lineBreakDue = !m_firstLine;
    m_firstLine = false;
}

TsTokenizer::Token TsTokenizer::next(bool inText)
{
    if (m_lineBreakDue) {
        m_lineBreakDue = false;
        if (m_in == In::Text && inText)
            return Token::LineBreak;
        if (m_in == In::Declaration && m_tagText.startsWith(QLatin1String("<![CDATA[")))
            m_tagText += QLatin1Char('\n');   // a line break of the text
        else if (m_in != In::Text && m_in != In::SkippedTag)
            m_tagText += QLatin1Char(' ');    // white space inside a tag
    }
    while (m_p < m_end) {
        if (m_in == In::Text) {
            const QChar *lt = findFirstOf(m_p, m_end, '<');
            if (lt > m_p && inText) {
                m_text = QStringView(m_p, lt);
                m_p = lt;
                return Token::Text;
            }
            m_p = lt;
            if (lt == m_end)
                break;
            openTag(inText);
        }
        if (m_in == In::SkippedTag) {
            skipTag();
            continue;
        }
        const bool declaration = m_in == In::Declaration;
        if (readTag()) {
            m_in = In::Text;
            const Token token = completedTag(declaration);
            if (token != Token::End)
                return token;
        }
    }
    return Token::End;
}

// At the '<' that opens a tag.
void TsTokenizer::openTag(bool inText)
{
    if (!inText && m_elementSeen && !isWanted(m_p, m_end)) {
        m_in = In::SkippedTag;
        return;
    }
    m_tagText.resize(0);
    m_in = m_p + 1 < m_end && m_p[1] == QLatin1Char('!') ? In::Declaration : In::Tag;
}

// A skipped tag may end at a '>' inside an attribute value: the rest of the
// value is then read as text, which outside a source or a translation is
// skipped too, and no '<' can stand in it.
void TsTokenizer::skipTag()
{
    const QChar *gt = findFirstOf(m_p, m_end, '>');
    if (gt == m_end) {
        m_p = m_end;
        return;
    }
    m_p = gt + 1;
    m_in = In::Text;
}

// Gathers the tag up to its end, or to the end of the line; true at its end.
bool TsTokenizer::readTag()
{
    // The scan's place is kept in locals while the loop runs: the compiler
    // cannot keep members in registers across the appends.
    const QChar *p = m_p;
    const QChar *start = p;
    In in = m_in;
    while (p < m_end) {
        const QChar c = *p++;
        if (in == In::QuotedValue) {
            if (c == m_quote)
                in = In::Tag;
        } else if (c == QLatin1Char('>')) {
            m_tagText.append(start, int(p - start));
            start = p;
            if (in == In::Tag || declarationEnds()) {
                m_p = p;
                m_in = in;
                return true;
            }
        } else if (in == In::Tag && (c == QLatin1Char('"') || c == QLatin1Char('\''))) {
            m_quote = c;
            in = In::QuotedValue;
        }
    }
    m_tagText.append(start, int(p - start));
    m_p = p;
    m_in = in;
    return false;
}

// Comments and CDATA sections end with their own closing sequence.
bool TsTokenizer::declarationEnds() const
{
    const QStringView tag(m_tagText);
    if (tag.startsWith(QLatin1String("<!--")))
        return tag.size() >= 7 && tag.endsWith(QLatin1String("-->"));
    if (tag.startsWith(QLatin1String("<![CDATA[")))
        return tag.endsWith(QLatin1String("]]>"));
    return true;
}

// Whether a document type declaration holds an internal subset, its '['
// outside the quotes of its identifiers.
static bool hasInternalSubset(QStringView declaration)
{
    QChar quote;
    for (QChar c : declaration) {
        if (!quote.isNull())
            quote = c == quote ? QChar() : quote;
        else if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            quote = c;
        else if (c == QLatin1Char('['))
            return true;
    }
    return false;
}

// The token of a complete tag; End for what the export reads past.
TsTokenizer::Token TsTokenizer::completedTag(bool declaration)
{
    const QStringView tag(m_tagText);
    if (declaration) {
        if (tag.startsWith(QLatin1String("<!DOCTYPE")) && hasInternalSubset(tag))
            m_declaresMarkup = true;
        if (!tag.startsWith(QLatin1String("<![CDATA[")))
            return Token::End;   // a comment, the document type
        m_text = tag.mid(9, tag.size() - 12);
        return Token::CData;
    }
    const QChar second = tag.size() > 1 ? tag.at(1) : QChar();
    if (second == QLatin1Char('?'))
        return Token::End;   // a processing instruction
    m_elementSeen = true;
    m_tag.text = tag;
    m_tag.closing = second == QLatin1Char('/');
    m_tag.empty = tag.size() > 2 && tag.at(tag.size() - 2) == QLatin1Char('/');
    const QChar *name = tag.data() + (m_tag.closing ? 2 : 1);
    m_tag.name = QStringView(name, nameEnd(name, tag.data() + tag.size()));
    return Token::Tag;
}

} // namespace Conversion
