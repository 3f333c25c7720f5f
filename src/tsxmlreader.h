// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TSXMLREADER_H
#define TSXMLREADER_H

// A TS file read by Qt's XML reader, as Qt's own tools read it, with the
// spelling of each piece as the file holds it.

#include "conversion.h"
#include "textdecoder.h"

#include <QXmlStreamReader>

#include <memory>

namespace Conversion {

// Reads a TS file with QXmlStreamReader, the reader of lupdate, lconvert
// and lrelease: what it refuses is refused, and what it reads is read alike.
// The text is decoded here, where its bytes are checked, in the encoding
// that Qt's reader would read it in, and handed to the reader as it asks for
// more: memory holds the current piece of the document and little more.
// The reader tells what each piece means; the spelling of a piece, as the
// file holds it (its references, the white space of a tag, its line ends),
// is taken from the text at the reader's offsets.
class TsXmlReader
{
public:
    explicit TsXmlReader(InputDevice &input);

    // The next token, as QXmlStreamReader::readNext() gives it; Invalid once
    // the file is refused, for what Qt's reader refuses or for what the
    // program refuses on its own.
    QXmlStreamReader::TokenType next();

    const QXmlStreamReader &xml() const { return m_xml; }

    // The current token as the file spells it: a tag, a text with its
    // references and line ends, a CDATA section. Every cell is made of these.
    QStringView spelling() const;

    // Refuses the file at the given line or the current one, and ends the
    // reading: the first refusal is the one told.
    void refuse(Refusal why, const QString &reason = QString(), qint64 line = 0);
    bool refused() const { return m_refusal.refusal != Refusal::None; }

    // Refuses the current token, where Qt's own TS reader does not expect
    // it, at the line where it does, with its words.
    void refuseUnexpected();

    // What reading found: why the file is refused, if it is, and whether it
    // could be read to its end.
    void report(Result &result) const;

private:
    void start(QTextCodec *codec);
    QXmlStreamReader::TokenType readNext();
    void refuseAsQtDoes();
    bool restartInDeclaredEncoding();
    bool feed(bool everything);
    qint64 lineAt(qint64 offset) const;
    void dropRead();

    InputDevice &m_input;
    std::unique_ptr<TextDecoder> m_decoder;
    QXmlStreamReader m_xml;
    QString m_text;             // the decoded text, from m_textStart on
    qint64 m_textStart = 0;     // offsets count the characters of the whole text
    qint64 m_tokenStart = 0;
    qint64 m_tokenEnd = 0;
    qint64 m_lineAtTokenEnd = 1;
    int m_depth = 0;
    int m_brackets = 0;         // how the text before ended, where a text may go on
    bool m_rootSeen = false;
    bool m_documentTypeSeen = false;
    bool m_rootClosed = false;
    bool m_inputEnded = false;
    bool m_restarted = false;
    bool m_blank = true;        // the text holds nothing but white space so far
    Result m_refusal;   // why the file is refused
    Result m_stopped;   // what stopped the feeding (invalid bytes, a piece too long), refused when reached
};

} // namespace Conversion

#endif // TSXMLREADER_H
