// The two conversions on their streams: the export's and the import's text
// rules, and both checked against Qt's own lupdate, lconvert and lrelease.

#include "conversion.h"
#include "peers.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QTextStream>
#include <QtTest>

namespace {

const QString header = QStringLiteral("Origine \tTraduction\n");

QString convert(Conversion::StreamConversion conversion, const QByteArray &input,
                Conversion::StreamResult *result = nullptr)
{
    QByteArray out;
    const Conversion::StreamResult r = Conversion::convertBytes(conversion, input, &out);
    if (result)
        *result = r;
    return QTextCodec::codecForLocale()->toUnicode(out);
}

QString exportText(const QByteArray &ts) { return convert(Conversion::tsToTable, ts); }
QString importText(const QByteArray &table) { return convert(Conversion::tableToTs, table); }

QByteArray message(const QByteArray &body, const QByteArray &open = "<message>")
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\" language=\"fr\">\n"
           "<context>\n    <name>Ctx</name>\n    "
           + open + "\n" + body + "    </message>\n</context>\n</TS>\n";
}

QString tsMessage(const QString &source, const QString &translation, const char *open = "<message>",
                  const char *translationOpen = "<translation>")
{
    return QStringLiteral("    %1\n        <source>%2</source>\n        %3%4</translation>\n    </message>\n")
        .arg(QLatin1String(open), source, QLatin1String(translationOpen), translation);
}

QString tsFile(const QString &messages)
{
    return QStringLiteral("<!DOCTYPE TS><TS>\n<context>\n") + messages + QStringLiteral("</context>\n</TS>\n");
}

// The (source, translation) pairs that lconvert reads from a TS file.
Peers::Pairs lconvertPairs(const QString &path, bool *ok, const QString &language)
{
    QVector<PoMessage> messages;
    QString error;
    *ok = Peers::readTs(path, &messages, &error, language);
    if (!*ok)
        qWarning("%s", qPrintable(error));
    Peers::Pairs pairs;
    for (const PoMessage &m : messages)
        pairs.append({m.source, m.translation});
    return pairs;
}

// The table's rows, each cell read back as XML text.
Peers::Pairs tablePairs(const QString &table, bool *ok)
{
    *ok = table.startsWith(header);
    Peers::Pairs pairs;
    const QStringList lines = table.mid(header.size()).split(QLatin1Char('\n'));
    for (int i = 0; i + 1 < lines.size(); ++i) {
        const QStringList cells = lines.at(i).split(QLatin1Char('\t'));
        bool sourceOk = false;
        bool translationOk = false;
        const QStringList source = Peers::decodeCell(cells.value(0), &sourceOk);
        const QStringList translation = Peers::decodeCell(cells.value(1), &translationOk);
        // and no cell that a spreadsheet would take for a formula
        const bool formula = QRegularExpression(QStringLiteral("(^|\\t)[=+@-]")).match(lines.at(i)).hasMatch();
        if (cells.size() < 2 || cells.size() > 3 || !sourceOk || !translationOk || formula) {
            qWarning("bad row %d: %s", i + 1, qPrintable(lines.at(i)));
            *ok = false;
        }
        pairs.append({source.value(0), translation});
    }
    return pairs;
}

void compareMessages(const Peers::Pairs &actual,
                     const Peers::Pairs &expected)
{
    for (int i = 0; i < qMin(actual.size(), expected.size()); ++i) {
        if (actual.at(i) != expected.at(i)) {
            QFAIL(qPrintable(QStringLiteral("message %1:\n got      [%2] [%3]\n expected [%4] [%5]")
                                 .arg(i)
                                 .arg(actual.at(i).first, actual.at(i).second.join(QStringLiteral("|")),
                                      expected.at(i).first, expected.at(i).second.join(QStringLiteral("|")))));
        }
    }
    QCOMPARE(actual.size(), expected.size());
}

QByteArray withByteOrderMark(const QByteArray &codec, const QString &text)
{
    // A Unicode encoder writes the byte-order mark by itself.
    QTextEncoder encoder(QTextCodec::codecForName(codec), QTextCodec::DefaultConversion);
    return encoder.fromUnicode(text);
}

// Qt's own tools read the TS text without an error.
bool qtReads(const QString &ts, QString *error)
{
    static int count = 0;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("made%1.ts").arg(++count));
    if (!Peers::writeFile(path, ts.toUtf8()))
        return false;
    QVector<PoMessage> messages;
    return Peers::readTs(path, &messages, error) && Peers::compiles(path, error);
}

} // namespace

void addCorpusRows();

class tst_Conversion : public QObject
{
    Q_OBJECT

private slots:
    void exportRows_data();
    void exportRows();
    void exportByteOrderMark_data();
    void exportByteOrderMark();
    void exportLupdateFile();
    void exportCorpus_data() { addCorpusRows(); }
    void exportCorpus();
    void roundTripCorpus_data() { addCorpusRows(); }
    void roundTripCorpus();

    void importMessages_data();
    void importMessages();
    void importIsWellFormed_data();
    void importIsWellFormed();
    void importByteOrderMark_data();
    void importByteOrderMark();
    void importThenExportIsStable_data();
    void importThenExportIsStable();

    void codePage_data();
    void codePage();
    void invalidEncoding_data();
    void invalidEncoding();

    void badInputs_data();
    void badInputs();
    void lineOf50Megabytes();
    void outputAppearsMeanwhile();
    void fileSystemFaults_data();
    void fileSystemFaults();
    void resultOnDiskBeforeItIsNamed();

private:
    QTemporaryDir m_dir;
};

