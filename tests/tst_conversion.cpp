// The two conversions of files: the rules of each, case by case from
// tests/data, and the TS files of real projects, checked against Qt's own
// lupdate, lconvert and lrelease.

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
    void againstQtTools_data();
    void againstQtTools();
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
    QVERIFY2(!QtTools::available()
                 || (QtTools::messages(expected, &messages, &error) && QtTools::compiles(expected, &error)),
             qPrintable(error));
}

void tst_Conversion::againstQtTools_data()
{
    QTest::addColumn<QString>("ts");
    if (!QtTools::available())
        QSKIP("lupdate, lconvert and lrelease cannot run here");
    const QString sample = m_dir.filePath("sample_fr.ts");
    QVERIFY(QtTools::run("lupdate", {"-silent", "-target-language", "fr", data + "/sample.cpp", "-ts", sample}));
    QTest::newRow("written by lupdate") << sample;
    QTest::newRow("length variants from Qt Linguist") << data + "/variants.ts";
    const QDir corpus(QUORVALE_CORPUS);
    for (const QString &name : corpus.entryList({"*.ts"}, QDir::Files))   // none in a user's clone
        QTest::newRow(qPrintable(name)) << corpus.filePath(name);
}

// A real TS file goes out as a table with one row per message, each cell the
// text that lconvert reads, none a formula; back, lconvert reads the same
// messages, as Qt's tools keep them once contexts are gone.
void tst_Conversion::againstQtTools()
{
    QFETCH(QString, ts);
    const QString language = QtTools::languageOf(ts);
    const QByteArray tsText = QtTools::readFile(ts);
    const QStringList rows = QString::fromUtf8(convert(Conversion::tsToTable, tsText)).split('\n');
    const QtTools::Pairs expected = QtTools::pairs(ts, language);
    QCOMPARE(rows.size() - 2, tsText.count("<message"));
    QCOMPARE(rows.size() - 2, expected.size());
    QCOMPARE(rows.filter(QRegularExpression("\tUTF-8$")).size(), tsText.count("<message encoding=\"UTF-8\""));
    for (int i = 0; i < expected.size(); ++i) {
        const QStringList cells = rows.at(i + 1).split('\t');
        bool sourceOk = false;
        bool translationOk = false;
        const QPair<QString, QStringList> row{QtTools::cellText(cells.value(0), &sourceOk).value(0),
                                              QtTools::cellText(cells.value(1), &translationOk)};
        const bool formula = rows.at(i + 1).contains(QRegularExpression("(^|\t)[=+@-]"));
        QVERIFY2(sourceOk && translationOk && cells.size() <= 3 && !formula, qPrintable(rows.at(i + 1)));
        QCOMPARE(row, expected.at(i));
    }
    const QString back = m_dir.filePath("back.ts");
    QVERIFY(QtTools::writeFile(back, convert(Conversion::tableToTs, rows.join('\n').toUtf8())));
    QCOMPARE(QtTools::pairs(back, language), QtTools::keptByQt(expected));
    QString error;
    QVERIFY2(QtTools::compiles(back, &error), qPrintable(error));
}

void tst_Conversion::lineOf50Megabytes()
{
    const QByteArray source(50 * 1000 * 1000, 'a');
    QVERIFY(QtTools::writeFile(m_dir.filePath("long.txt"), source + "\tb&c\n"));
    const Conversion::FileResult result = Conversion::convertFile(m_dir.filePath("long.txt"), m_dir.path(),
                                                                  m_dir.filePath("long.ts"), Conversion::tableToTs);
    QVERIFY2(result.ok, qPrintable(result.error));
    QVERIFY(QtTools::readFile(m_dir.filePath("long.ts"))
            == QtTools::platformText("<!DOCTYPE TS><TS>\n<context>\n    <message>\n        <source>" + source
                                     + "</source>\n        <translation>b&amp;c</translation>\n    </message>\n"
                                       "</context>\n</TS>\n"));
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
