// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tsexport.h"

#include "blockwriter.h"
#include "tablecells.h"
#include "tsmarkup.h"
#include "tsxmlreader.h"

namespace Conversion {

namespace {

using Token = QXmlStreamReader::TokenType;

const QLatin1String tableHeader("Origine \tTraduction\n");

// Whether a document type holds declarations of its own, after a '['
// outside the quotes of its identifiers: entities, which Qt's reader
// expands where the table would keep their references, or attributes.
bool declaresMarkup(QStringView documentType)
{
    QChar quote;
    for (QChar c : documentType) {
        if (!quote.isNull())
            quote = c == quote ? QChar() : quote;
        else if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            quote = c;
        else if (c == QLatin1Char('['))
            return true;
    }
    return false;
}

// Qt 4's tools mark a message encoding="UTF-8", and the import writes the
// mark back so, with numerus="yes" in a plural: a message that has these
// attributes and no other carries the marker into its row.
bool marksUtf8(const QXmlStreamAttributes &attributes)
{
    bool marked = false;
    for (const QXmlStreamAttribute &attribute : attributes) {
        if (attribute.qualifiedName() == QLatin1String("encoding") && attribute.value() == QLatin1String("UTF-8"))
            marked = true;
        else if (attribute.qualifiedName() != QLatin1String("numerus") || attribute.value() != QLatin1String("yes"))
            return false;
    }
    return marked;
}

// Reads the messages of a TS file where Qt's tools read them, a function
// for each element, and writes a row of the table for each: its source, its
// translation, and the marker of Qt 4's encoding. What Qt's tools refuse in
// a TS file is refused, and what they read has a cell, as the file spells
// it; the rest (contexts, locations, comments) has none.
class TsExport
{
public:
    TsExport(QIODevice &ts, QIODevice &table, QTextCodec *system)
        : m_input(&ts), m_reader(m_input), m_out(table, system), m_cellText(system)
    {
        m_out.text() += tableHeader;
    }

    Result run()
    {
        readDocument();
        m_out.flush();
        m_result.writeFailure = m_out.failure();
        m_reader.report(m_result);
        return m_result;
    }

private:
    const QXmlStreamReader &xml() const { return m_reader.xml(); }
    bool isStart(QLatin1String name) const { return xml().name() == name; }
    void refuse(const QString &reason) { m_reader.refuse(Refusal::NotReadByQt, reason); }

    Token nextInside();
    void readDocument();
    void readTs();
    void readContext();
    void readMessage();
    void readTranslation(bool numerus);
    void readForms(QLatin1String form);
    void readText(QString &cell);
    void skipElement();
    void append(QString &cell, CellText::Piece piece);
    void writeRow(bool utf8Marker);