void tst_Conversion::exportRows_data()
{
    QTest::addColumn<QByteArray>("ts");
    QTest::addColumn<QString>("rows");

    QTest::newRow("one element per line")
        << message("        <location filename=\"a.cpp\" line=\"3\"/>\n        <source>Open</source>\n"
                   "        <translation>Ouvrir</translation>\n")
        << "Open\tOuvrir\n";
    QTest::newRow("encoding marker")
        << message("        <source>Open</source>\n        <translation>Ouvrir</translation>\n",
                   "<message encoding=\"UTF-8\">")
        << "Open\tOuvrir\tUTF-8\n";
    QTest::newRow("encoding marker skips the location line")
        << message("        <location filename=\"a.cpp\" line=\"3\"/>\n        <source>Donn\xc3\xa9" "es</source>\n"
                   "        <comment>c</comment>\n        <translation type=\"unfinished\"></translation>\n",
                   "<message encoding=\"UTF-8\">")
        << QString::fromUtf8("Donn\xc3\xa9" "es\t\tUTF-8\n");
    QTest::newRow("further attributes: no marker")
        << message("        <source>a</source>\n        <translation>b</translation>\n",
                   "<message encoding=\"UTF-8\" id=\"x\">")
        << "a\tb\n";
    QTest::newRow("empty cells")
        << message("        <source></source>\n        <translation></translation>\n") << "\t\n";
    QTest::newRow("unfinished translation")
        << message("        <source>Open</source>\n        <translation type=\"unfinished\"></translation>\n")
        << "Open\t\n";
    QTest::newRow("unfinished translation with an old suggestion")
        << message("        <source>Default</source>\n"
                   "        <translation type=\"unfinished\">Par d\xc3\xa9" "faut</translation>\n")
        << QString::fromUtf8("Default\tPar d\xc3\xa9" "faut\n");
    QTest::newRow("empty-element translation")
        << message("        <source>Open</source>\n        <translation type=\"unfinished\"/>\n") << "Open\t\n";
    QTest::newRow("empty-element translation with a space")
        << message("      <source>Open</source>\n      <translation type=\"unfinished\" />\n") << "Open\t\n";
    QTest::newRow("vanished")
        << message("        <source>Old</source>\n        <translation type=\"vanished\">Vieux</translation>\n")
        << "Old\tVieux\n";
    QTest::newRow("no translation element") << message("        <source>Lonely</source>\n") << "Lonely\t\n";
    QTest::newRow("no source element") << message("        <translation>Seul</translation>\n") << "\tSeul\n";
    QTest::newRow("comments are not cells")
        << message("        <source>Open</source>\n        <oldsource>Opn</oldsource>\n"
                   "        <comment>menu</comment>\n        <extracomment>x &lt; y</extracomment>\n"
                   "        <translatorcomment>t</translatorcomment>\n        <translation>Ouvrir</translation>\n")
        << "Open\tOuvrir\n";
    QTest::newRow("multi-line text keeps its line breaks and indentation")
        << message("        <source>First\n  second\n\nthird </source>\n        <translation>Un\n    deux</translation>\n")
        << "First&#10;  second&#10;&#10;third \tUn&#10;    deux\n";
    QTest::newRow("closing tag on the next line")
        << message("        <source>Failed:\n</source>\n        <translation>\xc3\x89" "chec :\n</translation>\n")
        << QString::fromUtf8("Failed:&#10;\t\xc3\x89" "chec :&#10;\n");
    QTest::newRow("tab and double quote")
        << message("        <source>a\tb \"c\" &quot;d&quot;</source>\n        <translation></translation>\n")
        << "a&#9;b &quot;c&quot; &quot;d&quot;\t\n";
    QTest::newRow("references and markup stay as they are")
        << message("        <source>Tom &amp; &lt;b&gt; &#x202f; &amp;quot; line<byte value=\"xd\"/></source>\n"
                   "        <translation>x</translation>\n")
        << "Tom &amp; &lt;b&gt; &#x202f; &amp;quot; line<byte value=\"xd\"/>\tx\n";
    QTest::newRow("numerus forms on lines of their own")
        << message("        <source>%n file(s)</source>\n        <translation>\n"
                   "            <numerusform>%n fichier</numerusform>\n"
                   "            <numerusform>%n fichiers</numerusform>\n        </translation>\n",
                   "<message numerus=\"yes\">")
        << "%n file(s)\t<numerusform>%n fichier</numerusform><numerusform>%n fichiers</numerusform>\n";
    QTest::newRow("numerus forms on one line")
        << message("        <source>%n s</source>\n        <translation type=\"unfinished\"><numerusform></numerusform>"
                   "<numerusform></numerusform></translation>\n",
                   "<message numerus=\"yes\">")
        << "%n s\t<numerusform></numerusform><numerusform></numerusform>\n";
    QTest::newRow("multi-line numerus form")
        << message("        <source>%n</source>\n        <translation>\n            <numerusform>a\n b</numerusform>\n"
                   "            <numerusform> c</numerusform>\n        </translation>\n",
                   "<message numerus=\"yes\">")
        << "%n\t<numerusform>a&#10; b</numerusform><numerusform> c</numerusform>\n";
    QTest::newRow("length variants")
        << message("        <source>Open the file</source>\n        <translation variants=\"yes\">\n"
                   "            <lengthvariant>Ouvrir le fichier</lengthvariant>\n"
                   "            <lengthvariant>Ouvrir</lengthvariant>\n        </translation>\n")
        << "Open the file\t<lengthvariant>Ouvrir le fichier</lengthvariant><lengthvariant>Ouvrir</lengthvariant>\n";
    QTest::newRow("numerus form with length variants")
        << message("        <source>%n</source>\n        <translation>\n            <numerusform variants=\"yes\">\n"
                   "                <lengthvariant>%n fichier</lengthvariant>\n"
                   "                <lengthvariant>%n f.</lengthvariant>\n            </numerusform>\n"
                   "            <numerusform> %n </numerusform>\n        </translation>\n",
                   "<message numerus=\"yes\">")
        << "%n\t<numerusform variants=\"yes\"><lengthvariant>%n fichier</lengthvariant><lengthvariant>%n f.</lengthvariant>"
           "</numerusform><numerusform> %n </numerusform>\n";
    QTest::newRow("cells that a spreadsheet would take for formulas")
        << QByteArray("<TS><message><source>=1+1</source><translation>-x</translation></message>"
                      "<message><source>+a=b</source><translation>@b</translation></message>"
                      "<message><source>a-b</source><translation> =c</translation></message></TS>")
        << "&#61;1+1\t&#45;x\n&#43;a=b\t&#64;b\na-b\t =c\n";
    QTest::newRow("tab and carriage return inside markup")
        << message("        <source>a<b\tc\rd/>e</source>\n") << "a<b c d/>e\t\n";
    QTest::newRow("carriage returns alone, and CR LF cut between two chunks")
        << "<TS><message><source>" + QByteArray(65535 - 21, 'a') + "\r\nb\rc</source></message></TS>"
        << QString(65535 - 21, QLatin1Char('a')) + "&#10;b&#10;c\t\n";
    QTest::newRow("CR LF line ends")
        << QByteArray("<TS>\r\n<context>\r\n<message>\r\n<source>a\r\nb</source>\r\n<translation>c</translation>\r\n"
                      "</message>\r\n</context>\r\n</TS>\r\n")
        << "a&#10;b\tc\n";
    QTest::newRow("the import's own layout")
        << QByteArray("<!DOCTYPE TS><TS>\n<context>\n    <message>\n        <source>a</source>\n"
                      "        <translation>b</translation>\n    </message>\n    <message encoding=\"UTF-8\">\n"
                      "        <source>c</source>\n        <translation>d</translation>\n    </message>\n"
                      "</context>\n</TS>\n")
        << "a\tb\nc\td\tUTF-8\n";
    QTest::newRow("whole message on one line")
        << QByteArray("<TS><context><name>C</name><message><source>a</source><translation>b</translation></message>"
                      "<message><source>c</source></message></context></TS>")
        << "a\tb\nc\t\n";
    QTest::newRow("CDATA and comments")
        << message("        <!-- a > b -->\n        <source><![CDATA[x < y & z]]></source>\n"
                   "        <translation>t</translation>\n")
        << "x &lt; y &amp; z\tt\n";
    QTest::newRow("ends inside a cell")
        << QByteArray("<TS><context><message>\n<source>cut\nhere") << "cut&#10;here\t\n";
    QTest::newRow("ends right after the encoding message line")
        << QByteArray("<TS><context>\n<message encoding=\"UTF-8\">\n") << "\t\tUTF-8\n";
    QTest::newRow("ends inside a tag")
        << QByteArray("<TS><context>\n<message><source>a</source><translation>b</trans") << "a\tb\n";
    QTest::newRow("message without its end tag")
        << QByteArray("<TS><message><source>a</source>\n<message><source>b</source><translation>c</translation>"
                      "</message></TS>")
        << "a\t\nb\tc\n";
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("no recognised line") << QByteArray("hello\nworld\n<source>not in a message</source>\n")
                                        << QString();
}

