// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TSORACLE_H
#define TSORACLE_H

// The judge of the conversions, for the tests and the fuzzers: what Qt's
// XML reader, QXmlStreamReader, reads of a TS file's messages, taken as
// Qt's tools take them, and of a cell of the table, read by the rules that
// the README gives. The program itself never uses it.

#include <QStringList>
#include <QVector>

namespace Oracle {

// Qt's tools join the length variants of a text with this character.
const QChar variantSeparator(0x9c);

struct Message
{
    QString context;
    QString comment;
    QString source;
    QStringList translation;   // its text, or its numerus forms
    bool numerus = false;
    bool utf8 = false;         // marked encoding="UTF-8"

    // What the table can hold of it: a plural without forms reads as an
    // empty translation.
    QStringList forms() const { return translation.isEmpty() ? QStringList{QString()} : translation; }
};

// The messages of a TS document, in their order: the text of a source, a
// translation, a numerus form or a length variant as characters, references
// resolved, <byte> elements as the characters that Qt's tools make of them,
// comments and processing instructions left out, and the white space around
// forms left out. False, with the reason, where the document is not
// well-formed or holds what Qt's tools would not read as a TS file.
bool readMessages(const QByteArray &ts, QVector<Message> *messages, QString *error);

// A cell of the table, read by the README's rules: TS text in which a
// source holds characters, references and <byte> elements, and a
// translation either the same or numerus forms or length variants one after
// the other. False where the cell is not such text.
bool readCell(const QString &cell, QStringList *forms);

} // namespace Oracle

#endif // TSORACLE_H