    InputDevice m_input;
    TsXmlReader m_reader;
    BlockWriter m_out;
    CellText m_cellText;
    QString m_source;
    QString m_translation;
    Result m_result;
};

void TsExport::readDocument()
{
    for (;;) {
        switch (m_reader.next()) {
        case Token::DTD:
            if (declaresMarkup(xml().text()))
                return m_reader.refuse(Refusal::DeclaresMarkup);
            break;
        case Token::StartElement:
            // A TS file's first element is TS: another is another kind of
            // file, a TypeScript source named .ts, say.
            if (!isStart(QLatin1String("TS")))
                return m_reader.refuse(Refusal::NotTs);
            readTs();
            break;
        case Token::EndDocument:
        case Token::Invalid:
            return;
        default:
            break;
        }
    }
}

// The next token inside the current element: EndElement at its end, and
// where the reading has ended.
Token TsExport::nextInside()
{
    const Token token = m_reader.next();
    return token == Token::Invalid ? Token::EndElement : token;
}

void TsExport::readTs()
{
    for (Token token; (token = nextInside()) != Token::EndElement;) {
        if (token == Token::StartElement && isStart(QLatin1String("context")))
            readContext();
        else if (token == Token::StartElement)
            skipElement();
    }
}

void TsExport::readContext()
{
    for (Token token; (token = nextInside()) != Token::EndElement;) {
        if (token == Token::StartElement && isStart(QLatin1String("message")))
            readMessage();
        else if (token == Token::StartElement)
            skipElement();
    }
}

void TsExport::readMessage()
{
    const QXmlStreamAttributes attributes = xml().attributes();
    const bool numerus = attributes.value(QLatin1String("numerus")) == QLatin1String("yes");
    m_source.resize(0);
    m_translation.resize(0);
    for (Token token; (token = nextInside()) != Token::EndElement;) {
        if (token != Token::StartElement)
            continue;
        if (isStart(QLatin1String("source"))) {
            m_source.resize(0);
            readText(m_source);
        } else if (isStart(QLatin1String("translation"))) {
            readTranslation(numerus);
        } else {
            skipElement();
        }
    }
    if (!xml().hasError())
        writeRow(marksUtf8(attributes));
}

// The translation of a plural is its numerus forms; one marked
// variants="yes" is its length variants; else it is text.
void TsExport::readTranslation(bool numerus)
{
    m_translation.resize(0);
    if (numerus)
        readForms(numerusForm);
    else if (xml().attributes().value(QLatin1String("variants")) == QLatin1String("yes"))
        readForms(lengthVariant);
    else
        readText(m_translation);
}

// Numerus forms or length variants, one after the other in the cell, their
// tags as the file spells them; the white space between them lays them out
// in the file, and is not theirs.
void TsExport::readForms(QLatin1String form)
{
    for (Token token; (token = nextInside()) != Token::EndElement;) {
        if (token == Token::Characters && !xml().isWhitespace())
            return refuse(QString::fromUtf8("du texte se trouve entre les éléments <%1> d'une traduction").arg(form));
        if (token != Token::StartElement)
            continue;
        if (!isStart(form)) {
            return refuse(QString::fromUtf8("l'élément <%1> se trouve parmi les éléments <%2> d'une traduction")
                              .arg(xml().name(), form));
        }
        append(m_translation, CellText::Piece::Markup);
        if (form == numerusForm && xml().attributes().value(QLatin1String("variants")) == QLatin1String("yes"))
            readForms(lengthVariant);
        else
            readText(m_translation);
        append(m_translation, CellText::Piece::Markup);
    }
}

// A text: characters, references, CDATA sections and <byte> elements, Qt's
// way of writing a control character. Comments and processing instructions
// in it are left out.
void TsExport::readText(QString &cell)
{
    for (Token token; (token = nextInside()) != Token::EndElement;) {
        if (token == Token::Characters)
            append(cell, xml().isCDATA() ? CellText::Piece::CData : CellText::Piece::Text);
        if (token != Token::StartElement)
            continue;
        if (!isStart(byteElement)) {
            return refuse(QString::fromUtf8("l'élément <%1> se trouve dans un texte, où seul <byte> peut figurer")
                              .arg(xml().name()));
        }
        append(cell, CellText::Piece::Markup);
        if (m_reader.next() != Token::EndElement)
            return refuse(QString::fromUtf8("un élément <byte> contient quelque chose"));
        append(cell, CellText::Piece::Markup);
    }
}

// An element that has no cell, such as a location or a comment. Messages
// are read where Qt's tools read them, in a context of the TS element: a
// message or a context elsewhere is refused, not left out.
void TsExport::skipElement()
{
    for (int depth = 1; depth > 0;) {
        if (xml().isStartElement() && (isStart(QLatin1String("message")) || isStart(QLatin1String("context")))) {
            return refuse(QString::fromUtf8("l'élément <%1> n'est pas à la place où les outils de Qt le lisent")
                              .arg(xml().name()));
        }
        const Token token = m_reader.next();
        if (token == Token::Invalid)
            return;
        depth += token == Token::StartElement ? 1 : token == Token::EndElement ? -1 : 0;
    }
}

void TsExport::append(QString &cell, CellText::Piece piece)
{
    if (xml().hasError())
        return;
    m_cellText.append(cell, piece == CellText::Piece::CData ? xml().text() : m_reader.spelling(), piece);
    if (cell.size() > LongestText)
        m_reader.refuse(Refusal::TooLong);
}

void TsExport::writeRow(bool utf8Marker)
{
    m_out.write(m_source);
    m_out.write(QStringLiteral("\t"));
    m_out.write(m_translation);
    m_out.text() += QLatin1String(utf8Marker ? "\tUTF-8\n" : "\n");
    m_out.written();
    ++m_result.messages;
}

} // namespace

Result tsToTable(QIODevice &ts, QIODevice &table, QTextCodec *system)
{
    return TsExport(ts, table, system).run();
}

} // namespace Conversion
