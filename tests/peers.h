#ifndef PEERS_H
#define PEERS_H

// Qt's own Linguist tools, run as separate processes, and the readers that
// the tests compare the program's files with.

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

struct PoMessage
{
    QString context;
    QString source;
    QStringList translation;   // one text, or the numerus forms in order
    bool obsolete = false;
};

namespace Peers {

// Runs a tool and returns whether it exited with 0; its output goes to *output.
bool run(const QString &program, const QStringList &arguments, QString *output = nullptr);

QString lupdate();
QString lconvert();
QString lrelease();

// Writes a TS file with lupdate from C++ sources.
bool lupdateTs(const QStringList &sources, const QString &tsPath, const QString &language = QStringLiteral("fr"));

// The messages of a TS file as lconvert reads them (through PO). Any error
// or warning of lconvert's other than its notice about duplicates fails.
bool readTs(const QString &tsPath, QVector<PoMessage> *messages, QString *error,
            const QString &language = QStringLiteral("fr"));

// lrelease compiles the TS file without an error.
bool compiles(const QString &tsPath, QString *error);

// A table cell in TS form, read as XML text: its text, or its numerus forms.
QStringList decodeCell(const QString &cell, bool *ok = nullptr);

// The lines of a table file, cut at tabs, read in the locale's codec.
QVector<QStringList> readTable(const QString &path);

QString corpusDir();   // empty when the shared corpus is not beside the project

bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// The language a TS file names, for lconvert to read its numerus forms.
QString languageOf(const QString &tsPath);

using Pairs = QVector<QPair<QString, QStringList>>;   // (source, translation) in order

// The messages that Qt's tools keep of these once their contexts are gone:
// of those that share a source, the first that holds a translation.
Pairs keptByQt(const Pairs &messages);

} // namespace Peers

#endif // PEERS_H
