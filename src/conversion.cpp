#include "conversion.h"

#include "mainwindow.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryFile>
#include <QTextCodec>
#include <QRegularExpression>
#include <QTextStream>
#include <QVarLengthArray>

#include <algorithm>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef __SSE2__
#include <emmintrin.h>
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
        if (!m_asciiOnly && encodable(codePoint, QStringView(p, length)))
            out.append(p, length);
        else
            appendCharReference(out, codePoint);
        return p + length;
    }

private:
    // Whether the codec gives the character back as it was. Windows' own
    // code-page codec says that it can encode anything, and writes '?' or a
    // look-alike ("a" for "ā") for what it cannot.
    bool encodable(uint codePoint, QStringView character) const
    {
        auto known = m_encodable.constFind(codePoint);
        if (known == m_encodable.constEnd()) {
            const QByteArray encoded = m_codec->fromUnicode(character);
            known = m_encodable.insert(codePoint, m_codec->toUnicode(encoded) == character);
        }
        return *known;
    }

    const QTextCodec *m_codec;
    bool m_active;
    bool m_asciiOnly;
    mutable QHash<uint, bool> m_encodable;
};

// The first c in [p, end), or end. Most runs searched are short lines, for
// which Qt's own search costs more to set up than the search itself.
const QChar *find(const QChar *p, const QChar *end, QChar c)
{
    const ushort u = c.unicode();
#ifdef __SSE2__
    const __m128i wanted = _mm_set1_epi16(short(u));
    for (; end - p >= 8; p += 8) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(chars, wanted));
        if (mask)
            return p + (__builtin_ctz(uint(mask)) >> 1);
    }
#endif
    while (p < end && p->unicode() != u)
        ++p;
    return p;
}

// The position of the first c in text from `from` on, or -1.
int indexOf(QStringView text, QChar c, int from = 0)
{
    const QChar *end = text.data() + text.size();
    const QChar *at = find(text.data() + from, end, c);
    return at == end ? -1 : int(at - text.data());
}

// The first line feed or carriage return in [p, end), or end.
const QChar *findLineEnd(const QChar *p, const QChar *end)
{
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi16('\n');
    const __m128i cr = _mm_set1_epi16('\r');
    for (; end - p >= 8; p += 8) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(chars, lf), _mm_cmpeq_epi16(chars, cr)));
        if (mask)
            return p + (__builtin_ctz(uint(mask)) >> 1);
    }
#endif
    while (p < end && *p != QLatin1Char('\n') && *p != QLatin1Char('\r'))
        ++p;
    return p;
}

// How many lines end in text: at a line feed, a carriage return and line
// feed, or a carriage return alone.
int countLineEnds(QStringView text)
{
    int count = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\n') || (text[i] == QLatin1Char('\r') && (i + 1 == text.size() || text[i + 1] != QLatin1Char('\n'))))
            ++count;
    }
    return count;
}

// Qt 5's own comparisons with Latin-1 text are calls into the library.
bool startsWith(QStringView text, QLatin1String prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (int i = 0; i < prefix.size(); ++i) {
        if (text[i].unicode() != uchar(prefix.data()[i]))
            return false;
    }
    return true;
}

bool endsWith(QStringView text, QLatin1String suffix)
{
    return text.size() >= suffix.size() && startsWith(text.right(suffix.size()), suffix);
}

// Whether text is exactly the ASCII literal.
template <int N>
bool is(QStringView text, const char (&literal)[N])
{
    if (text.size() != N - 1)
        return false;
    for (int i = 0; i < N - 1; ++i) {
        if (text[i].unicode() != ushort(literal[i]))
            return false;
    }
    return true;
}

// A spreadsheet runs a cell that begins with one of =, +, - or @ as a
// formula (and changes it when the sheet is saved): such a first character
// of a cell is written as a character reference, which Qt's tools read as
// that very character.
QLatin1String formulaStartReference(QChar c)
{
    switch (c.unicode()) {
    case '=': return QLatin1String("&#61;");
    case '+': return QLatin1String("&#43;");
    case '-': return QLatin1String("&#45;");
    case '@': return QLatin1String("&#64;");
    default: return QLatin1String();
    }
}

