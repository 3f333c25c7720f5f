#include "conversion.h"

#include "mainwindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryFile>
#include <QTextCodec>
#include <QTextStream>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace Conversion {

namespace {

bool isUnicodeCodec(const QTextCodec *codec)
{
    switch (codec->mibEnum()) {
    case 106:                       // UTF-8
    case 1013: case 1014: case 1015: // UTF-16BE, UTF-16LE, UTF-16
    case 1017: case 1018: case 1019: // UTF-32
        return true;
    default:
        return false;
    }
}

void appendCharReference(QString &out, uint codePoint)
{
    out += QLatin1String("&#x");
    out += QString::number(codePoint, 16);
    out += QLatin1Char(';');
}

// Where the output codec is not a Unicode one (a Windows code page), a
// character that it cannot encode would become '?'. Written as a character
// reference it reaches the reader intact instead.
class CodecGuard
{
public:
    explicit CodecGuard(const QTextStream &out, bool asciiOnly)
        : m_codec(out.codec()), m_active(!isUnicodeCodec(m_codec)), m_asciiOnly(asciiOnly)
    {
    }

    bool active() const { return m_active; }

    // Appends the non-ASCII character at *p (a surrogate pair counts as one),
    // and returns the position after it.
    const QChar *append(QString &out, const QChar *p, const QChar *end) const
    {
        int length = 1;
        uint codePoint = p->unicode();
        if (p->isHighSurrogate() && p + 1 < end && p[1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(p[0], p[1]);
            length = 2;
        }
        if (!m_asciiOnly && m_codec->canEncode(QString(p, length)))
            out.append(p, length);
        else
            appendCharReference(out, codePoint);
        return p + length;
    }

private:
    const QTextCodec *m_codec;
    bool m_active;
    bool m_asciiOnly;
};

// Text mode is not used for reading: Qt drops every carriage-return byte in
// text mode, which breaks UTF-16 text whose code units hold a 0x0D byte.
// readLine() removes a CR LF line end by itself; this removes a lone CR left
// at the end of the last line.
void chopCarriageReturn(QString &line)
{
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
}

// ---------------------------------------------------------------------------
// Export: TS to table

const QLatin1String tableHeader("Origine \tTraduction\n");

// Reads the TS text as a sequence of tags and text, one line at a time, and
// keeps only the source and the translation of each message. Their text is
// kept in its TS form; only what would break the table's layout is written
// as a reference: a line break, a tab and a double quote.
class TsScanner
{
public:
    TsScanner(QTextStream &table)
        : m_table(table), m_guard(table, false)
    {
        m_table << tableHeader;
    }

    void scanLine(const QString &line)
    {
        if (m_started)
            lineBreak();
        m_started = true;

        const QChar *p = line.constData();
        const QChar *end = p + line.size();
        while (p < end) {
            if (m_inTag) {
                p = continueTag(p, end);
                continue;
            }
            const QChar *lt = p;
            while (lt < end && *lt != QLatin1Char('<'))
                ++lt;
            text(p, lt);
            if (lt == end)
                break;
            m_inTag = true;
            m_tag.clear();
            m_quote = QChar();
            p = lt;
        }
    }

    StreamResult finish()
    {
        // Input that ends inside a message gives the row gathered so far.
        if (m_inMessage)
            writeRow();
        return m_result;
    }

private:
    enum class Capture { None, Source, Translation };

    void lineBreak()
    {
        if (m_inTag) {
            m_tag += QLatin1Char(' ');   // white space inside a tag
        } else if (m_capture != Capture::None) {
            m_pendingText += QLatin1String("&#10;");
        }
    }

    void text(const QChar *begin, const QChar *end)
    {
        if (m_capture == Capture::None || begin == end)
            return;
        QString &out = m_pendingText;
        for (const QChar *p = begin; p < end;) {
            const QChar *run = p;
            while (p < end && !needsReference(*p))
                ++p;
            out.append(run, int(p - run));
            if (p == end)
                break;
            const ushort c = p->unicode();
            if (c == '\t') {
                out += QLatin1String("&#9;");
                ++p;
            } else if (c == '"') {
                out += QLatin1String("&quot;");
                ++p;
            } else if (c == '\r') {
                out += QLatin1String("&#10;");
                ++p;
            } else {
                p = m_guard.append(out, p, end);
            }
        }
    }