void tst_Conversion::exportRows()
{
    QFETCH(QByteArray, ts);
    QFETCH(QString, rows);
    QCOMPARE(exportText(ts), header + rows);
}

void tst_Conversion::exportByteOrderMark_data()
{
    QTest::addColumn<QByteArray>("codec");
    QTest::newRow("UTF-8") << QByteArray("UTF-8");
    QTest::newRow("UTF-16LE") << QByteArray("UTF-16LE");
    QTest::newRow("UTF-16BE") << QByteArray("UTF-16BE");
    QTest::newRow("UTF-32LE") << QByteArray("UTF-32LE");
}

void tst_Conversion::exportByteOrderMark()
{
    QFETCH(QByteArray, codec);
    // U+010D holds a 0x0D byte in UTF-16: it must not be taken for a carriage return.
    const QString ts = QString::fromUtf8(message("        <source>\xc4\x8d" "a\xe6\x97\xa5</source>\n"
                                                 "        <translation>b</translation>\n"));
    const QByteArray bytes = withByteOrderMark(codec, ts);
    QCOMPARE(exportText(bytes), header + QString::fromUtf8("\xc4\x8d" "a\xe6\x97\xa5\tb\n"));
}

void tst_Conversion::exportLupdateFile()
{
    const QString ts = m_dir.filePath(QStringLiteral("sample_fr.ts"));
    QVERIFY(Peers::lupdateTs({QStringLiteral(QUORVALE_TEST_DATA "/sample.cpp")}, ts));
    QFile file(ts);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString table = exportText(file.readAll());

    bool ok = false;
    const auto expected = lconvertPairs(ts, &ok, QStringLiteral("fr"));
    QVERIFY(ok);
    QVERIFY(expected.size() >= 18);
    const auto rows = tablePairs(table, &ok);
    QVERIFY2(ok, qPrintable(table));
    compareMessages(rows, expected);
}

