// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tstextfeed.h"

#include "encodings.h"
#include "textsearch.h"

namespace Conversion {

TsTextFeed::TsTextFeed(InputDevice &input, QXmlStreamReader &xml) : m_input(input), m_xml(xml)
{
    start(xmlCodec(input));
}

void TsTextFeed::start(QTextCodec *codec)
{
    m_decoder = std::make_unique<TextDecoder>(m_input, codec);
    m_xml.clear();
    // The reader is given UTF-16 with its byte-order mark, which it reads
    // as it is: an encoding that the XML declaration names is not its
    // business any more, but for its name, which it checks.
    m_xml.addData(QString());
    m_text.clear();
    m_textStart = m_tokenStart = m_tokenEnd = 0;
    m_lineAtTokenEnd = 1;
    m_inputEnded = false;
    m_stopped = Result();
}

bool TsTextFeed::restart(QTextCodec *codec)
{
    if (!m_input.seek(0))
        return false;
    start(codec);
    return true;
}

void TsTextFeed::tokenRead(qint64 end, qint64 line)
{
    m_tokenStart = m_tokenEnd;
    m_tokenEnd = end;
    // The reader reads the '<' after a text to know that the text ends
    // there; every other token ends in a character of its own.
    if (m_tokenEnd > m_tokenStart && m_text.at(int(m_tokenEnd - 1 - m_textStart)) == QLatin1Char('<'))
        --m_tokenEnd;
    m_lineAtTokenEnd = line;
}

QStringView TsTextFeed::spelling() const
{
    return QStringView(m_text).mid(int(m_tokenStart - m_textStart), int(m_tokenEnd - m_tokenStart));
}

// The text before the current token has been read: it goes once it is the
// larger part of what is kept, so that each character is moved once or
// twice, whatever the length of the tokens.
void TsTextFeed::dropRead()
{
    const qint64 read = m_tokenEnd - m_textStart;
    if (read > 0 && read >= m_text.size() / 2) {
        m_text.remove(0, int(read));
        m_textStart = m_tokenEnd;
    }
}

// The reader reads a comment, a processing instruction or a CDATA section
// again from its start each time it is given more of it: given as much again
// each time, each is read a few times over, not once for each chunk.
bool TsTextFeed::feed(bool everything)
{
    dropRead();
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
qint64 TsTextFeed::lineAt(qint64 offset) const
{
    const int from = int(m_tokenEnd - m_textStart);
    return m_lineAtTokenEnd + countLineEnds(QStringView(m_text).mid(from, int(offset - m_tokenEnd)));
}

} // namespace Conversion
