#include "tsexport.h"

#include "textstreams.h"

#include <QTextStream>

namespace Conversion {

namespace {

const QLatin1String tableHeader("Origine \tTraduction\n");

bool endsName(QChar c)
{
    const ushort u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '/' || u == '>';
}

bool isBlank(const QChar *p, const QChar *end)
{
    for (; p < end; ++p) {
        if (*p != QLatin1Char(' ') && *p != QLatin1Char('\t'))
            return false;
    }
    return true;
}

// Reads the TS text as a sequence of tags and text, one line at a time, and
// keeps only the source and the translation of each message. Their text is
// kept in its TS form; only what would break the table's layout is written
// as a reference: a line break, a tab and a double quote.
class TsScanner
{
public:
    TsScanner(QTextStream &table)
        : m_out(table), m_guard(table, false)
    {
        m_out.text() += tableHeader;
    }

    void scanLine(QStringView line)
    {
        if (m_started)
            lineBreak();
        m_started = true;

        const QChar *p = line.data();
        const QChar *const end = p + line.size();
        while (p < end) {
            if (m_inTag) {
                p = continueTag(p, end);
                continue;
            }
            const QChar *lt = findFirstOf(p, end, '<');
            text(p, lt);
            if (lt == end)
                break;
            p = openTag(lt, end);
        }
    }

    StreamResult finish()
    {
        // Input that ends inside a message gives the row gathered so far.
        if (m_inMessage)
            writeRow();
        m_out.flush();
        m_result.writeFailure = m_out.failure();
        return m_result;
    }

    bool writeFailed() const { return !m_out.failure().isEmpty(); }

private:
    enum class Capture { None, Source, Translation };

    void lineBreak()
    {
        if (m_inTag) {
            if (m_keepTag)
                m_tag += QLatin1Char(' ');   // white space inside a tag
        } else if (m_capture != Capture::None) {
            (m_layoutPossible ? m_pendingText : *m_cell) += QLatin1String("&#10;");
        }
    }

    void text(const QChar *begin, const QChar *end)
    {
        if (m_capture == Capture::None || begin == end)
            return;
        if (m_layoutPossible) {
            if (isBlank(begin, end)) {
                appendText(m_pendingText, begin, end);
                return;
            }
            flushPending();   // text after all
        }
        appendText(*m_cell, begin, end);
    }

    void appendText(QString &out, const QChar *begin, const QChar *end)
    {
        const ushort plainUpTo = m_guard.active() ? 0x7F : 0xFFFF;
        for (const QChar *p = begin; p < end;) {
            const QChar *run = p;
            p = findSpecial(p, end, 0, plainUpTo, '\t', '"');
            out.append(run, int(p - run));
            if (p == end)
                break;
            if (*p == QLatin1Char('\t')) {
                out += QLatin1String("&#9;");
                ++p;
            } else if (*p == QLatin1Char('"')) {
                out += QLatin1String("&quot;");
                ++p;
            } else {
                p = m_guard.append(out, p, end);
            }
        }
    }

    // Starts the tag at lt. A tag that the scan has no use for outside the
    // text of a source or a translation is only skipped, not kept.
    const QChar *openTag(const QChar *lt, const QChar *end)
    {
        m_inTag = true;
        m_quote = QChar();
        m_special = lt + 1 < end && lt[1] == QLatin1Char('!');
        m_keepTag = m_capture != Capture::None || isWanted(lt, end);
        if (m_keepTag)
            m_tag.resize(0);
        return continueTag(lt, end);
    }

    static bool isWanted(const QChar *lt, const QChar *end)
    {
        const QChar *name = lt + 1;
        if (name < end && (*name == QLatin1Char('!') || *name == QLatin1Char('?')))
            return true;
        if (name < end && *name == QLatin1Char('/'))
            ++name;
        const QChar *nameEnd = name;
        while (nameEnd < end && !endsName(*nameEnd))
            ++nameEnd;
        if (nameEnd == end)
            return true;   // the line ends inside the name
        const QStringView tag(name, nameEnd);
        return tag == QLatin1String("source") || tag == QLatin1String("message") || tag == QLatin1String("translation");
    }

    const QChar *continueTag(const QChar *p, const QChar *end)
    {
        if (!m_keepTag) {
            // A skipped tag may end at a '>' inside an attribute value: the
            // rest of the value is then read as text, which outside a source
            // or a translation is skipped too, and no '<' can stand in it.
            const QChar *gt = findFirstOf(p, end, '>');
            if (gt == end)
                return end;
            m_inTag = false;
            return gt + 1;
        }
        const QChar *start = p;
        for (; p < end; ++p) {
            const QChar c = *p;
            if (!m_quote.isNull()) {
                if (c == m_quote)
                    m_quote = QChar();
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                if (!m_special)   // inside comments and CDATA sections quotes are text
                    m_quote = c;
            } else if (c == QLatin1Char('>')) {
                m_tag.append(start, int(p + 1 - start));
                if (tagComplete()) {
                    m_inTag = false;
                    handleTag();
                    return p + 1;
                }
                start = p + 1;
            }
        }
        m_tag.append(start, int(p - start));
        return p;
    }

    // Comments and CDATA sections end with their own closing sequence.
    bool tagComplete() const
    {
        if (!m_special)
            return true;
        const QStringView tag(m_tag);
        if (tag.startsWith(QLatin1String("<!--")))
            return tag.size() >= 7 && tag.endsWith(QLatin1String("-->"));
        if (tag.startsWith(QLatin1String("<![CDATA[")))
            return tag.endsWith(QLatin1String("]]>"));
        return true;
    }

