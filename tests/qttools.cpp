// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "qttools.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace QtTools {

namespace {

// What Qt's tools say of any TS file without contexts or language: messages
// that share a source are one, and an unnamed language has one form.
bool onlyKnownNotices(const QString &output)
{
    static const QRegularExpression known("^(Warning: dropping duplicate messages|\\(try -verbose|Removed plural forms as "
                                          "the target language has less forms|If this sounds wrong, possibly the target)");
    const QStringList lines = output.section(": ", 1).split('\n', Qt::SkipEmptyParts);   // after "program: "
    return std::all_of(lines.begin(), lines.end(), [](const QString &line) { return known.match(line).hasMatch(); });
}

} // namespace

bool available()
{
    return !QString(QUORVALE_LCONVERT).isEmpty();
}

bool run(const QString &program, const QStringList &arguments, QString *output)
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

bool messages(const QString &tsPath, QVector<Message> *messages, QString *error, const QString &language)
{
    QTemporaryDir dir;
    const QString read = dir.filePath("read.ts");
    if (!run("lrelease", {"-silent", tsPath, "-qm", dir.filePath("read.qm")}, error) || !onlyKnownNotices(*error)
        || !run("lconvert", {"-target-language", language, "-i", tsPath, "-o", read}, error) || !onlyKnownNotices(*error))
        return false;
    return Oracle::readMessages(readFile(read), messages, error);
}

Pairs pairs(const QString &tsPath, const QString &language)
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

Pairs keptByQt(const Pairs &messages)
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

QString languageOf(const QString &tsPath)
{
    const QRegularExpression language("<TS[^>]* language=\"([^\"]+)\"");
    const QRegularExpressionMatch match = language.match(readFile(tsPath).left(4096));
    return match.hasMatch() ? match.captured(1) : "en";
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace QtTools
