// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes read as a table give a well-formed TS file with one message
// per message written; and that TS, exported and imported again, gives the
// same TS: import, export, import is stable.

#include "fuzz_common.h"

#include <QXmlStreamReader>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));   // the TS file, as the table
    QByteArray tsBytes;
    const Conversion::Result imported = Conversion::convertBytes(
        Conversion::tableToTs, QByteArray(reinterpret_cast<const char *>(data), int(size)), &tsBytes);
    const QString ts = QTextCodec::codecForLocale()->toUnicode(tsBytes);

    QXmlStreamReader xml(ts);
    qint64 messages = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("message"))
            ++messages;
    }
    FUZZ_CHECK(!xml.hasError(), "not well-formed: %s at line %lld\n%s", qPrintable(xml.errorString()),
               static_cast<long long>(xml.lineNumber()), qPrintable(ts));
    FUZZ_CHECK(messages == imported.messages, "%lld messages, %lld counted", static_cast<long long>(messages),
               static_cast<long long>(imported.messages));

    QByteArray table, again;
    const Conversion::Result exported = Conversion::convertBytes(Conversion::tsToTable, tsBytes, &table);
    FUZZ_CHECK(exported.messages == imported.messages, "export gave %lld rows for %lld messages",
               static_cast<long long>(exported.messages), static_cast<long long>(imported.messages));
    Conversion::convertBytes(Conversion::tableToTs, table, &again);
    FUZZ_CHECK(again == tsBytes, "import, export, import differs:\n%s\n---\n%s", tsBytes.constData(),
               again.constData());
    return 0;
}
