// The whole road of a translation: a TS file that lupdate wrote goes out
// through the window as a table, LibreOffice Calc opens it and saves it as
// tab-separated text with the translator's text in it, the table comes back
// through the window, as each spreadsheet saves it, and Qt's own tools take
// the TS file back into the program.

#include "mainwindow.h"
#include "qttools.h"
#include "user.h"

#include <QTemporaryDir>
#include <QTranslator>

namespace {

// What a translator types into the translation column, cell after cell.
const char *const typed[] = {
    "Dites \"bonjour\"", "Tom & Jerry", "<b>gras</b> & <i>italique</i>",
    "premi\xc3\xa8re ligne\ndeuxi\xc3\xa8me ligne", "Caf\xc3\xa9 cr\xc3\xa8me \xe2\x80\x94 \xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e",
    "", " espaces autour ", "=1+1", "0012", "'apostrophes'", "a > b; \"c\" < d", "\"\"", "-1", "@moi",
};

// A cell as LibreOffice and Excel write it in tab-separated text.
QString spreadsheetCell(QString text)
{
    if (!text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\t')) && !text.contains(QLatin1Char('\n')))
        return text;
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
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
    bool spreadsheetSaves(const QString &input, const QString &saved, char separator = '\t');
    QString convert(const QString &input, const QString &name);
    void roadBackIntoProgram(const QString &sources, const QString &imported, const QtTools::Pairs &kept);

    QTemporaryDir m_dir;
    MainWindow *m_window = nullptr;
};

void tst_RoundTrip::initTestCase()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
    QVERIFY2(QFileInfo(QStringLiteral(QUORVALE_SOFFICE)).isExecutable(),
             "LibreOffice (soffice) is needed: the test command installs libreoffice-calc-nogui");
}

// LibreOffice opens a tab-separated file, every column as text, and saves
// it as UTF-8 text, its fields separated by the given character.
bool tst_RoundTrip::spreadsheetSaves(const QString &input, const QString &saved, char separator)
{
    const QString work = m_dir.filePath(QStringLiteral("calc"));
    QDir(work).removeRecursively();
    QDir().mkpath(work);
    QFile::copy(input, work + QStringLiteral("/sheet.csv"));
    QString output;
    const bool ok = QtTools::run(
        QStringLiteral(QUORVALE_SOFFICE),
        {QStringLiteral("--headless"), QStringLiteral("--norestore"),
         QStringLiteral("-env:UserInstallation=file://") + m_dir.filePath(QStringLiteral("profile")),
         QStringLiteral("--infilter=CSV:9,34,76,1,1/2/2/2/3/2/4/2,0,false,false"), QStringLiteral("--convert-to"),
         QStringLiteral("txt:Text - txt - csv (StarCalc):%1,34,76,1,,0,false,true,true").arg(int(separator)),
         QStringLiteral("--outdir"), work, work + QStringLiteral("/sheet.csv")},
        &output);
    QFile::remove(saved);
    if (!ok || !QFile::rename(work + QStringLiteral("/sheet.txt"), saved)) {
        qWarning("%s", qPrintable(output));
        return false;
    }
    return true;
}

// Converts a file through the window into the test's folder; the boxes seen.
QString tst_RoundTrip::convert(const QString &input, const QString &name)
{
    User user(*m_window, m_dir.path());
    const QStringList boxes = user.act({QStringLiteral("Rechercher:") + input, QStringLiteral("Selectionner:") + m_dir.path(),
                                        QStringLiteral("Nom:") + name, QStringLiteral("Convertir")});
    return boxes.join(QLatin1Char('\n'));
}

void tst_RoundTrip::throughSpreadsheet_data()
{
    QTest::addColumn<QString>("ts");
    QTest::addColumn<QString>("sources");   // the program's, for the road back into it
    const QString sources = QStringLiteral(QUORVALE_TEST_DATA "/sample.cpp");
    const QString sample = m_dir.filePath(QStringLiteral("sample_fr.ts"));
    QVERIFY(QtTools::run(QStringLiteral("lupdate"), {QStringLiteral("-silent"), QStringLiteral("-target-language"),
                                                     QStringLiteral("fr"), sources, QStringLiteral("-ts"), sample}));
    QTest::newRow("written by lupdate") << sample << sources;
    const QDir corpus(QStringLiteral(QUORVALE_CORPUS));
    for (const QString &name : corpus.entryList({QStringLiteral("*.ts")}, QDir::Files))   // none in a user's clone
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
    const auto file = [this](const char *name) { return m_dir.filePath(QLatin1String(name)); };
    const QString exported = QString::fromUtf8("Rapport: Conversion Xml -> Excel Effectuée");
    const QString imported = QString::fromUtf8("Rapport: Conversion Csv -> Xml Effectuée");
    for (const char *name : {"table.csv", "back.ts", "excel.ts", "mac.ts"})
        QFile::remove(file(name));

    // Out through the window.
    QCOMPARE(convert(ts, QStringLiteral("table")), exported);
    const QStringList rows = QString::fromUtf8(QtTools::readFile(file("table.csv"))).split(QLatin1Char('\n'));
    QCOMPARE(rows.size() - 2, original.size());

    // The translator types a translation into every row in the spreadsheet,
    // which saves the sheet as tab-separated text.
    QString filled = rows.at(0) + QLatin1Char('\n');
    QtTools::Pairs expected;
    for (int i = 0; i < original.size(); ++i) {
        const QStringList cells = rows.at(i + 1).split(QLatin1Char('\t'));
        QStringList translation{QString::fromUtf8(typed[i % std::size(typed)])};
        QString cell = translation.at(0);
        if (cells.value(1).startsWith(QLatin1String("<numerusform>"))) {
            translation.clear();
            cell.clear();
            for (int form = 0; form < original.at(i).second.size(); ++form) {
                translation += QStringLiteral("%n forme %1 & \"<%2>\"").arg(form).arg(i);
                cell += QStringLiteral("<numerusform>") + translation.last() + QStringLiteral("</numerusform>");
            }
        }
        filled += cells.at(0) + QLatin1Char('\t') + spreadsheetCell(cell)
                  + (cells.size() > 2 ? QLatin1Char('\t') + cells.at(2) : QString()) + QLatin1Char('\n');
        expected += {original.at(i).first, translation};
    }
    QVERIFY(QtTools::writeFile(file("filled.csv"), filled.toUtf8()));
    QVERIFY(spreadsheetSaves(file("filled.csv"), file("traduit.txt")));

    // Back through the window: Qt's tools read the typed translations.
    QCOMPARE(convert(file("traduit.txt"), QStringLiteral("back")), imported);
    QString error;
    QVERIFY2(QtTools::compiles(file("back.ts"), &error), qPrintable(error));
    const QtTools::Pairs kept = QtTools::keptByQt(expected);
    QCOMPARE(QtTools::pairs(file("back.ts"), language), kept);

    // The same table as Excel's "Unicode Text" (UTF-16 with its mark, CR LF)
    // and as Excel for Mac (a CR alone ends each line, inside cells too).
    const QString text = QString::fromUtf8(QtTools::readFile(file("traduit.txt")));
    QVERIFY(QtTools::writeFile(file("excel.txt"), QTextCodec::codecForName("UTF-16LE")->fromUnicode(
                                                      QString(text).replace(QLatin1Char('\n'), QLatin1String("\r\n")))));
    QVERIFY(QtTools::writeFile(file("mac.txt"), QString(text).replace(QLatin1Char('\n'), QLatin1Char('\r')).toUtf8()));
    for (const char *name : {"excel", "mac"}) {
        QCOMPARE(convert(file(name) + QStringLiteral(".txt"), QLatin1String(name)), imported);
        QCOMPARE(QtTools::readFile(file(name) + QStringLiteral(".ts")), QtTools::readFile(file("back.ts")));
    }
    if (sources.isEmpty())
        return;

    // Saved as CSV with semicolons, as Excel does in French, it is refused.
    QVERIFY(spreadsheetSaves(file("filled.csv"), file("semicolons.txt"), ';'));
    const QStringList before = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
    const QString refused = convert(file("semicolons.txt"), QStringLiteral("semicolons"));
    QVERIFY2(refused.startsWith(QStringLiteral("Erreur: Le fichier ") + QDir::toNativeSeparators(file("semicolons.txt"))
                                + QString::fromUtf8(" n'est pas un texte séparé par des tabulations")),
             qPrintable(refused));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), before);

    roadBackIntoProgram(sources, file("back.ts"), kept);
}