const int ChunkSize = 64 * 1024;

QTextCodec *utf8Codec()
{
    return QTextCodec::codecForMib(106);
}

// A TS file is XML: in the encoding that its byte-order mark or its XML
// declaration names, and UTF-8 when neither does, as lupdate writes it.
QTextCodec *tsCodec(QIODevice *device)
{
    const QByteArray head = device->peek(1024);
    if (QTextCodec *marked = QTextCodec::codecForUtfText(head, nullptr))
        return marked;
    static const QRegularExpression declaration(
        QStringLiteral("^<\\?xml\\s[^>]*?encoding\\s*=\\s*[\"']([A-Za-z][A-Za-z0-9._-]*)[\"']"));
    const QRegularExpressionMatch match = declaration.match(QString::fromLatin1(head));
    QTextCodec *declared = match.hasMatch() ? QTextCodec::codecForName(match.captured(1).toLatin1()) : nullptr;
    return declared ? declared : utf8Codec();
}

// Whether the rest of the device is valid UTF-8 that holds something other
// than ASCII; the device is left where it was.
bool holdsUtf8Text(QIODevice *device)
{
    const qint64 start = device->pos();
    QTextCodec::ConverterState state;
    bool nonAscii = false;
    QByteArray chunk;
    while (state.invalidChars == 0 && !(chunk = device->read(ChunkSize)).isEmpty()) {
        nonAscii = nonAscii || std::any_of(chunk.cbegin(), chunk.cend(), [](char c) { return c & 0x80; });
        utf8Codec()->toUnicode(chunk.constData(), chunk.size(), &state);
    }
    device->seek(start);
    return nonAscii && state.invalidChars == 0 && state.remainingChars == 0;
}

// A table that a spreadsheet saved: in the encoding that its byte-order
// mark names (Excel's "Unicode Text"); without one, in UTF-8 where it is
// valid UTF-8 (LibreOffice's default, whatever the system's code page), and
// else in the system's encoding (Excel's "Text" on Windows).
QTextCodec *tableCodec(QIODevice *device, QTextCodec *system)
{
    if (QTextCodec *marked = QTextCodec::codecForUtfText(device->peek(4), nullptr))
        return marked;
    if (system->mibEnum() != 106 && !device->isSequential() && holdsUtf8Text(device))
        return utf8Codec();
    return system;
}

// Reads a device line by line in the given codec, a Unicode byte-order mark
// at its start choosing the encoding as QTextStream's own detection does.
// The bytes are read from the stream's device in chunks, decoded here and
// cut into lines: this costs far less than QTextStream::readLine(), and
// it tells where the text is not valid in its encoding, which QTextStream
// hides behind replacement characters. Memory holds one chunk and the
// current line. Lines can be handed back to be read again, for a look ahead.
//
// A line ends at a line feed, a carriage return and line feed, or a
// carriage return alone (Excel for Mac ends its lines so). The files are not
// opened in text mode: Qt drops every carriage-return byte in text mode,
// which breaks UTF-16 text whose code units hold a 0x0D byte.
class LineReader
{
public:
    LineReader(QIODevice *device, QTextCodec *codec) : m_device(device), m_codec(codec) {}

