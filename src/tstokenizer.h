// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TSTOKENIZER_H
#define TSTOKENIZER_H

// Cuts the text of a TS file, a line at a time, into what the export looks
// at: text, line breaks, tags and the content of CDATA sections. Comments,
// the document type and processing instructions are read past.

#include <QString>

namespace Conversion {

class TsTokenizer
{
public:
    enum class Token { End, Text, LineBreak, Tag, CData };

    // A tag as the TS text holds it, its line breaks made spaces.
    struct Tag
    {
        QStringView text;
        QStringView name;
        bool closing = false;   // </name>
        bool empty = false;     // <name/>
    };

    // Every line but the first begins with a line break.
    void startLine(QStringView line);

    // The next piece of the line, or End. inText says whether the caller is
    // inside the text of a source or a translation: there it gets every
    // piece, and elsewhere only the first element's tag, which tells whether
    // the file is a TS file, and the tags of messages, sources and
    // translations; the rest is read past without a copy.
    Token next(bool inText);

    // Whether the document type declares markup of its own, such as
    // entities (<!DOCTYPE TS [<!ENTITY …>]>), which the export does not read.
    bool declaresMarkup() const { return m_declaresMarkup; }

    // The longest tag or CDATA section gathered so far, in characters.
    int gathered() const { return m_tagText.size(); }

    // The text of a Text token, or the content of a CData token.
    QStringView text() const { return m_text; }
    const Tag &tag() const { return m_tag; }

private:
    // Where the scan stands, between two pieces and across lines.
    enum class In {
        Text,
        SkippedTag,    // a tag whose text is not kept
        Tag,           // a tag, outside its attributes' values
        QuotedValue,   // an attribute's value, which ends at m_quote
        Declaration,   // <!--, <![CDATA[ or <!DOCTYPE: its quotes are text
    };

    void openTag(bool inText);
    void skipTag();
    bool readTag();
    bool declarationEnds() const;
    Token completedTag(bool declaration);

    In m_in = In::Text;
    QChar m_quote;
    QString m_tagText;
    const QChar *m_p = nullptr;
    const QChar *m_end = nullptr;
    bool m_firstLine = true;
    bool m_lineBreakDue = false;
    bool m_elementSeen = false;
    bool m_declaresMarkup = false;
    QStringView m_text;
    Tag m_tag;
};

} // namespace Conversion

#endif // TSTOKENIZER_H
