// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tsdocument.h"

#include <QStringList>
#include <QTextCodec>

#include <iterator>

void TsDocument::space(bool required)
{
    static const char *const spaces[] = {"", " ", "\n", "\n    ", "\t", " \n\t "};
    m_doc += spaces[required ? 1 + pick(5) : pick(6)];
}

// What Qt's tools read between elements: white space and comments.
void TsDocument::misc()
{
    for (int n = pick(3); n > 0; --n) {
        if (maybe())
            space();
        else
            comment();
    }
}

// Appends up to n of the pieces, but none that would make what ends the
// construct being written, nor, in ISO-8859-1, one that it cannot hold.
template <size_t N>
void TsDocument::pieces(const char16_t *const (&choices)[N], int n, QLatin1String end)
{
    for (; n > 0; --n) {
        const QString piece = QString::fromUtf16(oneOf(choices));
        if (!(m_latin1 && piece.at(0).unicode() > 0xff) && !(m_doc.right(end.size() - 1) + piece).contains(end))
            m_doc += piece;
    }
}

void TsDocument::comment()
{
    static const char16_t *const choices[] = {u"a", u" ", u"-", u"<source>", u"&amp;", u"\"", u"\n", u"]]>", u"é"};
    m_doc += "<!--";
    pieces(choices, pick(5), QLatin1String("--"));
    m_doc += m_doc.endsWith('-') ? " -->" : "-->";
}

// Text, as a source, a translation or a comment holds it.
void TsDocument::text(int pieces)
{
    for (int n = pick(pieces + 1); n > 0; --n) {
        switch (pick(7)) {
        case 0: case 1: case 2: characters(); break;
        case 3: case 4: reference(); break;
        case 5: cdata(); break;
        default: byteElement(); break;
        }
    }
}

void TsDocument::characters()
{
    static const char16_t *const choices[] = {
        u"a", u"Open", u" ", u"  ", u"\t", u"\n", u"\n    ", u"\"", u"'", u">", u"]", u"]]", u"=", u"+1", u"-v",
        u"@", u"%n", u"%1", u"é", u"à", u"\u00a0", u"\u202f", u"日本語", u"\U0001F600", u"\ufffd", u"\ufeff",
        u"\u0085", u"\u007f", u"\u2028"};
    pieces(choices, pick(4) + 1, QLatin1String("]]>"));
}

void TsDocument::reference()
{
    static const char *const entities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
    static const uint characters[] = {0x9,    0xa,    0xd,    0x20,   0x22,    0x26,   0x3c,     0x3d,
                                      0x41,   0x7f,   0x85,   0xa0,   0xe9,    0x202f, 0xd7ff,   0xe000,
                                      0xfffd, 0xfeff, 0x10000, 0x1f600, 0x10ffff};
    if (maybe()) {
        m_doc += m_entity && maybe() ? "&app;" : oneOf(entities);
        return;
    }
    const uint character = oneOf(characters);
    const bool hex = maybe();
    QString digits = QString::number(character, hex ? 16 : 10);
    if (hex && maybe())
        digits = digits.toUpper();
    m_doc += (hex ? "&#x" : "&#") + QString(pick(3), '0') + digits + ';';
}

void TsDocument::cdata()
{
    static const char16_t *const choices[] = {u"a", u"<b>", u"&amp;", u"&", u"]", u"]]", u">", u"\n", u"\t",
                                              u"\"", u"=", u"é", u"日"};
    m_doc += "<![CDATA[";
    pieces(choices, pick(5), QLatin1String("]]>"));
    m_doc += "]]>";
}

// A <byte> element in the spellings that Qt's tools read.
void TsDocument::byteElement()
{
    static const char *const values[] = {"x9", "xa", "xd", "x1", "x1f", "x1F", "x7", "9", "13", "31", "x0", "x41",
                                         "65", "X9"};
    m_doc += "<byte";
    if (maybe())
        attribute("other", "a>b");
    attribute("value", oneOf(values));
    space();
    static const char *const ends[] = {"/>", "></byte>", "></byte >"};
    m_doc += oneOf(ends);
}

// An attribute, in either quote, with white space around '=', and its value
// written with references here and there.
void TsDocument::attribute(const QString &name, const QString &value)
{
    space(true);
    m_doc += name;
    space();
    m_doc += '=';
    space();
    const QChar quote = maybe() ? '"' : '\'';
    m_doc += quote;
    for (QChar c : value) {
        const bool referenced = c == '<' || c == '&' || c == quote || (c.isLetter() && pick(4) == 0);
        m_doc += referenced ? QString("&#%1;").arg(c.unicode()) : c;
    }
    m_doc += quote;
}

void TsDocument::openTag(const QString &name, const QStringList &attributes)
{
    m_doc += '<' + name;
    for (int i = 0; i + 1 < attributes.size(); i += 2)
        attribute(attributes.at(i), attributes.at(i + 1));
    space();
    m_doc += '>';
}

