// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef CONVERSION_H
#define CONVERSION_H

// What a conversion is, the export or the import, and what one pass of it
// over its input found.

#include <QByteArray>
#include <QStringList>

class QIODevice;
class QTextCodec;

namespace Conversion {

// No TS file or table holds a text, a tag or a line longer than this, in
// characters, and no message of a TS file is longer: one that grows longer,
// in the input or in the output, ends the conversion before the memory it
// takes does. (A spreadsheet's cell holds at most 32,767.)
const int LongestText = 64 * 1024 * 1024;

// Why a conversion refuses its input; nothing is written then.
enum class Refusal {
    None,
    InvalidBytes,      // bytes that are not valid in the input's encoding
    TooLong,           // a text, a tag or a line longer than LongestText
    NotTs,             // no TS element opens the file: it is no TS file at all (detail says why)
    NotReadByQt,       // a TS file that Qt's tools do not read (detail says why)
    DeclaresMarkup,    // a document type that declares entities or attributes of its own
    NotTabSeparated,   // a table that holds text but not a single tab
    NotXmlText,        // a table's cell holding characters that no XML file can hold
};

// What the import found in the translations (translationchecks.h): the
// first of its findings, each "ligne N : …", and how many there are, on how
// many rows.
struct Findings
{
    QStringList first;
    qint64 count = 0;
    qint64 rows = 0;
};

struct Result
{
    qint64 messages = 0;   // the messages converted: the table's rows, or the TS file's messages
    Refusal refusal = Refusal::None;
    qint64 line = 0;       // the input's line where it is refused, counted from 1 (a table's row)
    qint64 fileLine = 0;   // for a table, the file's line where that row begins
    QString detail;        // for NotTs and NotReadByQt, the reason, in French
    QByteArray codec;      // the input's encoding
    QString readFailure;   // why the input could not be read to its end, or nothing
    QString writeFailure;  // why the output could not be written, or nothing
    Findings findings;     // what the import found in the translations

    // Refuses the input at a line: where it is refused at several, the
    // first of them is told, and the first reason found there.
    void refuse(Refusal why, qint64 atLine, const QString &reason = QString(), qint64 atFileLine = 0)
    {
        if (refusal != Refusal::None && line <= atLine)
            return;
        refusal = why;
        line = atLine;
        detail = reason;
        fileLine = atFileLine;
    }
};

// The export or the import: reads the input and writes the output, in the
// system's encoding where a file names none.
using Direction = Result (*)(QIODevice &input, QIODevice &output, QTextCodec *system);

} // namespace Conversion

#endif // CONVERSION_H
