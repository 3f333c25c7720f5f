// The whole road of a translation: a TS file that lupdate wrote goes out
// through the window as a table, LibreOffice Calc opens it and saves it as
// tab-separated text with the translator's text in it, the table comes back
// through the window, and Qt's own tools read the TS file it gives.

#include "mainwindow.h"
#include "peers.h"
#include "user.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTextCodec>
#include <QtTest>

namespace {

// What a translator types into the translation column, cell after cell.
const char *const typed[] = {
    "Dites \"bonjour\"",
    "Tom & Jerry",
    "<b>gras</b> & <i>italique</i>",
    "premi\xc3\xa8re ligne\ndeuxi\xc3\xa8me ligne",
    "Caf\xc3\xa9 cr\xc3\xa8me \xe2\x80\x94 \xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e",
    "",
    " espaces autour ",
    "=1+1",
    "0012",
    "'apostrophes'",
    "a > b; \"c\" < d",
    "\"\"",
};
const int typedCount = int(sizeof typed / sizeof *typed);

QStringList typedTranslation(int row, int forms)
{
    if (forms == 0)
        return {QString::fromUtf8(typed[row % typedCount])};
    QStringList result;
    for (int i = 0; i < forms; ++i)
        result.append(QStringLiteral("%n forme %1 & \"<%2>\"").arg(i).arg(row));
    return result;
}

// A cell as LibreOffice and Excel write it in tab-separated text.
QString spreadsheetCell(const QString &text)
{
    if (!text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\t')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// The translation cell as the translator leaves it: text, or numerus forms
// in the form that the export gave them.
QString translationCell(const QStringList &translation, bool numerus)
{
    if (!numerus)
        return translation.value(0);
    QString cell;
    for (const QString &form : translation)
        cell += QStringLiteral("<numerusform>") + form + QStringLiteral("</numerusform>");
    return cell;
}

} // namespace

class tst_RoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void throughSpreadsheet_data();
    void throughSpreadsheet();

private:
    // LibreOffice opens a tab-separated file, every column as text, and
    // saves it again as UTF-8 text under the name saved, its fields
    // separated by the given character.
    bool spreadsheetSaves(const QString &input, const QString &saved, char separator = '\t');
    void roadBackIntoProgram(const QString &sources, const QString &imported, const QVector<PoMessage> &original,
                             const Peers::Pairs &kept);

    QTemporaryDir m_dir;
};

void tst_RoundTrip::initTestCase()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
    QVERIFY2(QFileInfo(QStringLiteral(QUORVALE_SOFFICE)).isExecutable(),
             "LibreOffice (soffice) is needed: the test command installs libreoffice-calc-nogui");
}

bool tst_RoundTrip::spreadsheetSaves(const QString &input, const QString &saved, char separator)
{
    const QString work = m_dir.filePath(QStringLiteral("calc"));
    QDir(work).removeRecursively();
    QDir().mkpath(work);
    const QString sheet = work + QStringLiteral("/sheet.csv");
    QFile::copy(input, sheet);
    QString output;
    const bool ok = Peers::run(
        QStringLiteral(QUORVALE_SOFFICE),
        {QStringLiteral("--headless"), QStringLiteral("--norestore"),
         QStringLiteral("-env:UserInstallation=file://") + m_dir.filePath(QStringLiteral("profile")),
         QStringLiteral("--infilter=CSV:9,34,76,1,1/2/2/2/3/2/4/2,0,false,false"),
         QStringLiteral("--convert-to"),
         QStringLiteral("txt:Text - txt - csv (StarCalc):%1,34,76,1,,0,false,true,true").arg(int(separator)),
         QStringLiteral("--outdir"), work + QStringLiteral("/out"), sheet},
        &output);
    const QString written = work + QStringLiteral("/out/sheet.txt");
    if (!ok || !QFile::exists(written)) {
        qWarning("soffice: %s", qPrintable(output));
        return false;
    }
    QFile::remove(saved);
    return QFile::rename(written, saved);
}

