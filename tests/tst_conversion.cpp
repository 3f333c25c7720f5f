// The two conversions of files: the rules of each, case by case from
// tests/data, each TS file that comes back read by Qt's own lconvert and
// lrelease, and what happens to the files around them.

#include "conversion.h"
#include "qttools.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString data = QUORVALE_TEST_DATA;

QByteArray convert(Conversion::StreamConversion conversion, const QByteArray &input)
{
    QByteArray output;
    Conversion::convertBytes(conversion, input, &output);
    return output;
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

QString appearing;

// The export, during which another program creates the output file.
Conversion::StreamResult exportWhileAnotherWrites(QTextStream &in, QTextStream &out)
{
    const Conversion::StreamResult result = Conversion::tsToTable(in, out);
    QtTools::writeFile(appearing, "another program's file");
    return result;
}

} // namespace

class tst_Conversion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void rules_data();
    void rules();
    void lineOf50Megabytes();
    void outputAppearsMeanwhile();
    void onDiskBeforeItIsNamed();

private:
    QTextCodec *m_system = nullptr;
    QTemporaryDir m_dir;
};

void tst_Conversion::initTestCase()
{
    m_system = QTextCodec::codecForLocale();
    if (!QtTools::available())
        qInfo("lupdate, lconvert and lrelease cannot run here: the TS files are checked by their text alone");
}

// The rules hold in every encoding; their cases are written in UTF-8, and
// those of a Windows code page in Windows-1252.
void tst_Conversion::init()
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void tst_Conversion::rules_data()
{
    QTest::addColumn<QString>("input");
    for (const QString dir : {"export", "import", "export-cp1252", "import-cp1252"}) {
        const QDir cases(data + '/' + dir);
        for (const QString &name : cases.entryList({dir.startsWith("import") ? "*.txt" : "*.ts"}, QDir::Files))
            QTest::newRow(qPrintable(dir + '/' + name)) << cases.filePath(name);
    }
}

// Each case is an input file and, beside it, the output expected (a table
// .csv for the export, a TS file .ts for the import) or a part of the
// message that refuses the input (.error).
void tst_Conversion::rules()
{
    QFETCH(QString, input);
    const bool import = input.contains("/import");
    const QString base = input.left(input.lastIndexOf('.'));
    const QString expected = base + (import ? ".ts" : ".csv");
    if (input.contains("-cp1252")) {
#ifdef Q_OS_WIN
        QTextCodec::setCodecForLocale(m_system);
#else
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("windows-1252"));
#endif
        QCOMPARE(QTextCodec::codecForLocale()->fromUnicode("é€"), QByteArray("\xe9\x80"));
    }
    QTemporaryDir out;
    const QString output = out.filePath(QFileInfo(expected).fileName());
    const Conversion::FileResult result =
        Conversion::convertFile(input, out.path(), output, import ? Conversion::tableToTs : Conversion::tsToTable);
    if (QFile::exists(base + ".error")) {
        QVERIFY2(!result.ok && result.error.contains(QtTools::readFile(base + ".error"))
                     && result.error.contains(QDir::toNativeSeparators(input)),
                 qPrintable(result.error));
        QCOMPARE(entries(out.path()), QStringList());
        return;
    }
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(QtTools::readFile(output), QtTools::platformText(QtTools::readFile(expected)));
    QFile created(out.filePath("created"));   // the output has the permissions of any new file
    QVERIFY(created.open(QIODevice::WriteOnly));
    QCOMPARE(QFileInfo(output).permissions(), created.permissions());
    if (!import || input.contains("-cp1252"))
        return;
    // The TS file survives an export and an import unchanged, and Qt's tools read it.
    QCOMPARE(convert(Conversion::tableToTs, convert(Conversion::tsToTable, QtTools::readFile(expected))),
             QtTools::readFile(expected));
    QString error;
    QVector<QtTools::Message> messages;
    QVERIFY2(!QtTools::available() || QtTools::messages(expected, &messages, &error), qPrintable(error));
}

// A line of 50 MB, whose last cell goes on in the next line.
void tst_Conversion::lineOf50Megabytes()
{
    const QByteArray source(50 * 1000 * 1000, 'a');
    QVERIFY(convert(Conversion::tableToTs, source + "\t\"b&c\nd\"\n")
            == "<!DOCTYPE TS><TS>\n<context>\n    <message>\n        <source>" + source
                   + "</source>\n        <translation>b&amp;c&#10;d</translation>\n    </message>\n</context>\n</TS>\n");
}

// A file that appears under the output's name during the conversion is
// another program's: it is kept, and the result is not written.
void tst_Conversion::outputAppearsMeanwhile()
{
    QTemporaryDir dir;
    appearing = dir.filePath("app.csv");
    const Conversion::FileResult result = Conversion::convertFile(data + "/export/one-element-per-line.ts", dir.path(),
                                                                  appearing, exportWhileAnotherWrites);
    QVERIFY2(result.error.contains("existe déjà"), qPrintable(result.error));
    QCOMPARE(QtTools::readFile(appearing), QByteArray("another program's file"));
    QCOMPARE(entries(dir.path()), QStringList{"app.csv"});
}

// The result is put on the disk before it takes the output's name, so that
// a power cut cannot leave that name on an empty file.
void tst_Conversion::onDiskBeforeItIsNamed()
{
    const QString strace = QStandardPaths::findExecutable("strace");
    if (strace.isEmpty())
        QSKIP("strace is not at hand");
    const QString trace = m_dir.filePath("trace");
    QString output;
    // LeakSanitizer cannot work under a tracer: the sanitizer build's program runs without it.
    QVERIFY2(QtTools::run(strace, {"-f", "-o", trace, "-E", "ASAN_OPTIONS=detect_leaks=0", "-e",
                                   "trace=fsync,fdatasync,rename,renameat,renameat2,link,linkat",
                                   QUORVALE_BENCH, "export", data + "/export/one-element-per-line.ts",
                                   m_dir.filePath("synced.csv")},
                          &output),
             qPrintable(output));
    const QString calls = QtTools::readFile(trace);
    const int synced = calls.indexOf(QRegularExpression("f(data)?sync\\(\\d+\\) += 0"));
    QVERIFY2(synced >= 0 && calls.indexOf("synced.csv\"") > synced, qPrintable(calls));
}

QTEST_GUILESS_MAIN(tst_Conversion)
#include "tst_conversion.moc"
