// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tsmarkup.h"

#include "codepagereferences.h"
#include "tsreferences.h"
#include "textsearch.h"

#include <QVarLengthArray>
#include <QVector>

#include <algorithm>
#include <iterator>

namespace Conversion {

namespace {

bool isSpace(QChar c)
{
    const ushort u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r';
}

// Names of elements and attributes in ASCII, without namespace prefixes.
bool isNameStart(QChar c)
{
    const ushort u = c.unicode() | 0x20;
    return (u >= 'a' && u <= 'z') || c == QLatin1Char('_');
}

bool isNameChar(QChar c)
{
    const ushort u = c.unicode();
    return isNameStart(c) || (u >= '0' && u <= '9') || u == '-' || u == '.';
}

int skipSpace(QStringView text, int i)
{
    while (i < text.size() && isSpace(text[i]))
        ++i;
    return i;
}

int nameEnd(QStringView text, int i)
{
    if (i >= text.size() || !isNameStart(text[i]))
        return i;
    while (i < text.size() && isNameChar(text[i]))
        ++i;
    return i;
}

// One attribute of a tag: name="value" or name='value'.
struct Attribute
{
    QStringView name;
    QStringView value;   // as the tag holds it
};

// Reads the attribute at i, if it is well-formed, and returns the position
// after it, or -1.
int readAttribute(QStringView text, int i, Attribute *attribute)
{
    const int end = nameEnd(text, i);
    if (end == i)
        return -1;
    attribute->name = text.mid(i, end - i);
    i = skipSpace(text, end);
    if (i == text.size() || text[i] != QLatin1Char('='))
        return -1;
    i = skipSpace(text, i + 1);
    if (i == text.size() || (text[i] != QLatin1Char('"') && text[i] != QLatin1Char('\'')))
        return -1;
    const QChar quote = text[i];
    const int valueStart = ++i;
    while (i < text.size() && text[i] != quote) {
        const QChar c = text[i];
        if (c == QLatin1Char('<'))
            return -1;
        if (c == QLatin1Char('&')) {
            const int length = referenceLength(text.mid(i));
            if (length == 0)
                return -1;
            i += length;
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            i += 2;
            continue;
        }
        if (!isXmlChar(c.unicode()))
            return -1;
        ++i;
    }
    if (i == text.size())
        return -1;
    attribute->value = text.mid(valueStart, i - valueStart);
    return i + 1;
}

// Reads the attributes of a start tag from i to its end, checking each, and
// returns the position after the tag with its kind, or -1.
int readAttributes(QStringView text, int i, Tag::Kind *kind)
{
    QVarLengthArray<QStringView, 4> names;
    for (;;) {
        const int before = i;
        i = skipSpace(text, i);
        if (i == text.size())
            return -1;
        if (text[i] == QLatin1Char('>')) {
            *kind = Tag::Start;
            return i + 1;
        }
        if (text.mid(i).startsWith(QLatin1String("/>"))) {
            *kind = Tag::Empty;
            return i + 2;
        }
        Attribute attribute;
        if (i == before || (i = readAttribute(text, i, &attribute)) < 0)
            return -1;   // attributes are parted by white space
        if (std::find(names.cbegin(), names.cend(), attribute.name) != names.cend())
            return -1;
        names.append(attribute.name);
    }
}

} // namespace

Tag tagAt(QStringView text)
{
    Tag tag;
    if (!text.startsWith(QLatin1Char('<')))
        return tag;
    const bool closing = text.mid(1).startsWith(QLatin1Char('/'));
    const int nameStart = closing ? 2 : 1;
    const int end = nameEnd(text, nameStart);
    if (end == nameStart)
        return tag;
    tag.name = text.mid(nameStart, end - nameStart);
    int after;
    if (closing) {
        tag.kind = Tag::End;
        const int gt = skipSpace(text, end);
        after = gt < text.size() && text[gt] == QLatin1Char('>') ? gt + 1 : -1;
    } else {
        after = readAttributes(text, end, &tag.kind);
    }
    tag.length = qMax(after, 0);
    return tag;
}

int emptyElementLength(QStringView text, QLatin1String name)
{
    const Tag open = tagAt(text);
    if (open.length == 0 || open.name != name || open.kind == Tag::End)
        return 0;
    if (open.kind == Tag::Empty)
        return open.length;
    const Tag close = tagAt(text.mid(open.length));
    return close.length > 0 && close.kind == Tag::End && close.name == name ? open.length + close.length : 0;
}

// The element of that name at the start of text, and the position after
// it; 0 where there is none.
int elementAt(QStringView text, QLatin1String name, Element *element)
{
    const Tag open = tagAt(text);
    if (open.length == 0 || open.name != name || open.kind == Tag::End)
        return 0;
    *element = Element{text.left(open.length), QStringView(), open.kind == Tag::Empty};
    if (element->empty)
        return open.length;
    // The first closing tag of that name ends it; one that opens first would
    // be nested, which neither a numerus form nor a length variant is.
    for (int lt = indexOf(text, '<', open.length); lt >= 0; lt = indexOf(text, '<', lt + 1)) {
        const Tag close = tagAt(text.mid(lt));
        if (close.length == 0 || close.name != name)
            continue;
        if (close.kind != Tag::End)
            return 0;
        element->content = text.mid(open.length, lt - open.length);
        return lt + close.length;
    }
    return 0;
}

// Where the white space from i on ends, as Qt's tools read white space
// between elements (what QString::trimmed() removes), also where a
// reference writes it.
static int layoutEnd(QStringView text, int i)
{
    for (int next; i < text.size(); i = next) {
        const int length = text[i] == QLatin1Char('&') ? referenceLength(text.mid(i)) : 0;
        next = i + qMax(length, 1);
        if (!(length > 0 ? QChar::isSpace(referencedCodePoint(text.mid(i, length))) : text[i].isSpace()))
            break;
    }
    return i;
}

bool elementsOnly(QStringView text, QLatin1String name, QVector<Element> *elements)
{
    elements->clear();
    for (int i = layoutEnd(text, 0); i < text.size();) {
        Element element;
        const int end = elementAt(text.mid(i), name, &element);
        if (end == 0) {
            elements->clear();
            return false;
        }
        elements->append(element);
        i = layoutEnd(text, i + end);
    }
    return !elements->isEmpty();
}

bool beginsWithElement(QStringView text, QLatin1String name)
{
    if (text.isEmpty() || (text[0] != QLatin1Char('<') && text[0] != QLatin1Char('&') && !text[0].isSpace()))
        return false;   // as most texts begin
    const int start = layoutEnd(text, 0);
    if (start == text.size() || text[start] != QLatin1Char('<'))
        return false;
    const Tag tag = tagAt(text.mid(start));
    return tag.length > 0 && tag.kind != Tag::End && tag.name == name;
}

// The character that Qt's tools make of a <byte> element: its value "x"
// and hexadecimal digits, or decimal digits, in its low 16 bits; none for 0.
static void appendByte(QString &out, QStringView element)
{
    QStringView value;
    for (int i = nameEnd(element, 1); i >= 0 && value.isEmpty();) {
        Attribute attribute;
        i = readAttribute(element, skipSpace(element, i), &attribute);
        value = attribute.name == QLatin1String("value") ? attribute.value : value;
    }
    QString read;
    appendRead(read, value);
    const bool hex = read.startsWith(QLatin1Char('x'));
    const uint n = read.midRef(hex ? 1 : 0).toUInt(nullptr, hex ? 16 : 10);
    if (n != 0)
        out += QChar(ushort(n));
}

void appendRead(QString &out, QStringView ts)
{
    const QChar *const end = ts.data() + ts.size();
    for (const QChar *p = ts.data(); p < end;) {
        const QChar *run = p;
        p = findFirstOf(p, end, '&', '<');
        out.append(run, int(p - run));
        if (p == end)
            break;
        const QStringView rest(p, end);
        int length = p->unicode() == '&' ? referenceLength(rest) : emptyElementLength(rest, byteElement);
        if (length == 0) {
            out += *p++;
        } else if (p->unicode() == '<') {
            appendByte(out, rest.left(length));
        } else {
            const uint character = referencedCodePoint(rest.left(length));
            if (QChar::requiresSurrogates(character))
                out += QChar(QChar::highSurrogate(character));
            out += QChar::requiresSurrogates(character) ? QChar(QChar::lowSurrogate(character)) : QChar(character);
        }
        p += length;
    }
}

void appendTag(QString &out, QStringView tag, const CodePageReferences &references)
{
    const ushort plainUpTo = references.needed() ? 0x7F : 0xFFFF;
    const QChar *const end = tag.data() + tag.size();
    for (const QChar *p = tag.data(); p < end;) {
        const QChar *run = p;
        p = findSpecial(p, end, 0, plainUpTo, '\t', '\n', '\r');
        out.append(run, int(p - run));
        if (p == end)
            break;
        if (isSpace(*p)) {
            out += QLatin1Char(' ');
            ++p;
        } else {
            p = references.append(out, p, end);
        }
    }
}

} // namespace Conversion
