// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef QTTOOLS_H
#define QTTOOLS_H

// Qt's own Linguist tools, run as the programs that a developer runs, and
// the messages of a TS file as they read it; files read and written whole.

#include "tsoracle.h"

#include <QDir>
#include <QFile>
#include <QPair>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace QtTools {

using Message = Oracle::Message;
using Pairs = QVector<QPair<QString, QStringList>>;   // sources and translations

// Whether lupdate, lconvert and lrelease can run here (not from a Windows
// program under Wine).
inline bool available()
{
    return !QString(QUORVALE_LCONVERT).isEmpty();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// What a folder holds, hidden files included.
inline QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// A TS file of that many messages, as lupdate lays them out.
inline QByteArray lupdateMessages(int count)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\">\n<context>\n"
           + QByteArray("    <message>\n        <source>Open the file</source>\n        <translation>Ouvrir le "
                        "fichier</translation>\n    </message>\n")
                 .repeated(count)
           + "</context>\n</TS>\n";
}

// Text as a file holds it on this system: with CR LF line ends on Windows.
inline QByteArray platformText(QByteArray text)
{
#ifdef Q_OS_WIN
    text.replace('\n', "\r\n");
#endif
    return text;
}

// Runs "lupdate", "lconvert", "lrelease" or another program; true when it
// exits with 0. What it printed goes to *output.
inline bool run(const QString &program, const QStringList &arguments, QString *output = nullptr)
{
    const QMap<QString, QString> tools{{"lupdate", QUORVALE_LUPDATE}, {"lconvert", QUORVALE_LCONVERT},
                                       {"lrelease", QUORVALE_LRELEASE}};
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tools.value(program, program), arguments);
    process.closeWriteChannel();
    const bool finished = process.waitForFinished(300000);
    if (output)
        *output = program + ": " + (finished ? QString::fromLocal8Bit(process.readAll()) : process.errorString());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// What Qt's tools say of any TS file without contexts or language: messages
// that share a source are one, and an unnamed language has one form.
inline bool onlyKnownNotices(const QString &output)
{
    static const QRegularExpression known("^(Warning: dropping duplicate messages|\\(try -verbose|Removed plural forms as "
                                          "the target language has less forms|If this sounds wrong, possibly the target)");
    const QStringList lines = output.section(": ", 1).split('\n', Qt::SkipEmptyParts);   // after "program: "
    return std::all_of(lines.begin(), lines.end(), [](const QString &line) { return known.match(line).hasMatch(); });
}

// The messages of a TS file as lconvert reads them, given the language of
// its numerus forms; false, with the reason, when lconvert or lrelease
// fails or warns of anything but what any file without contexts or language
// brings.
inline bool messages(const QString &tsPath, QVector<Message> *messages, QString *error, const QString &language = "fr")
{
    QTemporaryDir dir;
    const QString read = dir.filePath("read.ts");
    if (!run("lrelease", {"-silent", tsPath, "-qm", dir.filePath("read.qm")}, error) || !onlyKnownNotices(*error)
        || !run("lconvert", {"-target-language", language, "-i", tsPath, "-o", read}, error) || !onlyKnownNotices(*error))
        return false;
    return Oracle::readMessages(readFile(read), messages, error);
}

// The sources and translations of a TS file; none, with a warning, where
// Qt's tools do not read it.
inline Pairs pairs(const QString &tsPath, const QString &language)
{
    QVector<Message> read;
    QString error;
    if (!messages(tsPath, &read, &error, language))
        qWarning("%s", qPrintable(error));
    Pairs pairs;
    for (const Message &message : read)
        pairs += {message.source, message.translation};
    return pairs;
}

// Of messages that share a source, Qt's tools keep the first that holds a
// translation once their contexts are gone.
inline Pairs keptByQt(const Pairs &messages)
{
    Pairs kept;
    for (const auto &message : messages) {
        auto same = std::find_if(kept.begin(), kept.end(), [&](const auto &k) { return k.first == message.first; });
        if (same == kept.end())
            kept += message;
        else if (same->second.join(QString()).isEmpty())
            same->second = message.second;
    }
    return kept;
}

inline QString languageOf(const QString &tsPath)
{
    const QRegularExpression language("<TS[^>]* language=\"([^\"]+)\"");
    const QRegularExpressionMatch match = language.match(readFile(tsPath).left(4096));
    return match.hasMatch() ? match.captured(1) : "en";
}

} // namespace QtTools

#endif // QTTOOLS_H
