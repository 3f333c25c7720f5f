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

template <size_t N>
QByteArray oneOf(const char *const (&choices)[N], QRandomGenerator &random)
{
    return choices[random.bounded(int(N))];
}

// A mutant of a TS file, as real accidents and editors make them.
QByteArray mutant(QByteArray ts, QRandomGenerator &random)
{
    // A place where the text holds what, at random, or -1.
    const auto at = [&](const QByteArray &what) {
        QVector<int> found;
        for (int i = ts.indexOf(what); i >= 0; i = ts.indexOf(what, i + 1))
            found += i;
        return found.isEmpty() ? -1 : found.at(random.bounded(found.size()));
    };
    static const char *const strays[] = {"=", "<", "&", "\"", "'", ">", "]]>", "&#0;", "&nbsp;", "\xff", "\xc3"};
    static const char *const lines[] = {"<<<<<<< HEAD\n", "=======\n", ">>>>>>> theirs\n", "<!-- a -- b -->",
                                        "<!-- note -->", "<?pi data?>", "<extra-x>y</extra-x>", "<unknown/>",
                                        "text", "\n"};
    static const char *const spaces[] = {"&#32;", "&#9;", "<![CDATA[ ]]>", "&#xa0;", "\xc2\xa0"};
    static const char *const declarations[] = {
        "<?xml version=\"1.0\" encoding=utf-8?>", "<?xml version=\"1.0\" encoding=\"utf-9\"?>",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", "<?xml version=\"1.0\" encoding=\"UTF-16\"?>",
        "\n<?xml version=\"1.0\"?>", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>"};
    static const char *const documentTypes[] = {
        "<!DOCTYPE TS []>", "<!DOCTYPE TS [<!ENTITY a \"b\">]>", "<!DOCTYPE TS [<!-- c --><!ELEMENT TS ANY>]>",
        "<!DOCTYPE TS SYSTEM \"ts.dtd\">", "<!DOCTPYE TS>", "<!DOCTYPE TS", "<!DOCTYPE TS>\n<!DOCTYPE TS>"};
    const int anywhere = random.bounded(ts.size() + 1);
    const int declarationEnd = ts.startsWith("<?xml") ? ts.indexOf("?>") + 2 : 0;
    const int documentType = ts.indexOf("<!DOCTYPE TS>");
    int tag;
    switch (random.bounded(8)) {
    case 0: return ts.left(anywhere);   // cut short
    case 1: return ts.insert(anywhere, oneOf(strays, random));
    case 2:   // an end tag misspelt
        if ((tag = at("</")) >= 0)
            ts[tag + 2 + random.bounded(2)] = 'x';
        return ts;
    case 3: return (tag = at("<")) >= 0 ? ts.insert(tag, oneOf(lines, random)) : ts;
    case 4: return (tag = at(">")) >= 0 ? ts.insert(tag + 1, oneOf(spaces, random)) : ts;
    case 5: return ts.replace(0, declarationEnd, oneOf(declarations, random));
    case 6:
        return documentType >= 0 ? ts.replace(documentType, 13, oneOf(documentTypes, random))
                                 : ts.insert(declarationEnd, oneOf(documentTypes, random));
    default:   // a byte damaged
        if (anywhere < ts.size())
            ts[anywhere] = char(random.bounded(256));
        return ts;
    }
}

class Replay
{
public:
    explicit Replay(const QString &folder) : m_folder(folder) {}

    // Replays a file; true where lconvert and the export agree.
    bool replay(const QByteArray &ts);
    void print() const;

private:
    QString agreement(const QByteArray &ts, QString *why);

    QString m_folder;
    QMap<QString, int> m_counts;
    int m_disagreements = 0;
};

// How lconvert and the export agree on the file, or nothing and why not.
QString Replay::agreement(const QByteArray &ts, QString *why)
{
    const QString input = m_folder + "/input.ts", output = m_folder + "/output.ts";
    QFile::remove(output);
    QtTools::writeFile(input, ts);
    QString said;
    const bool read = QtTools::run("lconvert", {"-target-language", "ar", "-i", input, "-o", output}, &said);
    QByteArray table;
    const Conversion::Result exported = Conversion::convertBytes(Conversion::tsToTable, ts, &table);
    const bool converted = exported.refusal == Conversion::Refusal::None;
    if (read && converted) {
        QVector<Oracle::Message> messages;
        QString error;
        if (said.contains("dropping duplicate messages"))
            return "both read, lconvert dropping duplicate messages: rows not compared";
        *why = Oracle::readMessages(QtTools::readFile(output), &messages, &error)
                   ? rowsDiffer(messages, table, nullptr, true) : error;
        // Qt's decoder of UTF-8 drops a U+FEFF that opens one of lconvert's
        // reads, where all before it was ASCII.
        if (!why->isEmpty() && rowsDiffer(messages, table.replace("\xef\xbb\xbf", ""), nullptr, true).isEmpty())
            return "both read, lconvert dropping a U+FEFF at the edge of its reads";
        return why->isEmpty() ? "both read, into the same rows" : QString();
    }
    const QString reason = exported.detail;
    *why = QString("lconvert: %1\nthe export: refusal %2 at line %3, %4")
               .arg(said).arg(int(exported.refusal)).arg(exported.line).arg(reason);
    using Conversion::Refusal;
    const QString departure = exported.refusal == Refusal::InvalidBytes ? "text not valid in its encoding"
                              : exported.refusal == Refusal::DeclaresMarkup
                                  ? "a document type that declares entities or attributes"
                                  : reason.contains("U+0000") ? "U+0000" : "";
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
    if (said.contains("Premature end of document") && offset > 0 && offset + 2 < ts.size()
        && qAbs((offset + 2) % 8192 - 2) <= 2)
        return "both refuse, lconvert ending the document early at the edge of one of its reads of 8 KiB";
    if (said.contains("Encountered incorrectly encoded content"))
        return "both refuse, lconvert at bytes not valid in the encoding, on the line where its read of them began";
    if (reason.contains("un commentaire se trouve") && line > exported.line)
        return "both refuse, at a comment in a text or among forms, where lconvert names a later line";
    return QString();
}

bool Replay::replay(const QByteArray &ts)
{
    QString why;
    const QString agreed = agreement(ts, &why);
    if (!agreed.isEmpty()) {
        ++m_counts[agreed];
        return true;
    }
    const QString kept = QString("%1/disagreement-%2.ts").arg(m_folder).arg(++m_disagreements);
    QFile::rename(m_folder + "/input.ts", kept);
    std::fprintf(stderr, "lconvert and the export disagree on %s:\n%s\n", qPrintable(kept), qPrintable(why.left(500)));
    return false;
}

void Replay::print() const
{
    int files = m_disagreements;
    for (auto count = m_counts.cbegin(); count != m_counts.cend(); ++count) {
        std::printf("  %6d %s\n", count.value(), qPrintable(count.key()));
        files += count.value();
    }
    std::printf("lconvert-replay: %d files, %d disagreements\n", files, m_disagreements);
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
    Replay replay(arguments.takeFirst());
    const int mutants = arguments.takeFirst().toInt();
    QRandomGenerator random(2026);
    QStringList paths;
    for (const QString &argument : arguments) {
        for (QDirIterator files(argument, QDir::Files, QDirIterator::Subdirectories); files.hasNext();)
            paths += files.next();
        paths += QFileInfo(argument).isFile() ? QStringList{argument} : QStringList();
    }
    paths.sort();   // the same mutants in every run
    bool agreed = true;
    for (const QString &path : paths) {
        const QByteArray ts = QtTools::readFile(path);
        agreed = replay.replay(ts) && agreed;
        for (int n = path.endsWith(".ts") ? mutants : 0; n > 0; --n)
            agreed = replay.replay(mutant(ts, random)) && agreed;
    }
    replay.print();
    return agreed ? 0 : 1;
}
