// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Builds well-formed TS documents from the whole of what XML allows inside
// and around messages, exports each, and holds the table and the TS file
// that its import gives to what Qt's XML reader reads of the document:
//  - the export converts the document where the reader reads a TS file in
//    it (it refuses a document type that declares markup), and then
//  - the table has a row for each message, whose cells, read by the
//    README's rules, are the message's source and translation (its numerus
//    forms, its length variants), with "UTF-8" where it is so marked;
//  - the TS file that the import makes of the table holds the same messages,
//    but for those without source and translation, which the table skips.
// The bytes that libFuzzer gives choose each piece of the document.

#include "fuzz_common.h"
#include "tsdocument.h"

namespace {

// The TS file that the import makes of the table holds the expected messages.
void checkImport(const QByteArray &ts, const QByteArray &tableBytes, const QVector<Oracle::Message> &expected)
{
    QByteArray back;
    const Conversion::Result imported = Conversion::convertBytes(Conversion::tableToTs, tableBytes, &back);
    QVector<Oracle::Message> messages;
    QString error;
    FUZZ_CHECK(imported.refusal == Conversion::Refusal::None && Oracle::readMessages(back, &messages, &error),
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
    QByteArray table;
    if (!exportsAsQtReads(ts, &messages, &table))
        return 0;   // a document type that declares markup
    QVector<Oracle::Message> kept;
    const QString differ = rowsDiffer(messages, table, &kept);
    FUZZ_CHECK(differ.isEmpty(), "%s\n%s", qPrintable(differ), shown(ts).constData());
    if (!readAsUtf8(table))
        checkImport(ts, table, kept);
    return 0;
}
