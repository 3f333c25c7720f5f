#ifndef CONVERSION_H
#define CONVERSION_H

#include <QByteArray>
#include <QString>

class QTextStream;

// The streaming core of the two conversions. It knows nothing of the window:
// the window, the tests, the benchmark and the fuzzers all call it.
namespace Conversion {

// What one pass over a stream did.
struct StreamResult
{
    qint64 records = 0;      // table rows written by the export, messages written by the import
    bool textLost = false;   // a character that the output cannot hold was replaced
    qint64 invalidLine = 0;  // the first input line that is not valid in its encoding, or 0
    bool notTabSeparated = false;   // a table that holds text but not a single tab
    QByteArray codec;        // the input's encoding
};

using StreamConversion = StreamResult (*)(QTextStream &in, QTextStream &out);

// Reads a TS file and writes the translation table: the header line, then
// one row per message (source, tab, translation, and a tab and "UTF-8" for a
// message flagged with that encoding). Cells keep the text in its TS form.
StreamResult tsToTable(QTextStream &ts, QTextStream &table);

// Reads a table saved by a spreadsheet as tab-separated text and writes a TS
// file, one message per row.
StreamResult tableToTs(QTextStream &table, QTextStream &ts);

// Runs a conversion on bytes held in memory, in the locale's codec as for
// a file; for the tests and the fuzzers.
StreamResult convertBytes(StreamConversion conversion, const QByteArray &input, QByteArray *output);

// What converting one file gave: on failure, the message for the user.
struct FileResult
{
    bool ok = false;
    QString error;
    qint64 records = 0;
};

// The output file's name: folder, "/", base name, extension, as they stand.
QString outputFileName(const QString &folder, const QString &baseName, const QString &extension);

// Converts inputPath into outputPath. The result is written beside the output
// file under a temporary name and takes the output name only once complete,
// so no file that exists, or appears meanwhile, is ever replaced, and nothing
// half-written stays behind.
FileResult convertFile(const QString &inputPath, const QString &outputFolder, const QString &outputPath,
                       StreamConversion conversion);

} // namespace Conversion

#endif // CONVERSION_H
