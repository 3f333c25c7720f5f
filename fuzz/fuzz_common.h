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
// spreadsheet would take for a formula. Returns the messages that the
// import gives back: those with a source or a translation.
inline QVector<Oracle::Message> checkRows(const QByteArray &ts, const QVector<Oracle::Message> &messages,
                                          const QByteArray &tableBytes)
{
    const QString table = QTextCodec::codecForLocale()->toUnicode(tableBytes);
    const QStringList rows = table.split(QLatin1Char('\n'));
    FUZZ_CHECK(rows.size() == messages.size() + 2 && rows.first() == QLatin1String("Origine \tTraduction")
                   && rows.last().isEmpty() && !table.contains(QLatin1Char('\r')),
               "%d rows for %d messages\n%s", rows.size() - 2, messages.size(), shown(ts).constData());
    QVector<Oracle::Message> kept;
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
        FUZZ_CHECK(read && !formula && source.size() == 1 && described(row, false) == described(messages.at(i), false),
                   "row %d: %s\nread as: %s\nmessage: %s\n%s", i + 1, qPrintable(rows.at(i + 1)),
                   qPrintable(described(row, false)), qPrintable(described(messages.at(i), false)),
                   shown(ts).constData());
        if (!cells.at(0).isEmpty() || !cells.at(1).isEmpty())   // the import skips a row without either
            kept += messages.at(i);
    }
    return kept;
}

#endif // FUZZ_COMMON_H
