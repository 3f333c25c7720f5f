// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The whole road of a translation: a real TS file goes out through the
// window as a table, LibreOffice Calc opens it and saves it as tab-separated
// text with the translator's text in it, the table comes back through the
// window, Qt's own tools read exactly the original sources and
// translations, and take the TS file back into the program.

#include "mainwindow.h"
#include "qttools.h"
#include "user.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>

namespace {

// What a translator types into the translation column, cell after cell.
const char *const typed[] = {
    "Dites \"bonjour\"", "Tom & Jerry", "<b>gras</b> & <i>italique</i>", "première ligne\ndeuxième ligne",
    "Café crème — 日本語", "", " espaces autour ", "=1+1", "0012", "'apostrophes'", "a > b; \"c\" < d", "\"\"",
    "-1", "@moi",
};

// A cell as LibreOffice and Excel write it in tab-separated text.
QString spreadsheetCell(QString text)
{
    if (!text.contains('"') && !text.contains('\t') && !text.contains('\n'))
        return text;
    return '"' + text.replace('"', "\"\"") + '"';
}

} // namespace

class tst_RoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void throughSpreadsheet_data();
    void throughSpreadsheet();

private:
    bool spreadsheetSaves(const QString &input, const QString &saved);
    QString convert(const QString &input, const QString &name);
    void roadBackIntoProgram(const QString &sources, const QString &imported, const QtTools::Pairs &kept);
    QString file(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    MainWindow *m_window = nullptr;
};

// LibreOffice opens a tab-separated file, every column as text, and saves
// it as tab-separated UTF-8 text.
bool tst_RoundTrip::spreadsheetSaves(const QString &input, const QString &saved)
{
    QDir(file("calc")).removeRecursively();
    QDir().mkpath(file("calc"));
    QFile::copy(input, file("calc/sheet.csv"));
    QString output;
    const bool ok = QtTools::run(QUORVALE_SOFFICE,
                                 {"--headless", "--norestore", "-env:UserInstallation=file://" + file("profile"),
                                  "--infilter=CSV:9,34,76,1,1/2/2/2/3/2/4/2,0,false,false", "--convert-to",
                                  "txt:Text - txt - csv (StarCalc):9,34,76,1,,0,false,true,true",
                                  "--outdir", file("calc"), file("calc/sheet.csv")},
                                 &output);
    QFile::remove(saved);
    return (ok && QFile::rename(file("calc/sheet.txt"), saved)) || (qWarning("%s", qPrintable(output)), false);
}

// Converts a file through the window into the test's folder; the boxes seen.
QString tst_RoundTrip::convert(const QString &input, const QString &name)
{
    User user(*m_window, m_dir.path());
    return user.act({"Rechercher:" + input, "Selectionner:" + m_dir.path(), "Nom:" + name, "Convertir"}).join('\n');
}

void tst_RoundTrip::throughSpreadsheet_data()
{
    QTest::addColumn<QString>("ts");
    QTest::addColumn<QString>("sources");   // the program's, for the road back into it
    QVERIFY2(QFileInfo(QUORVALE_SOFFICE).isExecutable(), "LibreOffice (soffice) is needed: tools/test.sh installs it");
    const QString sources = QUORVALE_TEST_DATA "/sample.cpp";
    QVERIFY(QtTools::run("lupdate", {"-silent", "-target-language", "fr", sources, "-ts", file("sample_fr.ts")}));
    QTest::newRow("written by lupdate") << file("sample_fr.ts") << sources;
    for (const char *name : {"length-variants", "numerus-form-with-length-variants"})   // from Qt Linguist
        QTest::newRow(name) << QUORVALE_TEST_DATA "/export/" + QString(name) + ".ts" << QString();
    const QDir corpus(QUORVALE_CORPUS);
    for (const QString &name : corpus.entryList({"*.ts"}, QDir::Files))   // none in a user's clone
        QTest::newRow(qPrintable(name)) << corpus.filePath(name) << QString();
}