void tst_RoundTrip::throughSpreadsheet_data()
{
    QTest::addColumn<QString>("ts");
    QTest::addColumn<QString>("sources");   // the program's sources, for the road back into it
    const QString sources = QStringLiteral(QUORVALE_TEST_DATA "/sample.cpp");
    const QString sample = m_dir.filePath(QStringLiteral("sample_fr.ts"));
    QVERIFY(Peers::lupdateTs({sources}, sample));
    QTest::newRow("written by lupdate") << sample << sources;
    const QString corpus = Peers::corpusDir();
    if (corpus.isEmpty())
        return;   // a user's clone has no shared corpus
    for (const QString &name : QDir(corpus).entryList({QStringLiteral("*.ts")}, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(name)) << QDir(corpus).filePath(name) << QString();
}

void tst_RoundTrip::throughSpreadsheet()
{
    QFETCH(QString, ts);
    QFETCH(QString, sources);
    const QString language = Peers::languageOf(ts);
    const QString out = m_dir.filePath(QStringLiteral("out-%1").arg(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(out));

    QVector<PoMessage> original;
    QString error;
    QVERIFY2(Peers::readTs(ts, &original, &error, language), qPrintable(error));

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Out through the window.
    Box box = UserSteps::convert(window, ts, out, QStringLiteral("table"));
    QCOMPARE(box.text, QString::fromUtf8("Conversion Xml -> Excel Effectuée"));
    const QVector<QStringList> exported = Peers::readTable(out + QStringLiteral("/table.csv"));
    QCOMPARE(exported.size(), original.size() + 1);

    // The spreadsheet opens it and saves it: nothing of the text changes.
    const QString saved = out + QStringLiteral("/saved.txt");
    QVERIFY(spreadsheetSaves(out + QStringLiteral("/table.csv"), saved));

    // The translator types a translation into every row...
    QString filled;
    Peers::Pairs expected;
    for (int i = 1; i < exported.size(); ++i) {
        const QStringList &row = exported.at(i);
        const PoMessage &message = original.at(i - 1);
        const bool numerus = row.value(1).startsWith(QLatin1String("<numerusform>"));
        const QStringList translation = typedTranslation(i, numerus ? message.translation.size() : 0);
        filled += spreadsheetCell(row.value(0)) + QLatin1Char('\t')
                  + spreadsheetCell(translationCell(translation, numerus));
        if (row.size() > 2)
            filled += QLatin1Char('\t') + row.at(2);
        filled += QLatin1Char('\n');
        expected.append({message.source, translation});
    }
    const QString filledPath = out + QStringLiteral("/filled.csv");
    QVERIFY(Peers::writeFile(filledPath, Peers::readFile(saved).left(Peers::readFile(saved).indexOf('\n') + 1) + filled.toUtf8()));

    // ...and saves the sheet as tab-separated text.
    const QString table = out + QStringLiteral("/traduit.txt");
    QVERIFY(spreadsheetSaves(filledPath, table));

    // Back through the window.
    box = UserSteps::convert(window, table, out, QStringLiteral("back"));
    QCOMPARE(box.text, QString::fromUtf8("Conversion Csv -> Xml Effectuée"));
    const QString back = out + QStringLiteral("/back.ts");
    QVERIFY2(Peers::compiles(back, &error), qPrintable(error));
    QVector<PoMessage> messages;
    QVERIFY2(Peers::readTs(back, &messages, &error, language), qPrintable(error));

    // Messages that share a source are one message once contexts are gone.
    const Peers::Pairs kept = Peers::keptByQt(expected);
    QCOMPARE(messages.size(), kept.size());
    for (int i = 0; i < kept.size(); ++i) {
        QCOMPARE(messages.at(i).source, kept.at(i).first);
        QCOMPARE(messages.at(i).translation, kept.at(i).second);
    }

    // The same table as Excel's "Unicode Text" would hold it gives the same TS.
    QString unicodeText = QTextCodec::codecForName("UTF-8")->toUnicode(Peers::readFile(table));
    unicodeText.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    QTextEncoder encoder(QTextCodec::codecForName("UTF-16LE"), QTextCodec::DefaultConversion);
    const QString excel = out + QStringLiteral("/unicode.txt");
    QVERIFY(Peers::writeFile(excel, encoder.fromUnicode(unicodeText)));
    box = UserSteps::convert(window, excel, out, QStringLiteral("excel"));
    QCOMPARE(box.text, QString::fromUtf8("Conversion Csv -> Xml Effectuée"));
    QCOMPARE(Peers::readFile(out + QStringLiteral("/excel.ts")), Peers::readFile(back));

    // Excel for Mac ends its lines, also those inside a cell, with a CR alone.
    const QString mac = out + QStringLiteral("/mac.txt");
    QVERIFY(Peers::writeFile(mac, Peers::readFile(table).replace('\n', '\r')));
    box = UserSteps::convert(window, mac, out, QStringLiteral("mac"));
    QCOMPARE(box.text, QString::fromUtf8("Conversion Csv -> Xml Effectuée"));
    QCOMPARE(Peers::readFile(out + QStringLiteral("/mac.ts")), Peers::readFile(back));

    if (sources.isEmpty())
        return;
    // Saved as CSV with semicolons, as Excel does in French, it is refused.
    const QString semicolons = out + QStringLiteral("/semicolons.txt");
    QVERIFY(spreadsheetSaves(filledPath, semicolons, ';'));
    const QStringList before = QDir(out).entryList(QDir::Files | QDir::Hidden);
    box = UserSteps::convert(window, semicolons, out, QStringLiteral("semicolons"));
    QCOMPARE(box.title, QStringLiteral("Erreur"));
    QVERIFY2(box.text.contains(QDir::toNativeSeparators(semicolons)), qPrintable(box.text));
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), before);

    roadBackIntoProgram(sources, back, original, kept);
}

