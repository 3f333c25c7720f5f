// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The two conversions: the rules of each, case by case from tests/data,
// each TS file that comes back read by Qt's own lconvert and lrelease;
// inputs too large to keep as files; the checks of what the translator typed.

#include "fileconversion.h"
#include "qttools.h"
#include "translationchecks.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

const QString data = QUORVALE_TEST_DATA;

QByteArray convert(Conversion::Direction conversion, const QByteArray &input)
{
    QByteArray output;
    Conversion::convertBytes(conversion, input, &output);
    return output;
}

// A TS file of one message whose source is that text.
QByteArray messageOf(const QByteArray &source)
{
    return "<TS><context><message><source>" + source + "</source></message></context></TS>\n";
}

// Makes a large input when its test runs, not while the table of inputs is
// made, which would hold them all at once.
using Input = QByteArray (*)();

} // namespace

Q_DECLARE_METATYPE(Input)

class tst_Conversion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void rules_data();
    void rules();
    void largeInputs_data();
    void largeInputs();
    void translationChecks_data();
    void translationChecks();

private:
    QTextCodec *m_system = nullptr;
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
    for (const QString dir : {"export", "import", "export-cp1252", "import-cp1252", "import-cp932"}) {
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
    // The cases of a Windows code page run where Windows has that code page,
    // and on Linux in Qt's codec of it.
    const QByteArray codePage = QRegularExpression("-cp(\\d+)/").match(input).captured(1).toLatin1();
    if (!codePage.isEmpty()) {
#ifdef Q_OS_WIN
        if (QByteArray::number(uint(GetACP())) != codePage)
            QSKIP("another Windows code page: tools/test-windows.sh runs this case in its own");
        QTextCodec::setCodecForLocale(m_system);
#else
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("cp" + codePage));
#endif
    }
    QTemporaryDir out;
    const QString output = out.filePath(QFileInfo(expected).fileName());
    const Conversion::FileResult result =
        Conversion::convertFile(input, out.path(), output, import ? Conversion::tableToTs : Conversion::tsToTable);
    if (QFile::exists(base + ".error")) {
        // A number in the message is matched whole: line 10 is not line 1.
        const QRegularExpression part(QRegularExpression::escape(QtTools::readFile(base + ".error")) + "(?!\\d)");
        QVERIFY2(!result.ok && result.error.contains(part) && result.error.contains(QDir::toNativeSeparators(input)),
                 qPrintable(result.error));
        QCOMPARE(QtTools::entries(out.path()), QStringList());
        return;
    }
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(QtTools::readFile(output), QtTools::platformText(QtTools::readFile(expected)));
    QFile created(out.filePath("created"));   // the output has the permissions of any new file
    QVERIFY(created.open(QIODevice::WriteOnly));
    QCOMPARE(QFileInfo(output).permissions(), created.permissions());
    if (!import || !codePage.isEmpty())
        return;
    // The TS file survives an export and an import unchanged, and Qt's tools read it.
    QCOMPARE(convert(Conversion::tableToTs, convert(Conversion::tsToTable, QtTools::readFile(expected))),
             QtTools::readFile(expected));
    QString error;
    QVector<QtTools::Message> messages;
    QVERIFY2(!QtTools::available() || QtTools::messages(expected, &messages, &error), qPrintable(error));
}

