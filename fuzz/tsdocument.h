// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TSDOCUMENT_H
#define TSDOCUMENT_H

// A well-formed TS document built from the whole of what XML allows inside
// and around messages, each piece chosen by the bytes that libFuzzer gives.

#include <QByteArray>
#include <QStringList>

#include <fuzzer/FuzzedDataProvider.h>

class TsDocument
{
public:
    explicit TsDocument(FuzzedDataProvider &random) : m_random(random) {}

    // The document in the encoding and with the line ends that it chooses.
    QByteArray build();

private:
    int pick(int count) { return m_random.ConsumeIntegralInRange(0, count - 1); }
    bool maybe() { return m_random.ConsumeBool(); }
    template <typename T, size_t N>
    const T &oneOf(const T (&choices)[N]) { return choices[pick(int(N))]; }

    template <size_t N>
    void pieces(const char16_t *const (&choices)[N], int n, QLatin1String end);
    void space(bool required = false);
    void misc();
    void comment();
    void text(int pieces);
    void characters();
    void reference();
    void cdata();
    void byteElement();
    void attribute(const QString &name, const QString &value);
    void openTag(const QString &name, const QStringList &attributes = {});
    void element(const QString &name, int pieces);
    void message();
    void translation(bool numerus);
    void forms(const QString &name, int count);

    FuzzedDataProvider &m_random;
    QString m_doc;
    bool m_latin1 = false;   // a document in ISO-8859-1 holds no other characters
    bool m_entity = false;   // its document type declares &app;
};

#endif // TSDOCUMENT_H
