#include "tableimport.h"

#include "textstreams.h"
#include "tsmarkup.h"

#include <QTextStream>
#include <QVector>

#include <algorithm>

namespace Conversion {

namespace {

// One row of the table as a spreadsheet saved it. Only the first three cells
// have a role; of the others it matters only whether they are empty. A cell
// is a view into the line that holds it, or, for a quoted cell, into a
// string of its own.
struct Row
{
    QStringView cells[3];
    QString owned[3];
    int count = 0;
    bool moreNonEmpty = false;

    void clear()
    {
        for (int i = 0; i < 3; ++i) {
            cells[i] = QStringView();
            owned[i].resize(0);
        }
        count = 0;
        moreNonEmpty = false;
    }

    // Before the reader moves to another line, the cells that still view the
    // current one get a copy of their own.
    void keepCells()
    {
        for (int i = 0; i < qMin(count, 3); ++i) {
            if (cells[i].data() != owned[i].constData()) {
                owned[i] = cells[i].toString();
                cells[i] = owned[i];
            }
        }
    }

    // A row without a source and without a translation has nothing to say,
    // whatever the cells after them hold.
    bool isBlank() const { return cells[0].isEmpty() && cells[1].isEmpty(); }

    bool isHeader() const
    {
        return (cells[0] == QLatin1String("Origine ") || cells[0] == QLatin1String("Origine"))
               && cells[1] == QLatin1String("Traduction") && cells[2].isEmpty() && !moreNonEmpty;
    }

    bool hasEncodingMarker() const { return count >= 3 && cells[2] == QLatin1String("UTF-8"); }
};

// Cuts the table into rows. A cell that begins with a double quote and whose
// closing quote is followed by a tab or the end of a line is a quoted cell,
// as spreadsheets write them: doubled quotes inside it stand for one, and it
// may run over several lines. Any other cell is taken as it stands.
class TableReader
{
public:
    explicit TableReader(QTextStream &in) : m_input(in.device()), m_in(m_input, tableCodec(m_input, in.codec())) {}

    // No spreadsheet holds a cell this long (Excel stops at 32767
    // characters): a quote that opens a longer one is a stray quote.
    static constexpr int LongestQuotedCell = 1024 * 1024;

    const LineReader &lines() const { return m_in; }

    bool next(Row &row)
    {
        row.clear();
        if (!m_in.readLine(m_line))
            return false;
        int pos = 0;
        for (;;) {
            const int index = row.count;
            QStringView cell;
            const int tab = readCell(row, pos, index < 3 ? row.owned[index] : m_scratch, cell);
            if (index < 3)
                row.cells[index] = cell;
            else if (!cell.isEmpty())
                row.moreNonEmpty = true;
            ++row.count;
            if (tab < 0)
                return true;
            pos = tab + 1;
        }
    }

private:
    static void append(QString &buffer, QStringView text) { buffer.append(text.data(), int(text.size())); }

    // Reads the cell that starts at pos; a quoted cell is gathered into
    // buffer. Returns the position of the tab that ends the cell, or -1 at
    // the end of the row.
    int readCell(Row &row, int pos, QString &buffer, QStringView &cell)
    {
        if (pos < m_line.size() && m_line.at(pos) == QLatin1Char('"')) {
            buffer.resize(0);
            const int end = readQuotedCell(row, pos, buffer);
            if (end != NotQuoted) {
                cell = buffer;
                return end;
            }
        }
        const int tab = indexOf(m_line, '\t', pos);
        cell = m_line.mid(pos, tab < 0 ? m_line.size() - pos : tab - pos);
        return tab;
    }

    static constexpr int NotQuoted = -2;

    int readQuotedCell(Row &row, int pos, QString &cell)
    {
        int p = pos + 1;
        for (;;) {
            const int quote = indexOf(m_line, '"', p);
            if (quote < 0) {
                // The cell goes on after a line break, if it closes at all.
                append(cell, m_line.mid(p));
                cell.append(QLatin1Char('\n'));
                if (!readUpToClosingLine(row, cell))
                    return NotQuoted;
                p = 0;
                continue;
            }
            if (quote + 1 < m_line.size() && m_line.at(quote + 1) == QLatin1Char('"')) {
                append(cell, m_line.mid(p, quote + 1 - p));
                p = quote + 2;
                continue;
            }
            if (quote + 1 < m_line.size() && m_line.at(quote + 1) != QLatin1Char('\t'))
                return NotQuoted;   // a quote in the middle of the text: not a quoted cell
            append(cell, m_line.mid(p, quote - p));
            return quote + 1 < m_line.size() ? quote + 1 : -1;
        }
    }

