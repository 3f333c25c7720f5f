// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The files around a conversion: another program's file kept, each failing
// system call leaving the exact output or nothing, the result on the disk
// before it takes the output's name.

#include "fileconversion.h"
#include "qttools.h"

#include <QStandardPaths>
#include <QtTest>

namespace {

const QString data = QUORVALE_TEST_DATA;

QString appearing;

// The export, during which another program creates the output file.
Conversion::Result exportWhileAnotherWrites(QIODevice &in, QIODevice &out, QTextCodec *system)
{
    const Conversion::Result result = Conversion::tsToTable(in, out, system);
    QtTools::writeFile(appearing, "another program's file");
    return result;
}

// A real TS file of several blocks of input and of output, written into
// the folder; in a clone without the corpus, one as large.
QString realTs(const QString &folder)
{
    const QByteArray corpus = QtTools::readFile(QUORVALE_CORPUS "/qBittorrent_fr.ts");
    const QString ts = folder + "/real.ts";
    QtTools::writeFile(ts, corpus.isEmpty() ? QtTools::lupdateMessages(5000) : corpus);
    return ts;
}

// Runs the program that converts as the window does under strace, tracing
// the calls, and, where inject is given, failing one of them so; true where
// it succeeds. What strace saw is in *trace. (LeakSanitizer cannot work
// under a tracer: the sanitizer build's program runs without it.)
bool underStrace(const QStringList &conversion, const QString &calls, QString *trace, const QString &inject = QString())
{
    QTemporaryDir dir;
    QStringList arguments{"-f", "-qq", "-o", dir.filePath("trace"), "-E", "ASAN_OPTIONS=detect_leaks=0", "-e",
                          "trace=" + calls};
    if (!inject.isEmpty())
        arguments << "-e" << "inject=" + inject;
    const bool ok = QtTools::run(QStandardPaths::findExecutable("strace"),
                                 arguments + QStringList{QUORVALE_BENCH} + conversion);
    *trace = QtTools::readFile(dir.filePath("trace"));
    return ok;
}

} // namespace

class tst_FileConversion : public QObject
{
    Q_OBJECT

private slots:
    void outputAppearsMeanwhile();
    void failingSystemCalls_data();
    void failingSystemCalls();
    void onDiskBeforeItIsNamed();
};

// A file that appears under the output's name during the conversion is
// another program's: it is kept, and the result is not written.
void tst_FileConversion::outputAppearsMeanwhile()
{
    QTemporaryDir dir;
    appearing = dir.filePath("app.csv");
    const Conversion::FileResult result = Conversion::convertFile(data + "/export/one-element-per-line.ts", dir.path(),
                                                                  appearing, exportWhileAnotherWrites);
    QVERIFY2(result.error.contains("existe déjà"), qPrintable(result.error));
    QCOMPARE(QtTools::readFile(appearing), QByteArray("another program's file"));
    QCOMPARE(QtTools::entries(dir.path()), QStringList{"app.csv"});
}

void tst_FileConversion::failingSystemCalls_data()
{
#ifdef __SANITIZE_ADDRESS__
    QSKIP("the sanitizer's own calls would fail too: the plain build's program is the one checked");
#endif
    if (QStandardPaths::findExecutable("strace").isEmpty())
        QSKIP("strace is not at hand");
    QTest::addColumn<QString>("call");
    for (const char *call : {"read", "write", "fsync", "openat", "close", "linkat", "renameat2", "fchmod",
                             "newfstatat", "statx", "lseek", "unlink", "ftruncate"})
        QTest::newRow(call) << QString(call);
}

// Each occurrence of the system call in turn fails while the program that
// converts as the window does exports a real TS file, and imports its
// table: either it gives the exact output, or it fails and leaves nothing.
// A read that fails, as on a network share or a USB stick that stutters,
// followed by reads that succeed, cannot be taken for the end of the text.
void tst_FileConversion::failingSystemCalls()
{
    QFETCH(QString, call);
    QTemporaryDir dir;
    const QString ts = realTs(dir.path());
    const QString table = dir.filePath("table.txt");
    QVERIFY(Conversion::convertFile(ts, dir.path(), table, Conversion::tsToTable).ok);
    for (const QString &input : {ts, table}) {
        const QStringList conversion = {input == table ? "import" : "export", input};
        const QString expected = dir.filePath("expected-" + conversion.at(0));
        QString trace;
        QVERIFY(underStrace(conversion + QStringList{expected}, call, &trace));
        const QRegularExpression calls("^\\d+ +" + call + "\\(", QRegularExpression::MultilineOption);
        const int occurrences = trace.count(calls);
        for (int k = 1; k <= occurrences; ++k) {
            QTemporaryDir out;
            const QString injected = QString("%1:error=EIO:when=%2").arg(call).arg(k);
            const bool ok = underStrace(conversion + QStringList{out.filePath("output")}, call, &trace, injected);
            const QStringList left = QtTools::entries(out.path());
            QVERIFY2(ok ? left == QStringList{"output"} && QtTools::readFile(out.filePath("output"))
                                                                == QtTools::readFile(expected)
                        : left.isEmpty(),
                     qPrintable(conversion.at(0) + " with " + injected + ": " + left.join(", ")));
        }
    }
}

// The result is put on the disk before it takes the output's name, so that
// a power cut cannot leave that name on an empty file: written without a
// name (O_TMPFILE), or, where the file system cannot (FAT, network shares,
// older kernels), under a temporary name, which fits a file name also where
// the output's takes 248 bytes.
void tst_FileConversion::onDiskBeforeItIsNamed()
{
    QTemporaryDir dir;
    if (QStandardPaths::findExecutable("strace").isEmpty())
        QSKIP("strace is not at hand");
    const QString output = dir.filePath(QString(248 - 4, 's') + ".csv");
    const QStringList conversion = {"export", data + "/export/one-element-per-line.ts", output};
    const QString calls = "openat,fsync,fdatasync,rename,renameat,renameat2,link,linkat";
    QString trace;
    QVERIFY(underStrace(conversion, calls, &trace));
    const int unnamed = trace.split('\n').filter("openat(").indexOf(QRegularExpression(".*O_TMPFILE.*")) + 1;
    QVERIFY2(unnamed > 0, qPrintable(trace));
    for (const QString &inject : {QString(), QString("openat:error=EOPNOTSUPP:when=%1").arg(unnamed)}) {
        QFile::remove(output);
        QVERIFY2(underStrace(conversion, calls, &trace, inject), qPrintable(trace));
        QCOMPARE(QtTools::readFile(output), QtTools::readFile(data + "/export/one-element-per-line.csv"));
        // The file written beside the output (without a name, or with a name of its own) is the one synced.
        const QRegularExpressionMatch staged = QRegularExpression(
            "openat\\([^\"]*\"" + QRegularExpression::escape(dir.path()) + "(/\\.s+[^\"]*)?\", [^\n]*\\) = (\\d+)\n")
            .match(trace);
        QVERIFY2(staged.hasMatch(), qPrintable(trace));
        const int synced = trace.indexOf(QRegularExpression("f(data)?sync\\(" + staged.captured(2) + "\\) += 0"));
        QVERIFY2(synced >= 0 && trace.indexOf(".csv\"", synced) > synced, qPrintable(trace));
    }
}

QTEST_GUILESS_MAIN(tst_FileConversion)
#include "tst_fileconversion.moc"
