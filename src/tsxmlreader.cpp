// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tsxmlreader.h"

#include "encodings.h"
#include "textsearch.h"

namespace Conversion {

// How a text ends, for the "]]>" that it may not hold: not in ']', in a
// ']', or in a ']' as the file spells it after another ']'.
enum Brackets { NoBracket, OneBracket, TwoBrackets };

// Whether a reference in a text (from its '&' to its ';') stands for ']'.
static bool isBracketReference(QStringView reference)
{
    const bool hex = reference.size() > 2 && reference.at(2) == QLatin1Char('x');
    if (reference.size() < 4 || reference.at(1) != QLatin1Char('#'))
        return false;
    bool ok = false;
    return reference.mid(hex ? 3 : 2).chopped(1).toString().toUInt(&ok, hex ? 16 : 10) == ']' && ok;
}

// Where a text holds "]]>", which ends a CDATA section and may not stand
// in a text: the offset of its '>', or -1. Qt's reader refuses it, also
// where the first ']' is written as a reference, but misses it where its text
// ran out between the brackets and the '>'. 'brackets' tells how the text
// before ended (Brackets), and is set to how this one ends.
static int cdataEndIn(QStringView text, int &brackets)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('&')) {
            int end = i;
            while (end < text.size() && text.at(end) != QLatin1Char(';'))
                ++end;
            brackets = isBracketReference(text.mid(i, end + 1 - i)) ? OneBracket : NoBracket;
            i = end;
        } else if (c == QLatin1Char(']')) {
            brackets = brackets == NoBracket ? OneBracket : TwoBrackets;
        } else if (c == QLatin1Char('>') && brackets == TwoBrackets) {
            return i;
        } else {
            brackets = NoBracket;
        }
    }
    return -1;
}

TsXmlReader::TsXmlReader(InputDevice &input) : m_input(input)
{
    start(xmlCodec(input));
}

void TsXmlReader::start(QTextCodec *codec)
{
    m_decoder = std::make_unique<TextDecoder>(m_input, codec);
    m_xml.clear();
    // The reader is given UTF-16 with its byte-order mark, which it reads
    // as it is: an encoding that the XML declaration names is not its
    // business any more, but for its name, which it checks.
    m_xml.addData(QString());
    // Where this starts again, no token has been read: the offsets are 0.
    m_text.clear();
    m_inputEnded = false;
    m_stopped = Result();
}

// The reader's next token, given more of the text where it runs out.
QXmlStreamReader::TokenType TsXmlReader::readNext()
{
    for (;;) {
        // Where its text runs out once the root element has ended, the
        // reader takes the document for complete: it is given the rest of
        // the file first, which may hold what may not follow the root.
        if (m_rootClosed)
            feed(true);
        const QXmlStreamReader::TokenType type = m_xml.readNext();
        if (type != QXmlStreamReader::Invalid || m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError
            || !feed(false))
            return type;
    }
}

QXmlStreamReader::TokenType TsXmlReader::next()
{
    if (refused())
        return QXmlStreamReader::Invalid;
    dropRead();
    const QXmlStreamReader::TokenType type = readNext();
    if (type == QXmlStreamReader::StartDocument && restartInDeclaredEncoding())
        return next();
    if (type == QXmlStreamReader::Invalid
        || (type == QXmlStreamReader::EndDocument && m_stopped.refusal != Refusal::None)) {
        refuseAsQtDoes();
        return QXmlStreamReader::Invalid;
    }
    m_tokenStart = m_tokenEnd;
    m_tokenEnd = m_xml.characterOffset();
    // The reader reads the '<' after a text to know that the text ends
    // there; every other piece ends in a character of its own.
    if (m_tokenEnd > m_tokenStart && m_text.at(int(m_tokenEnd - 1 - m_textStart)) == QLatin1Char('<'))
        --m_tokenEnd;
    m_lineAtTokenEnd = m_xml.lineNumber();
    if (type == QXmlStreamReader::Characters && !m_xml.isCDATA()) {
        const int cdataEnd = cdataEndIn(spelling(), m_brackets);
        if (cdataEnd >= 0) {
            refuse(Refusal::NotReadByQt, QString::fromUtf8("le lecteur XML de Qt s'y arrête (« Sequence ']]>' not "
                                                           "allowed in content. »)"),
                   m_lineAtTokenEnd - countLineEnds(spelling().mid(cdataEnd)));
            return QXmlStreamReader::Invalid;
        }
    } else {
        m_brackets = NoBracket;
    }
    // Qt's reader refuses a document type after the first one or after the
    // first element, but forgets to once it has waited for more text.
    if (type == QXmlStreamReader::DTD && (m_rootSeen || m_documentTypeSeen)) {
        refuse(Refusal::NotReadByQt, QString::fromUtf8("une déclaration <!DOCTYPE> s'y trouve après le début du "
                                                       "document ou après une autre"));
        return QXmlStreamReader::Invalid;
    }
    m_documentTypeSeen = m_documentTypeSeen || type == QXmlStreamReader::DTD;
    if (type == QXmlStreamReader::StartElement) {
        m_rootSeen = true;
        ++m_depth;
    } else if (type == QXmlStreamReader::EndElement) {
        m_rootClosed = --m_depth == 0;
    }
    return type;
}