    // The next line, without its line end; it stays valid until the next call.
    bool readLine(QStringView &line)
    {
        if (!m_replay.isEmpty()) {
            m_carry = m_replay.takeFirst();
            line = m_carry;
            return true;
        }
        bool carried = false;
        m_carry.resize(0);
        for (;;) {
            if (m_pos == m_chunk.size() && !refill()) {
                if (!carried)
                    return false;
                line = m_carry;   // a last line without a line end
                break;
            }
            const QChar *begin = m_chunk.constData() + m_pos;
            const QChar *end = m_chunk.constData() + m_chunk.size();
            if (m_afterCarriageReturn) {
                m_afterCarriageReturn = false;
                if (*begin == QLatin1Char('\n')) {   // the rest of a CR LF cut between two chunks
                    ++m_pos;
                    continue;
                }
            }
            const QChar *eol = findLineEnd(begin, end);
            if (eol == end) {
                m_carry.append(begin, int(end - begin));   // a line across two chunks
                carried = true;
                m_pos = m_chunk.size();
                continue;
            }
            if (carried) {
                m_carry.append(begin, int(eol - begin));
                line = m_carry;
            } else {
                line = QStringView(begin, eol);
            }
            m_pos += int(eol + 1 - begin);
            if (*eol == QLatin1Char('\r')) {
                if (eol + 1 == end)
                    m_afterCarriageReturn = true;
                else if (eol[1] == QLatin1Char('\n'))
                    ++m_pos;
            }
            break;
        }
        ++m_lines;
        return true;
    }

    // The lines, in order, are read again before the rest of the stream.
    void readAgain(const QStringList &lines)
    {
        m_replay = lines + m_replay;
        m_lines -= lines.size();
    }

    // The first line that holds a byte sequence invalid in the encoding, or 0.
    qint64 invalidLine() const { return m_invalidLine; }
    QByteArray codecName() const { return m_codec->name(); }

private:
    bool refill()
    {
        m_pos = 0;
        do {
            m_bytes.resize(ChunkSize);
            const qint64 n = m_device->read(m_bytes.data(), ChunkSize);
            if (n <= 0) {
                m_chunk.clear();
                if (m_state.remainingChars > 0)
                    noteInvalid(m_lines + 1);   // the text ends inside a character
                return false;
            }
            const int invalidBefore = m_state.invalidChars;
            m_chunk = m_codec->toUnicode(m_bytes.constData(), int(n), &m_state);
            if (m_state.invalidChars > invalidBefore && !m_invalidLine) {
                const int at = m_chunk.indexOf(QChar(QChar::ReplacementCharacter));
                noteInvalid(m_lines + 1 + countLineEnds(QStringView(m_chunk).left(qMax(at, 0))));
            }
        } while (m_chunk.isEmpty());   // a byte-order mark alone, or part of a character
        return true;
    }

    void noteInvalid(qint64 line)
    {
        if (!m_invalidLine)
            m_invalidLine = line;
    }

    QIODevice *m_device;
    QTextCodec *m_codec;
    QTextCodec::ConverterState m_state;
    QByteArray m_bytes;
    QString m_chunk;
    int m_pos = 0;
    bool m_afterCarriageReturn = false;
    QString m_carry;
    QStringList m_replay;
    qint64 m_lines = 0;
    qint64 m_invalidLine = 0;
};

// Writes text to a stream's device in the stream's codec, a block of 64 Ki
// characters at a time; the caller appends to text() and calls written().
// This spares the copy into QTextStream's own buffer and its encoding in
// small pieces. Without a device, the text goes through the stream itself.
// No byte-order mark is written.
class BlockWriter
{
public:
    explicit BlockWriter(QTextStream &out) : m_out(out), m_device(out.device()), m_codec(out.codec())
    {
        m_state.flags |= QTextCodec::IgnoreHeader;
    }
    ~BlockWriter() { flush(); }

    QString &text() { return m_text; }

    void written()
    {
        if (m_text.size() >= BlockSize)
            flush();
    }

    void flush()
    {
        if (m_text.isEmpty())
            return;
        if (m_device)
            m_device->write(m_codec->fromUnicode(m_text.constData(), m_text.size(), &m_state));
        else
            m_out << m_text;
        m_text.resize(0);
    }

private:
    static constexpr int BlockSize = 64 * 1024;

    QTextStream &m_out;
    QIODevice *m_device;
    QTextCodec *m_codec;
    QTextCodec::ConverterState m_state;
    QString m_text;
};

