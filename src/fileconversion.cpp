// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fileconversion.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTextCodec>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Conversion {

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
// the permissions that a newly created file gets here. Where the file system
// keeps no permissions (FAT on a USB stick), this fails, and the result is
// none the worse: the failure is not a reason to refuse it.
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

// Opens the input, a regular file and nothing else: a named pipe would hold
// the window until another program writes into it, and a device such as
// /dev/zero never ends. On Unix it is opened without waiting for a writer,
// and what was opened is looked at, not the name, which another program
// may point elsewhere meanwhile. Returns why it cannot be read, or nothing.
QString openInput(const QString &inputPath, QFile &input)
{
    if (inputPath.isEmpty())
        return QString::fromUtf8("Aucun fichier à convertir n'a été choisi.");
    QString reason;
#ifdef Q_OS_WIN
    if (!input.open(QIODevice::ReadOnly))
        reason = input.errorString();
    else if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(input.handle()))) != FILE_TYPE_DISK)
        reason = QString::fromUtf8("ce n'est pas un fichier ordinaire");
#else
    const int fd = ::open(QFile::encodeName(inputPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status;
    if (fd < 0 || ::fstat(fd, &status) != 0)
        reason = qt_error_string(errno);
    else if (S_ISDIR(status.st_mode))
        reason = QString::fromUtf8("c'est un dossier");
    else if (!S_ISREG(status.st_mode))
        reason = QString::fromUtf8("ce n'est pas un fichier ordinaire, mais un tube, un périphérique ou une socket");
    else if (!input.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        reason = input.errorString();
    if (!reason.isEmpty() && fd >= 0)
        ::close(fd);
#endif
    if (reason.isEmpty())
        return QString();
    input.close();
    return QString::fromUtf8("Le fichier %1 n'a pas pu être ouvert (%2).").arg(nativeName(inputPath), reason);
}

// Why the input is refused, in a message that names it, or nothing. Each
// message is made in one pass over its arguments: a path may hold a '%'.
QString refusalMessage(const Result &converted, const QString &inputPath)
{
    const QString name = nativeName(inputPath);
    // A table's row, and the file's line where they differ.
    QString line = QString::number(converted.line);
    if (converted.fileLine > 0 && converted.fileLine != converted.line)
        line += QString::fromUtf8(" (ligne %1 du fichier)").arg(converted.fileLine);
    switch (converted.refusal) {
    case Refusal::None:
        return QString();
    case Refusal::InvalidBytes:
        return QString::fromUtf8("Le fichier %1 n'est pas un texte valide dans le codage %2 : sa ligne %3 contient "
                                 "des octets qui n'y ont pas de sens. Rien n'a été écrit. Enregistrez-le en %2 (ou "
                                 "en texte Unicode) et recommencez.")
            .arg(name, QString::fromLatin1(converted.codec), line);
    case Refusal::TooLong:
        return QString::fromUtf8("Le fichier %1 n'a pas été converti : à sa ligne %2, un texte dépasse %3 "
                                 "caractères, ce qu'aucun fichier de traduction ni aucun tableau ne contient. Rien "
                                 "n'a été écrit.")
            .arg(name, line, QString::number(LongestText));
    case Refusal::NotTs:
        return QString::fromUtf8("Le fichier %1 n'est pas un fichier de traduction Qt (TS) : à sa ligne %2, %3. Rien "
                                 "n'a été écrit.")
            .arg(name, line, converted.detail);
    case Refusal::NotReadByQt:
        return QString::fromUtf8("Le fichier %1 n'est pas un fichier de traduction que les outils de Qt (lupdate, "
                                 "lconvert, lrelease) lisent : à sa ligne %2, %3. Rien n'a été écrit.")
            .arg(name, line, converted.detail);
    case Refusal::DeclaresMarkup:
        return QString::fromUtf8("Le fichier %1 déclare dans son type de document (<!DOCTYPE TS [ … ]>) des "
                                 "entités ou des attributs qu'aucun outil de Qt n'écrit, et que Quorvale ne lit "
                                 "pas. Rien n'a été écrit.")
            .arg(name);
    case Refusal::NotTabSeparated:
        return QString::fromUtf8("Le fichier %1 n'est pas un texte séparé par des tabulations : aucune de ses lignes "
                                 "n'en contient. Rien n'a été écrit. Enregistrez le tableau en texte avec la "
                                 "tabulation pour séparateur (LibreOffice : « Texte CSV » avec le séparateur de "
                                 "champ « Tabulation » ; Excel : « Texte Unicode » ou « Texte (séparateur : "
                                 "tabulation) ») et recommencez.")
            .arg(name);
    case Refusal::NotXmlText:
        return QString::fromUtf8("Le fichier %1 contient à sa ligne %2 des caractères qui ne peuvent pas figurer "
                                 "dans un fichier TS. Rien n'a été écrit.")
            .arg(name, line);
    }
    return QString();
}

// The name under which the result is written: beside the output file, so
// that the rename at the end stays on one file system (and a rename never
// replaces a file that appeared meanwhile), hidden, and named after the
// output, but short enough for a file name: most file systems take 255
// bytes, and the output's name may take them all.
QString stagingTemplate(const QString &outputPath)
{
    const QFileInfo target(outputPath);
    const QLatin1String before("."), after(".XXXXXX");
    QString name = target.fileName();
    while (QFile::encodeName(name).size() > 255 - before.size() - after.size())
        name.chop(name.size() > 1 && name.at(name.size() - 1).isLowSurrogate() ? 2 : 1);
    return target.path() + QLatin1Char('/') + before + name + after;
}

// Gives the finished result the output's name, once it is on the disk with
// the permissions of a new file; never over a file that appeared meanwhile.
FileResult publish(QTemporaryFile &staging, const QString &outputPath)
{
    if (!staging.flush())
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
    FileResult result;
    result.ok = true;
    return result;
}

} // namespace

FileResult convertFile(const QString &inputPath, const QString &outputFolder, const QString &outputPath,
                       Direction direction)
{
    QFile input(inputPath);
    const QString unreadable = openInput(inputPath, input);
    if (!unreadable.isEmpty())
        return failure(unreadable);
    if (outputFolder.isEmpty()) {
        return failure(QString::fromUtf8("Aucun dossier de sortie n'a été choisi : le fichier %1 n'a pas été "
                                         "écrit.")
                           .arg(nativeName(outputPath)));
    }
    if (pathTaken(outputPath))
        return alreadyThere(outputPath);

    QTemporaryFile staging(stagingTemplate(outputPath));
    if (!staging.open())
        return notWritten(outputPath, staging.errorString());
    staging.setTextModeEnabled(true);   // the platform's line ends

    const Result converted = direction(input, staging, QTextCodec::codecForLocale());
    if (!converted.readFailure.isEmpty()) {
        return failure(QString::fromUtf8("Le fichier %1 n'a pas pu être lu jusqu'au bout (%2). Rien n'a été écrit.")
                           .arg(nativeName(inputPath), converted.readFailure));
    }
    const QString refused = refusalMessage(converted, inputPath);
    if (!refused.isEmpty())
        return failure(refused);
    if (!converted.writeFailure.isEmpty())
        return notWritten(outputPath, converted.writeFailure);
    FileResult result = publish(staging, outputPath);
    result.messages = converted.messages;
    result.findings = converted.findings;
    return result;
}

Result convertBytes(Direction direction, const QByteArray &input, QByteArray *output)
{
    QByteArray bytes = input;
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    QBuffer out(output);
    out.open(QIODevice::WriteOnly);
    return direction(in, out, QTextCodec::codecForLocale());
}

} // namespace Conversion
