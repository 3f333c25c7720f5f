// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tsexport.h"

#include "blockwriter.h"
#include "encodings.h"
#include "linereader.h"
#include "tablecells.h"
#include "tsmarkup.h"
#include "tstokenizer.h"

namespace Conversion {

namespace {

const QLatin1String tableHeader("Origine \tTraduction\n");

bool isWhiteSpace(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); });
}

// Finds the messages in the TS file's tokens and writes a row of the table
// for each: its source, its translation, and the encoding marker that older
// tools set on a message. Everything else in the file has no cell.
class MessageScanner
{
public:
    MessageScanner(QIODevice &table, QTextCodec *codec) : m_out(table, codec), m_cellText(codec)
    {
        m_out.text() += tableHeader;
    }

    void scanLine(QStringView line);
    Result finish();

    // Whether what is read so far already decides the result: a write that
    // failed, or a file that the export refuses.
    bool done() const
    {
        return !m_out.failure().isEmpty() || m_result.notTs || m_result.declaresMarkup || m_tooLong;
    }

    // Whether a text or a tag grew longer than any that a TS file holds.
    bool tooLong() const { return m_tooLong; }

private:
    // Where the scan stands in the TS text.
    enum class Place { Outside, InMessage, InSource, InTranslation };

    // What white space in a translation is, up to the next text or tag.
    // Around the numerus forms or the length variants that it holds, it is
    // layout, not text: the forms follow one another in the cell.
    enum class Blank {
        Text,
        BeforeForm,   // at the start of the translation or of a form: layout if a form opens next, or if
                      // the element holds forms and closes next
        AfterForm,    // after a form: layout if a form opens, or the form or translation closes, next
    };

    bool inText() const { return m_place == Place::InSource || m_place == Place::InTranslation; }
    QString &cell() { return m_place == Place::InSource ? m_source : m_translation; }

    void text(QStringView ts, CellText::Piece piece);
    void tag(const TsTokenizer::Tag &tag);
    void startMessage(const TsTokenizer::Tag &tag);
    void startText(Place place, const TsTokenizer::Tag &tag);
    void markupInText(const TsTokenizer::Tag &tag);
    void formInTranslation(const TsTokenizer::Tag &tag);
    bool whiteSpaceIsLayout(bool formOpens, bool formOrTranslationCloses) const;
    void writeRow();

    TsTokenizer m_tokens;
    BlockWriter m_out;
    CellText m_cellText;
    Result m_result;

    bool m_rootSeen = false;
    bool m_tooLong = false;
    Place m_place = Place::Outside;
    bool m_utf8Marker = false;
    bool m_numerus = false;
    QString m_source;
    QString m_translation;
    Blank m_blank = Blank::Text;
    int m_blankFrom = 0;   // where the white space that may be layout begins in the cell
    // Inside a translation: how deep in its forms (a numerus form, a length
    // variant, a length variant of a numerus form), and whether the element
    // at each depth holds forms rather than text, as in a plural message or
    // with variants="yes"; there, white space between the forms is layout.
    int m_formDepth = 0;
    bool m_holdsForms[3] = {};
};

void MessageScanner::scanLine(QStringView line)
{
    m_tokens.startLine(line);
    for (;;) {
        switch (m_tokens.next(inText())) {
        case TsTokenizer::Token::End:
            m_tooLong = qMax(m_tokens.gathered(), cell().size()) > LongestText;
            return;
        case TsTokenizer::Token::Text:
            text(m_tokens.text(), CellText::Piece::Text);
            break;
        case TsTokenizer::Token::CData:
            text(m_tokens.text(), CellText::Piece::CData);
            break;
        case TsTokenizer::Token::LineBreak:
            text(QStringView(), CellText::Piece::LineBreak);
            break;
        case TsTokenizer::Token::Tag:
            tag(m_tokens.tag());
            break;
        }
    }
}

Result MessageScanner::finish()
{
    // Input that ends inside a message gives the row gathered so far.
    if (m_place != Place::Outside && !done())
        writeRow();
    m_result.notTs = m_result.notTs || !m_rootSeen;
    m_result.declaresMarkup = m_tokens.declaresMarkup();
    m_out.flush();
    m_result.writeFailure = m_out.failure();
    return m_result;
}

void MessageScanner::text(QStringView ts, CellText::Piece piece)
{
    if (!inText())
        return;
    if (piece == CellText::Piece::CData || !isWhiteSpace(ts))
        m_blank = Blank::Text;   // CDATA is text, whatever it holds
    m_cellText.append(cell(), ts, piece);
}