void tst_Conversion::largeInputs_data()
{
    QTest::addColumn<bool>("import");
    QTest::addColumn<Input>("input");
    QTest::addColumn<QString>("outcome");   // a part of the output, or of the message that refuses the input
    QTest::addColumn<int>("messages");      // how many it converts
    QTest::newRow("a table's line of 50 MB, whose last cell goes on in the next line")
        << true << Input([] { return QByteArray(50 * 1000 * 1000, 'a') + "\t\"b&c\nd\"\n"; })
        << "aaa</source>\n        <translation>b&amp;c&#10;d</translation>" << 1;
    QTest::newRow("a table's line longer than any")
        << true << Input([] { return QByteArray(Conversion::LongestText + 1, 'a'); }) << "à sa ligne 1, un texte dépasse"
        << 0;
    QTest::newRow("a table's line of control characters, each a <byte> element in the TS file")
        << true << Input([] { return QByteArray(Conversion::LongestText - 16, '\x01') + "\tb\n"; })
        << "à sa ligne 1, un texte dépasse" << 0;
    QTest::newRow("400,000 CDATA sections of ']', each before a '>', in a source")
        << false << Input([] { return messageOf(QByteArray("<![CDATA[]]]>>").repeated(400000)); })
        << "\n]>]>]>" << 1;
    QTest::newRow("a source of 20 MB of double quotes, each six characters in the cell")
        << false << Input([] { return messageOf(QByteArray(20 * 1000 * 1000, '"')); }) << "à sa ligne 1, un texte dépasse"
        << 0;
    QTest::newRow("a source whose cell is as long as a text may be: double quotes, then 'aaaa'")
        << false << Input([] { return messageOf(QByteArray((Conversion::LongestText - 4) / 6, '"') + "aaaa"); })
        << "&quot;aaaa\t\n" << 1;
    QTest::newRow("a source of two lines of 33 Mi characters")
        << false << Input([] { return messageOf(QByteArray(33 << 20, 'a') + '\n' + QByteArray(33 << 20, 'a')); })
        << "à sa ligne 2, un texte dépasse" << 0;
    QTest::newRow("the first 300,000 bytes of a TS file")
        << false << Input([] { return QtTools::lupdateMessages(20000).left(300000); }) << "le fichier a été coupé" << 0;
    QTest::newRow("a TS file of one line of over 64 Mi characters")
        << false << Input([] { return QtTools::lupdateMessages(1200000).replace('\n', ' '); })
        << "Open the file\tOuvrir le fichier\n" << 1200000;
}

// However large the input, a conversion takes a time in proportion and a
// bounded memory (the benchmark measures both): a line, a text or a tag
// longer than any that a table or a TS file holds ends it.
void tst_Conversion::largeInputs()
{
    QFETCH(bool, import);
    QFETCH(Input, input);
    QFETCH(QString, outcome);
    QFETCH(int, messages);
    QTemporaryDir dir;
    QVERIFY(QtTools::writeFile(dir.filePath("input"), input()));
    const QString output = dir.filePath("output");
    const Conversion::FileResult result = Conversion::convertFile(dir.filePath("input"), dir.path(), output,
                                                                  import ? Conversion::tableToTs : Conversion::tsToTable);
    if (!result.ok) {
        QVERIFY2(result.error.contains(outcome), qPrintable(result.error));
        QVERIFY(!QFile::exists(output));
        return;
    }
    QVERIFY(QtTools::readFile(output).contains(QtTools::platformText(outcome.toUtf8())));
    QCOMPARE(result.messages, qint64(messages));
}

