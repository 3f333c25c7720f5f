// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TSXMLREADER_H
#define TSXMLREADER_H

// A TS file read by Qt's XML reader, as Qt's own tools read it, with the
// spelling of each piece as the file holds it.

#include "conversion.h"
#include "tstextfeed.h"

#include <QXmlStreamReader>

namespace Conversion {

// Reads a TS file with QXmlStreamReader, the reader of lupdate, lconvert
// and lrelease: what it refuses is refused, and what it reads is read alike,
// with the few refusals of its own that keep a translator's text safe. The
// reader tells what each piece means; the spelling of a piece, as the file
// holds it (its references, the white space of a tag, its line ends), is
// taken from the text that it was fed, at its offsets.
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
    QStringView spelling() const { return m_feed.spelling(); }

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
    QXmlStreamReader::TokenType readNext();
    bool refusedOnItsOwn(QXmlStreamReader::TokenType type);
    void refuseAsQtDoes();
    bool restartInDeclaredEncoding();

    QXmlStreamReader m_xml;
    TsTextFeed m_feed;
    int m_depth = 0;
    int m_brackets = 0;         // how the text before ended, where a text may go on
    bool m_rootSeen = false;
    bool m_documentTypeSeen = false;
    bool m_rootClosed = false;
    bool m_restarted = false;
    Result m_refusal;
};

} // namespace Conversion

#endif // TSXMLREADER_H
