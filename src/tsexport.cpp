// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tsexport.h"

#include "tablecells.h"
#include "tsmarkup.h"
#include "tsxmlreader.h"

namespace Conversion {

namespace {

using Token = QXmlStreamReader::TokenType;

// Whether a document type declares entities, which Qt's reader expands
// where the table would keep their references, or attributes, whose
// defaults it adds to the elements. Other declarations change nothing that
// Qt's tools read.
bool declaresMarkup(const QXmlStreamReader &xml)
{
    return !xml.entityDeclarations().isEmpty() || xml.text().contains(QLatin1String("<!ATTLIST"));
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

// The elements of a message that hold a text that the table has no cell for.
bool isOtherText(QStringView name)
{
    for (const char *other : {"oldsource", "comment", "oldcomment", "extracomment", "translatorcomment", "userdata",
                              "location"}) {
        if (name == QLatin1String(other))
            return true;
    }
    return name.startsWith(QLatin1String("extra-"));
}

// White space, as Qt's TS reader counts it: a text that trimmed() empties,
// however it is written.
bool isWhiteSpace(const QXmlStreamReader &xml)
{
    return xml.isCharacters() && xml.text().trimmed().isEmpty();
}

// The next child of the current element, passing white space and comments
// as Qt's TS reader does; false at the element's end, or where the reading
// ended.
bool nextChild(TsXmlReader &reader)
{
    for (;;) {
        const Token token = reader.next();
        if (token == Token::EndElement || token == Token::Invalid)
            return false;
        if (token != Token::Comment && !isWhiteSpace(reader.xml()))
            return true;
    }
}

// Qt's reader takes whatever the dependencies hold, each <dependency> up to
// the first end tag in it.
void readDependencies(TsXmlReader &reader)
{
    for (Token token; (token = reader.next()) != Token::EndElement && token != Token::Invalid;) {
        if (reader.xml().isStartElement() && reader.xml().name() == QLatin1String("dependency")) {
            while ((token = reader.next()) != Token::EndElement && token != Token::Invalid) {
            }
        }
    }
}

// An element read as QXmlStreamReader::readElementText() reads it: its
// characters, comments and processing instructions, and no element.
void readCharactersOnly(TsXmlReader &reader)
{
    for (Token token; (token = reader.next()) != Token::EndElement && token != Token::Invalid;) {
        if (token == Token::StartElement) {
            const QString reason = QString::fromUtf8("l'élément <%1> se trouve où les outils de Qt n'attendent que "
                                                     "du texte (« Expected character data. »)");
            return reader.refuse(Refusal::NotReadByQt, reason.arg(reader.xml().name()));
        }
    }
}

// Reads a TS file as Qt's own TS reader (qttools' TSReader) reads it, a
// function for each element, each loop knowing the elements that Qt's
// reader knows there and refusing all else as it does, and writes a row of
// the table for each message: its source, its translation, and the marker
// of Qt 4's encoding, as the file spells them. The rest (contexts,
// locations, comments) has no cell.
class TsExport
{
public:
    TsExport(TsXmlReader &reader, TableRows &rows) : m_reader(reader), m_rows(rows) {}

    void readDocument();

private:
    const QXmlStreamReader &xml() const { return m_reader.xml(); }
    bool elementStarts(QLatin1String name) const { return xml().isStartElement() && xml().name() == name; }

    void readTs();
    void readContext();
    void readMessage();
    void readTranslation(bool numerus);
    void readForms(QLatin1String form);
    void readText(QString *cell);
    void append(QString *cell, CellText::Piece piece);

    TsXmlReader &m_reader;
    TableRows &m_rows;
    QString m_source;
    QString m_translation;
};

void TsExport::readDocument()
{
    for (;;) {
        switch (m_reader.next()) {
        case Token::StartDocument:
        case Token::Comment:
            break;
        case Token::DTD:
            if (declaresMarkup(xml()))
                return m_reader.refuse(Refusal::DeclaresMarkup);
            break;
        case Token::StartElement:
            // A TS file's first element is TS: another is another kind of
            // file, a TypeScript source named .ts, say.
            if (!elementStarts(QLatin1String("TS"))) {
                return m_reader.refuse(Refusal::NotTs, QString::fromUtf8("son premier élément est <")
                                                           + xml().name() + QLatin1String(">, et non <TS>"));
            }
            readTs();
            break;
        case Token::EndDocument:
        case Token::Invalid:
            return;
        default:
            return m_reader.refuseUnexpected();
        }
    }
}

void TsExport::readTs()
{
    while (nextChild(m_reader)) {
        if (elementStarts(QLatin1String("context")))
            readContext();
        else if (xml().isStartElement() && xml().name().startsWith(QLatin1String("extra-")))
            readText(nullptr);
        else if (elementStarts(QLatin1String("dependencies")))
            readDependencies(m_reader);
        else if (elementStarts(QLatin1String("defaultcodec")))
            readCharactersOnly(m_reader);
        else
            return m_reader.refuseUnexpected();
    }
}

void TsExport::readContext()
{
    while (nextChild(m_reader)) {
        if (elementStarts(QLatin1String("name")))
            readCharactersOnly(m_reader);
        else if (elementStarts(QLatin1String("message")))
            readMessage();
        else
            return m_reader.refuseUnexpected();
    }
}

void TsExport::readMessage()
{
    const QXmlStreamAttributes attributes = xml().attributes();
    const bool numerus = attributes.value(QLatin1String("numerus")) == QLatin1String("yes");
    m_source.resize(0);
    m_translation.resize(0);
    while (nextChild(m_reader)) {
        if (elementStarts(QLatin1String("source"))) {
            m_source.resize(0);
            readText(&m_source);
        } else if (elementStarts(QLatin1String("translation"))) {
            readTranslation(numerus);
        } else if (xml().isStartElement() && isOtherText(xml().name())) {
            readText(nullptr);
        } else {
            return m_reader.refuseUnexpected();
        }
    }
    if (!m_reader.refused())
        m_rows.write(m_source, m_translation, marksUtf8(attributes));
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
        readText(&m_translation);
}

// Numerus forms or length variants, one after the other in the cell, their
// tags as the file spells them; the white space between them lays them out
// in the file, and is not theirs.
void TsExport::readForms(QLatin1String form)
{
    for (Token token; (token = m_reader.next()) != Token::EndElement && token != Token::Invalid;) {
        if (isWhiteSpace(xml()))
            continue;
        if (!elementStarts(form))
            return m_reader.refuseUnexpected();
        append(&m_translation, CellText::Piece::Markup);
        if (form == numerusForm && xml().attributes().value(QLatin1String("variants")) == QLatin1String("yes"))
            readForms(lengthVariant);
        else
            readText(&m_translation);
        append(&m_translation, CellText::Piece::Markup);
    }
}

// A text: characters, references, CDATA sections and <byte> elements, Qt's
// way of writing a control character; into the cell, where it has one.
void TsExport::readText(QString *cell)
{
    for (;;) {
        const Token token = m_reader.next();
        if (token == Token::EndElement || token == Token::Invalid)
            return;
        if (token == Token::Characters) {
            append(cell, xml().isCDATA() ? CellText::Piece::CData : CellText::Piece::Text);
            continue;
        }
        if (!elementStarts(byteElement))
            return m_reader.refuseUnexpected();
        append(cell, CellText::Piece::Markup);
        if (m_reader.next() != Token::EndElement)
            return m_reader.refuseUnexpected();
        append(cell, CellText::Piece::Markup);
    }
}

void TsExport::append(QString *cell, CellText::Piece piece)
{
    if (cell && !m_rows.append(*cell, m_reader.spelling(), piece))
        m_reader.refuse(Refusal::TooLong);
}

} // namespace

Result tsToTable(QIODevice &ts, QIODevice &table, QTextCodec *system)
{
    InputDevice input(&ts);
    TsXmlReader reader(input);
    TableRows rows(table, system);
    TsExport(reader, rows).readDocument();
    Result result;
    rows.finish(result);
    reader.report(result);
    return result;
}

} // namespace Conversion