// An element that holds text, or is empty in either spelling.
void TsDocument::element(const QString &name, int pieces)
{
    if (pick(6) == 0) {
        m_doc += '<' + name + (maybe() ? "/>" : " />");
        return;
    }
    openTag(name);
    text(pieces);
    m_doc += "</" + name + '>';
}

void TsDocument::message()
{
    const QString numerus = maybe() ? "yes" : "no";
    switch (pick(5)) {
    case 0:   // as Qt 4's tools write a message marked with its encoding
        m_doc += numerus == "yes" ? "<message encoding=\"UTF-8\" numerus=\"yes\">" : "<message encoding=\"UTF-8\">";
        break;
    case 1: openTag("message", {"id", "a<\"'>b", "numerus", numerus}); break;
    case 2: openTag("message", {"xmlns:x", "u", "x:id", "7", "numerus", numerus}); break;   // of another namespace
    default: openTag("message", numerus == "yes" ? QStringList{"numerus", "yes"} : QStringList()); break;
    }
    misc();
    if (maybe()) {
        openTag("location", {"filename", "a>b.cpp", "line", "3"});
        m_doc.insert(m_doc.size() - 1, '/');
        misc();
    }
    if (pick(8) > 0)
        element("source", 6);
    misc();
    static const char *const others[] = {"oldsource", "comment", "extracomment", "translatorcomment"};
    for (int n = pick(3); n > 0; --n) {
        element(oneOf(others), 3);
        misc();
    }
    if (pick(8) > 0)
        translation(numerus == "yes");
    misc();
    m_doc += "</message>";
}

void TsDocument::translation(bool numerus)
{
    const QStringList type = maybe() ? QStringList{"type", "unfinished"} : QStringList();
    if (pick(6) == 0) {
        m_doc += type.isEmpty() ? "<translation/>" : "<translation type=\"unfinished\"/>";
        return;
    }
    const bool variants = !numerus && pick(3) == 0;
    openTag("translation", variants ? type + QStringList{"variants", "yes"} : type);
    if (numerus)
        forms("numerusform", 3);
    else if (variants)
        forms("lengthvariant", 3);
    else
        text(6);
    m_doc += "</translation>";
}

// Numerus forms or length variants, with the white space that lays them out,
// written in every way that Qt's tools read.
void TsDocument::forms(const QString &name, int count)
{
    static const char *const layouts[] = {"", "&#32;", "&#9;", "<![CDATA[ ]]>", "&#xa0;", "\u00a0"};
    for (int n = pick(count + 1); n > 0; --n) {
        space();
        m_doc += m_latin1 ? "" : QString::fromUtf8(oneOf(layouts));
        if (name == "numerusform" && pick(3) == 0) {
            openTag(name, {"variants", "yes"});
            forms("lengthvariant", 2);
            m_doc += "</numerusform>";
        } else {
            element(name, 4);
        }
    }
    space();
}

QByteArray TsDocument::build()
{
    const int encoding = pick(5);   // UTF-8, with a byte-order mark; UTF-16 LE, BE; ISO-8859-1
    m_latin1 = encoding == 4;
    static const char *const declarations[] = {
        "", "<?xml version=\"1.0\" encoding=\"utf-8\"?>", "<?xml version='1.0' encoding = 'UTF-8' ?>",
        "<?xml version=\"1.0\"?>"};
    if (encoding == 4)
        m_doc += "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
    else if (encoding >= 2)
        m_doc += maybe() ? "<?xml version=\"1.0\" encoding=\"UTF-16\"?>" : "";
    else
        m_doc += oneOf(declarations);
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
        m_doc += documentTypes[documentType - 1];
    m_entity = documentType == 5 || documentType == 6;
    misc();
    openTag("TS", {"version", "2.1", "language", "fr"});
    for (int contexts = pick(3); contexts > 0; --contexts) {
        misc();
        openTag("context");
        misc();
        element("name", 2);
        for (int messages = pick(4); messages > 0; --messages) {
            misc();
            message();
        }
        misc();
        m_doc += "</context>";
    }
    misc();
    m_doc += "</TS>";
    misc();
    static const char *const lineEnds[] = {"\n", "\r\n", "\r"};
    m_doc.replace('\n', oneOf(lineEnds));
    switch (encoding) {
    case 1: return "\xef\xbb\xbf" + m_doc.toUtf8();
    case 2: return QTextCodec::codecForName("UTF-16LE")->fromUnicode(m_doc);   // with its byte-order mark
    case 3: return QTextCodec::codecForName("UTF-16BE")->fromUnicode(m_doc);
    case 4: return m_doc.toLatin1();
    default: return m_doc.toUtf8();
    }
}
