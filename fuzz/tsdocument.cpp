// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tsdocument.h"

#include <QStringList>
#include <QTextCodec>

#include <iterator>

void TsDocument::space(bool required)
{
    static const char *const spaces[] = {"", " ", "\n", "\n    ", "\t", " \n\t "};
    m_doc += QLatin1String(spaces[required ? 1 + pick(5) : pick(6)]);
}

// What XML allows between elements: white space, comments, processing instructions.
void TsDocument::misc()
{
    for (int n = pick(3); n > 0; --n) {
        switch (pick(3)) {
        case 0: space(); break;
        case 1: comment(); break;
        default: processingInstruction(); break;
        }
    }
}

void TsDocument::comment()
{
    static const char *const pieces[] = {"a", " ", "-", "<source>", "&amp;", "\"", "\n", "]]>", "é"};
    m_doc += QLatin1String("<!--");
    for (int n = pick(5); n > 0; --n) {
        const QString piece = QString::fromUtf8(oneOf(pieces));
        if (!(piece == QLatin1String("-") && m_doc.endsWith(QLatin1Char('-'))))   // no "--" in a comment
            m_doc += piece;
    }
    m_doc += QLatin1String(m_doc.endsWith(QLatin1Char('-')) ? " -->" : "-->");
}

// A processing instruction, whose data may hold anything but its end.
void TsDocument::processingInstruction()
{
    static const char *const targets[] = {"qt", "x-y", "a.b", "xml-stylesheet"};
    static const char *const pieces[] = {" ", "'", "\"", ">", "<", "&", "it's", "<!--", "-->", "]]>", "\n", "?",
                                         "<message><source>ghost</source>", "é"};
    m_doc += QLatin1String("<?") + QLatin1String(oneOf(targets));
    if (maybe()) {
        m_doc += QLatin1Char(' ');
        for (int n = pick(5); n > 0; --n) {
            const QString piece = QString::fromUtf8(oneOf(pieces));
            if (!(piece.startsWith(QLatin1Char('>')) && m_doc.endsWith(QLatin1Char('?'))))
                m_doc += piece;
        }
    }
    m_doc += QLatin1String("?>");
}

// Text, as a source, a translation or a comment holds it.
void TsDocument::text(int pieces)
{
    for (int n = pick(pieces + 1); n > 0; --n) {
        switch (pick(9)) {
        case 0: case 1: case 2: characters(); break;
        case 3: case 4: reference(); break;
        case 5: cdata(); break;
        case 6: comment(); break;
        case 7: processingInstruction(); break;
        default: byteElement(); break;
        }
    }
}

void TsDocument::characters()
{
    static const char16_t *const pieces[] = {
        u"a", u"Open", u" ", u"  ", u"\t", u"\n", u"\n    ", u"\"", u"'", u">", u"]", u"]]", u"=", u"+1", u"-v",
        u"@", u"%n", u"%1", u"é", u"à", u"\u00a0", u"\u202f", u"日本語", u"\U0001F600", u"\ufffd", u"\ufeff",
        u"\u0085", u"\u007f", u"\u2028"};
    for (int n = pick(4) + 1; n > 0; --n) {
        const QString piece = QString::fromUtf16(oneOf(pieces));
        if (m_latin1 && piece.at(0).unicode() > 0xff)
            continue;
        if (piece.startsWith(QLatin1Char('>')) && m_doc.endsWith(QLatin1String("]]")))
            m_doc += QLatin1String("&gt;");   // "]]>" may not stand in text
        else
            m_doc += piece;
    }
}

void TsDocument::reference()
{
    static const char *const entities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
    static const uint characters[] = {0x9,    0xa,    0xd,    0x20,   0x22,    0x26,   0x3c,     0x3d,
                                      0x41,   0x7f,   0x85,   0xa0,   0xe9,    0x202f, 0xd7ff,   0xe000,
                                      0xfffd, 0xfeff, 0x10000, 0x1f600, 0x10ffff};
    if (maybe()) {
        m_doc += QLatin1String(m_entity && maybe() ? "&app;" : oneOf(entities));
        return;
    }
    const uint character = oneOf(characters);
    const bool hex = maybe();
    QString digits = QString::number(character, hex ? 16 : 10);
    if (hex && maybe())
        digits = digits.toUpper();
    m_doc += QLatin1String(hex ? "&#x" : "&#") + QString(pick(3), QLatin1Char('0')) + digits + QLatin1Char(';');
}

