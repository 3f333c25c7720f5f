// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes, taken for a TS file: the export converts them where Qt's XML
// reader reads a TS document in them (but for what the README says it
// refuses on purpose), and refuses them where it does not; and each row of
// the table is then its message. Seeded with the rules' cases and real TS
// files, in UTF-8 and UTF-16, which libFuzzer mutates a byte at a time.

#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    const QByteArray ts(reinterpret_cast<const char *>(data), int(size));
    QVector<Oracle::Message> messages;
    QByteArray table;
    if (exportsAsQtReads(ts, &messages, &table)) {
        const QString differ = rowsDiffer(messages, table);
        FUZZ_CHECK(differ.isEmpty(), "%s\n%s", qPrintable(differ), shown(ts).constData());
    }
    return 0;
}