// The developer gives the TS file its language, merges it into the
// program's sources with lupdate and compiles it with lrelease: the program
// then finds each typed translation under the message's own context.
void tst_RoundTrip::roadBackIntoProgram(const QString &sources, const QString &imported,
                                        const QVector<PoMessage> &original, const Peers::Pairs &kept)
{
    const QString work = m_dir.filePath(QStringLiteral("program"));
    QVERIFY(QDir().mkpath(work));
    const QString ts = work + QStringLiteral("/app_fr.ts");
    const QString qm = work + QStringLiteral("/app_fr.qm");
    QString output;
    QVERIFY2(Peers::run(Peers::lconvert(), {QStringLiteral("-target-language"), QStringLiteral("fr"),
                                            QStringLiteral("-i"), imported, QStringLiteral("-o"), ts},
                        &output),
             qPrintable(output));
    QVERIFY2(Peers::run(Peers::lupdate(), {QStringLiteral("-silent"), sources, QStringLiteral("-ts"), ts}, &output),
             qPrintable(output));
    QVERIFY2(Peers::run(Peers::lrelease(), {QStringLiteral("-silent"), ts, QStringLiteral("-qm"), qm}, &output),
             qPrintable(output));
    QTranslator translator;
    QVERIFY(translator.load(qm));

    QHash<QString, QStringList> typed;
    for (const auto &message : kept)
        typed.insert(message.first, message.second);
    for (const PoMessage &message : original) {
        const QString context = message.context.section(QLatin1Char('|'), 0, 0);
        const QByteArray comment = message.context.section(QLatin1Char('|'), 1).toUtf8();
        const QStringList expected = typed.value(message.source);
        for (int form = 0; form < expected.size(); ++form) {
            const int n = expected.size() == 1 ? -1 : form + 1;   // French: 1 takes the first form, 2 the second
            QCOMPARE(translator.translate(context.toUtf8(), message.source.toUtf8(), comment, n), expected.at(form));
        }
    }
}

QTEST_MAIN(tst_RoundTrip)
#include "tst_roundtrip.moc"