void addCorpusRows()
{
    QTest::addColumn<QString>("path");
    const QString dir = Peers::corpusDir();
    if (dir.isEmpty())
        QSKIP("the shared corpus of real TS files is not beside the project");
    for (const QString &name : QDir(dir).entryList({QStringLiteral("*.ts")}, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(name)) << QDir(dir).filePath(name);
}

void tst_Conversion::exportCorpus()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray ts = file.readAll();
    const QString table = exportText(ts);

    bool ok = false;
    const auto expected = lconvertPairs(path, &ok, Peers::languageOf(path));
    QVERIFY(ok);
    const auto rows = tablePairs(table, &ok);
    QVERIFY(ok);
    QCOMPARE(rows.size(), ts.count("<message"));
    compareMessages(rows, expected);
    QCOMPARE(table.count(QLatin1String("\tUTF-8\n")), ts.count("<message encoding=\"UTF-8\">"));
}

void tst_Conversion::roundTripCorpus()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString table = exportText(file.readAll());
    const QString back = importText(table.toUtf8());
    const QString backPath = m_dir.filePath(QFileInfo(path).fileName());
    QVERIFY(Peers::writeFile(backPath, back.toUtf8()));

    const QString language = Peers::languageOf(path);
    bool ok = false;
    const auto expected = Peers::keptByQt(lconvertPairs(path, &ok, language));
    QVERIFY(ok);
    const auto actual = lconvertPairs(backPath, &ok, language);
    QVERIFY(ok);
    compareMessages(actual, expected);
    QString error;
    QVERIFY2(Peers::compiles(backPath, &error), qPrintable(error));
}

