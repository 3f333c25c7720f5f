// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tsoracle.h"

#include <QRegularExpression>
#include <QTextCodec>
#include <QXmlStreamReader>

namespace Oracle {

namespace {

// The character that Qt's tools make of <byte value="…"/>: "x" and hex
// digits, or decimal digits; the low 16 bits of the value; none for 0.
QString byteValue(QStringView value)
{
    const bool hex = value.startsWith(QLatin1Char('x'));
    const uint n = value.mid(hex ? 1 : 0).toString().toUInt(nullptr, hex ? 16 : 10);
    return n != 0 ? QString(QChar(n)) : QString();
}

// Reads the elements of a TS document as Qt's tools read them.
class TsReader
{
public:
    explicit TsReader(const QByteArray &ts) : m_bytes(ts), m_xml(ts) {}

    bool read(QVector<Message> *messages, QString *error)
    {
        if (!nextStartElement() || m_xml.name() != QLatin1String("TS"))
            fail(QStringLiteral("no TS root"));
        while (m_problem.isEmpty() && nextStartElement()) {
            if (m_xml.name() == QLatin1String("context"))
                readContext(messages);
            else
                skipElement();
        }
        while (m_problem.isEmpty() && !m_xml.atEnd())   // what follows the root
            next();
        if (m_xml.hasError())
            fail(m_xml.errorString());
        *error = m_problem;
        return m_problem.isEmpty();
    }

private:
    // Qt's decoders write U+FFFD for bytes that they cannot read, and those
    // of UTF-16 and UTF-32 pass a lone surrogate through. No code page has a
    // U+FFFD but GB18030, whose mapping of Unicode is whole: its text is its
    // bytes again, once encoded, but for the bytes of a character that the
    // file's end cuts, which the decoder holds back, as it does in Qt's reader.
    static bool notValid(QTextCodec *codec, const QByteArray &bytes)
    {
        static const QList<int> unicode = {106, 1013, 1014, 1015, 1017, 1018, 1019};
        if (!codec || unicode.contains(codec->mibEnum()))
            return false;
        const QString text = codec->toUnicode(bytes);
        if (codec->mibEnum() != 114)
            return text.contains(QChar::ReplacementCharacter);
        const QByteArray again = codec->fromUnicode(text);
        return !bytes.startsWith(again) || bytes.size() - again.size() > 3;
    }

    // Whether the text holds U+0000, which XML has nowhere, though Qt's
    // reader drops one after "]]" in a text. The text is decoded as Qt's
    // reader decodes it: in the encoding that the declaration names, or
    // else that the first bytes show.
    static bool holdsNull(const QByteArray &bytes, const QString &declared)
    {
        QTextCodec *codec = QTextCodec::codecForName(declared.toLatin1());
        if (!codec)
            codec = QTextCodec::codecForUtfText(bytes, nullptr);
        if (!codec) {
            static const QVector<QPair<QByteArray, int>> lessThanSign = {
                {QByteArray("<\0\0\0", 4), 1019}, {QByteArray("\0\0\0<", 4), 1018},
                {QByteArray("<\0", 2), 1014},       {QByteArray("\0<", 2), 1013}};
            int mib = 106;
            for (const auto &start : lessThanSign) {
                if (bytes.startsWith(start.first)) {
                    mib = start.second;
                    break;
                }
            }
            codec = QTextCodec::codecForMib(mib);
        }
        return codec->toUnicode(bytes).contains(QChar::Null);
    }

    void fail(const QString &why)
    {
        if (m_problem.isEmpty())
            m_problem = QStringLiteral("%1 (line %2)").arg(why).arg(m_xml.lineNumber());
    }

    // The next token; where the README says that the export parts from
    // Qt's reading on purpose, the document is not read: text that is not
    // valid in its encoding, a document type that declares markup.
    QXmlStreamReader::TokenType next()
    {
        const QXmlStreamReader::TokenType type = m_xml.readNext();
        if (type == QXmlStreamReader::StartDocument && holdsNull(m_bytes, m_xml.documentEncoding().toString()))
            fail(QStringLiteral("a null character"));
        bool invalid = type == QXmlStreamReader::StartDocument
                       && notValid(QTextCodec::codecForName(m_xml.documentEncoding().toLatin1()), m_bytes);
        for (QStringView text : {m_xml.text(), m_xml.qualifiedName(), m_xml.processingInstructionTarget(),
                                 m_xml.processingInstructionData()})
            invalid = invalid || !text.isValidUtf16();
        for (const QXmlStreamAttribute &attribute : m_xml.attributes())
            invalid = invalid || !QStringView(attribute.qualifiedName()).isValidUtf16()
                      || !QStringView(attribute.value()).isValidUtf16();
        for (const QXmlStreamNamespaceDeclaration &declaration : m_xml.namespaceDeclarations())
            invalid = invalid || !QStringView(declaration.prefix()).isValidUtf16()
                      || !QStringView(declaration.namespaceUri()).isValidUtf16();
        if (invalid)
            fail(QStringLiteral("text not valid in its encoding"));
        if (type == QXmlStreamReader::EntityReference)
            fail(QStringLiteral("an entity that nothing declares"));
        static const QRegularExpression internalSubset(
            QStringLiteral("^\\s*<!DOCTYPE\\s+[^\\s\\[>]+(\\s+(SYSTEM|PUBLIC)(\\s*(\"[^\"]*\"|'[^']*')){1,2})?\\s*\\["));
        if (type == QXmlStreamReader::DTD && internalSubset.match(m_xml.text()).hasMatch())
            fail(QStringLiteral("a document type that declares markup"));
        return m_problem.isEmpty() ? type : QXmlStreamReader::Invalid;
    }

