// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef FILECONVERSION_H
#define FILECONVERSION_H

// Converting one file, as the window's "Convertir" does: the input is
// opened and checked, the result is written beside the output file under a
// temporary name, put on the disk and given the output's name only once
// complete, never over a file that exists, and every failure becomes a
// message that names the file. The program opens files here and nowhere
// else.

#include "conversion.h"
#include "tableimport.h"
#include "tsexport.h"

namespace Conversion {

// What converting one file gave: on failure, the message for the user.
struct FileResult
{
    bool ok = false;
    QString error;
    qint64 messages = 0;
    Findings findings;   // what the import found in the translations, to be looked at
};

// The output file's name: folder, "/", base name, extension, as they stand.
QString outputFileName(const QString &folder, const QString &baseName, const QString &extension);

// Converts inputPath into outputPath, or leaves everything as it was.
FileResult convertFile(const QString &inputPath, const QString &outputFolder, const QString &outputPath,
                       Direction direction);

// Runs a conversion on bytes held in memory, in the system's encoding as
// for a file; for the tests and the fuzzers.
Result convertBytes(Direction direction, const QByteArray &input, QByteArray *output);

} // namespace Conversion

#endif // FILECONVERSION_H