// ---------------------------------------------------------------------------
// Export: TS to table

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
            const QChar *lt = find(p, end, QLatin1Char('<'));
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
        return m_result;
    }

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
        return u == '\t' || u == '"';
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
        return is(tag, "source") || is(tag, "message") || is(tag, "translation");
    }

    const QChar *continueTag(const QChar *p, const QChar *end)
    {
        if (!m_keepTag) {
            // A skipped tag may end at a '>' inside an attribute value: the
            // rest of the value is then read as text, which outside a source
            // or a translation is skipped too, and no '<' can stand in it.
            const QChar *gt = find(p, end, QLatin1Char('>'));
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
        if (is(name, "message")) {
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
        if (is(name, "source"))
            startCapture(Capture::Source, &m_source, empty);
        else if (is(name, "translation"))
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
               && (is(name, "numerusform") || is(name, "lengthvariant"));
    }

    void markupInText(QStringView name, bool closing)
    {
        const bool ends = closing
                          && ((m_capture == Capture::Source && is(name, "source"))
                              || (m_capture == Capture::Translation && is(name, "translation")));
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

    static void appendCell(QString &row, const QString &cell)
    {
        const QLatin1String reference = cell.isEmpty() ? QLatin1String() : formulaStartReference(cell[0]);
        if (reference.size()) {
            row += reference;
            row.append(cell.constData() + 1, cell.size() - 1);
        } else {
            row += cell;
        }
    }

    void writeRow()
    {
        if (m_capture != Capture::None) {
            flushPending();
            m_capture = Capture::None;
            m_cell = nullptr;
        }
        QString &row = m_out.text();
        appendCell(row, m_source);
        row += QLatin1Char('\t');
        appendCell(row, m_translation);
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
    LineReader reader(ts.device(), tsCodec(ts.device()));
    QStringView line;
    while (reader.readLine(line))
        scanner.scanLine(line);
    StreamResult result = scanner.finish();
    result.invalidLine = reader.invalidLine();
    result.codec = reader.codecName();
    return result;
}

// ---------------------------------------------------------------------------
// Import: table to TS

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
        return (is(cells[0], "Origine ") || is(cells[0], "Origine")) && is(cells[1], "Traduction")
               && cells[2].isEmpty() && !moreNonEmpty;
    }

    bool hasEncodingMarker() const { return count >= 3 && is(cells[2], "UTF-8"); }
};

// Cuts the table into rows. A cell that begins with a double quote and whose
// closing quote is followed by a tab or the end of a line is a quoted cell,
// as spreadsheets write them: doubled quotes inside it stand for one, and it
// may run over several lines. Any other cell is taken as it stands.
class TableReader
{
public:
    explicit TableReader(QTextStream &in) : m_in(in.device(), tableCodec(in.device(), in.codec())) {}

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
        const int tab = indexOf(m_line, QLatin1Char('\t'), pos);
        cell = m_line.mid(pos, tab < 0 ? m_line.size() - pos : tab - pos);
        return tab;
    }

    static constexpr int NotQuoted = -2;

    int readQuotedCell(Row &row, int pos, QString &cell)
    {
        int p = pos + 1;
        for (;;) {
            const int quote = indexOf(m_line, QLatin1Char('"'), p);
            if (quote < 0) {
                // The cell goes on after a line break, if it closes at all.
                if (!closesLater(row))
                    return NotQuoted;
                append(cell, m_line.mid(p));
                cell.append(QLatin1Char('\n'));
                m_in.readLine(m_line);
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
    // line close properly further on? A stray quote thus never swallows the
    // rows after it. The lines read are handed back to the reader.
    bool closesLater(Row &row)
    {
        // Reading ahead moves the reader: the current line is kept first.
        row.keepCells();
        m_kept = m_line.toString();
        m_line = m_kept;
        QStringList ahead;
        int length = 0;
        bool closes = false;
        QStringView line;
        while (length <= LongestQuotedCell && m_in.readLine(line)) {
            ahead.append(line.toString());
            length += int(line.size()) + 1;
            const int quote = closingQuote(line);
            if (quote >= 0) {
                closes = quote + 1 == line.size() || line.at(quote + 1) == QLatin1Char('\t');
                break;
            }
        }
        m_in.readAgain(ahead);
        return closes && length <= LongestQuotedCell;
    }

    // The first quote of the line that is not doubled, or -1.
    static int closingQuote(QStringView line)
    {
        for (int p = 0;;) {
            const int quote = indexOf(line, QLatin1Char('"'), p);
            if (quote < 0 || quote + 1 == line.size() || line.at(quote + 1) != QLatin1Char('"'))
                return quote;
            p = quote + 2;
        }
    }

    LineReader m_in;
    QStringView m_line;
    QString m_kept;
    QString m_scratch;   // quoted cells after the third
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
        if (startsWith(QStringView(p, end), QLatin1String(entity, n)))
            return n;
    }
    if (end - p < 4 || p[1] != QLatin1Char('#'))
        return 0;
    const int base = p[2] == QLatin1Char('x') ? 16 : 10;
    const QChar *digits = p + (base == 16 ? 3 : 2);
    const QChar *q = digits;
    uint value = 0;
    for (; q < end && digitValue(*q, base) >= 0; ++q) {
        if (value <= 0x10FFFF)   // beyond it the reference is no character anyway
            value = value * uint(base) + uint(digitValue(*q, base));
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
    if (end - p < open.size() + 4 || !startsWith(QStringView(p, end), open))
        return 0;
    const QChar *q = p + open.size();
    const QChar *digits = q;
    while (q < end && q - digits < 4 && isHexDigit(*q))
        ++q;
    if (q == digits || !startsWith(QStringView(q, end), QLatin1String("\"/>")))
        return 0;
    return int(q + 3 - p);
}

// The ASCII characters that a TS text holds as they are.
struct PlainAscii
{
    bool plain[128];
    constexpr PlainAscii() : plain()
    {
        for (int c = 0x20; c < 0x80; ++c)
            plain[c] = c != '&' && c != '<' && c != '>' && c != '"';
    }
    constexpr bool operator[](int c) const { return plain[c]; }
};
constexpr PlainAscii plainAscii{};

// Writes a cell as TS text: what is already in TS form (references, byte
// elements) stays as it is, and every other character that XML reserves or
// cannot hold is escaped, so that the file is always well-formed.
class TsTextWriter
{
public:
    explicit TsTextWriter(const QTextStream &ts) : m_guard(ts, true) {}

    bool textLost() const { return m_textLost; }

    // A whole cell's text: its first character is written as a reference
    // where a spreadsheet would take it for the start of a formula, as the
    // export writes it, so that a TS file that goes out and comes back is
    // the same file.
    void appendCell(QString &out, QStringView cell)
    {
        const QLatin1String reference = cell.isEmpty() ? QLatin1String() : formulaStartReference(cell[0]);
        if (reference.size()) {
            out += reference;
            cell = cell.mid(1);
        }
        append(out, cell);
    }

    void append(QString &out, QStringView cell)
    {
        const QChar *p = cell.data();
        const QChar *end = p + cell.size();
        while (p < end) {
            const QChar *run = p;
            p = plainRunEnd(p, end);
            out.append(run, int(p - run));
            if (p < end)
                p = appendSpecial(out, p, end);
        }
    }

private:
    // The first character from p on that is not written as it stands.
    const QChar *plainRunEnd(const QChar *p, const QChar *end) const
    {
        while (p < end) {
#ifdef __SSE2__
            if (!m_guard.active() && end - p >= 8) {
                // Eight at a time: control characters, the four that XML
                // reserves here, and whatever lies above U+D7FF are looked at
                // one by one.
                const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
                const __m128i biased = _mm_xor_si128(chars, _mm_set1_epi16(short(0x8000)));
                __m128i special = _mm_or_si128(_mm_cmplt_epi16(biased, _mm_set1_epi16(short(0x20 ^ 0x8000))),
                                               _mm_cmpgt_epi16(biased, _mm_set1_epi16(short(0xD7FF ^ 0x8000))));
                for (const char reserved : {'"', '&', '<', '>'})
                    special = _mm_or_si128(special, _mm_cmpeq_epi16(chars, _mm_set1_epi16(reserved)));
                const int mask = _mm_movemask_epi8(special);
                if (!mask) {
                    p += 8;
                    continue;
                }
                p += __builtin_ctz(uint(mask)) >> 1;
            }
#endif
            if (!isPlain(*p))
                return p;
            ++p;
        }
        return end;
    }

    bool isPlain(QChar c) const
    {
        const ushort u = c.unicode();
        if (u < 0x80)
            return plainAscii[u];
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

bool isAsciiLetter(QChar c)
{
    const ushort u = c.unicode() | 0x20;
    return u >= 'a' && u <= 'z';
}

bool isNameChar(QChar c)
{
    const ushort u = c.unicode();
    return isAsciiLetter(c) || (u >= '0' && u <= '9') || u == '_' || u == '-' || u == '.';
}

// Whether the attributes of a tag in a cell can go into the TS file as they
// stand: name="value" or name='value', each name once, printable ASCII, and
// nothing in a value that XML reserves.
bool plainAttributes(QStringView attributes)
{
    QVarLengthArray<QStringView, 4> names;
    const int n = int(attributes.size());
    int i = 0;
    for (;;) {
        const int separator = i;
        while (i < n && attributes[i] == QLatin1Char(' '))
            ++i;
        if (i == n)
            return true;
        if (i == separator || !(isAsciiLetter(attributes[i]) || attributes[i] == QLatin1Char('_')))
            return false;
        const int nameStart = i;
        while (i < n && isNameChar(attributes[i]))
            ++i;
        const QStringView name = attributes.mid(nameStart, i - nameStart);
        if (std::find(names.cbegin(), names.cend(), name) != names.cend())
            return false;
        names.append(name);
        if (i + 1 >= n || attributes[i] != QLatin1Char('=')
            || (attributes[i + 1] != QLatin1Char('"') && attributes[i + 1] != QLatin1Char('\'')))
            return false;
        const QChar quote = attributes[i + 1];
        for (i += 2; i < n && attributes[i] != quote; ++i) {
            const ushort u = attributes[i].unicode();
            if (u < 0x20 || u > 0x7e || u == '<' || u == '>' || u == '&')
                return false;
        }
        if (i == n)
            return false;
        ++i;
    }
}

// The length of the opening tag <name …> at the start of text, or 0.
int openTagLength(QStringView text, QLatin1String name)
{
    if (!text.startsWith(QLatin1Char('<')) || !startsWith(text.mid(1), name))
        return 0;
    const int end = indexOf(text, QLatin1Char('>'));
    if (end < 0)
        return 0;
    const QStringView attributes = text.mid(1 + name.size(), end - 1 - name.size());
    if (!attributes.isEmpty() && attributes[0] != QLatin1Char(' '))
        return 0;   // a longer name
    return plainAttributes(attributes) ? end + 1 : 0;
}

// The position of the closing tag </name> from `from` on, or -1 when there
// is none or another element of that name opens first.
int closingTagAt(QStringView text, int from, QLatin1String name)
{
    for (int lt = indexOf(text, QLatin1Char('<'), from); lt >= 0; lt = indexOf(text, QLatin1Char('<'), lt + 1)) {
        const QStringView tag = text.mid(lt + 1);
        if (startsWith(tag, name))
            return -1;
        if (tag.startsWith(QLatin1Char('/')) && startsWith(tag.mid(1), name)
            && tag.mid(1 + name.size()).startsWith(QLatin1Char('>')))
            return lt;
    }
    return -1;
}

// An element of a translation cell: its opening tag as the cell holds it,
// and its content.
struct Element
{
    QStringView openTag;
    QStringView content;
};

// The elements of a cell made only of <name …>…</name> elements, one after
// the other, as the export writes numerus forms and length variants; none
// when the cell holds anything else.
QVector<Element> elementsOnly(QStringView cell, QLatin1String name)
{
    QVector<Element> elements;
    while (!cell.isEmpty()) {
        const int open = openTagLength(cell, name);
        const int close = open ? closingTagAt(cell, open, name) : -1;
        if (close < 0)
            return {};
        elements.append({cell.left(open), cell.mid(open, close - open)});
        cell = cell.mid(close + name.size() + 3);
    }
    return elements;
}

const QLatin1String numerusForm("numerusform");
const QLatin1String lengthVariant("lengthvariant");

// The fixed pieces of a message, as strings, so that they are copied and
// not widened from Latin-1 each time.
struct TsPieces
{
    const QString messageOpen = QStringLiteral("    <message>\n");
    const QString markedOpen = QStringLiteral("    <message encoding=\"UTF-8\">\n");
    const QString numerusOpen = QStringLiteral("    <message numerus=\"yes\">\n");
    const QString markedNumerusOpen = QStringLiteral("    <message encoding=\"UTF-8\" numerus=\"yes\">\n");
    const QString sourceOpen = QStringLiteral("        <source>");
    const QString sourceToTranslation = QStringLiteral("</source>\n        <translation");
    const QString tagEnd = QStringLiteral(">");
    const QString variantsTagEnd = QStringLiteral(" variants=\"yes\">");
    const QString messageClose = QStringLiteral("</translation>\n    </message>\n");
    const QString formOpen = QStringLiteral("<numerusform");
    const QString formClose = QStringLiteral("</numerusform>");
    const QString variantClose = QStringLiteral("</lengthvariant>");
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
        const QVector<Element> forms = elementsOnly(row.cells[1], numerusForm);
        const bool marker = row.hasEncodingMarker();
        if (marker && !forms.isEmpty())
            m_buffer += m_pieces.markedNumerusOpen;
        else if (marker)
            m_buffer += m_pieces.markedOpen;
        else if (!forms.isEmpty())
            m_buffer += m_pieces.numerusOpen;
        else
            m_buffer += m_pieces.messageOpen;

        m_buffer += m_pieces.sourceOpen;
        m_text.appendCell(m_buffer, row.cells[0]);
        m_buffer += m_pieces.sourceToTranslation;
        if (forms.isEmpty()) {
            writeContent(row.cells[1], true);
        } else {
            m_buffer += m_pieces.tagEnd;
            for (const Element &form : forms) {
                m_buffer += m_pieces.formOpen;
                writeContent(form.content, false);
                m_buffer += m_pieces.formClose;
            }
        }
        m_buffer += m_pieces.messageClose;
        m_out.written();
        ++m_result.records;
    }

    StreamResult finish()
    {
        m_buffer += QLatin1String("</context>\n"
                                  "</TS>\n");
        m_out.flush();
        m_result.textLost = m_text.textLost();
        return m_result;
    }

private:
    // Ends the opening tag of a translation or a numerus form and writes
    // its content: the length variants that it is made of, or text. A whole
    // cell's text is written so that no spreadsheet takes it for a formula.
    void writeContent(QStringView content, bool wholeCell)
    {
        const QVector<Element> variants = elementsOnly(content, lengthVariant);
        if (variants.isEmpty()) {
            m_buffer += m_pieces.tagEnd;
            if (wholeCell)
                m_text.appendCell(m_buffer, content);
            else
                m_text.append(m_buffer, content);
            return;
        }
        m_buffer += m_pieces.variantsTagEnd;
        for (const Element &variant : variants) {
            m_buffer.append(variant.openTag.data(), int(variant.openTag.size()));
            m_text.append(m_buffer, variant.content);
            m_buffer += m_pieces.variantClose;
        }
    }

    const TsPieces m_pieces;
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
    while (reader.next(row)) {
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
    result.invalidLine = reader.lines().invalidLine();
    result.codec = reader.lines().codecName();
    return result;
}

StreamResult convertBytes(StreamConversion conversion, const QByteArray &input, QByteArray *output)
{
    QByteArray bytes = input;
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    QBuffer out(output);
    out.open(QIODevice::WriteOnly);
    QTextStream inStream(&in);
    QTextStream outStream(&out);
    return conversion(inStream, outStream);
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

// Puts the file's data on the disk before it takes the output's name, as
// QSaveFile does before its rename: without it, a power cut soon after the
// conversion can leave that name on an empty file on some file systems.
bool syncToDisk(QFileDevice &file)
{
#ifdef Q_OS_WIN
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle())));
#else
    return ::fsync(file.handle()) == 0;
#endif
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

namespace {

// Why the input file cannot be read, or nothing.
QString inputProblem(const QString &inputPath, QFile &input)
{
    if (inputPath.isEmpty())
        return QString::fromUtf8("Aucun fichier à convertir n'a été choisi.");
    const bool folder = QFileInfo(inputPath).isDir();
    if (!folder && input.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8("Le fichier %1 n'a pas pu être ouvert (%2).")
        .arg(nativeName(inputPath), folder ? QString::fromUtf8("c'est un dossier") : input.errorString());
}

// What keeps a finished pass over the input from giving the output, or nothing.
QString conversionProblem(const StreamResult &converted, const QString &inputPath, const QFile &input)
{
    if (converted.invalidLine > 0) {
        return QString::fromUtf8("Le fichier %1 n'est pas un texte valide dans le codage %2 : sa ligne %3 contient "
                                 "des octets qui n'y ont pas de sens. Rien n'a été écrit. Enregistrez-le en %2 (ou "
                                 "en texte Unicode) et recommencez.")
            .arg(nativeName(inputPath), QString::fromLatin1(converted.codec))
            .arg(converted.invalidLine);
    }
    if (converted.notTabSeparated) {
        return QString::fromUtf8("Le fichier %1 n'est pas un texte séparé par des tabulations : aucune de ses lignes "
                                 "n'en contient. Rien n'a été écrit. Enregistrez le tableau en texte avec la "
                                 "tabulation pour séparateur (LibreOffice : « Texte CSV » avec le séparateur de "
                                 "champ « Tabulation » ; Excel : « Texte Unicode » ou « Texte (séparateur : "
                                 "tabulation) ») et recommencez.")
            .arg(nativeName(inputPath));
    }
    if (converted.textLost) {
        return QString::fromUtf8("Le fichier %1 contient des caractères qui ne peuvent pas figurer dans un fichier "
                                 "TS. Rien n'a été écrit.")
            .arg(nativeName(inputPath));
    }
    if (input.error() != QFileDevice::NoError) {
        return QString::fromUtf8("Le fichier %1 n'a pas pu être lu jusqu'au bout (%2). Rien n'a été écrit.")
            .arg(nativeName(inputPath), input.errorString());
    }
    return QString();
}

} // namespace

FileResult convertFile(const QString &inputPath, const QString &outputFolder, const QString &outputPath,
                       StreamConversion conversion)
{
    QFile input(inputPath);
    const QString unreadable = inputProblem(inputPath, input);
    if (!unreadable.isEmpty())
        return failure(unreadable);
    if (outputFolder.isEmpty()) {
        return failure(QString::fromUtf8("Aucun dossier de sortie n'a été choisi : le fichier %1 n'a pas été "
                                         "écrit.")
                           .arg(nativeName(outputPath)));
    }
    if (pathTaken(outputPath))
        return alreadyThere(outputPath);

    // Beside the output file, so that the rename at the end stays on one
    // file system; a rename never replaces a file that appeared meanwhile.
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
        const QString problem = conversionProblem(converted, inputPath, input);
        if (!problem.isEmpty())
            return failure(problem);
        if (out.status() != QTextStream::Ok)
            return notWritten(outputPath, staging.errorString());
    }
    input.close();
    if (!staging.flush() || staging.error() != QFileDevice::NoError)
        return notWritten(outputPath, staging.errorString());
    if (!syncToDisk(staging))
        return notWritten(outputPath, qt_error_string());
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
