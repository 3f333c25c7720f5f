// The two conversions of files: the rules of each, case by case from
// tests/data, and on the TS files of real projects, checked against Qt's
// own lupdate, lconvert and lrelease.

#include "conversion.h"
#include "qttools.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString data = QStringLiteral(QUORVALE_TEST_DATA);

// The line ends that a text file has on this system.
QByteArray platformText(QByteArray text)
{
#ifdef Q_OS_WIN
    text.replace('\n', "\r\n");
#endif
    return text;
}

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
    // The rules hold in every encoding; their cases are written in UTF-8,
    // and those of a Windows code page in Windows-1252.
    m_system = QTextCodec::codecForLocale();
    if (!QtTools::available())
        qInfo("lupdate, lconvert and lrelease cannot run here: the TS files are checked by their text alone");
}

void tst_Conversion::init()
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void tst_Conversion::rules_data()
{
    QTest::addColumn<QString>("input");
    for (const char *dir : {"export", "import", "export-cp1252", "import-cp1252"}) {
        const QDir cases(data + QLatin1Char('/') + QLatin1String(dir));
        const QString inputs = QLatin1String(dir).startsWith(QLatin1String("import")) ? QStringLiteral("*.txt") : QStringLiteral("*.ts");
        for (const QString &name : cases.entryList({inputs}, QDir::Files))
            QTest::newRow(qPrintable(QLatin1String(dir) + QLatin1Char('/') + name)) << cases.filePath(name);
    }
}

// Each case is an input file and, beside it, the output expected (a table
// .csv for the export, a TS file .ts for the import) or a part of the
// message that refuses the input (.error).
void tst_Conversion::rules()
{
    QFETCH(QString, input);
    const bool import = input.contains(QLatin1String("/import"));
    const QString base = input.left(input.lastIndexOf(QLatin1Char('.')));
    const QString expected = base + (import ? QStringLiteral(".ts") : QStringLiteral(".csv"));
    if (input.contains(QLatin1String("-cp1252"))) {
#ifdef Q_OS_WIN
        QTextCodec::setCodecForLocale(m_system);
#else
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("windows-1252"));
#endif
        QCOMPARE(QTextCodec::codecForLocale()->fromUnicode(QString::fromUtf8("\xc3\xa9\xe2\x82\xac")), QByteArray("\xe9\x80"));
    }
    QTemporaryDir out;
    const QString output = out.filePath(QFileInfo(expected).fileName());
    const auto conversion = import ? Conversion::tableToTs : Conversion::tsToTable;
    const Conversion::FileResult result = Conversion::convertFile(input, out.path(), output, conversion);
    const QByteArray written = QtTools::readFile(output);

    if (QFile::exists(base + QStringLiteral(".error"))) {
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(QString::fromUtf8(QtTools::readFile(base + QStringLiteral(".error"))))
                     && result.error.contains(QDir::toNativeSeparators(input)),
                 qPrintable(result.error));
        QCOMPARE(entries(out.path()), QStringList());
        return;
    }
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(written, platformText(QtTools::readFile(expected)));
    if (!import || input.contains(QLatin1String("-cp1252")))
        return;
    // The TS file survives an export and an import unchanged, and Qt's tools read it.
    QCOMPARE(convert(Conversion::tableToTs, convert(Conversion::tsToTable, QtTools::readFile(expected))),
             QtTools::readFile(expected));
    QString error;
    QVector<QtTools::Message> messages;
    QVERIFY2(!QtTools::available() || (QtTools::messages(expected, &messages, &error) && QtTools::compiles(expected, &error)),
             qPrintable(error));
}