    // Looks ahead: does a quoted cell that is open at the end of the current
    // line close properly further on? If it does, the lines before the one
    // where it closes are the cell's, with their doubled quotes made single:
    // they are appended to it, and that line becomes the current one. If
    // not, the lines read are handed back to the reader, so that a stray
    // quote never swallows the rows after it. Each line is thus looked at
    // once, whatever the length of the cell.
    bool readUpToClosingLine(Row &row, QString &cell)
    {
        // Reading ahead moves the reader: the current line is kept first.
        row.keepCells();
        m_kept = m_line.toString();
        m_line = m_kept;
        QString ahead;   // the lines read, each ended by a line feed
        QStringView line;
        while (ahead.size() <= LongestQuotedCell && m_in.readLine(line)) {
            const int quote = closingQuote(line);
            const bool closes = quote >= 0 && (quote + 1 == line.size() || line.at(quote + 1) == QLatin1Char('\t'));
            if (closes && ahead.size() + line.size() < LongestQuotedCell) {
                cell += ahead.replace(QLatin1String("\"\""), QLatin1String("\""));
                m_line = line;
                return true;
            }
            append(ahead, line);
            ahead += QLatin1Char('\n');
            if (quote >= 0)
                break;
        }
        if (!ahead.isEmpty()) {
            ahead.chop(1);
            m_in.readAgain(ahead.split(QLatin1Char('\n')));
        }
        return false;
    }

    // The first quote of the line that is not doubled, or -1.
    static int closingQuote(QStringView line)
    {
        for (int p = 0;;) {
            const int quote = indexOf(line, '"', p);
            if (quote < 0 || quote + 1 == line.size() || line.at(quote + 1) != QLatin1Char('"'))
                return quote;
            p = quote + 2;
        }
    }

    InputDevice m_input;
    LineReader m_in;
    QStringView m_line;
    QString m_kept;
    QString m_scratch;   // quoted cells after the third
};

// Writes a cell as TS text: what is already in TS form (references, byte
// elements) stays as it is, and every other character that XML reserves or
// cannot hold is escaped, so that the file is always well-formed.
class TsTextWriter
{
public:
    explicit TsTextWriter(const QTextStream &ts) : m_references(ts, Referenced::NonAscii) {}

    bool textLost() const { return m_textLost; }

    void appendTag(QString &out, QStringView tag) const { Conversion::appendTag(out, tag, m_references); }

    // A whole cell's text: its first character is written as a reference
    // where a spreadsheet would take it for the start of a formula, as the
    // export writes it, so that a TS file that goes out and comes back is
    // the same file.
    void appendCell(QString &out, QStringView cell) { append(out, appendSafeStart(out, cell)); }

    void append(QString &out, QStringView cell)
    {
        // Above these, only references reach a TS file that names no
        // encoding where the system's is not Unicode.
        const ushort plainUpTo = m_references.needed() ? 0x7F : 0xD7FF;
        const QChar *p = cell.data();
        const QChar *end = p + cell.size();
        while (p < end) {
            const QChar *run = p;
            p = findSpecial(p, end, 0x20, plainUpTo, '"', '&', '<', '>');
            out.append(run, int(p - run));
            if (p < end)
                p = appendSpecial(out, p, end);
        }
    }

private:
    const QChar *appendSpecial(QString &out, const QChar *p, const QChar *end)
    {
        const ushort u = p->unicode();
        const QStringView rest(p, end);
        if (u == '&') {
            if (const int kept = referenceLength(rest)) {
                out.append(p, kept);
                return p + kept;
            }
        } else if (u == '<') {
            if (const int kept = emptyElementLength(rest, byteElement)) {
                appendTag(out, rest.left(kept));
                return p + kept;
            }
        }
        switch (u) {
        case '&': out += QLatin1String("&amp;"); return p + 1;
        case '<': out += QLatin1String("&lt;"); return p + 1;
        case '>': out += QLatin1String("&gt;"); return p + 1;
        // The export writes a quote of the text as a reference; so does the
        // import, so that a TS that goes out and comes back is the same file.
        case '"': out += QLatin1String("&quot;"); return p + 1;
        case '\n': out += QLatin1String("&#10;"); return p + 1;
        case '\t': out += QLatin1String("&#9;"); return p + 1;
        default: break;
        }
        if (u < 0x20) {
            out += QLatin1String("<byte value=\"x");
            out += QString::number(u, 16);
            out += QLatin1String("\"/>");
            return p + 1;
        }
        const int length = p->isHighSurrogate() && p + 1 < end && p[1].isLowSurrogate() ? 2 : 1;
        if ((p->isSurrogate() && length == 1) || u >= 0xFFFE) {
            // Neither a lone surrogate nor U+FFFE or U+FFFF can stand in XML.
            out += QChar(QChar::ReplacementCharacter);
            m_textLost = true;
            return p + 1;
        }
        if (m_references.needed())
            return m_references.append(out, p, end);
        out.append(p, length);
        return p + length;
    }