void tst_Conversion::translationChecks_data()
{
    QTest::addColumn<QString>("row");        // a source cell, a tab and a translation cell
    QTest::addColumn<QString>("findings");   // what the import reports, one per line, for the row numbered 2
    QTest::newRow("a marker missing") << "Open %1\tOuvrir" << "« %1 » manque dans la traduction";
    QTest::newRow("a marker added") << "Open\tOuvrir %1" << "« %1 » est dans la traduction, mais pas dans la source";
    QTest::newRow("markers moved, one repeated, one written %L1") << "%1 of %2 (%1)\t%L2 : %1" << "";
    QTest::newRow("%10 beside %1") << "%1 and %10\t%10" << "« %1 » manque dans la traduction";
    QTest::newRow("% 1 and 2% are no markers")
        << "%1 of %2\t% 1 sur 2%" << "« %1 » manque dans la traduction\n« %2 » manque dans la traduction";
    QTest::newRow("%n missing in a form of a plural")
        << "%n file(s)\t<numerusform>un fichier</numerusform><numerusform>%n fichiers</numerusform>"
        << "« %n » manque dans la forme 1";
    QTest::newRow("%n in a form, where the source has none")
        << "Delete them\t<numerusform>Le supprimer</numerusform><numerusform>Les %Ln supprimer</numerusform>" << "";
    QTest::newRow("a shortcut lost") << "&amp;Open\tOuvrir" << "la source a un raccourci (&), pas la traduction";
    QTest::newRow("a shortcut added") << "Open\tOu&amp;vrir" << "la traduction a un raccourci (&), pas la source";
    QTest::newRow("&& and what reads as an HTML entity are no shortcuts")
        << "Save &amp;&amp; quit\tEnregistrer &amp;nbsp;et quitter" << "";
    QTest::newRow("a shortcut lost in a form of a plural")
        << "&amp;Delete %n file(s)\t<numerusform>&amp;Supprimer %n fichier</numerusform><numerusform>Supprimer %n "
           "fichiers</numerusform>"
        << "la source a un raccourci (&), pas la forme 2";
    QTest::newRow("& before a tab is no shortcut") << "Save\tEnregistrer &amp;<byte value='x9'/>!" << "";
    QTest::newRow("a length variant after the first may drop a marker")
        << "Open %1\t<lengthvariant>Ouvrir %1</lengthvariant><lengthvariant>Ouvrir</lengthvariant>" << "";
    QTest::newRow("white space lost at the start, and at the end")
        << " MiB: \tMio :" << "les espaces au début de la traduction ne sont pas ceux de la source\nles espaces à la "
                               "fin de la traduction ne sont pas ceux de la source";
    QTest::newRow("white space written as references is white space")
        << "Name: \t&#x20;Nom :&#32;" << "les espaces au début de la traduction ne sont pas ceux de la source";
    QTest::newRow("an empty form beside a filled one")
        << "%n file(s)\t<numerusform></numerusform><numerusform>%n fichiers</numerusform>"
        << "la forme 1 est vide, quand d'autres formes sont remplies";
    QTest::newRow("forms laid out with a space and a line break, a plural")
        << "%n file(s)\t\" <numerusform>%n fichier</numerusform>\n<numerusform>%n fichiers</numerusform>\"" << "";
    QTest::newRow("forms that lost a tag, named")
        << "%n file(s)\t<numerusform>%n fichier</numerusform><numerusform>%n fichiers"
        << "la traduction commence par <numerusform> sans être faite de ces seuls éléments : elle est écrite comme du "
           "texte, balises comprises";
    QTest::newRow("an empty translation is not looked at") << "Open %1\t" << "";
}

// What the translator typed is checked as Qt Linguist checks it, and the
// rows to look at are named as the spreadsheet numbers them: the header is
// the first, a quoted cell over two lines is one. Every finding is counted;
// the first thousand are kept, for the report's details.
void tst_Conversion::translationChecks()
{
    QFETCH(QString, row);
    QFETCH(QString, findings);
    QByteArray ts;
    const QString table = "Origine \tTraduction\n" + row + "\n\"two\nlines\"\tdeux lignes %1\n"
                          + QString("Open\tOuvrir %1\n").repeated(1000);
    const Conversion::Result result = Conversion::convertBytes(Conversion::tableToTs, table.toUtf8(), &ts);
    QStringList expected;
    for (const QString &finding : findings.split('\n', Qt::SkipEmptyParts))
        expected += "ligne 2 : " + finding;
    expected += "ligne 3 : « %1 » est dans la traduction, mais pas dans la source";
    QCOMPARE(result.findings.first.mid(0, expected.size()), expected);
    QCOMPARE(result.findings.first.size(), 1000);
    QCOMPARE(result.findings.count, expected.size() + 1000);
    QVERIFY(Conversion::findingsDetails(result.findings)
                .endsWith(QString("… et %1 de plus, du même ordre : revoyez d'abord celles-ci, puis importez de "
                                  "nouveau.").arg(expected.size())));
}

QTEST_GUILESS_MAIN(tst_Conversion)
#include "tst_conversion.moc"
