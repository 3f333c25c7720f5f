// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef FUZZ_COMMON_H
#define FUZZ_COMMON_H

// What the fuzzers share: a conversion of bytes, and the properties that
// hold a TS file, its table and the TS file that comes back to what Qt's
// XML reader reads of the TS file (tsoracle.h).

#include "fileconversion.h"
#include "tsoracle.h"

#include <QTextCodec>

#include <cstdio>
#include <cstdlib>

// A property that does not hold: libFuzzer keeps the input that broke it.
#define FUZZ_CHECK(condition, ...)                                                                                      \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "property failed: %s\n", #condition);                                                 \
            std::fprintf(stderr, __VA_ARGS__);                                                                         \
            std::fprintf(stderr, "\n");                                                                                \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

// A TS file as text, to be shown where a property fails.
inline QByteArray shown(const QByteArray &ts)
{
    return QTextCodec::codecForUtfText(ts, QTextCodec::codecForName("ISO-8859-1"))->toUnicode(ts).toUtf8();
}

// What a message keeps through the table: its source, its translation or
// forms, its encoding mark, and in a TS file whether it is a plural that has
// forms, which the table tells by the forms alone.
inline QString described(const Oracle::Message &message, bool plural = true)
{
    return message.source + QLatin1String(" | [") + message.forms().join(QLatin1String("][")) + QLatin1Char(']')
           + QLatin1String(message.utf8 ? " | UTF-8" : "")
           + QLatin1String(plural && message.numerus && !message.translation.isEmpty() ? " | plural" : "");
}

// The export converts a TS file where the judge reads a TS file in it, and
// refuses it where it does not. Returns whether it was read, and then its
// messages and its table.
inline bool exportsAsQtReads(const QByteArray &ts, QVector<Oracle::Message> *messages, QByteArray *table)
{
    QString error;
    const bool read = Oracle::readMessages(ts, messages, &error);
    const Conversion::Result exported = Conversion::convertBytes(Conversion::tsToTable, ts, table);
    const bool converted = exported.refusal == Conversion::Refusal::None;
    FUZZ_CHECK(read == converted, "Qt's reader: %s; the export: %s (refusal %d at line %lld, %s)\n%s",
               read ? "read" : qPrintable(error), converted ? "converted" : "refused", int(exported.refusal),
               static_cast<long long>(exported.line), qPrintable(exported.detail), shown(ts).constData());
    return read;
}

// The table has a row for each message, whose cells, read by the README's
// rules, are the message's source and translation, and none of which a
// spreadsheet would take for a formula: the first row where it is not so,
// described, or nothing. The messages that the import gives back (those with
// a source or a translation) go to *kept. Where the messages are those that
// lconvert wrote, which pads the forms of a plural with empty ones and drops
// Qt 4's encoding mark, the forms are compared up to the last filled one,
// and the mark not at all.
inline QString rowsDiffer(const QVector<Oracle::Message> &messages, const QByteArray &tableBytes,
                          QVector<Oracle::Message> *kept = nullptr, bool byLconvert = false)
{
    const auto filled = [byLconvert](Oracle::Message message) {
        while (byLconvert && !message.translation.isEmpty() && message.translation.last().isEmpty())
            message.translation.removeLast();
        message.utf8 = message.utf8 && !byLconvert;
        return described(message, false);
    };
    const QString table = QTextCodec::codecForLocale()->toUnicode(tableBytes);
    const QStringList rows = table.split(QLatin1Char('\n'));
    if (rows.size() != messages.size() + 2 || rows.first() != QLatin1String("Origine \tTraduction")
        || !rows.last().isEmpty() || table.contains(QLatin1Char('\r')))
        return QStringLiteral("%1 rows for %2 messages").arg(rows.size() - 2).arg(messages.size());
    for (int i = 0; i < messages.size(); ++i) {
        const QStringList cells = rows.at(i + 1).split(QLatin1Char('\t'));
        QStringList source, translation;
        const bool read = cells.size() >= 2 && Oracle::readCell(cells.at(0), &source)
                          && Oracle::readCell(cells.at(1), &translation);
        Oracle::Message row;
        row.source = source.value(0);
        row.translation = translation;
        row.utf8 = cells.size() == 3 && cells.at(2) == QLatin1String("UTF-8");
        const bool formula = std::any_of(cells.begin(), cells.end(), [](const QString &cell) {
            return !cell.isEmpty() && QStringLiteral("\"=+-@").contains(cell.at(0));
        });
        if (!read || formula || source.size() != 1 || filled(row) != filled(messages.at(i))) {
            return QStringLiteral("row %1: %2\nread as: %3\nmessage: %4")
                .arg(i + 1).arg(rows.at(i + 1), filled(row), filled(messages.at(i)));
        }
        if (kept && (!cells.at(0).isEmpty() || !cells.at(1).isEmpty()))   // the import skips a row without either
            *kept += messages.at(i);
    }
    return QString();
}

#endif // FUZZ_COMMON_H