void TsDocument::cdata()
{
    static const char16_t *const pieces[] = {u"a", u"<b>", u"&amp;", u"&", u"]", u"]]", u">", u"\n", u"\t",
                                             u"\"", u"=", u"é", u"日"};
    m_doc += QLatin1String("<![CDATA[");
    for (int n = pick(5); n > 0; --n) {
        const QString piece = QString::fromUtf16(oneOf(pieces));
        if ((m_latin1 && piece.at(0).unicode() > 0xff) || (piece == QLatin1String(">") && m_doc.endsWith(QLatin1String("]]"))))
            continue;   // the section would end there
        m_doc += piece;
    }
    m_doc += QLatin1String("]]>");
}

// A <byte> element in the spellings that Qt's tools read.
void TsDocument::byteElement()
{
    static const char *const values[] = {"x9", "xa", "xd", "x1", "x1f", "x1F", "x7", "9", "13", "31", "x0", "x41",
                                         "65", "X9"};
    m_doc += QLatin1String("<byte");
    if (maybe())
        attribute(QStringLiteral("other"), QStringLiteral("a>b"));
    attribute(QStringLiteral("value"), QLatin1String(oneOf(values)));
    space();
    static const char *const ends[] = {"/>", "></byte>", "></byte >"};
    m_doc += QLatin1String(oneOf(ends));
}

// An attribute, in either quote, with white space around '=', and its value
// written with references here and there.
void TsDocument::attribute(const QString &name, const QString &value)
{
    space(true);
    m_doc += name;
    space();
    m_doc += QLatin1Char('=');
    space();
    const QChar quote = maybe() ? QLatin1Char('"') : QLatin1Char('\'');
    m_doc += quote;
    for (QChar c : value) {
        if (c == QLatin1Char('<') || c == QLatin1Char('&') || c == quote || (c.isLetter() && pick(4) == 0))
            m_doc += QStringLiteral("&#%1;").arg(c.unicode());
        else
            m_doc += c;
    }
    m_doc += quote;
}

void TsDocument::openTag(const QString &name, const QStringList &attributes)
{
    m_doc += QLatin1Char('<') + name;
    for (int i = 0; i + 1 < attributes.size(); i += 2)
        attribute(attributes.at(i), attributes.at(i + 1));
    space();
    m_doc += QLatin1Char('>');
}

// An element that holds text, or is empty in either spelling.
void TsDocument::element(const QString &name, int pieces)
{
    if (pick(6) == 0) {
        m_doc += QLatin1Char('<') + name + QLatin1String(maybe() ? "/>" : " />");
        return;
    }
    openTag(name);
    text(pieces);
    m_doc += QLatin1String("</") + name + QLatin1Char('>');
}

void TsDocument::message()
{
    const bool numerus = maybe();
    switch (pick(5)) {
    case 0:   // as Qt 4's tools write a message marked with its encoding
        m_doc += QLatin1String(numerus ? "<message encoding=\"UTF-8\" numerus=\"yes\">" : "<message encoding=\"UTF-8\">");
        break;
    case 1:
        openTag(QStringLiteral("message"), {QStringLiteral("id"), QStringLiteral("a<\"'>b"), QStringLiteral("numerus"),
                                            QLatin1String(numerus ? "yes" : "no")});
        break;
    case 2:   // an attribute of another namespace before the others
        openTag(QStringLiteral("message"), {QStringLiteral("xmlns:x"), QStringLiteral("u"), QStringLiteral("x:id"),
                                            QStringLiteral("7"), QStringLiteral("numerus"),
                                            QLatin1String(numerus ? "yes" : "no")});
        break;
    default:
        openTag(QStringLiteral("message"), numerus ? QStringList{QStringLiteral("numerus"), QStringLiteral("yes")}
                                                   : QStringList());
        break;
    }
    misc();
    if (maybe()) {
        openTag(QStringLiteral("location"), {QStringLiteral("filename"), QStringLiteral("a>b.cpp"),
                                             QStringLiteral("line"), QStringLiteral("3")});
        m_doc.insert(m_doc.size() - 1, QLatin1Char('/'));
        misc();
    }
    if (pick(8) > 0)
        element(QStringLiteral("source"), 6);
    misc();
    static const char *const others[] = {"oldsource", "comment", "extracomment", "translatorcomment"};
    for (int n = pick(3); n > 0; --n) {
        element(QLatin1String(oneOf(others)), 3);
        misc();
    }
    if (pick(8) > 0)
        translation(numerus);
    misc();
    m_doc += QLatin1String("</message>");
}

