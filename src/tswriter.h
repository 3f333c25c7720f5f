// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TSWRITER_H
#define TSWRITER_H

// The TS file that the import writes: the simplest one that Qt's tools
// read, one context without a name, and in each message its source and its
// translation, each on one line.

#include "blockwriter.h"
#include "codepagereferences.h"
#include "conversion.h"
#include "translationchecks.h"
#include "tsmarkup.h"

namespace Conversion {

// Writes a cell as TS text: what is already in TS form (references, byte
// elements) stays as it is, and every other character that XML reserves or
// cannot hold is escaped, so that the file is always well-formed.
class TsTextWriter
{
public:
    explicit TsTextWriter(const QTextCodec *ts) : m_references(ts, Referenced::NonAscii) {}

    // Whether a character that XML cannot hold was met, and written as U+FFFD.
    bool textLost() const { return m_textLost; }
    // Whether the text written grew longer than any that a TS file holds;
    // it ends there.
    bool tooLong() const { return m_tooLong; }

    // A whole cell's text: its first character is written as a reference
    // where a spreadsheet would take it for the start of a formula, as the
    // export writes it, so that a TS file that goes out and comes back is
    // the same file.
    // Where read is given and the text that Qt's tools will read in what is
    // written differs from it (tsmarkup.h, appendRead), that text is read
    // into it in the same pass, from origin on, and true is returned.
    bool appendCell(QString &out, QStringView cell, QString *read = nullptr);
    bool append(QString &out, QStringView text, QString *read = nullptr, const QChar *origin = nullptr);
    void appendTag(QString &out, QStringView tag) const { Conversion::appendTag(out, tag, m_references); }

private:
    const QChar *appendEscaped(QString &out, const QChar *p, QStringView text);

    CodePageReferences m_references;
    bool m_textLost = false;
    bool m_tooLong = false;
};

class TsWriter
{
public:
    TsWriter(QIODevice &ts, QTextCodec *codec);

    // A message of a source and a translation as the table's cells hold
    // them; a translation cell made of numerus forms gives a plural.
    void writeMessage(QStringView source, QStringView translation, bool utf8Marker);

    // The texts of the message written last, for the checks.
    const MessageTexts &texts() const { return m_texts; }

    // Why the messages written refuse the table, or None.
    Refusal refusal() const;

    // Ends the file; returns why it could not be written, or nothing.
    QString finish();
    bool writeFailed() const { return !m_out.failure().isEmpty(); }

private:
    void writeContent(QStringView content, int form);

    BlockWriter m_out;
    TsTextWriter m_text;
    QString &m_buffer;
    // Kept from message to message, so that most take no memory of their own.
    QVector<Element> m_forms;
    QVector<Element> m_variants;
    MessageTexts m_texts;
    QString m_readSource;
    QVarLengthArray<QString, 4> m_readTexts;   // the translation's, read as the checks see them
};

} // namespace Conversion

#endif // TSWRITER_H