void tst_Conversion::importMessages_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QString>("messages");

    QTest::newRow("empty table") << QByteArray() << QString();
    QTest::newRow("plain row") << QByteArray("Open\tOuvrir\n") << tsMessage("Open", "Ouvrir");
    QTest::newRow("encoding marker")
        << QByteArray("Open\tOuvrir\tUTF-8\n") << tsMessage("Open", "Ouvrir", "<message encoding=\"UTF-8\">");
    QTest::newRow("marker ignores a fourth cell")
        << QByteArray("a\tb\tUTF-8\textra\n") << tsMessage("a", "b", "<message encoding=\"UTF-8\">");
    QTest::newRow("marker in lower case") << QByteArray("a\tb\tutf-8\n") << tsMessage("a", "b");
    QTest::newRow("marker without hyphen") << QByteArray("a\tb\tUTF8\n") << tsMessage("a", "b");
    QTest::newRow("marker with a space") << QByteArray("a\tb\t UTF-8\n") << tsMessage("a", "b");
    QTest::newRow("empty third cell") << QByteArray("a\tb\t\n") << tsMessage("a", "b");
    QTest::newRow("leading tab") << QByteArray("\tb\n") << tsMessage("", "b");
    QTest::newRow("empty translation") << QByteArray("a\t\n") << tsMessage("a", "");
    QTest::newRow("spaces stay") << QByteArray(" a \t b \n") << tsMessage(" a ", " b ");
    QTest::newRow("header line skipped")
        << QByteArray("Origine \tTraduction\na\tb\n") << tsMessage("a", "b");
    QTest::newRow("header without its space, padded")
        << QByteArray("Origine\tTraduction\t\t\na\tb\t\t\n") << tsMessage("a", "b");
    QTest::newRow("header with a third value is a message")
        << QByteArray("Origine \tTraduction\tx\n") << tsMessage("Origine ", "Traduction");
    QTest::newRow("header-like second line is a message")
        << QByteArray("a\tb\nOrigine \tTraduction\n") << tsMessage("a", "b") + tsMessage("Origine ", "Traduction");
    QTest::newRow("references and markup stay")
        << QByteArray("Tom &amp; &lt;b&gt; &#10; &#x202f; line<byte value=\"xd\"/>\tx\n")
        << tsMessage("Tom &amp; &lt;b&gt; &#10; &#x202f; line<byte value=\"xd\"/>", "x");
    QTest::newRow("references with leading zeros stay")
        << QByteArray("a\t&#x0000000041;&#00000000066;\n") << tsMessage("a", "&#x0000000041;&#00000000066;");
    QTest::newRow("bare ampersand and angle brackets are escaped")
        << QByteArray("a\tTom & Jerry <b>gras</b> a > b\n")
        << tsMessage("a", "Tom &amp; Jerry &lt;b&gt;gras&lt;/b&gt; a &gt; b");
    QTest::newRow("references that XML does not know are escaped")
        << QByteArray("a\t&nbsp; &#0; &#xZZ; &amp\n") << tsMessage("a", "&amp;nbsp; &amp;#0; &amp;#xZZ; &amp;amp");
    QTest::newRow("numerus forms")
        << QByteArray("%n file(s)\t<numerusform>%n fichier</numerusform><numerusform>%n fichiers</numerusform>\n")
        << tsMessage("%n file(s)", "<numerusform>%n fichier</numerusform><numerusform>%n fichiers</numerusform>",
                     "<message numerus=\"yes\">");
    QTest::newRow("numerus forms with special characters")
        << QByteArray("%n\t<numerusform>a & b</numerusform><numerusform>&lt;c&gt;</numerusform>\n")
        << tsMessage("%n", "<numerusform>a &amp; b</numerusform><numerusform>&lt;c&gt;</numerusform>",
                     "<message numerus=\"yes\">");
    QTest::newRow("length variants")
        << QByteArray("a\t<lengthvariant>Ouvrir le fichier</lengthvariant><lengthvariant a='1'>&amp;</lengthvariant>\n")
        << tsMessage("a", "<lengthvariant>Ouvrir le fichier</lengthvariant><lengthvariant a='1'>&amp;</lengthvariant>",
                     "<message>", "<translation variants=\"yes\">");
    QTest::newRow("numerus form with length variants")
        << QByteArray("%n\t<numerusform variants=\"yes\"><lengthvariant>x & y</lengthvariant></numerusform>"
                      "<numerusform variants=\"yes\">z</numerusform>\n")
        << tsMessage("%n", "<numerusform variants=\"yes\"><lengthvariant>x &amp; y</lengthvariant></numerusform>"
                           "<numerusform>z</numerusform>",
                     "<message numerus=\"yes\">");
    QTest::newRow("markup that is not only length variants is text")
        << QByteArray("a\t<lengthvariant>x</lengthvariant>y\n")
        << tsMessage("a", "&lt;lengthvariant&gt;x&lt;/lengthvariant&gt;y");
    QTest::newRow("attributes that XML would refuse make it text")
        << QByteArray("a\t<lengthvariant a=\"<\">x</lengthvariant>\n")
        << tsMessage("a", "&lt;lengthvariant a=&quot;&lt;&quot;&gt;x&lt;/lengthvariant&gt;");
    QTest::newRow("what a spreadsheet takes for formulas")
        << QByteArray("=1+1\t-x\n+a\t@b\na=\t =c\n")
        << tsMessage("&#61;1+1", "&#45;x") + tsMessage("&#43;a", "&#64;b") + tsMessage("a=", " =c");
    QTest::newRow("broken numerus markup is text")
        << QByteArray("%n\t<numerusform>a</numerusform>b\n")
        << tsMessage("%n", "&lt;numerusform&gt;a&lt;/numerusform&gt;b");
    QTest::newRow("quoted cell")
        << QByteArray("\"Dites \"\"bonjour\"\"\"\t\"x\"\"\"\n") << tsMessage("Dites &quot;bonjour&quot;", "x&quot;");
    QTest::newRow("quoted cell over several lines")
        << QByteArray("a\t\"one\ntwo\n\nthree\"\nb\tc\n") << tsMessage("a", "one&#10;two&#10;&#10;three") + tsMessage("b", "c");
    QTest::newRow("quoted cell with a tab and CR LF")
        << QByteArray("\"x\ty\"\t\"p\r\nq\"\tUTF-8\r\n")
        << tsMessage("x&#9;y", "p&#10;q", "<message encoding=\"UTF-8\">");
    QTest::newRow("stray quote does not swallow the rows after it")
        << QByteArray("a\t\"never closed\nb\tc\nd\te\n")
        << tsMessage("a", "&quot;never closed") + tsMessage("b", "c") + tsMessage("d", "e");
    QTest::newRow("quote in the middle of a quoted-looking cell")
        << QByteArray("\"a\"b\tc\n") << tsMessage("&quot;a&quot;b", "c");
    QTest::newRow("quote inside an unquoted cell") << QByteArray("say \"hi\"\tx\n") << tsMessage("say &quot;hi&quot;", "x");
    QTest::newRow("line without a tab") << QByteArray("alone\n") << tsMessage("alone", "");
    QTest::newRow("empty and padded lines give nothing")
        << QByteArray("\n\t\t\na\tb\n\n\t\n") << tsMessage("a", "b");
    QTest::newRow("a row of stray cells gives nothing") << QByteArray("\t\tvante\n\t\tUTF-8\n") << QString();
    QTest::newRow("CR LF like LF") << QByteArray("a\tb\tUTF-8\r\nc\td\r\n")
                                   << tsMessage("a", "b", "<message encoding=\"UTF-8\">") + tsMessage("c", "d");
    QTest::newRow("CR alone like LF, mixed, and inside a quoted cell")
        << QByteArray("a\tb\tUTF-8\rc\t\"d\re\"\r\nf\t\"g\r\nh\"\ni\tj\r")
        << tsMessage("a", "b", "<message encoding=\"UTF-8\">") + tsMessage("c", "d&#10;e") + tsMessage("f", "g&#10;h")
               + tsMessage("i", "j");
    QTest::newRow("last line without line end") << QByteArray("a\tb\nc\td") << tsMessage("a", "b") + tsMessage("c", "d");
    QTest::newRow("control characters") << QByteArray("a\x01" "b\tc\x1f" "d\n")
                                        << tsMessage("a<byte value=\"x1\"/>b", "c<byte value=\"x1f\"/>d");
}

void tst_Conversion::importMessages()
{
    QFETCH(QByteArray, table);
    QFETCH(QString, messages);
    const QString ts = importText(table);
    QCOMPARE(ts, tsFile(messages));
    QString error;
    QVERIFY2(qtReads(ts, &error), qPrintable(error));
}

