#ifndef CONVERSION_H
#define CONVERSION_H

// Running one conversion of a file, as the window's "Convertir" does: the
// input is checked, the result is written beside the output file under a
// temporary name, put on the disk and given the output's name only once
// complete, never over a file that exists, and every failure becomes a
// message that names the file. The program opens files here and nowhere
// else.

#include "tableimport.h"
#include "tsexport.h"

namespace Conversion {

using StreamConversion = StreamResult (*)(QTextStream &in, QTextStream &out);

// What converting one file gave: on failure, the message for the user.
struct FileResult
{
    bool ok = false;
    QString error;
    qint64 records = 0;
};

// The output file's name: folder, "/", base name, extension, as they stand.
QString outputFileName(const QString &folder, const QString &baseName, const QString &extension);

// Converts inputPath into outputPath, or leaves everything as it was.
FileResult convertFile(const QString &inputPath, const QString &outputFolder, const QString &outputPath,
                       StreamConversion conversion);

// Runs a conversion on bytes held in memory, in the system's encoding as
// for a file; for the tests and the fuzzers.
StreamResult convertBytes(StreamConversion conversion, const QByteArray &input, QByteArray *output);

} // namespace Conversion

#endif // CONVERSION_H
