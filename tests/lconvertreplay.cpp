// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// TS files replayed through the export and through Qt's own lconvert, the
// judge: lconvert reads a file if and only if the export converts it, and
// then into the same rows; where both refuse it, they name the same line,
// wherever lconvert names one. The files are those given (the rules' cases,
// the fuzzers' corpora, real TS files) and, of each *.ts file among them,
// mutants such as accidents and editors make. Where the export parts from
// Qt's tools on purpose (the README says where), or lconvert names a later
// line than the fault, the file is counted under that name. Prints the
// counts; a disagreement is kept in the folder given, and fails the run.
//
//   lconvert-replay FOLDER MUTANTS-PER-FILE FILE-OR-FOLDER...

#include "fuzz_common.h"
#include "qttools.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QMap>
#include <QRandomGenerator>

namespace {

// A mutant of a TS file, as real accidents and editors make them: cut
// short, a stray character or line, a misspelt end tag, white space between
// elements written as a reference, another XML declaration or document
// type, a damaged byte.
QByteArray mutant(QByteArray ts, QRandomGenerator &random)
{
    static const QList<QByteArray> strays = {
        "=", "<", "&", "\"", "'", ">", "]]>", "&#0;", "&nbsp;", "\xff", "\xc3", "<<<<<<< HEAD\n", "=======\n",
        ">>>>>>> theirs\n", "<!-- a -- b -->", "<!-- note -->", "<?pi data?>", "<extra-x>y</extra-x>", "<unknown/>",
        "text", "\n"};
    static const QList<QByteArray> spaces = {"&#32;", "&#9;", "<![CDATA[ ]]>", "&#xa0;", "\xc2\xa0"};
    static const QList<QByteArray> starts = {
        "<?xml version=\"1.0\" encoding=utf-8?>", "<?xml version=\"1.0\" encoding=\"utf-9\"?>",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", "<?xml version=\"1.0\" encoding=\"UTF-16\"?>",
        "\n<?xml version=\"1.0\"?>", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><!DOCTYPE TS>",
        "<!DOCTYPE TS []>", "<!DOCTYPE TS [<!ENTITY a \"b\">]>", "<!DOCTYPE TS [<!-- c --><!ELEMENT TS ANY>]>",
        "<!DOCTYPE TS SYSTEM \"ts.dtd\">", "<!DOCTPYE TS>", "<!DOCTYPE TS", "<!DOCTYPE TS>\n<!DOCTYPE TS>"};
    const auto oneOf = [&](const QList<QByteArray> &pieces) { return pieces.at(random.bounded(pieces.size())); };
    const auto at = [&](const QByteArray &what) {   // where the text holds it, at random, or -1
        QVector<int> found;
        for (int i = ts.indexOf(what); i >= 0; i = ts.indexOf(what, i + 1))
            found += i;
        return found.isEmpty() ? -1 : found.at(random.bounded(found.size()));
    };
    const int anywhere = random.bounded(ts.size() + 1);
    const int tag = at(random.bounded(2) ? "<" : "</");
    const int start = ts.indexOf("<TS");
    switch (random.bounded(6)) {
    case 0: return ts.left(anywhere);
    case 1: return ts.insert(random.bounded(2) || tag < 0 ? anywhere : tag, oneOf(strays));
    case 2: return tag < 0 || ts.at(tag + 1) != '/' ? ts : ts.replace(tag + 2 + random.bounded(2), 1, "x");
    case 3: return tag < 0 ? ts : ts.insert(tag, oneOf(spaces));
    case 4: return start < 0 ? ts : ts.replace(0, start, oneOf(starts) + '\n');
    default: return anywhere == ts.size() ? ts : ts.replace(anywhere, 1, QByteArray(1, char(random.bounded(256))));
    }
}

// How lconvert and the export agree on the file, or nothing, and why not.
QString agreement(const QString &folder, const QByteArray &ts, QString *why)
{
    const QString input = folder + "/input.ts", output = folder + "/output.ts";
    QFile::remove(output);
    QtTools::writeFile(input, ts);
    QString said;
    const bool read = QtTools::run("lconvert", {"-target-language", "ar", "-i", input, "-o", output}, &said);
    QByteArray table;
    const Conversion::Result exported = Conversion::convertBytes(Conversion::tsToTable, ts, &table);
    const bool converted = exported.refusal == Conversion::Refusal::None;
    QVector<Oracle::Message> messages;
    if (read && converted && said.contains("dropping duplicate messages"))
        return "both read, lconvert dropping duplicate messages: rows not compared";
    if (read && converted) {
        if (Oracle::readMessages(QtTools::readFile(output), &messages, why))
            *why = rowsDiffer(messages, table, {}, true);
        // Qt's decoder of UTF-8 drops a U+FEFF that opens one of lconvert's
        // reads, where all before it was ASCII.
        if (!why->isEmpty() && rowsDiffer(messages, table.replace("\xef\xbb\xbf", ""), {}, true).isEmpty())
            return "both read, lconvert dropping a U+FEFF at the edge of its reads";
        return why->isEmpty() ? "both read, into the same rows" : QString();
    }
    *why = QString("lconvert: %1\nthe export: refusal %2 at line %3, %4")
               .arg(said).arg(int(exported.refusal)).arg(exported.line).arg(exported.detail);
    using Conversion::Refusal;
    const QString departure = exported.refusal == Refusal::InvalidBytes     ? "text not valid in its encoding"
                              : exported.refusal == Refusal::DeclaresMarkup ? "declared entities or attributes"
                              : exported.detail.contains("U+0000")          ? "U+0000" : "";
    if (read || converted)
        return read && !departure.isEmpty() ? "refused by the export alone, on purpose: " + departure : QString();
    const QRegularExpressionMatch match = QRegularExpression("input\\.ts:(\\d+):(\\d+)").match(said);
    const qint64 line = match.captured(1).toLongLong();
    if (!match.hasMatch() || line == exported.line)
        return match.hasMatch() ? "both refuse, at the same line" : "both refuse, lconvert names no line";
    if (!departure.isEmpty())
        return "both refuse, the export first at what it refuses on purpose: " + departure;
    int offset = 0;   // of lconvert's line and column, in a file whose lines end in LF
    for (qint64 l = 1; l < line && offset >= 0; ++l)
        offset = ts.indexOf('\n', offset) < 0 ? -1 : ts.indexOf('\n', offset) + 1;
    offset += match.captured(2).toInt();
    if (said.contains("Premature end") && offset > 0 && offset + 2 < ts.size() && qAbs((offset + 2) % 8192 - 2) <= 2)
        return "both refuse, lconvert ending the document early at the edge of one of its reads of 8 KiB";
    if (said.contains("Encountered incorrectly encoded content"))
        return "both refuse, lconvert at bytes not valid in the encoding, on the line where its read of them began";
    if (exported.detail.contains("un commentaire se trouve") && line > exported.line)
        return "both refuse, at a comment in a text or among forms, where lconvert names a later line";
    return QString();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    QStringList arguments = application.arguments().mid(1);
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: lconvert-replay FOLDER MUTANTS-PER-FILE FILE-OR-FOLDER...\n");
        return 2;
    }
    const QString folder = arguments.takeFirst();
    const int mutants = arguments.takeFirst().toInt();
    QStringList paths;
    for (const QString &argument : arguments) {
        for (QDirIterator files(argument, QDir::Files, QDirIterator::Subdirectories); files.hasNext();)
            paths += files.next();
        paths += QFileInfo(argument).isFile() ? QStringList{argument} : QStringList();
    }
    paths.sort();   // the same mutants in every run
    QRandomGenerator random(2026);
    QMap<QString, int> counts;   // how lconvert and the export agreed, with how many files
    int files = 0, disagreements = 0;
    for (const QString &path : paths) {
        const QByteArray original = QtTools::readFile(path);
        for (int n = path.endsWith(".ts") ? mutants : 0; n >= 0; --n, ++files) {
            const QByteArray ts = n == 0 ? original : mutant(original, random);
            QString why;
            const QString agreed = agreement(folder, ts, &why);
            ++counts[agreed];
            if (agreed.isEmpty()) {
                const QString kept = QString("%1/disagreement-%2.ts").arg(folder).arg(++disagreements);
                QtTools::writeFile(kept, ts);
                std::fprintf(stderr, "lconvert and the export disagree on %s:\n%s\n", qPrintable(kept),
                             qPrintable(why.left(500)));
            }
        }
    }
    counts.remove(QString());
    for (auto count = counts.cbegin(); count != counts.cend(); ++count)
        std::printf("  %6d %s\n", count.value(), qPrintable(count.key()));
    std::printf("lconvert-replay: %d files, %d disagreements\n", files, disagreements);
    return disagreements == 0 ? 0 : 1;
}
