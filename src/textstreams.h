#ifndef TEXTSTREAMS_H
#define TEXTSTREAMS_H

// What both conversions share: the encoding of each kind of file, a line
// reader that tells where the text is not valid in it, a block writer, and
// the references that keep a character intact where a code page or a
// spreadsheet would spoil it.

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTextCodec>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

class QIODevice;
class QTextStream;

namespace Conversion {

// No TS file or table holds a line or a text longer than this, in
// characters; a longer one ends the conversion, before the memory it takes
// does. (A spreadsheet's cell holds at most 32,767.)
const int LongestText = 64 * 1024 * 1024;

// What one pass over a stream did.
struct StreamResult
{
    qint64 records = 0;             // table rows written by the export, messages written by the import
    bool textLost = false;          // a character that the output cannot hold was met
    bool notTabSeparated = false;   // a table that holds text but not a single tab
    bool notTs = false;             // a file whose first element is not the TS root, or that has none
    bool declaresMarkup = false;    // a TS file that declares entities or attributes of its own
    qint64 tooLongLine = 0;         // the line where a line or a text grew past LongestText, or 0
    qint64 invalidLine = 0;         // the first input line that is not valid in its encoding, or 0
    QByteArray codec;               // the input's encoding
    QString readFailure;            // why the input could not be read to its end, or nothing
    QString writeFailure;           // why the output could not be written, or nothing
};

// The input device, with each read checked where it happens: the first
// read, peek or seek that fails is kept with the system's reason, and
// nothing is read after it. Qt's error() tells of the last call only, so a
// failed read followed by one that succeeds would leave no trace, and a
// failed read taken for the end of the text would cut it short.
class InputDevice
{
public:
    explicit InputDevice(QIODevice *device) : m_device(device) {}

    // The bytes read, 0 at the end, -1 once a read has failed.
    qint64 read(char *data, qint64 size);
    QByteArray peek(qint64 size);
    bool seek(qint64 position);
    qint64 pos() const;
    bool isSequential() const;

    const QString &failure() const { return m_failure; }

private:
    qint64 checked(qint64 result);

    QIODevice *m_device;
    QString m_failure;
};

// A TS file is XML: in the encoding that its byte-order mark or its XML
// declaration names, and UTF-8 when neither does, as lupdate writes it.
QTextCodec *tsCodec(InputDevice &input);

// Whether the codec writes Unicode (UTF-8, -16 or -32), not a code page.
bool isUnicodeCodec(const QTextCodec *codec);

// A table that a spreadsheet saved: in the encoding that its byte-order
// mark names (Excel's "Unicode Text"); without one, in UTF-8 where it is
// valid UTF-8 (LibreOffice's default, whatever the system's code page), and
// else in the system's encoding (Excel's "Text" on Windows).
QTextCodec *tableCodec(InputDevice &input, QTextCodec *system);

// The first character in [p, end) that is one of `wanted` or lies outside
// [plainLow, plainHigh], or end. The searches that cut and escape the text
// take a fifth of a conversion with Qt's own search for one character
// (bench/README.md), hence SSE2.
template <typename... Chars>
inline const QChar *findSpecial(const QChar *p, const QChar *end, ushort plainLow, ushort plainHigh,
                                Chars... wanted)
{
#ifdef __SSE2__
    const __m128i bias = _mm_set1_epi16(short(0x8000));
    const __m128i low = _mm_set1_epi16(short(plainLow ^ 0x8000));
    const __m128i high = _mm_set1_epi16(short(plainHigh ^ 0x8000));
    for (; end - p >= 8; p += 8) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i biased = _mm_xor_si128(chars, bias);
        __m128i found = _mm_or_si128(_mm_cmplt_epi16(biased, low), _mm_cmpgt_epi16(biased, high));
        ((found = _mm_or_si128(found, _mm_cmpeq_epi16(chars, _mm_set1_epi16(wanted)))), ...);
        if (const int mask = _mm_movemask_epi8(found))
            return p + (__builtin_ctz(uint(mask)) >> 1);
    }
#endif
    for (; p < end; ++p) {
        const ushort u = p->unicode();
        if (u < plainLow || u > plainHigh || ((u == ushort(wanted)) || ...))
            return p;
    }
    return end;
}

// The first of the wanted characters in [p, end), or end.
template <typename... Chars>
inline const QChar *findFirstOf(const QChar *p, const QChar *end, Chars... wanted)
{
    return findSpecial(p, end, 0, 0xFFFF, wanted...);
}