    bool needsReference(QChar c) const
    {
        const ushort u = c.unicode();
        if (u >= 0x80)
            return m_guard.active();
        return u == '\t' || u == '"' || u == '\r';
    }

    const QChar *continueTag(const QChar *p, const QChar *end)
    {
        const QChar *start = p;
        for (; p < end; ++p) {
            const QChar c = *p;
            if (!m_quote.isNull()) {
                if (c == m_quote)
                    m_quote = QChar();
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                if (!isSpecialTag())
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
    bool isSpecialTag() const { return m_tag.startsWith(QLatin1String("<!")); }

    bool tagComplete() const
    {
        if (m_tag.startsWith(QLatin1String("<!--")))
            return m_tag.size() >= 7 && m_tag.endsWith(QLatin1String("-->"));
        if (m_tag.startsWith(QLatin1String("<![CDATA[")))
            return m_tag.endsWith(QLatin1String("]]>"));
        return true;
    }

    void handleTag()
    {
        if (m_tag.startsWith(QLatin1String("<![CDATA["))) {
            cdata();
            return;
        }
        if (m_tag.startsWith(QLatin1String("<!")) || m_tag.startsWith(QLatin1String("<?")))
            return;   // comments, document type, processing instructions

        const bool closing = m_tag.size() > 1 && m_tag.at(1) == QLatin1Char('/');
        const bool empty = m_tag.endsWith(QLatin1String("/>"));
        const QStringRef name = tagName(closing);

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

    QStringRef tagName(bool closing) const
    {
        const int from = closing ? 2 : 1;
        int to = from;
        while (to < m_tag.size()) {
            const QChar c = m_tag.at(to);
            if (c.isSpace() || c == QLatin1Char('/') || c == QLatin1Char('>'))
                break;
            ++to;
        }
        return m_tag.midRef(from, to - from);
    }

    void startMessage()
    {
        m_inMessage = true;
        m_source.clear();
        m_translation.clear();
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
        cell->clear();
        if (empty)
            return;
        m_capture = capture;
        m_cell = cell;
        m_pendingText.clear();
        m_afterForm = false;
    }

    // Within a numerus translation the line breaks and the indentation
    // between the forms are layout, not text: they are dropped, so that the
    // forms follow one another in the cell.
    bool isForm(const QStringRef &name) const
    {
        return m_capture == Capture::Translation
               && (name == QLatin1String("numerusform") || name == QLatin1String("lengthvariant"));
    }

    bool pendingIsLayout() const
    {
        QString text = m_pendingText;
        text.replace(QLatin1String("&#10;"), QLatin1String(" "));
        text.replace(QLatin1String("&#9;"), QLatin1String(" "));
        return text.trimmed().isEmpty();
    }

    void markupInText(const QStringRef &name, bool closing)
    {
        const bool ends = closing
                          && ((m_capture == Capture::Source && name == QLatin1String("source"))
                              || (m_capture == Capture::Translation && name == QLatin1String("translation")));
        const bool form = isForm(name);
        if ((form && !closing && (m_cell->isEmpty() || m_afterForm)) || (ends && m_afterForm)) {
            if (pendingIsLayout())
                m_pendingText.clear();
        }
        m_cell->append(m_pendingText);
        m_pendingText.clear();
        if (ends) {
            m_capture = Capture::None;
            m_cell = nullptr;
            return;
        }
        m_afterForm = form && closing;
        // Markup inside the text, such as <byte value="xd"/>, stays as it is.
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
            m_cell->append(m_pendingText);
            m_pendingText.clear();
            m_capture = Capture::None;
            m_cell = nullptr;
        }
        m_table << m_source << '\t' << m_translation;
        if (m_utf8Marker)
            m_table << "\tUTF-8";
        m_table << '\n';
        m_inMessage = false;
        ++m_result.records;
    }

    QTextStream &m_table;
    CodecGuard m_guard;
    StreamResult m_result;

    bool m_started = false;
    bool m_inTag = false;
    QString m_tag;
    QChar m_quote;

    bool m_inMessage = false;
    bool m_utf8Marker = false;
    QString m_source;
    QString m_translation;

    Capture m_capture = Capture::None;
    QString *m_cell = nullptr;
    QString m_pendingText;
    bool m_afterForm = false;
};

} // namespace

StreamResult tsToTable(QTextStream &ts, QTextStream &table)
{
    TsScanner scanner(table);
    QString line;
    while (ts.readLineInto(&line)) {
        chopCarriageReturn(line);
        scanner.scanLine(line);
    }
    return scanner.finish();
}

// ---------------------------------------------------------------------------
// Import: table to TS

namespace {

// One row of the table as a spreadsheet saved it. Only the first three cells
// have a role; of the others it matters only whether they are empty.
struct Row
{
    QString cells[3];
    int count = 0;
    bool moreNonEmpty = false;

    void clear()
    {
        for (QString &cell : cells)
            cell.clear();
        count = 0;
        moreNonEmpty = false;
    }

    bool isBlank() const
    {
        return !moreNonEmpty && cells[0].isEmpty() && cells[1].isEmpty() && cells[2].isEmpty();
    }

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
    explicit TableReader(QTextStream &in) : m_in(in) {}

    bool next(Row &row)
    {
        row.clear();
        if (!readLine())
            return false;
        int pos = 0;
        for (;;) {
            QString scratch;
            QString &cell = row.count < 3 ? row.cells[row.count] : scratch;
            const int tab = readCell(pos, cell);
            if (row.count >= 3 && !cell.isEmpty())
                row.moreNonEmpty = true;
            ++row.count;
            if (tab < 0)
                return true;
            pos = tab + 1;
        }
    }

private:
    bool readLine()
    {
        if (!m_in.readLineInto(&m_line))
            return false;
        chopCarriageReturn(m_line);
        return true;
    }

    // Reads the cell that starts at pos into cell; returns the position of
    // the tab that ends it, or -1 at the end of the row.
    int readCell(int pos, QString &cell)
    {
        if (pos < m_line.size() && m_line.at(pos) == QLatin1Char('"')) {
            const int end = readQuotedCell(pos, cell);
            if (end != NotQuoted)
                return end;
        }
        const int tab = m_line.indexOf(QLatin1Char('\t'), pos);
        cell.append(m_line.midRef(pos, tab < 0 ? -1 : tab - pos));
        return tab;
    }

    static constexpr int NotQuoted = -2;

    int readQuotedCell(int pos, QString &cell)
    {
        int p = pos + 1;
        for (;;) {
            const int quote = m_line.indexOf(QLatin1Char('"'), p);
            if (quote < 0) {
                // The cell goes on after a line break, if it closes at all.
                if (!closesLater())
                    return NotQuoted;
                cell.append(m_line.midRef(p));
                cell.append(QLatin1Char('\n'));
                readLine();
                p = 0;
                continue;
            }
            if (quote + 1 < m_line.size() && m_line.at(quote + 1) == QLatin1Char('"')) {
                cell.append(m_line.midRef(p, quote + 1 - p));
                p = quote + 2;
                continue;
            }
            if (quote + 1 < m_line.size() && m_line.at(quote + 1) != QLatin1Char('\t')) {
                cell.clear();
                return NotQuoted;   // a quote in the middle of the text: not a quoted cell
            }
            cell.append(m_line.midRef(p, quote - p));
            return quote + 1 < m_line.size() ? quote + 1 : -1;
        }
    }

    // Looks ahead without keeping the lines: does a quoted cell that is open
    // at the end of the current line close properly further on? A stray
    // quote thus never swallows the rows after it.
    bool closesLater()
    {
        const qint64 resume = m_in.pos();
        if (resume < 0)
            return false;
        bool closes = false;
        QString line;
        bool decided = false;
        while (!decided && m_in.readLineInto(&line)) {
            chopCarriageReturn(line);
            int p = 0;
            for (;;) {
                const int quote = line.indexOf(QLatin1Char('"'), p);
                if (quote < 0)
                    break;
                if (quote + 1 < line.size() && line.at(quote + 1) == QLatin1Char('"')) {
                    p = quote + 2;
                    continue;
                }
                closes = quote + 1 == line.size() || line.at(quote + 1) == QLatin1Char('\t');
                decided = true;
                break;
            }
        }
        m_in.seek(resume);
        return closes;
    }

    QTextStream &m_in;
    QString m_line;
};

// The value of an ASCII digit in the given base, or -1.
int digitValue(QChar c, int base)
{
    const ushort u = c.unicode();
    int value = -1;
    if (u >= '0' && u <= '9')
        value = u - '0';
    else if (u >= 'a' && u <= 'f')
        value = u - 'a' + 10;
    else if (u >= 'A' && u <= 'F')
        value = u - 'A' + 10;
    return value < base ? value : -1;
}

bool isHexDigit(QChar c)
{
    return digitValue(c, 16) >= 0;
}

bool isXmlChar(uint c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
           || (c >= 0x10000 && c <= 0x10FFFF);
}

// Length of the character or entity reference at p, or 0 if there is none.
int referenceLength(const QChar *p, const QChar *end)
{
    static const char *const entities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
    for (const char *entity : entities) {
        const int n = int(qstrlen(entity));
        if (end - p >= n && QStringView(p, n) == QLatin1String(entity, n))
            return n;
    }
    if (end - p < 4 || p[1] != QLatin1Char('#'))
        return 0;
    const int base = p[2] == QLatin1Char('x') ? 16 : 10;
    const QChar *digits = p + (base == 16 ? 3 : 2);
    const QChar *q = digits;
    uint value = 0;
    while (q < end && q - digits < 8 && digitValue(*q, base) >= 0) {
        value = value * uint(base) + uint(digitValue(*q, base));
        ++q;
    }
    if (q == digits || q == end || *q != QLatin1Char(';') || !isXmlChar(value))
        return 0;
    return int(q + 1 - p);
}

// Length of a <byte value="xH"/> element at p, Qt's own way of writing a
// control character in a TS file, or 0 if there is none.
int byteElementLength(const QChar *p, const QChar *end)
{
    const QLatin1String open("<byte value=\"x");
    if (end - p < open.size() + 4 || QStringView(p, open.size()) != open)
        return 0;
    const QChar *q = p + open.size();
    const QChar *digits = q;
    while (q < end && q - digits < 4 && isHexDigit(*q))
        ++q;
    if (q == digits || end - q < 3 || QStringView(q, 3) != QLatin1String("\"/>"))
        return 0;
    return int(q + 3 - p);
}

// Writes a cell as TS text: what is already in TS form (references, byte
// elements) stays as it is, and every other character that XML reserves or
// cannot hold is escaped, so that the file is always well-formed.
class TsTextWriter
{
public:
    explicit TsTextWriter(const QTextStream &ts) : m_guard(ts, true) {}

    bool textLost() const { return m_textLost; }

    void append(QString &out, const QString &cell)
    {
        const QChar *p = cell.constData();
        const QChar *end = p + cell.size();
        while (p < end) {
            const QChar *run = p;
            while (p < end && isPlain(*p))
                ++p;
            out.append(run, int(p - run));
            if (p < end)
                p = appendSpecial(out, p, end);
        }
    }

private:
    bool isPlain(QChar c) const
    {
        const ushort u = c.unicode();
        if (u < 0x20 || u == '&' || u == '<' || u == '>' || u == '"')
            return false;
        if (u < 0x80)
            return true;
        return !m_guard.active() && !c.isSurrogate() && u < 0xFFFE;
    }

    const QChar *appendSpecial(QString &out, const QChar *p, const QChar *end)
    {
        const ushort u = p->unicode();
        int kept = 0;
        if (u == '&')
            kept = referenceLength(p, end);
        else if (u == '<')
            kept = byteElementLength(p, end);
        if (kept > 0) {
            out.append(p, kept);
            return p + kept;
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
        if (p->isHighSurrogate() && p + 1 < end && p[1].isLowSurrogate())
            return m_guard.active() ? m_guard.append(out, p, end) : (out.append(p, 2), p + 2);
        if (p->isSurrogate() || u >= 0xFFFE) {
            // Neither a lone surrogate nor U+FFFE or U+FFFF can stand in XML.
            out += QChar(QChar::ReplacementCharacter);
            m_textLost = true;
            return p + 1;
        }
        return m_guard.append(out, p, end);
    }

    CodecGuard m_guard;
    bool m_textLost = false;
};

const QLatin1String formOpen("<numerusform>");
const QLatin1String formClose("</numerusform>");
const QLatin1String formSeparator("</numerusform><numerusform>");

// A translation cell that is a sequence of numerus forms, as the export
// writes them, gives a numerus message.
QVector<QStringRef> numerusForms(const QString &cell)
{
    if (!cell.startsWith(formOpen) || !cell.endsWith(formClose) || cell.size() < formOpen.size() + formClose.size())
        return {};
    const QStringRef inner = cell.midRef(formOpen.size(), cell.size() - formOpen.size() - formClose.size());
    const QVector<QStringRef> forms = inner.split(formSeparator);
    for (const QStringRef &form : forms) {
        if (form.contains(formOpen) || form.contains(formClose))
            return {};
    }
    return forms;
}

class TsWriter
{
public:
    explicit TsWriter(QTextStream &ts) : m_ts(ts), m_text(ts)
    {
        m_ts << "<!DOCTYPE TS><TS>\n"
                "<context>\n";
    }

    void writeMessage(const Row &row)
    {
        const QVector<QStringRef> forms = numerusForms(row.cells[1]);
        const bool marker = row.hasEncodingMarker();
        if (marker && !forms.isEmpty())
            m_ts << "    <message encoding=\"UTF-8\" numerus=\"yes\">\n";
        else if (marker)
            m_ts << "    <message encoding=\"UTF-8\">\n";
        else if (!forms.isEmpty())
            m_ts << "    <message numerus=\"yes\">\n";
        else
            m_ts << "    <message>\n";

        m_buffer = QLatin1String("        <source>");
        m_text.append(m_buffer, row.cells[0]);
        m_buffer += QLatin1String("</source>\n        <translation>");
        if (forms.isEmpty()) {
            m_text.append(m_buffer, row.cells[1]);
        } else {
            for (const QStringRef &form : forms) {
                m_buffer += formOpen;
                m_text.append(m_buffer, form.toString());
                m_buffer += formClose;
            }
        }
        m_buffer += QLatin1String("</translation>\n");
        m_ts << m_buffer << "    </message>\n";
        ++m_result.records;
    }

    StreamResult finish()
    {
        m_ts << "</context>\n"
                "</TS>\n";
        m_result.textLost = m_text.textLost();
        return m_result;
    }

private:
    QTextStream &m_ts;
    TsTextWriter m_text;
    QString m_buffer;
    StreamResult m_result;
};

} // namespace

StreamResult tableToTs(QTextStream &table, QTextStream &ts)
{
    TsWriter writer(ts);
    TableReader reader(table);
    Row row;
    bool first = true;
    while (reader.next(row)) {
        if (row.isBlank())
            continue;   // empty lines, and rows that hold only padding
        const bool header = first && row.isHeader();
        first = false;
        if (!header)
            writer.writeMessage(row);
    }
    return writer.finish();
}

// ---------------------------------------------------------------------------
// Files

QString outputFileName(const QString &folder, const QString &baseName, const QString &extension)
{
    return folder + QLatin1Char('/') + baseName + extension;
}

namespace {

QString nativeName(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

FileResult failure(const QString &text)
{
    FileResult result;
    result.error = text;
    return result;
}

bool pathTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

FileResult alreadyThere(const QString &outputPath)
{
    return failure(QString::fromUtf8("Le fichier %1 existe déjà. Il a été laissé tel quel : choisissez un autre "
                                     "nom ou un autre dossier de sortie.")
                       .arg(nativeName(outputPath)));
}

FileResult notWritten(const QString &outputPath, const QString &reason)
{
    return failure(QString::fromUtf8("Le fichier %1 n'a pas pu être écrit (%2). Rien n'a été créé.")
                       .arg(nativeName(outputPath), reason));
}

// A temporary file is created readable by its owner alone; the result gets
// the permissions that a newly created file gets here.
void giveDefaultPermissions(QFile &file)
{
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                                     | QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
#ifdef Q_OS_UNIX
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (mask & S_IWGRP)
        permissions &= ~QFile::WriteGroup;
    if (mask & S_IWOTH)
        permissions &= ~QFile::WriteOther;
    if (mask & S_IRGRP)
        permissions &= ~QFile::ReadGroup;
    if (mask & S_IROTH)
        permissions &= ~QFile::ReadOther;
#endif
    file.setPermissions(permissions);
}

} // namespace

FileResult convertFile(const QString &inputPath, const QString &outputFolder, const QString &outputPath,
                       StreamConversion conversion)
{
    QFile input(inputPath);
    if (inputPath.isEmpty())
        return failure(QString::fromUtf8("Aucun fichier à convertir n'a été choisi."));
    if (QFileInfo(inputPath).isDir() || !input.open(QIODevice::ReadOnly)) {
        return failure(QString::fromUtf8("Le fichier %1 n'a pas pu être ouvert (%2).")
                           .arg(nativeName(inputPath), QFileInfo(inputPath).isDir()
                                                           ? QString::fromUtf8("c'est un dossier")
                                                           : input.errorString()));
    }
    if (outputFolder.isEmpty()) {
        return failure(QString::fromUtf8("Aucun dossier de sortie n'a été choisi : le fichier %1 n'a pas été "
                                         "écrit.")
                           .arg(nativeName(outputPath)));
    }
    if (pathTaken(outputPath))
        return alreadyThere(outputPath);

    const QFileInfo target(outputPath);
    QTemporaryFile staging(target.path() + QLatin1String("/.") + target.fileName() + QLatin1String(".XXXXXX"));
    if (!staging.open())
        return notWritten(outputPath, staging.errorString());
    staging.setTextModeEnabled(true);   // the platform's line ends

    FileResult result;
    {
        QTextStream in(&input);
        QTextStream out(&staging);
        const StreamResult converted = conversion(in, out);
        out.flush();
        result.records = converted.records;
        if (converted.textLost) {
            return failure(QString::fromUtf8("Le fichier %1 contient des caractères qui ne peuvent pas figurer dans "
                                             "un fichier TS. Rien n'a été écrit.")
                               .arg(nativeName(inputPath)));
        }
        if (input.error() != QFileDevice::NoError) {
            return failure(QString::fromUtf8("Le fichier %1 n'a pas pu être lu jusqu'au bout (%2). Rien n'a été "
                                             "écrit.")
                               .arg(nativeName(inputPath), input.errorString()));
        }
        if (out.status() != QTextStream::Ok || staging.error() != QFileDevice::NoError)
            return notWritten(outputPath, staging.errorString());
    }
    input.close();
    if (!staging.flush() || staging.error() != QFileDevice::NoError)
        return notWritten(outputPath, staging.errorString());
    giveDefaultPermissions(staging);

    if (!staging.rename(outputPath)) {
        if (pathTaken(outputPath))
            return alreadyThere(outputPath);
        return notWritten(outputPath, staging.errorString());
    }
    staging.setAutoRemove(false);
    result.ok = true;
    return result;
}

} // namespace Conversion

// ---------------------------------------------------------------------------
// The window's two conversions

void MainWindow::convertXmlToExcel()
{
    convertAndReport(Conversion::tsToTable, QString::fromUtf8("Conversion Xml -> Excel Effectuée"));
}

void MainWindow::convertCsvToXml()
{
    convertAndReport(Conversion::tableToTs, QString::fromUtf8("Conversion Csv -> Xml Effectuée"));
}

void MainWindow::convertAndReport(Conversion::StreamConversion conversion, const QString &doneText)
{
    const QString outputPath = Conversion::outputFileName(editSortie->text(), editNom->text(), lblExtension->text());
    const Conversion::FileResult result =
        Conversion::convertFile(editEntree->text(), editSortie->text(), outputPath, conversion);
    if (!result.ok) {
        showError(result.error);
        return;
    }
    QMessageBox::information(this, QStringLiteral("Rapport"), doneText, QMessageBox::Ok, QMessageBox::NoButton);
}