void tst_Conversion::importIsWellFormed_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QStringList>("source");
    QTest::addColumn<QStringList>("translation");
    const auto text = [](const char *s) { return QStringList{QString::fromUtf8(s)}; };

    QTest::newRow("what a translator types")
        << QByteArray("Hello\tTom & Jerry <b>\"quoted\"</b> 'apostrophe' caf\xc3\xa9 \xe6\x97\xa5\n") << text("Hello")
        << text("Tom & Jerry <b>\"quoted\"</b> 'apostrophe' caf\xc3\xa9 \xe6\x97\xa5");
    QTest::newRow("references from the export") << QByteArray("a&#10;b\tc&amp;d&#9;&quot;\n") << text("a\nb")
                                                << text("c&d\t\"");
    QTest::newRow("numerus") << QByteArray("%n\t<numerusform>un & </numerusform><numerusform>deux</numerusform>\n")
                             << text("%n") << QStringList{QStringLiteral("un & "), QStringLiteral("deux")};
    QTest::newRow("spreadsheet quoting") << QByteArray("\"a\"\"b\"\t\"line\nbreak\"\n") << text("a\"b")
                                         << text("line\nbreak");
    QTest::newRow("length variants")
        << QByteArray("a\t<lengthvariant>long</lengthvariant><lengthvariant>short</lengthvariant>\n") << text("a")
        << QStringList{QString::fromUtf8("long\xe2\x9d\xa2short")};
    QTest::newRow("numerus with length variants")
        << QByteArray("%n\t<numerusform variants=\"yes\"><lengthvariant>un</lengthvariant><lengthvariant>1</lengthvariant>"
                      "</numerusform><numerusform>deux</numerusform>\n")
        << text("%n") << QStringList{QString::fromUtf8("un\xe2\x9d\xa2" "1"), QStringLiteral("deux")};
    QTest::newRow("formulas") << QByteArray("=1+1\t-x\n") << text("=1+1") << text("-x");
    QTest::newRow("a CDATA end in the text") << QByteArray("]]>\tx\n") << text("]]>") << text("x");
}

void tst_Conversion::importIsWellFormed()
{
    QFETCH(QByteArray, table);
    QFETCH(QStringList, source);
    QFETCH(QStringList, translation);
    const QString path = m_dir.filePath(QStringLiteral("%1.ts").arg(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_')));
    QVERIFY(Peers::writeFile(path, importText(table).toUtf8()));
    bool ok = false;
    const auto pairs = lconvertPairs(path, &ok, QStringLiteral("fr"));
    QVERIFY(ok);
    compareMessages(pairs, {{source.value(0), translation}});
    QString error;
    QVERIFY2(Peers::compiles(path, &error), qPrintable(error));
}

void tst_Conversion::importByteOrderMark_data()
{
    exportByteOrderMark_data();
}

void tst_Conversion::importByteOrderMark()
{
    QFETCH(QByteArray, codec);
    const QString table = QString::fromUtf8("\xc4\x8d" "a\t\"\xe6\x97\xa5\r\nb\"\r\n");
    const QByteArray bytes = withByteOrderMark(codec, table);
    const QString ts = importText(bytes);
    QCOMPARE(ts, tsFile(tsMessage(QString::fromUtf8("\xc4\x8d" "a"), QString::fromUtf8("\xe6\x97\xa5&#10;b"))));
    QString error;
    QVERIFY2(qtReads(ts, &error), qPrintable(error));
}

void tst_Conversion::importThenExportIsStable_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::newRow("plain") << QByteArray("a\tb\n");
    QTest::newRow("marker") << QByteArray("a\tb\tUTF-8\n");
    QTest::newRow("numerus") << QByteArray("%n\t<numerusform>x</numerusform><numerusform>y</numerusform>\n");
    QTest::newRow("numerus and marker")
        << QByteArray("%n\t<numerusform>x</numerusform><numerusform>y</numerusform>\tUTF-8\n");
    QTest::newRow("special characters") << QByteArray("a & <b>\t\"x\"\"y\"\n");
    QTest::newRow("line break") << QByteArray("a\t\"x\ny\"\n");
    QTest::newRow("control characters") << QByteArray("Traduc\x01\t\x00\x1c d\n", 14);
    QTest::newRow("stray cells only") << QByteArray("a\tb\n\t\tvante\n");
    QTest::newRow("length variants")
        << QByteArray("%n\t<numerusform variants=\"yes\"><lengthvariant a='1'>x</lengthvariant></numerusform>\n");
    QTest::newRow("formulas") << QByteArray("=1\t+2\n-3\t@4\n");
}

void tst_Conversion::importThenExportIsStable()
{
    QFETCH(QByteArray, table);
    const QString ts = importText(table);
    const QString again = importText(exportText(ts.toUtf8()).toUtf8());
    QCOMPARE(again, ts);
    QString error;
    QVERIFY2(qtReads(ts, &error), qPrintable(error));
}

void tst_Conversion::codePage_data()
{
    QTest::addColumn<bool>("isImport");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("output");   // as the system writes it, in Windows-1252

    const QByteArray ts = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<TS><message><source>";
    QTest::newRow("lupdate's UTF-8 without a mark; what 1252 lacks as references")
        << false << ts + "Caf\xc3\xa9 \xc3\x81 \xe2\x82\xac \xc4\x81 \xe6\x97\xa5\xf0\x9f\x98\x80</source></message></TS>"
        << QByteArray("Origine \tTraduction\nCaf\xe9 \xc1 \x80 &#x101; &#x65e5;&#x1f600;\t\n");
    QTest::newRow("a TS that declares its encoding")
        << false << QByteArray("<?xml version='1.0' encoding='ISO-8859-1'?><TS><message><source>Caf\xe9</source>"
                               "</message></TS>")
        << QByteArray("Origine \tTraduction\nCaf\xe9\t\n");
    QTest::newRow("LibreOffice's UTF-8 table without a mark")
        << true << QByteArray("Hello\tCaf\xc3\xa9 \xe2\x82\xac\n")
        << QByteArray("<!DOCTYPE TS><TS>\n<context>\n    <message>\n        <source>Hello</source>\n"
                      "        <translation>Caf&#xe9; &#x20ac;</translation>\n    </message>\n</context>\n</TS>\n");
    QTest::newRow("Excel's Text (tab-separated) in Windows-1252")
        << true << QByteArray("Hello\t\xe9 \xe8 \x80 \x9c \xab\xbb\nCaf\xc3\xa9\tx\n")
        << QByteArray("<!DOCTYPE TS><TS>\n<context>\n    <message>\n        <source>Hello</source>\n"
                      "        <translation>&#xe9; &#xe8; &#x20ac; &#x153; &#xab;&#xbb;</translation>\n    </message>\n"
                      "    <message>\n        <source>Caf&#xc3;&#xa9;</source>\n        <translation>x</translation>\n"
                      "    </message>\n</context>\n</TS>\n");
}

// A Windows system reads and writes in its ANSI code page. Elsewhere the
// test gives the process that code page.
void tst_Conversion::codePage()
{
    QFETCH(bool, isImport);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, output);
    QTextCodec *const saved = QTextCodec::codecForLocale();
#ifndef Q_OS_WIN
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("windows-1252"));
#endif
    QCOMPARE(QTextCodec::codecForLocale()->fromUnicode(QString::fromUtf8("\xc3\xa9\xe2\x82\xac")), QByteArray("\xe9\x80"));
    QByteArray written;
    Conversion::convertBytes(isImport ? Conversion::tableToTs : Conversion::tsToTable, input, &written);
    QTextCodec::setCodecForLocale(saved);
    QCOMPARE(written, output);
}