void tst_Conversion::againstQtTools_data()
{
    QTest::addColumn<QString>("ts");
    if (!QtTools::available())
        QSKIP("lupdate, lconvert and lrelease cannot run here");
    const QString sample = m_dir.filePath(QStringLiteral("sample_fr.ts"));
    QString output;
    QVERIFY2(QtTools::run(QStringLiteral("lupdate"), {QStringLiteral("-silent"), QStringLiteral("-target-language"),
                                                      QStringLiteral("fr"), data + QStringLiteral("/sample.cpp"),
                                                      QStringLiteral("-ts"), sample},
                          &output),
             qPrintable(output));
    QTest::newRow("written by lupdate") << sample;
    QTest::newRow("length variants from Qt Linguist") << data + QStringLiteral("/variants.ts");
    const QDir corpus(QStringLiteral(QUORVALE_CORPUS));
    for (const QString &name : corpus.entryList({QStringLiteral("*.ts")}, QDir::Files))   // none in a user's clone
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
    const QStringList rows = QString::fromUtf8(convert(Conversion::tsToTable, tsText)).split(QLatin1Char('\n'));
    const QtTools::Pairs expected = QtTools::pairs(ts, language);
    QCOMPARE(rows.size() - 2, tsText.count("<message"));
    QCOMPARE(rows.size() - 2, expected.size());
    QCOMPARE(rows.filter(QRegularExpression(QStringLiteral("\tUTF-8$"))).size(), tsText.count("<message encoding=\"UTF-8\""));
    for (int i = 0; i < expected.size(); ++i) {
        const QStringList cells = rows.at(i + 1).split(QLatin1Char('\t'));
        bool sourceOk = false;
        bool translationOk = false;
        const QPair<QString, QStringList> row{QtTools::cellText(cells.value(0), &sourceOk).value(0),
                                              QtTools::cellText(cells.value(1), &translationOk)};
        QVERIFY2(sourceOk && translationOk && cells.size() <= 3 && !rows.at(i + 1).contains(QRegularExpression(QStringLiteral("(^|\t)[=+@-]"))),
                 qPrintable(rows.at(i + 1)));
        QCOMPARE(row, expected.at(i));
    }

    const QString back = m_dir.filePath(QStringLiteral("back.ts"));
    QVERIFY(QtTools::writeFile(back, convert(Conversion::tableToTs, rows.join(QLatin1Char('\n')).toUtf8())));
    QCOMPARE(QtTools::pairs(back, language), QtTools::keptByQt(expected));
    QString error;
    QVERIFY2(QtTools::compiles(back, &error), qPrintable(error));
}

void tst_Conversion::lineOf50Megabytes()
{
    const QString input = m_dir.filePath(QStringLiteral("long.txt"));
    const QByteArray source(50 * 1000 * 1000, 'a');
    QVERIFY(QtTools::writeFile(input, source + "\tb&c\n"));
    const QString output = m_dir.filePath(QStringLiteral("long.ts"));
    const Conversion::FileResult result = Conversion::convertFile(input, m_dir.path(), output, Conversion::tableToTs);
    QVERIFY2(result.ok, qPrintable(result.error));
    QVERIFY(QtTools::readFile(output)
            == platformText("<!DOCTYPE TS><TS>\n<context>\n    <message>\n        <source>" + source
                            + "</source>\n        <translation>b&amp;c</translation>\n    </message>\n</context>\n</TS>\n"));
}

// A file that appears under the output's name during the conversion is
// another program's: it is kept, and the result is not written.
void tst_Conversion::outputAppearsMeanwhile()
{
    QTemporaryDir dir;
    const QString input = data + QStringLiteral("/export/one-element-per-line.ts");
    appearing = dir.filePath(QStringLiteral("app.csv"));
    const Conversion::FileResult result = Conversion::convertFile(input, dir.path(), appearing, exportWhileAnotherWrites);
    QVERIFY2(result.error.contains(QString::fromUtf8("existe déjà")), qPrintable(result.error));
    QCOMPARE(QtTools::readFile(appearing), QByteArray("another program's file"));
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("app.csv")});
}

// The result is put on the disk before it takes the output's name, so that
// a power cut cannot leave that name on an empty file.
void tst_Conversion::onDiskBeforeItIsNamed()
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        QSKIP("strace is not at hand");
    const QString trace = m_dir.filePath(QStringLiteral("trace"));
    QString output;
    QVERIFY2(QtTools::run(strace, {QStringLiteral("-f"), QStringLiteral("-o"), trace, QStringLiteral("-e"),
                                   QStringLiteral("trace=fsync,fdatasync,rename,renameat,renameat2,link,linkat"),
                                   QStringLiteral(QUORVALE_BENCH), QStringLiteral("export"),
                                   data + QStringLiteral("/export/one-element-per-line.ts"),
                                   m_dir.filePath(QStringLiteral("synced.csv"))},
                          &output),
             qPrintable(output));
    const QString calls = QString::fromUtf8(QtTools::readFile(trace));
    const int synced = calls.indexOf(QRegularExpression(QStringLiteral("f(data)?sync\\(\\d+\\) += 0")));
    QVERIFY2(synced >= 0 && calls.indexOf(QLatin1String("synced.csv\"")) > synced, qPrintable(calls));
}

QTEST_GUILESS_MAIN(tst_Conversion)
#include "tst_conversion.moc"
