// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef QTTOOLS_H
#define QTTOOLS_H

// Qt's own Linguist tools, run as the programs that a developer runs, and
// the messages of a TS file as they read it.

#include "tsoracle.h"

#include <QPair>

namespace QtTools {

using Message = Oracle::Message;
using Pairs = QVector<QPair<QString, QStringList>>;   // sources and translations

// Whether lupdate, lconvert and lrelease can run here (not from a Windows
// program under Wine).
bool available();

// Runs "lupdate", "lconvert", "lrelease" or another program; true when it
// exits with 0. What it printed goes to *output.
bool run(const QString &program, const QStringList &arguments, QString *output = nullptr);

// The messages of a TS file as lconvert reads them, given the language of
// its numerus forms; false, with the reason, when lconvert or lrelease
// fails or warns of anything but what any file without contexts or language
// brings.
bool messages(const QString &tsPath, QVector<Message> *messages, QString *error, const QString &language = "fr");
Pairs pairs(const QString &tsPath, const QString &language);   // none, with a warning, on failure

// Of messages that share a source, Qt's tools keep the first that holds a
// translation once their contexts are gone.
Pairs keptByQt(const Pairs &messages);

QString languageOf(const QString &tsPath);

QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &bytes);

// Text as a file holds it on this system: with CR LF line ends on Windows.
inline QByteArray platformText(QByteArray text)
{
#ifdef Q_OS_WIN
    text.replace('\n', "\r\n");
#endif
    return text;
}

} // namespace QtTools

#endif // QTTOOLS_H