void tst_RoundTrip::throughSpreadsheet()
{
    QFETCH(QString, ts);
    QFETCH(QString, sources);
    const QString language = QtTools::languageOf(ts);
    const QtTools::Pairs original = QtTools::pairs(ts, language);
    MainWindow window;
    m_window = &window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const char *name : {"table.csv", "back.ts"})
        QFile::remove(file(name));

    // Out through the window: a row for each message, no cell a formula.
    QCOMPARE(convert(ts, "table"), QString("Rapport: Conversion Xml -> Excel Effectuée"));
    const QString table = QtTools::readFile(file("table.csv"));
    const QStringList rows = table.split('\n');
    QCOMPARE(rows.size() - 2, original.size());
    QCOMPARE(rows.size() - 2, QtTools::readFile(ts).count("<message"));
    QVERIFY(!table.contains(QRegularExpression("(^|[\t\n])[=+@-]")));

    // The translator types a translation into every row that has none in
    // the spreadsheet, which saves the sheet as tab-separated text.
    QString filled = rows.at(0) + '\n';
    QtTools::Pairs expected;
    int typing = 0;
    for (int i = 0; i < original.size(); ++i) {
        const QStringList cells = rows.at(i + 1).split('\t');
        if (!original.at(i).second.join(QString()).isEmpty()) {
            filled += rows.at(i + 1) + '\n';
            expected += original.at(i);
            continue;
        }
        QStringList translation{typed[typing++ % std::size(typed)]};
        QString cell = translation.at(0);
        if (cells.value(1).startsWith("<numerusform>")) {
            translation.clear();
            cell.clear();
            for (int form = 0; form < original.at(i).second.size(); ++form) {
                translation += QString("%n forme %1 & \"<%2>\"").arg(form).arg(i);
                // laid out as a translator types them, with a line break between
                cell += (form > 0 ? "\n<numerusform>" : "<numerusform>") + translation.last() + "</numerusform>";
            }
        }
        filled += cells.at(0) + '\t' + spreadsheetCell(cell) + (cells.size() > 2 ? '\t' + cells.at(2) : "") + '\n';
        expected += {original.at(i).first, translation};
    }
    QVERIFY(QtTools::writeFile(file("filled.csv"), filled.toUtf8()));
    QVERIFY(spreadsheetSaves(file("filled.csv"), file("traduit.txt")));

    // Back through the window: Qt's tools read the file, with the typed
    // translations (which lack the markers and shortcuts of their sources:
    // the report names them).
    QVERIFY(convert(file("traduit.txt"), "back").startsWith("Rapport: Conversion Csv -> Xml Effectuée"));
    const QtTools::Pairs kept = QtTools::keptByQt(expected);
    QCOMPARE(QtTools::pairs(file("back.ts"), language), kept);
    if (!sources.isEmpty())
        roadBackIntoProgram(sources, file("back.ts"), kept);
}

// The developer gives the TS file its language, merges it into the
// program's sources with lupdate and compiles it with lrelease: the program
// then finds each typed translation under the message's own context.
void tst_RoundTrip::roadBackIntoProgram(const QString &sources, const QString &imported, const QtTools::Pairs &kept)
{
    const QString ts = file("app_fr.ts");
    QFile::remove(ts);
    QString output;
    QVERIFY2(QtTools::run("lconvert", {"-target-language", "fr", "-i", imported, "-o", ts}, &output)
                 && QtTools::run("lupdate", {"-silent", sources, "-ts", ts}, &output)
                 && QtTools::run("lrelease", {"-silent", ts, "-qm", file("app_fr.qm")}, &output),
             qPrintable(output));
    QTranslator translator;
    QVERIFY(translator.load(file("app_fr.qm")));
    QVector<QtTools::Message> messages;
    QVERIFY2(QtTools::messages(ts, &messages, &output), qPrintable(output));
    int checked = 0;
    for (const QtTools::Message &message : messages) {
        if (message.context.isEmpty())
            continue;   // the imported messages, now vanished
        const auto typedFor =
            std::find_if(kept.begin(), kept.end(), [&](const auto &k) { return k.first == message.source; });
        QVERIFY2(typedFor != kept.end(), qPrintable(message.source));
        for (int form = 0; form < typedFor->second.size(); ++form, ++checked) {
            const int n = typedFor->second.size() == 1 ? -1 : form + 1;   // in French 1 takes the first form, 2 the second
            QCOMPARE(translator.translate(message.context.toUtf8(), message.source.toUtf8(), message.comment.toUtf8(), n),
                     typedFor->second.at(form));
        }
    }
    QVERIFY(checked > 20);
}

QTEST_MAIN(tst_RoundTrip)
#include "tst_roundtrip.moc"