void tst_Conversion::invalidEncoding_data()
{
    QTest::addColumn<bool>("isImport");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("invalidLine");   // 0: valid

    QTest::newRow("Windows-1252 table") << true << QByteArray("ok\tfine\ncaf\xe9\tx\n") << 2;
    QTest::newRow("ends inside a character") << true << QByteArray("a\tb\xc3") << 1;
    QTest::newRow("overlong sequence") << true << QByteArray("\n\n\xc0\xaf\tx\n") << 3;
    QTest::newRow("a replacement character is text") << true << QByteArray("\xef\xbf\xbd\tx\n") << 0;
    QTest::newRow("UTF-16 with its mark") << true << QByteArray("\xff\xfe" "a\0\t\0b\0\n\0", 10) << 0;
    QTest::newRow("Latin-1 in a TS file")
        << false << message("        <location filename=\"caf\xe9.cpp\"/>\n        <source>a</source>\n") << 7;
    QTest::newRow("binary named .ts") << false << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xd8", 18) << 1;
}

void tst_Conversion::invalidEncoding()
{
    QFETCH(bool, isImport);
    QFETCH(QByteArray, bytes);
    QFETCH(int, invalidLine);
    Conversion::StreamResult result;
    convert(isImport ? Conversion::tableToTs : Conversion::tsToTable, bytes, &result);
    QCOMPARE(result.invalidLine, qint64(invalidLine));
}

namespace {

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// A small file system of its own for a test, where the machine allows it
// (root may mount a tmpfs); unmounted when the test ends.
class Mount
{
public:
    Mount(const QString &dir, const QString &options) : m_dir(dir)
    {
        QDir().mkpath(dir);
        m_mounted = Peers::run(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                         QStringLiteral("-o"), options, QStringLiteral("tmpfs"), dir});
    }
    ~Mount()
    {
        if (m_mounted)
            Peers::run(QStringLiteral("umount"), {m_dir});
    }
    bool mounted() const { return m_mounted; }
    bool remountReadOnly()
    {
        return Peers::run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_dir});
    }

private:
    QString m_dir;
    bool m_mounted = false;
};

QString appearingOutput;

// The export, during which another program creates the output file.
Conversion::StreamResult exportWhileAnotherWrites(QTextStream &in, QTextStream &out)
{
    const Conversion::StreamResult result = Conversion::tsToTable(in, out);
    Peers::writeFile(appearingOutput, "another program's file");
    return result;
}

} // namespace

void tst_Conversion::badInputs_data()
{
    QTest::addColumn<bool>("isImport");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("output");   // empty: refused
    QTest::addColumn<QString>("says");

    QTest::newRow("empty TS") << false << QByteArray() << QByteArray("Origine \tTraduction\n") << QString();
    QTest::newRow("empty table") << true << QByteArray()
                                 << QByteArray("<!DOCTYPE TS><TS>\n<context>\n</context>\n</TS>\n") << QString();
    QTest::newRow("TS that ends in a message")
        << false << QByteArray("<TS><context><message><source>cut\nhere")
        << QByteArray("Origine \tTraduction\ncut&#10;here\t\n") << QString();
    QTest::newRow("binary named .ts") << false << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xd8\xff", 19)
                                      << QByteArray() << QString::fromUtf8("n'est pas un texte valide dans le codage UTF-8");
    QTest::newRow("table saved in Windows-1252")
        << true << QByteArray("Origine \tTraduction\nCoffee\tcaf\xe9\n") << QByteArray()
        << QString::fromUtf8("sa ligne 2");
    QTest::newRow("table saved with semicolons")
        << true << QByteArray("Origine ;Traduction\nHello;Bonjour\n\n") << QByteArray()
        << QString::fromUtf8("n'est pas un texte séparé par des tabulations");
    QTest::newRow("empty lines are an empty table") << true << QByteArray("\n\r\n")
                                 << QByteArray("<!DOCTYPE TS><TS>\n<context>\n</context>\n</TS>\n") << QString();
    QTest::newRow("unpaired surrogate in UTF-16")
        << true << QByteArray("\xff\xfe" "a\0\t\0\x00\xd8\n\0", 10) << QByteArray()
        << QString::fromUtf8("ne peuvent pas figurer");
}

