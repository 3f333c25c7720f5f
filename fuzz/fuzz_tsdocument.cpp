// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Builds well-formed TS documents from the whole of what XML allows inside
// and around messages, exports each, and holds the table and the TS file
// that its import gives to what Qt's XML reader reads of the document:
//  - the table has a row for each message, whose cells, read by the
//    README's rules, are the message's source and translation (its numerus
//    forms, its length variants), with "UTF-8" where it is so marked;
//  - the TS file that the import makes of the table holds the same messages,
//    but for those without source and translation, which the table skips.
// The bytes that libFuzzer gives choose each piece of the document.

#include "fuzz_common.h"
#include "tsdocument.h"
#include "tsoracle.h"

#include <QTextCodec>

namespace {

// The document as text, to be shown where a property fails.
QByteArray shown(const QByteArray &ts)
{
    return QTextCodec::codecForUtfText(ts, QTextCodec::codecForName("ISO-8859-1"))->toUnicode(ts).toUtf8();
}

QString listed(const QStringList &forms)
{
    return QLatin1Char('[') + forms.join(QLatin1String("][")) + QLatin1Char(']');
}

// What a message keeps through the table: its source, its translation or
// forms, its encoding mark, and in a TS file whether it is a plural that has
// forms, which the table tells by the forms alone.
QString described(const Oracle::Message &message, bool plural = true)
{
    return message.source + QLatin1String(" | ") + listed(message.forms())
           + QLatin1String(message.utf8 ? " | UTF-8" : "")
           + QLatin1String(plural && message.numerus && !message.translation.isEmpty() ? " | plural" : "");
}

// Each row of the table, read by the README's rules, is its message; the
// messages that the import will give back are returned.
QVector<Oracle::Message> checkRows(const QByteArray &ts, const QVector<Oracle::Message> &messages,
                                   const QByteArray &tableBytes)
{
    const QStringList rows = QTextCodec::codecForLocale()->toUnicode(tableBytes).split(QLatin1Char('\n'));
    FUZZ_CHECK(rows.size() == messages.size() + 2, "%d rows for %d messages\n%s", rows.size() - 2, messages.size(),
               shown(ts).constData());
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
        FUZZ_CHECK(read && source.size() == 1 && described(row, false) == described(messages.at(i), false),
                   "row %d: %s\nread as: %s\nmessage: %s\n%s", i + 1, qPrintable(rows.at(i + 1)),
                   qPrintable(described(row, false)), qPrintable(described(messages.at(i), false)),
                   shown(ts).constData());
        if (!cells.at(0).isEmpty() || !cells.at(1).isEmpty())   // the import skips a row without either
            kept += messages.at(i);
    }
    return kept;
}

// The TS file that the import makes of the table holds the expected messages.
void checkImport(const QByteArray &ts, const QByteArray &tableBytes, const QVector<Oracle::Message> &expected)
{
    QByteArray back;
    const Conversion::Result imported = Conversion::convertBytes(Conversion::tableToTs, tableBytes, &back);
    QVector<Oracle::Message> messages;
    QString error;
    FUZZ_CHECK(!imported.textLost && !imported.invalidLine && Oracle::readMessages(back, &messages, &error),
               "import: %s\n%s", qPrintable(error), back.constData());
    FUZZ_CHECK(messages.size() == expected.size(), "%d messages back for %d\n%s\n%s", messages.size(),
               expected.size(), shown(ts).constData(), back.constData());
    for (int i = 0; i < expected.size(); ++i) {
        FUZZ_CHECK(described(messages.at(i)) == described(expected.at(i)), "message %d back: %s\nfor: %s\n%s\n%s",
                   i + 1, qPrintable(described(messages.at(i))), qPrintable(described(expected.at(i))),
                   shown(ts).constData(), back.constData());
    }
}

// A table in a code page whose bytes make valid UTF-8 as well ("é" and two
// no-break spaces, say) is read as UTF-8, as LibreOffice saves tables: the
// README says so.
bool readAsUtf8(const QByteArray &tableBytes)
{
    QTextCodec::ConverterState state;
    const QString text = QTextCodec::codecForName("UTF-8")->toUnicode(tableBytes, tableBytes.size(), &state);
    return QTextCodec::codecForLocale()->mibEnum() != 106 && state.invalidChars == 0
           && text.size() != tableBytes.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider random(data, size);
    // The table in UTF-8, or in a Windows code page where some characters are references.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName(random.ConsumeBool() ? "windows-1252" : "UTF-8"));
    const QByteArray ts = TsDocument(random).build();
    QVector<Oracle::Message> messages;
    QString error;
    FUZZ_CHECK(Oracle::readMessages(ts, &messages, &error), "a document that Qt does not read as TS: %s\n%s",
               qPrintable(error), shown(ts).constData());
    QByteArray table;
    const Conversion::Result exported = Conversion::convertBytes(Conversion::tsToTable, ts, &table);
    FUZZ_CHECK(!exported.notTs && !exported.declaresMarkup && !exported.invalidLine && !exported.tooLongLine,
               "export refused\n%s", shown(ts).constData());
    const QVector<Oracle::Message> kept = checkRows(ts, messages, table);
    if (!readAsUtf8(table))
        checkImport(ts, table, kept);
    return 0;
}
