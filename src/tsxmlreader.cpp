// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tsxmlreader.h"

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

// Why a token stands where Qt's TS reader does not expect it, with Qt's words.
static QString unexpectedReason(const QXmlStreamReader &xml)
{
    const QString qtSays = QString::fromUtf8(" (« %1 »)");
    switch (xml.tokenType()) {
    case QXmlStreamReader::StartElement:
        return QString::fromUtf8("les outils de Qt n'attendent pas là l'élément <%1>").arg(xml.name())
               + qtSays.arg(QLatin1String("Unexpected tag <") + xml.name() + QLatin1Char('>'));
    case QXmlStreamReader::Characters:
        return QString::fromUtf8("du texte s'y trouve où les outils de Qt n'en attendent pas")
               + qtSays.arg(QLatin1String("Unexpected characters '") + xml.text().left(30).toString().simplified()
                            + QLatin1String(xml.text().size() > 30 ? "[...]'" : "'"));
    case QXmlStreamReader::EntityReference:
        return QString::fromUtf8("une entité que rien ne déclare s'y trouve")
               + qtSays.arg(QLatin1String("Unexpected entity '&") + xml.name() + QLatin1String(";'"));
    case QXmlStreamReader::ProcessingInstruction:
        return QString::fromUtf8("une instruction de traitement (<?…?>) s'y trouve")
               + qtSays.arg(QLatin1String("Unexpected processing instruction"));
    case QXmlStreamReader::Comment:
        // Qt's reader stops reading a text or forms at a comment, and then
        // fails further on, having taken the end of the text for its
        // element's.
        return QString::fromUtf8("un commentaire se trouve dans un texte ou parmi les formes d'une traduction, où les "
                                 "outils de Qt cessent de les lire");
    default:
        return QString::fromUtf8("le lecteur de fichiers TS de Qt s'y arrête");
    }
}

TsXmlReader::TsXmlReader(InputDevice &input) : m_feed(input, m_xml)
{
    // Qt's reader reads nothing of a file of fewer than 4 bytes, whose
    // encoding it cannot tell: it ends the document before the first line.
    if (input.peek(4).size() < 4)
        refuse(Refusal::NotTs, QString::fromUtf8("le document s'arrête avant que son premier élément ne s'ouvre"), 1);
}

// The reader's next token, given more of the text where it runs out.
QXmlStreamReader::TokenType TsXmlReader::readNext()
{
    for (;;) {
        // Where its text runs out once the root element has ended, the
        // reader takes the document for complete: it is given the rest of
        // the file first, which may hold what may not follow the root.
        if (m_rootClosed)
            m_feed.feed(true);
        const QXmlStreamReader::TokenType type = m_xml.readNext();
        if (type != QXmlStreamReader::Invalid || m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError
            || !m_feed.feed(false))
            return type;
    }
}

QXmlStreamReader::TokenType TsXmlReader::next()
{
    if (refused())
        return QXmlStreamReader::Invalid;
    const QXmlStreamReader::TokenType type = readNext();
    if (type == QXmlStreamReader::StartDocument && restartInDeclaredEncoding())
        return next();
    if (type == QXmlStreamReader::Invalid
        || (type == QXmlStreamReader::EndDocument && m_feed.stopped().refusal != Refusal::None)) {
        refuseAsQtDoes();
        return QXmlStreamReader::Invalid;
    }
    m_feed.tokenRead(m_xml.characterOffset(), m_xml.lineNumber());
    if (refusedOnItsOwn(type))
        return QXmlStreamReader::Invalid;
    m_documentTypeSeen = m_documentTypeSeen || type == QXmlStreamReader::DTD;
    if (type == QXmlStreamReader::StartElement) {
        m_rootSeen = true;
        ++m_depth;
    } else if (type == QXmlStreamReader::EndElement) {
        m_rootClosed = --m_depth == 0;
    }
    return type;
}

// What Qt's reader refuses but misses at the edges of the text that it is
// given, a piece at a time.
bool TsXmlReader::refusedOnItsOwn(QXmlStreamReader::TokenType type)
{
    if (type != QXmlStreamReader::Characters || m_xml.isCDATA()) {
        m_brackets = NoBracket;
    } else if (const int cdataEnd = cdataEndIn(spelling(), m_brackets); cdataEnd >= 0) {
        refuse(Refusal::NotReadByQt,
               QString::fromUtf8("le lecteur XML de Qt s'y arrête (« Sequence ']]>' not allowed in content. »)"),
               m_xml.lineNumber() - countLineEnds(spelling().mid(cdataEnd)));
    }
    // Qt's reader refuses a document type after the first one or after the
    // first element, but forgets to once it has waited for more text.
    if (type == QXmlStreamReader::DTD && (m_rootSeen || m_documentTypeSeen))
        refuse(Refusal::NotReadByQt, QString::fromUtf8("une déclaration <!DOCTYPE> s'y trouve après le début du "
                                                       "document ou après une autre (« %1 »)")
                                         .arg(QLatin1String(m_rootSeen ? "Unexpected token type DTD in Body."
                                                                       : "Found second DTD token in Prolog.")));
    return refused();
}

// Where Qt's reader stops: at an error of its own, or at the end of the
// text that it was given, where the file ends too soon or where the feeding
// stopped, at invalid bytes or at a token too long.
void TsXmlReader::refuseAsQtDoes()
{
    if (m_xml.error() != QXmlStreamReader::NoError && m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        refuse(Refusal::NotReadByQt,
               QString::fromUtf8("le lecteur XML de Qt s'y arrête (« %1 »)").arg(m_xml.errorString()));
    else if (m_feed.stopped().refusal != Refusal::None)
        m_refusal = m_feed.stopped();
    else if (!m_rootSeen)
        refuse(Refusal::NotTs, QString::fromUtf8("le document s'arrête avant que son premier élément ne s'ouvre"));
    else
        refuse(Refusal::NotReadByQt, QString::fromUtf8("le document s'arrête avant sa fin : le fichier a été coupé"));
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
    return declared && declared != m_feed.decoder().codec() && m_feed.restart(declared);
}

void TsXmlReader::refuse(Refusal why, const QString &reason, qint64 line)
{
    if (refused())
        return;
    // Before its first element, a file is no TS file at all, whatever stops Qt's reader there.
    m_refusal.refuse(why == Refusal::NotReadByQt && !m_rootSeen ? Refusal::NotTs : why,
                     line > 0 ? line : m_xml.lineNumber(), reason);
}

void TsXmlReader::refuseUnexpected()
{
    if (m_xml.tokenType() != QXmlStreamReader::Invalid)   // else refused already
        refuse(Refusal::NotReadByQt, unexpectedReason(m_xml));
}

void TsXmlReader::report(Result &result) const
{
    result.codec = m_feed.decoder().codec()->name();
    result.readFailure = m_feed.decoder().readFailure();
    if (refused())
        result.refuse(m_refusal.refusal, m_refusal.line, m_refusal.detail);
}

} // namespace Conversion