// The position of the first `wanted` in text from `from` on, or -1.
inline int indexOf(QStringView text, char wanted, int from = 0)
{
    const QChar *end = text.data() + text.size();
    const QChar *at = findFirstOf(text.data() + from, end, wanted);
    return at == end ? -1 : int(at - text.data());
}

struct DecoderState;

// Reads a device line by line in the given codec; a Unicode byte-order mark
// at its start is skipped. The bytes are read in chunks, decoded here and
// cut into lines: this costs far less than QTextStream::readLine(), and it
// tells where the text is not valid in its encoding, which QTextStream hides
// behind replacement characters. Memory holds one chunk and the current
// line. Lines can be handed back to be read again, for a look ahead.
//
// A line ends at a line feed, a carriage return and line feed, or a
// carriage return alone (Excel for Mac ends its lines so). The files are not
// opened in text mode: Qt drops every carriage-return byte in text mode,
// which breaks UTF-16 text whose code units hold a 0x0D byte.
class LineReader
{
public:
    LineReader(InputDevice &input, QTextCodec *codec)
        : m_input(input), m_codec(codec), m_unicode(isUnicodeCodec(codec))
    {
    }

    // The next line, without its line end; it stays valid until the next call.
    bool readLine(QStringView &line);

    // The lines, in order, are read again before the rest of the stream.
    void readAgain(const QStringList &lines);

    // The number of the line read last, counted from 1.
    qint64 lineNumber() const { return m_lines; }

    // What reading the input found: the first line that holds a byte
    // sequence invalid in the encoding, the encoding, a line too long to
    // read, a failed read.
    void report(StreamResult &result) const;

private:
    bool refill();
    int invalidAt(const DecoderState &before, int size);
    int loneSurrogateAt();
#ifdef Q_OS_WIN
    int invalidAnsiAt(const char *bytes, int size);
    char m_leadByte = 0;
#endif

    InputDevice &m_input;
    QTextCodec *m_codec;
    QTextCodec::ConverterState m_state;
    bool m_unicode;
    QByteArray m_bytes;
    QString m_chunk;
    int m_pos = 0;
    bool m_afterCarriageReturn = false;
    bool m_afterHighSurrogate = false;
    bool m_afterLeadByte = false;
    QString m_carry;
    QStringList m_replay;
    qint64 m_lines = 0;
    qint64 m_invalidLine = 0;
    qint64 m_tooLongLine = 0;
};

// Writes text to a stream's device in the stream's codec, a block of 64 Ki
// characters at a time: the caller appends to text() and calls written().
// Through QTextStream's own buffer, which is freed at every flush, the
// import takes four times as long. No byte-order mark is written. Each
// write is checked: after the first that fails, nothing more is written.
class BlockWriter
{
public:
    explicit BlockWriter(QTextStream &out);
    ~BlockWriter() { flush(); }

    QString &text() { return m_text; }

    void written()
    {
        if (m_text.size() >= 64 * 1024)
            flush();
    }

    void flush();

    // Why a write failed, or nothing.
    const QString &failure() const { return m_failure; }

private:
    QIODevice *m_device;
    QTextCodec *m_codec;
    QTextCodec::ConverterState m_state;
    QString m_text;
    QString m_failure;
};

// Which characters are written as character references where the output is
// in a code page (a Windows one), not in Unicode.
enum class Referenced {
    Unencodable,   // those that the code page has no bytes for, which would become '?'
    NonAscii,      // every one beyond ASCII: for a file that names no encoding, read as UTF-8
};

// Writes a character as itself, or, where the output is in a code page and
// the character is one of those referenced there, as a character reference,
// which reaches the reader intact.
class CodePageReferences
{
public:
    CodePageReferences(const QTextStream &out, Referenced referenced);

    // Whether the output is in a code page, where some characters are references.
    bool needed() const { return m_needed; }

    // Appends the non-ASCII character at *p (a surrogate pair counts as one),
    // and returns the position after it.
    const QChar *append(QString &out, const QChar *p, const QChar *end) const;

private:
    bool encodable(uint codePoint, QStringView character) const;

    const QTextCodec *m_codec;
    bool m_needed;
    Referenced m_referenced;
    mutable QHash<uint, bool> m_encodable;
};

// A spreadsheet runs a cell that begins with one of =, +, - or @ as a
// formula (and changes it when the sheet is saved): such a first character
// of a cell is appended to out as a character reference, which Qt's tools
// read as that very character. Returns the rest of the cell, to append.
QStringView appendSafeStart(QString &out, QStringView cell);

} // namespace Conversion

#endif // TEXTSTREAMS_H
