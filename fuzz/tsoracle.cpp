// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tsoracle.h"

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

// Reads a TS document as Qt's own TS reader (qttools' TSReader) reads it:
// each loop knows what Qt's reader knows there, passes white space and
// comments, and refuses all else.
class TsReader
{
public:
    explicit TsReader(const QByteArray &ts) : m_bytes(ts), m_xml(ts) {}

    bool read(QVector<Message> *messages, QString *error)
    {
        QXmlStreamReader::TokenType type;
        while (m_problem.isEmpty() && (type = next()) != QXmlStreamReader::EndDocument) {
            if (elementStarts("TS"))
                readTs(messages);
            else if (type != QXmlStreamReader::StartDocument && type != QXmlStreamReader::DTD
                     && type != QXmlStreamReader::Comment)
                unexpected();
        }
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
            for (const auto &start : lessThanSign)
                mib = mib == 106 && bytes.startsWith(start.first) ? start.second : mib;
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
        if (type == QXmlStreamReader::Invalid)
            fail(m_xml.errorString());
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
        if (type == QXmlStreamReader::DTD
            && (!m_xml.entityDeclarations().isEmpty() || m_xml.text().contains(QLatin1String("<!ATTLIST"))))
            fail(QStringLiteral("a document type that declares entities or attributes"));
        return m_problem.isEmpty() ? type : QXmlStreamReader::Invalid;
    }

    bool elementStarts(const char *name) const { return m_xml.isStartElement() && m_xml.name() == QLatin1String(name); }

    // The next child of the current element, past white space (however
    // written) and comments; false at its end.
    bool nextChild()
    {
        for (;;) {
            const QXmlStreamReader::TokenType type = next();
            if (type == QXmlStreamReader::EndElement || type == QXmlStreamReader::Invalid)
                return false;
            if (type != QXmlStreamReader::Comment && !(m_xml.isCharacters() && m_xml.text().trimmed().isEmpty()))
                return true;
        }
    }

    void unexpected() { fail(QStringLiteral("unexpected token %1 %2").arg(m_xml.tokenString(), m_xml.name())); }

    void readTs(QVector<Message> *messages)
    {
        while (nextChild()) {
            if (elementStarts("context"))
                readContext(messages);
            else if (m_xml.isStartElement() && m_xml.name().startsWith(QLatin1String("extra-")))
                text();
            else if (elementStarts("dependencies"))
                readDependencies();
            else if (elementStarts("defaultcodec"))
                charactersOnly();
            else
                unexpected();
        }
    }

    // Whatever they hold, each <dependency> up to the first end tag in it.
    void readDependencies()
    {
        while (!m_xml.atEnd() && next() != QXmlStreamReader::EndElement) {
            if (elementStarts("dependency")) {
                while (!m_xml.atEnd() && next() != QXmlStreamReader::EndElement) {
                }
            }
        }
    }

    // An element read as QXmlStreamReader::readElementText() reads it.
    QString charactersOnly()
    {
        QString text;
        while (m_problem.isEmpty() && next() != QXmlStreamReader::EndElement) {
            if (m_xml.isStartElement())
                fail(QStringLiteral("Expected character data."));
            else if (m_xml.isCharacters())
                text += m_xml.text();
        }
        return text;
    }

    void readContext(QVector<Message> *messages)
    {
        QString name;
        while (nextChild()) {
            if (elementStarts("name"))
                name = charactersOnly();
            else if (elementStarts("message"))
                messages->append(message(name));
            else
                unexpected();
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
        static const QStringList others = {QStringLiteral("oldsource"), QStringLiteral("oldcomment"),
                                           QStringLiteral("extracomment"), QStringLiteral("translatorcomment"),
                                           QStringLiteral("location"), QStringLiteral("userdata")};
        while (nextChild()) {
            if (elementStarts("source"))
                message.source = text();
            else if (elementStarts("comment"))
                message.comment = text();
            else if (elementStarts("translation"))
                message.translation = message.numerus ? forms("numerusform") : QStringList{variantsOrText()};
            else if (m_xml.isStartElement()
                     && (others.contains(m_xml.name()) || m_xml.name().startsWith(QLatin1String("extra-"))))
                text();
            else
                unexpected();
        }
        return message;
    }

    // The content of the element that the reader is in, up to its end:
    // characters and <byte> elements.
    QString text()
    {
        QString text;
        while (m_problem.isEmpty() && next() != QXmlStreamReader::EndElement) {
            if (m_xml.isCharacters()) {
                text += m_xml.text();
            } else if (elementStarts("byte")) {
                text += byteValue(m_xml.attributes().value(QLatin1String("value")));
                if (next() != QXmlStreamReader::EndElement)
                    unexpected();
            } else {
                unexpected();
            }
        }
        return text;
    }

    // The length variants of an element marked variants="yes", or its text.
    QString variantsOrText()
    {
        if (m_xml.attributes().value(QLatin1String("variants")) == QLatin1String("yes"))
            return forms("lengthvariant").join(variantSeparator);
        return text();
    }

    // Elements that hold forms: the white space around them is layout.
    QStringList forms(const char *form)
    {
        QStringList forms;
        while (m_problem.isEmpty() && next() != QXmlStreamReader::EndElement) {
            if (m_xml.isCharacters() && m_xml.text().trimmed().isEmpty())
                continue;
            if (!elementStarts(form))
                unexpected();
            else
                forms += QLatin1String(form) == QLatin1String("numerusform") ? variantsOrText() : text();
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
