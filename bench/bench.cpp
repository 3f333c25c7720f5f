// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Converts one file the way the window does, so that a whole run can be
// timed and measured from outside:
//   quorvale-bench export IN.ts OUT.csv
//   quorvale-bench import IN.txt OUT.ts
//   quorvale-bench copy IN OUT      (the floor: a plain QTextStream line copy)
// It prints the number of rows or messages written, or the error; an import
// prints what it found in the translations to the standard error.
// It also makes the benchmark's inputs:
//   quorvale-bench generate MEGABYTES OUT.ts   a TS file in lupdate's layout
//   quorvale-bench fill IN.csv OUT.txt         the exported table, translated
// Both print the number of messages they wrote. And the inputs whose time
// must grow in proportion to them, and whose memory must not:
//   quorvale-bench large KIND-SIZE OUT
// KIND-SIZE is cdata-N (N CDATA sections of ']' before a '>' in a source),
// quotes-MB (a one-line source of MB megabytes of '"'), lines-MIB (a source
// of two lines of MIB Mi characters), comment-MB (a comment of MB megabytes
// before a message), controls-MIB (a table's line of MIB Mi control characters).

#include "fileconversion.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <QIODevice>

#include <cstdio>

namespace {

Conversion::Result copyLines(QIODevice &input, QIODevice &output, QTextCodec *)
{
    QTextStream in(&input);
    QTextStream out(&output);
    Conversion::Result result;
    QString line;
    while (in.readLineInto(&line)) {
        out << line << '\n';
        ++result.messages;
    }
    return result;
}

// A TS file as lupdate writes it, in UTF-8: contexts, locations, comments, multi-line
// and numerus messages, non-ASCII text, a third of it unfinished.
qint64 generateTs(qint64 bytes, QTextStream &out)
{
    out.setCodec("UTF-8");
    out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\" language=\"fr_FR\">\n";
    qint64 messages = 0;
    for (int context = 0; out.device()->pos() < bytes; ++context) {
        out << "<context>\n    <name>Dialog" << context << "</name>\n";
        for (int i = 0; i < 40; ++i, ++messages) {
            const int kind = int(messages % 12);
            out << (kind == 7 ? "    <message numerus=\"yes\">\n" : "    <message>\n");
            out << "        <location filename=\"../src/dialogs/dialog" << context << ".cpp\" line=\"" << 20 + i * 7
                << "\"/>\n";
            if (kind % 4 == 1)
                out << "        <location filename=\"../src/forms/dialog" << context << ".ui\" line=\"" << i << "\"/>\n";
            switch (kind) {
            case 2:
                out << "        <source>Could not open the file &quot;%1&quot;:\n%2</source>\n";
                break;
            case 5:
                out << "        <source>&lt;b&gt;Warning&lt;/b&gt; message " << messages
                    << " &amp; more text</source>\n        <comment>status bar</comment>\n";
                break;
            case 7:
                out << "        <source>%n file(s) copied in pass " << messages << "</source>\n";
                break;
            case 9:
                out << "        <source>Caf\u00e9 cr\u00e8me \u2014 \u65e5\u672c\u8a9e " << messages << "</source>\n"
                    << "        <extracomment>Shown in the menu</extracomment>\n";
                break;
            default:
                out << "        <source>Text of message " << messages << " in the dialog</source>\n";
                break;
            }
            if (kind == 7) {
                out << "        <translation>\n            <numerusform>%n fichier copi\u00e9</numerusform>\n"
                       "            <numerusform>%n fichiers copi\u00e9s</numerusform>\n        </translation>\n";
            } else if (i % 3 == 0) {
                out << "        <translation type=\"unfinished\"></translation>\n";
            } else if (kind == 2) {
                out << "        <translation>Impossible d&apos;ouvrir le fichier &quot;%1&quot; :\n%2</translation>\n";
            } else {
                out << "        <translation>Texte du message " << messages << " dans la bo\u00eete</translation>\n";
            }
            out << "    </message>\n";
        }
        out << "</context>\n";
    }
    out << "</TS>\n";
    return messages;
}

// The exported table with every empty translation typed in, as the
// spreadsheet saves it: some cells quoted, a few over two lines.
qint64 fillTable(QTextStream &in, QTextStream &out)
{
    static const QRegularExpression placeMarker(QStringLiteral("%\\d+"));
    out.setCodec("UTF-8");   // LibreOffice's default, on every system
    QString line;
    qint64 rows = 0;
    in.readLineInto(&line);
    out << line << '\n';
    while (in.readLineInto(&line)) {
        const int tab = line.indexOf(QLatin1Char('\t'));
        if (line.size() == tab + 1) {
            // The translator keeps the source's place markers.
            QString markers;
            for (auto match = placeMarker.globalMatch(line.leftRef(tab)); match.hasNext();)
                markers += QLatin1Char(' ') + match.next().captured();
            if (rows % 40 == 0)
                out << line.leftRef(tab) << "\t\"Traduction \"\"" << rows << "\"\"\nsur deux lignes" << markers
                    << "\"\n";
            else
                out << line << "Traduction saisie " << rows << " & co" << markers << '\n';
        } else {
            out << line << '\n';
        }
        ++rows;
    }
    return rows;
}

// One of the large inputs, made as it is written out.
bool writeLarge(const QString &kindAndSize, QIODevice &out)
{
    const QString kind = kindAndSize.section(QLatin1Char('-'), 0, 0);
    const qint64 size = kindAndSize.section(QLatin1Char('-'), 1).toLongLong();
    const QByteArray open = "<TS><context><message><source>", close = "</source></message></context></TS>\n";
    const auto repeated = [&](const QByteArray &piece, qint64 count) {
        const QByteArray block = piece.repeated(int(qMin<qint64>(count, 1 << 16)));
        for (qint64 done = 0; done < count; done += 1 << 16) {
            if (out.write(count - done >= (1 << 16) ? block : piece.repeated(int(count - done))) < 0)
                return false;
        }
        return true;
    };
    if (kind == QLatin1String("controls"))
        return repeated("\x01", size * 1024 * 1024 - 16) && out.write("\tb\n") == 3;
    // A comment stands before the message, where Qt's tools read one.
    if (kind == QLatin1String("comment")
        && !(out.write("<!--") == 4 && repeated("a", size * 1000 * 1000) && out.write("-->") == 3))
        return false;
    if (out.write(open) < 0)
        return false;
    bool written = false;
    if (kind == QLatin1String("cdata"))
        written = repeated("<![CDATA[]]]>>", size);
    else if (kind == QLatin1String("quotes"))
        written = repeated("\"", size * 1000 * 1000);
    else if (kind == QLatin1String("lines"))
        written = repeated("a", size * 1024 * 1024) && out.write("\n") == 1 && repeated("a", size * 1024 * 1024);
    else
        written = kind == QLatin1String("comment");
    return written && out.write(close) == close.size();
}

Conversion::Result converted(qint64 count)
{
    Conversion::Result result;
    result.messages = count;
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: quorvale-bench export|import|copy IN OUT\n");
        return 2;
    }
    if (args.at(1) == QLatin1String("generate") || args.at(1) == QLatin1String("large")) {   // read nothing
        QFile file(args.at(3));
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "%s\n", qPrintable(file.errorString()));
            return 1;
        }
        if (args.at(1) == QLatin1String("large"))
            return writeLarge(args.at(2), file) && file.flush() ? 0 : 1;
        QTextStream out(&file);
        std::printf("%lld\n", static_cast<long long>(generateTs(args.at(2).toLongLong() * 1000 * 1000, out)));
        return 0;
    }
    Conversion::Direction direction = nullptr;
    if (args.at(1) == QLatin1String("fill"))
        direction = [](QIODevice &in, QIODevice &out, QTextCodec *) {
            QTextStream from(&in);
            QTextStream to(&out);
            return converted(fillTable(from, to));
        };
    else if (args.at(1) == QLatin1String("export"))
        direction = Conversion::tsToTable;
    else if (args.at(1) == QLatin1String("import"))
        direction = Conversion::tableToTs;
    else if (args.at(1) == QLatin1String("copy"))
        direction = copyLines;
    if (!direction) {
        std::fprintf(stderr, "unknown mode\n");
        return 2;
    }
    const QString output = args.at(3);
    const Conversion::FileResult result =
        Conversion::convertFile(args.at(2), QFileInfo(output).path(), output, direction);
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(result.error));
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(result.messages));
    for (const QString &finding : result.findings.first)
        std::fprintf(stderr, "%s\n", qPrintable(finding));
    return 0;
}
