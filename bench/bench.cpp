// Converts one file the way the window does, so that a whole run can be
// timed and measured from outside:
//   quorvale-bench export IN.ts OUT.csv
//   quorvale-bench import IN.txt OUT.ts
//   quorvale-bench copy IN OUT      (the floor: a plain QTextStream line copy)
// It prints the number of rows or messages written, or the error.

#include "conversion.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {

Conversion::StreamResult copyLines(QTextStream &in, QTextStream &out)
{
    Conversion::StreamResult result;
    QString line;
    while (in.readLineInto(&line)) {
        out << line << '\n';
        ++result.records;
    }
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
    Conversion::StreamConversion conversion = nullptr;
    if (args.at(1) == QLatin1String("export"))
        conversion = Conversion::tsToTable;
    else if (args.at(1) == QLatin1String("import"))
        conversion = Conversion::tableToTs;
    else if (args.at(1) == QLatin1String("copy"))
        conversion = copyLines;
    if (!conversion) {
        std::fprintf(stderr, "unknown mode\n");
        return 2;
    }
    const QString output = args.at(3);
    const Conversion::FileResult result =
        Conversion::convertFile(args.at(2), QFileInfo(output).path(), output, conversion);
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(result.error));
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(result.records));
    return 0;
}