void TsDocument::translation(bool numerus)
{
    const QStringList type = maybe() ? QStringList{QStringLiteral("type"), QStringLiteral("unfinished")} : QStringList();
    if (pick(6) == 0) {
        m_doc += QLatin1String(type.isEmpty() ? "<translation/>" : "<translation type=\"unfinished\"/>");
        return;
    }
    const bool variants = !numerus && pick(3) == 0;
    openTag(QStringLiteral("translation"), variants ? type + QStringList{QStringLiteral("variants"), QStringLiteral("yes")}
                                                    : type);
    if (numerus)
        forms(QStringLiteral("numerusform"), 3);
    else if (variants)
        forms(QStringLiteral("lengthvariant"), 3);
    else
        text(6);
    m_doc += QLatin1String("</translation>");
}

// Numerus forms or length variants, with the white space and comments that
// lay them out.
void TsDocument::forms(const QString &name, int count)
{
    for (int n = pick(count + 1); n > 0; --n) {
        misc();
        if (name == QLatin1String("numerusform") && pick(3) == 0) {
            openTag(name, {QStringLiteral("variants"), QStringLiteral("yes")});
            forms(QStringLiteral("lengthvariant"), 2);
            m_doc += QLatin1String("</numerusform>");
        } else {
            element(name, 4);
        }
    }
    misc();
}

QByteArray TsDocument::build()
{
    const int encoding = pick(5);   // UTF-8, with a byte-order mark; UTF-16 LE, BE; ISO-8859-1
    m_latin1 = encoding == 4;
    static const char *const declarations[] = {
        "", "<?xml version=\"1.0\" encoding=\"utf-8\"?>", "<?xml version='1.0' encoding = 'UTF-8' ?>",
        "<?xml version=\"1.0\"?>"};
    if (encoding == 4)
        m_doc += QLatin1String("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
    else if (encoding >= 2)
        m_doc += QLatin1String(maybe() ? "<?xml version=\"1.0\" encoding=\"UTF-16\"?>" : "");
    else
        m_doc += QLatin1String(oneOf(declarations));
    misc();
    // The document types of TS files, and some that declare markup, which
    // the export refuses; the identifiers may hold '>' and '['.
    static const char *const documentTypes[] = {
        "<!DOCTYPE TS>", "<!DOCTYPE TS SYSTEM \"ts[1].dtd\">", "<!DOCTYPE TS SYSTEM 'ts>dtd'>",
        "<!DOCTYPE TS PUBLIC \"-//Q//TS\" \"a>[b\">", "<!DOCTYPE TS [<!ENTITY app \"Q\">]>",
        "<!DOCTYPE TS SYSTEM \"ts>dtd\" [<!ENTITY app \"Quorvale\">]>", "<!DOCTYPE TS [<!-- c -->]>",
        "<!DOCTYPE TS [<!ATTLIST message numerus CDATA \"yes\">]>"};
    const int documentType = pick(int(std::size(documentTypes)) + 1);
    if (documentType > 0)
        m_doc += QLatin1String(documentTypes[documentType - 1]);
    m_entity = documentType == 5 || documentType == 6;
    misc();
    openTag(QStringLiteral("TS"), {QStringLiteral("version"), QStringLiteral("2.1"), QStringLiteral("language"),
                                   QStringLiteral("fr")});
    for (int contexts = pick(3); contexts > 0; --contexts) {
        misc();
        openTag(QStringLiteral("context"));
        misc();
        element(QStringLiteral("name"), 2);
        for (int messages = pick(4); messages > 0; --messages) {
            misc();
            message();
        }
        misc();
        m_doc += QLatin1String("</context>");
    }
    misc();
    m_doc += QLatin1String("</TS>");
    misc();
    static const char *const lineEnds[] = {"\n", "\r\n", "\r"};
    m_doc.replace(QLatin1Char('\n'), QLatin1String(oneOf(lineEnds)));
    switch (encoding) {
    case 1: return "\xef\xbb\xbf" + m_doc.toUtf8();
    case 2: return QTextCodec::codecForName("UTF-16LE")->fromUnicode(m_doc);   // with its byte-order mark
    case 3: return QTextCodec::codecForName("UTF-16BE")->fromUnicode(m_doc);
    case 4: return m_doc.toLatin1();
    default: return m_doc.toUtf8();
    }
}