// The developer gives the TS file its language, merges it into the
// program's sources with lupdate and compiles it with lrelease: the program
// then finds each typed translation under the message's own context.
void tst_RoundTrip::roadBackIntoProgram(const QString &sources, const QString &imported, const QtTools::Pairs &kept)
{
    const QString ts = m_dir.filePath(QStringLiteral("app_fr.ts"));
    const QString qm = m_dir.filePath(QStringLiteral("app_fr.qm"));
    QFile::remove(ts);
    QString output;
    QVERIFY2(QtTools::run(QStringLiteral("lconvert"), {QStringLiteral("-target-language"), QStringLiteral("fr"),
                                                       QStringLiteral("-i"), imported, QStringLiteral("-o"), ts},
                          &output)
                 && QtTools::run(QStringLiteral("lupdate"), {QStringLiteral("-silent"), sources, QStringLiteral("-ts"), ts},
                                 &output)
                 && QtTools::run(QStringLiteral("lrelease"), {QStringLiteral("-silent"), ts, QStringLiteral("-qm"), qm},
                                 &output),
             qPrintable(output));
    QTranslator translator;
    QVERIFY(translator.load(qm));
    QVector<QtTools::Message> messages;
    QVERIFY2(QtTools::messages(ts, &messages, &output), qPrintable(output));
    int checked = 0;
    for (const QtTools::Message &message : messages) {
        if (message.context.isEmpty())
            continue;   // the imported messages, now vanished
        const auto typedFor = std::find_if(kept.begin(), kept.end(), [&](const auto &k) { return k.first == message.source; });
        QVERIFY2(typedFor != kept.end(), qPrintable(message.source));
        for (int form = 0; form < typedFor->second.size(); ++form) {
            const int n = typedFor->second.size() == 1 ? -1 : form + 1;   // in French 1 takes the first form, 2 the second
            QCOMPARE(translator.translate(message.context.toUtf8(), message.source.toUtf8(), message.comment.toUtf8(), n),
                     typedFor->second.at(form));
            ++checked;
        }
    }
    QVERIFY(checked > 20);
}

QTEST_MAIN(tst_RoundTrip)
#include "tst_roundtrip.moc"