void tst_Conversion::badInputs()
{
    QFETCH(bool, isImport);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, output);
    QFETCH(QString, says);
    QTemporaryDir dir;
    const QString input = dir.filePath(isImport ? QStringLiteral("in.txt") : QStringLiteral("in.ts"));
    QVERIFY(Peers::writeFile(input, bytes));
    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    const QString target = out + (isImport ? QStringLiteral("/x.ts") : QStringLiteral("/x.csv"));

    const Conversion::FileResult result = Conversion::convertFile(
        input, out, target, isImport ? Conversion::tableToTs : Conversion::tsToTable);
    if (output.isEmpty()) {
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(says), qPrintable(result.error));
        QVERIFY2(result.error.contains(QDir::toNativeSeparators(input)), qPrintable(result.error));
        QCOMPARE(entries(out), QStringList());
    } else {
        QVERIFY2(result.ok, qPrintable(result.error));
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), output);
        QCOMPARE(entries(out), QStringList{QStringLiteral("x") + (isImport ? QStringLiteral(".ts") : QStringLiteral(".csv"))});
    }
    QCOMPARE(QFile(input).size(), qint64(bytes.size()));
}

void tst_Conversion::lineOf50Megabytes()
{
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("long.txt"));
    const QByteArray source(50 * 1000 * 1000, 'a');
    QVERIFY(Peers::writeFile(input, source + "\tb&c\n"));
    const QString target = dir.filePath(QStringLiteral("long.ts"));
    const Conversion::FileResult result = Conversion::convertFile(input, dir.path(), target, Conversion::tableToTs);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.records, qint64(1));
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray ts = file.readAll();
    QVERIFY(ts == "<!DOCTYPE TS><TS>\n<context>\n    <message>\n        <source>" + source
                      + "</source>\n        <translation>b&amp;c</translation>\n    </message>\n</context>\n</TS>\n");
}

void tst_Conversion::outputAppearsMeanwhile()
{
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("in.ts"));
    QVERIFY(Peers::writeFile(input, message("<source>a</source><translation>b</translation>")));
    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    appearingOutput = out + QStringLiteral("/app.csv");
    const Conversion::FileResult result = Conversion::convertFile(input, out, appearingOutput, exportWhileAnotherWrites);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(QString::fromUtf8("existe déjà")), qPrintable(result.error));
    QFile file(appearingOutput);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("another program's file"));
    QCOMPARE(entries(out), QStringList{QStringLiteral("app.csv")});
}

void tst_Conversion::fileSystemFaults_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("full file system") << "size=64k" << false;
    QTest::newRow("read-only file system") << "size=1m" << true;
}

void tst_Conversion::fileSystemFaults()
{
    QFETCH(QString, options);
    QFETCH(bool, readOnly);
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("big.ts"));
    QByteArray ts = "<TS>\n<context>\n";
    for (int i = 0; i < 5000; ++i)
        ts += "    <message>\n        <source>message number " + QByteArray::number(i) + "</source>\n    </message>\n";
    QVERIFY(Peers::writeFile(input, ts + "</context>\n</TS>\n"));
    const QString out = dir.filePath(QStringLiteral("mounted"));
    Mount mount(out, options);
    if (!mount.mounted())
        QSKIP("this machine does not let the test mount a small file system");
    if (readOnly)
        QVERIFY(mount.remountReadOnly());

    const QString target = out + QStringLiteral("/big.csv");
    const Conversion::FileResult result = Conversion::convertFile(input, out, target, Conversion::tsToTable);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(QString::fromUtf8("n'a pas pu être écrit")), qPrintable(result.error));
    QVERIFY2(result.error.contains(QDir::toNativeSeparators(target)), qPrintable(result.error));
    QCOMPARE(entries(out), QStringList());
}

void tst_Conversion::resultOnDiskBeforeItIsNamed()
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        QSKIP("strace is not installed");
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("in.ts"));
    QVERIFY(Peers::writeFile(input, message("<source>a</source><translation>b</translation>")));
    const QString trace = dir.filePath(QStringLiteral("trace"));
    QString output;
    QVERIFY2(Peers::run(strace, {QStringLiteral("-f"), QStringLiteral("-o"), trace, QStringLiteral("-e"),
                                 QStringLiteral("trace=fsync,fdatasync,rename,renameat,renameat2,link,linkat"),
                                 QStringLiteral(QUORVALE_BENCH), QStringLiteral("export"), input,
                                 dir.filePath(QStringLiteral("out.csv"))},
                        &output),
             qPrintable(output));
    const QString calls = QString::fromUtf8(Peers::readFile(trace));
    const int synced = calls.indexOf(QRegularExpression(QStringLiteral("f(data)?sync\\(\\d+\\) += 0")));
    const int named = calls.indexOf(QLatin1String("out.csv\""));
    QVERIFY2(synced >= 0 && named > synced, qPrintable(calls));
}

QTEST_GUILESS_MAIN(tst_Conversion)
#include "tst_conversion.moc"
