#ifndef QTTOOLS_H
#define QTTOOLS_H

// Qt's own Linguist tools, run as the programs that a developer runs, and
// the reading of TS text that the tests compare with what they read.

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

namespace QtTools {

struct Message
{
    QString context;
    QString comment;
    QString source;
    QStringList translation;   // its text, or its numerus forms; length variants joined by U+2762
};

// Whether lupdate, lconvert and lrelease can run here (not from a Windows
// program under Wine).
bool available();

// Runs lupdate, lconvert, lrelease or another program; true when it exits
// with 0. Its output, standard error included, goes to *output.
bool run(const QString &program, const QStringList &arguments, QString *output = nullptr);

// The messages of a TS file as lconvert reads them, given the language for
// its numerus forms; false, with the reason, when lconvert fails or warns
// of anything but the duplicates that a file without contexts holds.
bool messages(const QString &tsPath, QVector<Message> *messages, QString *error,
              const QString &language = QStringLiteral("fr"));

// Each message's source and translation, as lconvert reads them; none, with
// a warning, when it cannot.
using Pairs = QVector<QPair<QString, QStringList>>;
Pairs pairs(const QString &tsPath, const QString &language);

// Of messages that share a source, Qt's tools keep the first that holds a
// translation once their contexts are gone.
Pairs keptByQt(const Pairs &messages);

// The language that a TS file names, for its numerus forms.
QString languageOf(const QString &tsPath);

// lrelease compiles the TS file without a complaint.
bool compiles(const QString &tsPath, QString *error);

// A table cell read as the TS text that it holds, as a message's translation.
QStringList cellText(const QString &cell, bool *wellFormed = nullptr);

QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &bytes);

} // namespace QtTools

#endif // QTTOOLS_H