void MessageScanner::tag(const TsTokenizer::Tag &tag)
{
    if (!m_rootSeen) {
        // A TS file's first element is its root, TS: anything else is
        // another kind of file, a TypeScript source named .ts, say.
        m_rootSeen = true;
        m_result.notTs = tag.name != QLatin1String("TS") || tag.closing;
        m_result.declaresMarkup = m_tokens.declaresMarkup();   // the document type comes before the root
        return;
    }
    if (inText())
        return markupInText(tag);
    if (tag.name == QLatin1String("message")) {
        if (m_place == Place::InMessage)
            writeRow();
        if (!tag.closing)
            startMessage(tag);
        return;
    }
    if (m_place != Place::InMessage || tag.closing)
        return;
    if (tag.name == QLatin1String("source"))
        startText(Place::InSource, tag);
    else if (tag.name == QLatin1String("translation"))
        startText(Place::InTranslation, tag);
}

// Whether a tag's attribute says yes, as numerus="yes" and variants="yes" do.
static bool says(const TsTokenizer::Tag &tag, QLatin1String attribute)
{
    const bool hasAttributes = tag.text.size() > tag.name.size() + 3;   // more than <name> or <name/>
    return hasAttributes && attributeIs(tag.text, attribute, QLatin1String("yes"));
}

void MessageScanner::startMessage(const TsTokenizer::Tag &tag)
{
    m_place = Place::InMessage;
    m_source.resize(0);
    m_translation.resize(0);
    m_utf8Marker = tag.text == QLatin1String("<message encoding=\"UTF-8\">")
                   || tag.text == QLatin1String("<message encoding=\"UTF-8\" numerus=\"yes\">");
    m_numerus = says(tag, QLatin1String("numerus"));
    if (tag.empty)
        writeRow();
}

// A source or a translation begins; an empty element has no text.
void MessageScanner::startText(Place place, const TsTokenizer::Tag &tag)
{
    m_place = place;
    cell().resize(0);
    if (tag.empty) {
        m_place = Place::InMessage;
        return;
    }
    m_blank = place == Place::InTranslation ? Blank::BeforeForm : Blank::Text;
    m_blankFrom = 0;
    m_formDepth = 0;
    m_holdsForms[0] = m_numerus || says(tag, QLatin1String("variants"));
}

// A tag inside a source or a translation: its end, or markup of its text.
void MessageScanner::markupInText(const TsTokenizer::Tag &tag)
{
    const bool ends = tag.closing && tag.name == QLatin1String(m_place == Place::InSource ? "source" : "translation");
    const bool form = m_place == Place::InTranslation && (tag.name == numerusForm || tag.name == lengthVariant);
    if (whiteSpaceIsLayout(form && !tag.closing, (form || ends) && tag.closing))
        cell().truncate(m_blankFrom);
    if (ends) {
        m_place = Place::InMessage;
        return;
    }
    m_cellText.append(cell(), tag.text, CellText::Piece::Markup);
    m_blank = Blank::Text;
    if (form)
        formInTranslation(tag);
    m_blankFrom = cell().size();
}

// A numerus form or a length variant opens or closes.
void MessageScanner::formInTranslation(const TsTokenizer::Tag &tag)
{
    if (tag.closing || tag.empty) {
        m_blank = Blank::AfterForm;
        m_formDepth -= tag.closing && m_formDepth > 0;
        return;
    }
    m_blank = Blank::BeforeForm;
    m_formDepth = qMin(m_formDepth + 1, 2);
    m_holdsForms[m_formDepth] = tag.name == numerusForm && says(tag, QLatin1String("variants"));
}

// Whether the white space since the last text or tag is layout, now that a
// form opens, or a form or the translation closes.
bool MessageScanner::whiteSpaceIsLayout(bool formOpens, bool formOrTranslationCloses) const
{
    switch (m_blank) {
    case Blank::Text:
        return false;
    case Blank::BeforeForm:
        return formOpens || (formOrTranslationCloses && m_holdsForms[m_formDepth]);
    case Blank::AfterForm:
        return formOpens || formOrTranslationCloses;
    }
    return false;
}

void MessageScanner::writeRow()
{
    QString &row = m_out.text();
    row += m_source;
    row += QLatin1Char('\t');
    row += m_translation;
    if (m_utf8Marker)
        row += QLatin1String("\tUTF-8");
    row += QLatin1Char('\n');
    m_out.written();
    m_place = Place::Outside;
    ++m_result.records;
}

} // namespace

Result tsToTable(QIODevice &ts, QIODevice &table, QTextCodec *system)
{
    MessageScanner scanner(table, system);
    InputDevice input(&ts);
    LineReader reader(input, tsCodec(input));
    QStringView line;
    while (!scanner.done() && reader.readLine(line))
        scanner.scanLine(line);
    Result result = scanner.finish();
    reader.report(result);
    if (scanner.tooLong())
        result.tooLongLine = reader.lineNumber();
    return result;
}

} // namespace Conversion