    void handleTag()
    {
        if (m_special) {
            if (QStringView(m_tag).startsWith(QLatin1String("<![CDATA[")))
                cdata();
            return;   // comments and the document type
        }
        const int size = m_tag.size();
        const QChar second = size > 1 ? m_tag.at(1) : QChar();
        if (second == QLatin1Char('?'))
            return;   // processing instructions
        const bool closing = second == QLatin1Char('/');
        const bool empty = size > 2 && m_tag.at(size - 2) == QLatin1Char('/');
        const QStringView name = tagName(closing);

        if (m_capture != Capture::None) {
            markupInText(name, closing);
            return;
        }
        if (name == QLatin1String("message")) {
            if (m_inMessage)
                writeRow();
            if (!closing && !empty)
                startMessage();
            else if (!closing)
                writeEmptyMessage();
            return;
        }
        if (!m_inMessage || closing)
            return;
        if (name == QLatin1String("source"))
            startCapture(Capture::Source, &m_source, empty);
        else if (name == QLatin1String("translation"))
            startCapture(Capture::Translation, &m_translation, empty);
    }

    QStringView tagName(bool closing) const
    {
        const QChar *begin = m_tag.constData() + (closing ? 2 : 1);
        const QChar *end = m_tag.constData() + m_tag.size();
        const QChar *p = begin;
        while (p < end && !endsName(*p))
            ++p;
        return QStringView(begin, p);
    }

    void startMessage()
    {
        m_inMessage = true;
        m_source.resize(0);
        m_translation.resize(0);
        m_utf8Marker = m_tag == QLatin1String("<message encoding=\"UTF-8\">")
                       || m_tag == QLatin1String("<message encoding=\"UTF-8\" numerus=\"yes\">");
    }

    void writeEmptyMessage()
    {
        startMessage();
        writeRow();
    }

    void startCapture(Capture capture, QString *cell, bool empty)
    {
        cell->resize(0);
        if (empty)
            return;
        m_capture = capture;
        m_cell = cell;
        m_pendingText.resize(0);
        m_layoutPossible = capture == Capture::Translation;
        m_afterForm = false;
    }

    void flushPending()
    {
        if (!m_pendingText.isEmpty()) {
            m_cell->append(m_pendingText);
            m_pendingText.resize(0);
        }
        m_layoutPossible = false;
    }

    // Within a numerus translation, or one with length variants, the line
    // breaks and the indentation between the forms are layout, not text:
    // they are dropped, so that the forms follow one another in the cell.
    bool isForm(QStringView name) const
    {
        return m_capture == Capture::Translation
               && (name == QLatin1String("numerusform") || name == QLatin1String("lengthvariant"));
    }

    void markupInText(QStringView name, bool closing)
    {
        const bool ends = closing
                          && ((m_capture == Capture::Source && name == QLatin1String("source"))
                              || (m_capture == Capture::Translation && name == QLatin1String("translation")));
        const bool form = isForm(name);
        // White space before a form, and after one up to the end of the
        // element that holds it, is layout.
        if (m_layoutPossible && ((form && !closing) || ((ends || form) && closing && m_afterForm)))
            m_pendingText.resize(0);
        flushPending();
        if (ends) {
            m_capture = Capture::None;
            m_cell = nullptr;
            return;
        }
        m_afterForm = form && closing;
        m_layoutPossible = form;   // a numerus form may hold length variants
        // Markup inside the text, such as <byte value="xd"/>, stays as it is;
        // only a tab, which would break the row, becomes a space.
        m_tag.replace(QLatin1Char('\t'), QLatin1Char(' '));
        m_cell->append(m_tag);
    }

    void cdata()
    {
        if (m_capture == Capture::None)
            return;
        QString content = m_tag.mid(9, m_tag.size() - 12);
        content.replace(QLatin1Char('&'), QLatin1String("&amp;"));
        content.replace(QLatin1Char('<'), QLatin1String("&lt;"));
        content.replace(QLatin1Char('>'), QLatin1String("&gt;"));
        text(content.constData(), content.constData() + content.size());
    }

    void writeRow()
    {
        if (m_capture != Capture::None) {
            flushPending();
            m_capture = Capture::None;
            m_cell = nullptr;
        }
        QString &row = m_out.text();
        row += appendSafeStart(row, m_source);
        row += QLatin1Char('\t');
        row += appendSafeStart(row, m_translation);
        if (m_utf8Marker)
            row += QLatin1String("\tUTF-8");
        row += QLatin1Char('\n');
        m_out.written();
        m_inMessage = false;
        ++m_result.records;
    }

    BlockWriter m_out;
    CodecGuard m_guard;
    StreamResult m_result;

    bool m_started = false;
    bool m_inTag = false;
    bool m_keepTag = false;
    bool m_special = false;
    QString m_tag;
    QChar m_quote;

    bool m_inMessage = false;
    bool m_utf8Marker = false;
    QString m_source;
    QString m_translation;

    Capture m_capture = Capture::None;
    QString *m_cell = nullptr;
    // White space at the start of a translation or after a numerus form is
    // held back until it is known whether it is text or layout.
    QString m_pendingText;
    bool m_layoutPossible = false;
    bool m_afterForm = false;
};

} // namespace

StreamResult tsToTable(QTextStream &ts, QTextStream &table)
{
    TsScanner scanner(table);
    InputDevice input(ts.device());
    LineReader reader(input, tsCodec(input));
    QStringView line;
    while (!scanner.writeFailed() && reader.readLine(line))
        scanner.scanLine(line);
    StreamResult result = scanner.finish();
    reader.report(result);
    return result;
}

} // namespace Conversion