    // The next child element of the current one, or false at its end.
    bool nextStartElement()
    {
        QXmlStreamReader::TokenType type;
        while ((type = next()) != QXmlStreamReader::StartElement) {
            if (type == QXmlStreamReader::EndElement || type == QXmlStreamReader::Invalid || m_xml.atEnd())
                return false;
        }
        return true;
    }

    // Skips an element that Qt's tools read nothing of, or nothing the table
    // keeps; a message or a context in it is where they do not look for one.
    void skipElement()
    {
        for (int depth = 1; depth > 0 && m_problem.isEmpty();) {
            if (m_xml.isStartElement()
                && (m_xml.name() == QLatin1String("message") || m_xml.name() == QLatin1String("context")))
                fail(QStringLiteral("<%1> out of its place").arg(m_xml.name()));
            const QXmlStreamReader::TokenType type = next();
            depth += type == QXmlStreamReader::StartElement ? 1 : type == QXmlStreamReader::EndElement ? -1 : 0;
            if (type == QXmlStreamReader::Invalid)
                return;
        }
    }

    void readContext(QVector<Message> *messages)
    {
        QString name;
        while (nextStartElement()) {
            if (m_xml.name() == QLatin1String("name"))
                name = text();
            else if (m_xml.name() == QLatin1String("message"))
                messages->append(message(name));
            else
                skipElement();
        }
    }

    // Qt 4's tools write encoding="UTF-8"; the table keeps it where it is
    // the message's only attribute, but for numerus="yes".
    static bool marksUtf8(const QXmlStreamAttributes &attributes)
    {
        QStringList others;
        for (const QXmlStreamAttribute &attribute : attributes)
            others += attribute.qualifiedName() + QLatin1Char('=') + attribute.value();
        others.removeOne(QStringLiteral("numerus=yes"));
        return others == QStringList{QStringLiteral("encoding=UTF-8")};
    }

    Message message(const QString &context)
    {
        Message message;
        message.context = context;
        message.numerus = m_xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
        message.utf8 = marksUtf8(m_xml.attributes());
        while (nextStartElement()) {
            if (m_xml.name() == QLatin1String("source"))
                message.source = text();
            else if (m_xml.name() == QLatin1String("comment"))
                message.comment = text();
            else if (m_xml.name() == QLatin1String("translation") && message.numerus)
                message.translation = forms(QLatin1String("numerusform"));
            else if (m_xml.name() == QLatin1String("translation"))
                message.translation = QStringList{variantsOrText()};
            else
                skipElement();
        }
        return message;
    }

    // The content of the element that the reader is in, up to its end:
    // characters and <byte> elements.
    QString text()
    {
        QString text;
        while (next() != QXmlStreamReader::EndElement && m_problem.isEmpty() && !m_xml.atEnd()) {
            if (m_xml.isCharacters()) {
                text += m_xml.text();
            } else if (m_xml.isStartElement() && m_xml.name() == QLatin1String("byte")) {
                text += byteValue(m_xml.attributes().value(QLatin1String("value")));
                if (next() != QXmlStreamReader::EndElement)
                    fail(QStringLiteral("a <byte> element that holds something"));
            } else if (m_xml.isStartElement()) {
                fail(QStringLiteral("<%1> in a text").arg(m_xml.name()));
            }
        }
        return text;
    }

    // The length variants of an element marked variants="yes", or its text.
    QString variantsOrText()
    {
        if (m_xml.attributes().value(QLatin1String("variants")) == QLatin1String("yes"))
            return forms(QLatin1String("lengthvariant")).join(variantSeparator);
        return text();
    }

    // Elements that hold forms: the white space around them is layout.
    QStringList forms(QLatin1String form)
    {
        QStringList forms;
        while (next() != QXmlStreamReader::EndElement && m_problem.isEmpty() && !m_xml.atEnd()) {
            if (m_xml.isCharacters() && !m_xml.isWhitespace())
                fail(QStringLiteral("text between forms"));
            else if (m_xml.isStartElement() && m_xml.name() == form)
                forms += form == QLatin1String("numerusform") ? variantsOrText() : text();
            else if (m_xml.isStartElement())
                fail(QStringLiteral("<%1> among forms").arg(m_xml.name()));
        }
        return forms;
    }

    QByteArray m_bytes;
    QXmlStreamReader m_xml;
    QString m_problem;
};

} // namespace

bool readMessages(const QByteArray &ts, QVector<Message> *messages, QString *error)
{
    messages->clear();
    return TsReader(ts).read(messages, error);
}

bool readCell(const QString &cell, QStringList *forms)
{
    // As a translation of a TS file: the forms of a plural, if it holds
    // numerus forms; else text; else its length variants.
    for (const char *message : {"<message numerus='yes'><translation>", "<message><translation>",
                                "<message><translation variants='yes'>"}) {
        QVector<Message> messages;
        QString error;
        const QString ts = QStringLiteral("<TS><context>") + QLatin1String(message) + cell
                           + QStringLiteral("</translation></message></context></TS>");
        if (readMessages(ts.toUtf8(), &messages, &error) && messages.size() == 1
            && !messages.at(0).translation.isEmpty()) {
            *forms = messages.at(0).translation;
            return true;
        }
    }
    return false;
}

} // namespace Oracle
