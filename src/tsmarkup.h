// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TSMARKUP_H
#define TSMARKUP_H

// What a cell keeps of the TS text besides its characters, which the export
// writes into the table as the TS file spells it, and the import reads, by
// the rules of this file, to write it back into a TS file:
//  - character and entity references, such as &amp; or &#x202f;;
//  - in a text, <byte value="…"/> elements, Qt's way of writing a control
//    character;
//  - in a translation, <numerusform> elements (the forms of a plural) and
//    <lengthvariant> elements (shorter texts for small screens).
// Every spelling that XML allows is read: attributes in either quote, white
// space around '=' and before the end of the tag, an empty element written
// <name/> or <name></name>.

#include "tsreferences.h"

#include <QString>
#include <QVector>

namespace Conversion {

class CodePageReferences;

const QLatin1String byteElement("byte");
const QLatin1String numerusForm("numerusform");
const QLatin1String lengthVariant("lengthvariant");

// A tag as XML reads it: <name attributes>, <name attributes/> or </name>.
struct Tag
{
    enum Kind { Start, Empty, End };
    Kind kind = Start;
    QStringView name;
    int length = 0;   // 0 where the text holds no well-formed tag
};

// The tag at the start of text, if it is a well-formed one: its attributes
// each named once, their values free of '<' and of '&' but in references.
Tag tagAt(QStringView text);

// The length of the element at the start of text that holds nothing, such
// as <byte value="x9"/> or <byte value="x9"></byte>, or 0.
int emptyElementLength(QStringView text, QLatin1String name);

// An element of a cell: its opening tag as the cell holds it, and what it
// holds; an empty element holds nothing.
struct Element
{
    QStringView openTag;
    QStringView content;
    bool empty = false;
};

// Cuts text made only of elements of that name, one after the other, as the
// export writes numerus forms and length variants, and the white space that
// a translator may lay them out with, which Qt's tools read as layout;
// false, with none, where it holds anything else.
bool elementsOnly(QStringView text, QLatin1String name, QVector<Element> *elements);

// Whether text begins, after such white space, with a start tag of that name.
bool beginsWithElement(QStringView text, QLatin1String name);

// Appends the text that Qt's tools read in TS text as the import writes it:
// its references as the characters they stand for, its <byte> elements as
// theirs, and every other character (a bare '&', a '<') as itself.
void appendRead(QString &out, QStringView ts);

// Appends the text of a tag with its white space made spaces, which reads
// the same and keeps the tag on the row's line; where the output is in a
// code page, its characters as references where the code page asks for it.
void appendTag(QString &out, QStringView tag, const CodePageReferences &references);

} // namespace Conversion

#endif // TSMARKUP_H