    CodePageReferences m_references;
    bool m_textLost = false;
};

class TsWriter
{
public:
    explicit TsWriter(QTextStream &ts) : m_out(ts), m_text(ts), m_buffer(m_out.text())
    {
        m_buffer += QLatin1String("<!DOCTYPE TS><TS>\n"
                                  "<context>\n");
    }

    void writeMessage(const Row &row)
    {
        QVector<Element> forms;
        elementsOnly(row.cells[1], numerusForm, &forms);
        m_buffer += QLatin1String("    <message");
        if (row.hasEncodingMarker())
            m_buffer += QLatin1String(" encoding=\"UTF-8\"");
        if (!forms.isEmpty())
            m_buffer += QLatin1String(" numerus=\"yes\"");
        m_buffer += QLatin1String(">\n        <source>");
        m_text.appendCell(m_buffer, row.cells[0]);
        m_buffer += QLatin1String("</source>\n        <translation");
        if (forms.isEmpty()) {
            writeContent(row.cells[1], true);
        } else {
            m_buffer += QLatin1Char('>');
            for (const Element &form : forms) {
                m_buffer += QLatin1String("<numerusform");
                writeContent(form.content, false);
                m_buffer += QLatin1String("</numerusform>");
            }
        }
        m_buffer += QLatin1String("</translation>\n    </message>\n");
        m_out.written();
        ++m_result.records;
    }

    StreamResult finish()
    {
        m_buffer += QLatin1String("</context>\n"
                                  "</TS>\n");
        m_out.flush();
        m_result.textLost = m_text.textLost();
        m_result.writeFailure = m_out.failure();
        return m_result;
    }

    bool writeFailed() const { return !m_out.failure().isEmpty(); }

private:
    // Ends the opening tag of a translation or a numerus form and writes
    // its content: the length variants that it is made of, or text. A whole
    // cell's text is written so that no spreadsheet takes it for a formula.
    void writeContent(QStringView content, bool wholeCell)
    {
        QVector<Element> variants;
        if (!elementsOnly(content, lengthVariant, &variants)) {
            m_buffer += QLatin1Char('>');
            if (wholeCell)
                m_text.appendCell(m_buffer, content);
            else
                m_text.append(m_buffer, content);
            return;
        }
        m_buffer += QLatin1String(" variants=\"yes\">");
        for (const Element &variant : variants) {
            m_text.appendTag(m_buffer, variant.openTag);
            if (variant.empty)
                continue;
            m_text.append(m_buffer, variant.content);
            m_buffer += QLatin1String("</lengthvariant>");
        }
    }

    BlockWriter m_out;
    TsTextWriter m_text;
    QString &m_buffer;
    StreamResult m_result;
};

} // namespace

StreamResult tableToTs(QTextStream &table, QTextStream &ts)
{
    TsWriter writer(ts);
    TableReader reader(table);
    Row row;
    bool first = true;
    bool text = false;
    bool tab = false;
    while (!writer.writeFailed() && reader.next(row)) {
        text = text || !row.cells[0].isEmpty();
        tab = tab || row.count > 1;
        if (row.isBlank())
            continue;   // empty lines, and rows that hold only padding or stray cells
        const bool header = first && row.isHeader();
        first = false;
        if (!header)
            writer.writeMessage(row);
    }
    StreamResult result = writer.finish();
    // A table saved as CSV, with semicolons or commas, would give a message
    // per line and not one translation.
    result.notTabSeparated = text && !tab;
    reader.lines().report(result);
    return result;
}

} // namespace Conversion
