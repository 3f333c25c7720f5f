// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tsoracle.h"

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
    explicit TsReader(const QByteArray &ts) : m_xml(ts) {}

    bool read(QVector<Message> *messages, QString *error)
    {
        if (!m_xml.readNextStartElement() || m_xml.name() != QLatin1String("TS"))
            fail(QStringLiteral("no TS root"));
        while (m_problem.isEmpty() && m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("context"))
                readContext(messages);
            else
                m_xml.skipCurrentElement();
        }
        if (m_xml.hasError())
            fail(m_xml.errorString());
        *error = m_problem;
        return m_problem.isEmpty();
    }

private:
    void fail(const QString &why)
    {
        if (m_problem.isEmpty())
            m_problem = QStringLiteral("%1 (line %2)").arg(why).arg(m_xml.lineNumber());
    }

    void readContext(QVector<Message> *messages)
    {
        QString name;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("name"))
                name = text();
            else if (m_xml.name() == QLatin1String("message"))
                messages->append(message(name));
            else
                m_xml.skipCurrentElement();
        }
    }

    Message message(const QString &context)
    {
        Message message;
        message.context = context;
        message.numerus = m_xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
        message.utf8 = m_xml.attributes().value(QLatin1String("encoding")) == QLatin1String("UTF-8");
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("source"))
                message.source = text();
            else if (m_xml.name() == QLatin1String("comment"))
                message.comment = text();
            else if (m_xml.name() == QLatin1String("translation") && message.numerus)
                message.translation = forms(QLatin1String("numerusform"));
            else if (m_xml.name() == QLatin1String("translation"))
                message.translation = QStringList{variantsOrText()};
            else
                m_xml.skipCurrentElement();
        }
        return message;
    }

    // The content of the element that the reader is in, up to its end:
    // characters and <byte> elements.
    QString text()
    {
        QString text;
        while (m_xml.readNext() != QXmlStreamReader::EndElement && !m_xml.atEnd()) {
            if (m_xml.isCharacters()) {
                text += m_xml.text();
            } else if (m_xml.isStartElement() && m_xml.name() == QLatin1String("byte")) {
                text += byteValue(m_xml.attributes().value(QLatin1String("value")));
                if (m_xml.readNext() != QXmlStreamReader::EndElement)
                    fail(QStringLiteral("a <byte> element that holds something"));
            } else if (m_xml.isStartElement()) {
                fail(QStringLiteral("<%1> in a text").arg(m_xml.name()));
                m_xml.skipCurrentElement();
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
        while (m_xml.readNext() != QXmlStreamReader::EndElement && !m_xml.atEnd()) {
            if (m_xml.isCharacters() && !m_xml.isWhitespace()) {
                fail(QStringLiteral("text between forms"));
            } else if (m_xml.isStartElement() && m_xml.name() == form) {
                forms += form == QLatin1String("numerusform") ? variantsOrText() : text();
            } else if (m_xml.isStartElement()) {
                fail(QStringLiteral("<%1> among forms").arg(m_xml.name()));
                m_xml.skipCurrentElement();
            }
        }
        return forms;
    }

    QXmlStreamReader m_xml;
    QString m_problem;
};

// An element of a cell, or a piece of its text (with no name).
struct Node
{
    QString name;
    QString text;
    QVector<Node> children;
};

bool readNode(QXmlStreamReader &xml, Node *node)
{
    while (xml.readNext() != QXmlStreamReader::EndElement && !xml.atEnd()) {
        if (xml.isCharacters()) {
            node->children.append(Node{QString(), xml.text().toString(), {}});
        } else if (xml.isStartElement()) {
            Node child{xml.name().toString(), QString(), {}};
            if (child.name == QLatin1String("byte"))
                child.text = byteValue(xml.attributes().value(QLatin1String("value")));
            readNode(xml, &child);
            node->children.append(child);
        }
    }
    return !xml.hasError();
}

// The text of a node: its characters and <byte> elements, nothing else.
bool textOf(const Node &node, QString *text)
{
    for (const Node &child : node.children) {
        if (!child.name.isEmpty() && (child.name != QLatin1String("byte") || !child.children.isEmpty()))
            return false;
        *text += child.text;
    }
    return true;
}

// Whether the node holds nothing but elements of that name.
bool holdsOnly(const Node &node, QLatin1String name)
{
    return !node.children.isEmpty()
           && std::all_of(node.children.begin(), node.children.end(), [&](const Node &c) { return c.name == name; });
}

bool variantsOrText(const Node &node, QString *text)
{
    if (!holdsOnly(node, QLatin1String("lengthvariant")))
        return textOf(node, text);
    QStringList variants;
    for (const Node &variant : node.children) {
        QString variantText;
        if (!textOf(variant, &variantText))
            return false;
        variants += variantText;
    }
    *text = variants.join(variantSeparator);
    return true;
}

} // namespace

bool readMessages(const QByteArray &ts, QVector<Message> *messages, QString *error)
{
    messages->clear();
    return TsReader(ts).read(messages, error);
}

bool readCell(const QString &cell, QStringList *forms)
{
    QXmlStreamReader xml(QStringLiteral("<cell>") + cell + QStringLiteral("</cell>"));
    xml.readNextStartElement();
    Node node;
    if (!readNode(xml, &node))
        return false;
    forms->clear();
    const bool numerus = holdsOnly(node, QLatin1String("numerusform"));
    for (const Node &form : numerus ? node.children : QVector<Node>{node}) {
        QString text;
        if (!variantsOrText(form, &text))
            return false;
        *forms += text;
    }
    return true;
}

} // namespace Oracle