// Where Qt's reader stops: at an error of its own, or at the end of the
// text that it was given, where the file ends too soon or where the feeding
// stopped, at invalid bytes or at a piece too long.
void TsXmlReader::refuseAsQtDoes()
{
    if (m_xml.error() != QXmlStreamReader::NoError && m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        refuse(Refusal::NotReadByQt,
               QString::fromUtf8("le lecteur XML de Qt s'y arrête (« %1 »)").arg(m_xml.errorString()));
    else if (m_stopped.refusal != Refusal::None)
        m_refusal = m_stopped;
    else if (!m_rootSeen)   // at line 1 where the file holds white space alone, as Qt's reader counts it
        refuse(Refusal::NotTs, QString::fromUtf8("le document s'arrête avant que son premier élément ne s'ouvre"),
               m_blank ? 1 : m_xml.lineNumber());
    else
        refuse(Refusal::NotReadByQt, QString::fromUtf8("le document s'arrête avant sa fin : le fichier a été coupé"));
}

QStringView TsXmlReader::spelling() const
{
    return QStringView(m_text).mid(int(m_tokenStart - m_textStart), int(m_tokenEnd - m_tokenStart));
}

// The text before the current token has been read: it goes once it is the
// larger part of what is kept, so that each character is moved once or
// twice, whatever the length of the pieces.
void TsXmlReader::dropRead()
{
    const qint64 read = m_tokenEnd - m_textStart;
    if (read > 0 && read >= m_text.size() / 2) {
        m_text.remove(0, int(read));
        m_textStart = m_tokenEnd;
    }
}

// Qt's reader reads the file in the encoding that its XML declaration names,
// where Qt knows that one and it is not the one that the first bytes showed:
// from the first byte on again.
bool TsXmlReader::restartInDeclaredEncoding()
{
    if (m_restarted)
        return false;
    m_restarted = true;
    QTextCodec *declared = QTextCodec::codecForName(m_xml.documentEncoding().toLatin1());
    if (!declared || declared == m_decoder->codec() || !m_input.seek(0))
        return false;
    start(declared);
    return true;
}

// Decodes more of the input and gives it to the reader: the rest of it, or
// at least as much again as the reader holds of the piece it is reading.
// The reader reads a comment, a processing instruction or a CDATA section
// again from its start each time it is given more of it; so each is read a
// few times over, not once for each chunk. False where nothing was given.
bool TsXmlReader::feed(bool everything)
{
    const int before = m_text.size();
    const qint64 reading = m_textStart + before - m_tokenEnd;
    QString chunk;
    while (!m_inputEnded && (everything || m_text.size() - before < qMax<qint64>(reading, 1))) {
        // Bytes of a character that the file's end cuts are read past, as
        // Qt's reader does: they end a file cut short, or follow the root.
        if (!m_decoder->decode(chunk)) {
            m_inputEnded = true;
            break;
        }
        const int invalid = m_decoder->invalidAt();
        const QStringView decoded = QStringView(chunk).left(invalid >= 0 ? invalid : chunk.size());
        // XML has no U+0000 anywhere. Qt's reader refuses it, but for one
        // after "]]" in a text, which it drops or refuses as its text happens
        // to be cut: a file that holds one is refused, however it is read.
        m_blank = m_blank && decoded.trimmed().isEmpty();
        const int null = int(decoded.indexOf(QChar::Null));
        m_text += null >= 0 ? decoded.left(null) : decoded;
        if (null >= 0) {
            m_inputEnded = true;
            m_stopped.refuse(Refusal::NotReadByQt, lineAt(m_textStart + m_text.size()),
                             QString::fromUtf8("un caractère nul (U+0000) s'y trouve, que XML n'admet nulle part"));
        } else if (invalid >= 0) {
            m_inputEnded = true;
            m_stopped.refuse(Refusal::InvalidBytes, lineAt(m_textStart + m_text.size()));
        } else if (m_textStart + m_text.size() - m_tokenEnd > LongestText) {
            m_inputEnded = true;
            m_text.truncate(int(m_tokenEnd + LongestText - m_textStart));
            m_stopped.refuse(Refusal::TooLong, lineAt(m_tokenEnd + LongestText));
        }
    }
    if (m_text.size() == before)
        return false;
    QByteArray utf16;
    if (m_textStart + before == 0) {
        const ushort mark = QChar::ByteOrderMark;
        utf16.append(reinterpret_cast<const char *>(&mark), sizeof mark);
    }
    utf16.append(reinterpret_cast<const char *>(m_text.constData() + before), (m_text.size() - before) * 2);
    m_xml.addData(utf16);
    return true;
}

// The line of a place in the text that the reader has not reached yet.
qint64 TsXmlReader::lineAt(qint64 offset) const
{
    const int from = int(m_tokenEnd - m_textStart);
    return m_lineAtTokenEnd + countLineEnds(QStringView(m_text).mid(from, int(offset - m_tokenEnd)));
}

void TsXmlReader::refuse(Refusal why, const QString &reason, qint64 line)
{
    if (refused())
        return;
    // Before its first element, a file is no TS file at all, whatever stops Qt's reader there.
    m_refusal.refuse(why == Refusal::NotReadByQt && !m_rootSeen ? Refusal::NotTs : why,
                     line > 0 ? line : m_xml.lineNumber(), reason);
}

// Refuses what Qt's TS reader refuses where it does not expect it, at the
// line where it does, with its words.
void TsXmlReader::refuseUnexpected()
{
    QString reason;
    QString qt;
    switch (m_xml.tokenType()) {
    case QXmlStreamReader::Invalid:
        return;   // refused already
    case QXmlStreamReader::StartElement:
        reason = QString::fromUtf8("les outils de Qt n'attendent pas là l'élément <") + m_xml.name() + QLatin1Char('>');
        qt = QLatin1String("Unexpected tag <") + m_xml.name() + QLatin1Char('>');
        break;
    case QXmlStreamReader::Characters:
        reason = QString::fromUtf8("du texte s'y trouve où les outils de Qt n'en attendent pas");
        qt = QLatin1String("Unexpected characters '") + m_xml.text().left(30).toString().simplified()
             + QLatin1String(m_xml.text().size() > 30 ? "[...]'" : "'");
        break;
    case QXmlStreamReader::EntityReference:
        reason = QString::fromUtf8("une entité que rien ne déclare s'y trouve");
        qt = QLatin1String("Unexpected entity '&") + m_xml.name() + QLatin1String(";'");
        break;
    case QXmlStreamReader::ProcessingInstruction:
        reason = QString::fromUtf8("une instruction de traitement (<?…?>) s'y trouve");
        qt = QLatin1String("Unexpected processing instruction");
        break;
    case QXmlStreamReader::Comment:
        // Qt's reader stops reading a text or forms at a comment, and then
        // fails further on, having taken the end of the text for its
        // element's.
        return refuse(Refusal::NotReadByQt,
                               QString::fromUtf8("un commentaire se trouve dans un texte ou parmi les formes d'une "
                                                 "traduction, où les outils de Qt cessent de les lire"));
    default:
        return refuse(Refusal::NotReadByQt, QString::fromUtf8("le lecteur de fichiers TS de Qt s'y arrête"));
    }
    refuse(Refusal::NotReadByQt, reason + QString::fromUtf8(" (« ") + qt + QString::fromUtf8(" »)"));
}

void TsXmlReader::report(Result &result) const
{
    result.codec = m_decoder->codec()->name();
    result.readFailure = m_decoder->readFailure();
    if (refused())
        result.refuse(m_refusal.refusal, m_refusal.line, m_refusal.detail);
}

} // namespace Conversion
