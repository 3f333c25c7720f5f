// The window as a user meets it: its widgets, its buttons, the file dialogs
// and message boxes it opens, and the conversions it runs.

#include "mainwindow.h"
#include "peers.h"
#include "user.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

const QString invalidFile = QStringLiteral("Veuillez Choisir un Fichier Valide (*.txt,*.ts)");
const QString csvRefused = QString::fromUtf8("Le Fichier choisi doit etre de type .txt et genéré par Excel "
                                             ".Veuillez suivre la procédure de convertion Svp");
const QString noChoice = QStringLiteral("Veuillez Choisir un Choix de Conversion ET Choisir un Nom de Fichier");
const QString exportDone = QString::fromUtf8("Conversion Xml -> Excel Effectuée");
const QString importDone = QString::fromUtf8("Conversion Csv -> Xml Effectuée");

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void connectionsResolve();
    void fixedSizeAndTitle();
    void clickReachesEachButton();
    void overlapGoesToExcel();
    void tabFollowsCreationOrder();
    void pathFieldsTakeNoInput();
    void quitEndsTheLoop_data();
    void quitEndsTheLoop();

    void chooseInput_data();
    void chooseInput();
    void refusedInputKeepsTheMark();
    void txtAfterTs();
    void outputFolderCancelEmptiesIt();
    void startNeedsChoiceAndName_data();
    void startNeedsChoiceAndName();
    void radioButtonsSetTheExtension();

    void exportThroughTheWindow();
    void importThroughTheWindow_data();
    void importThroughTheWindow();
    void failuresAreReported_data();
    void failuresAreReported();
    void workingNameInCurrentDirectoryIsUntouched();
    void outputFolderIsCurrentDirectory();

private:
    QAbstractButton *button(const char *text) { return buttonNamed(*m_window, QString::fromUtf8(text)); }

    MainWindow *m_window = nullptr;
    QTemporaryDir *m_dir = nullptr;
    QString m_savedCurrent;
};

void tst_MainWindow::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY2(m_dir->isValid(), qPrintable(m_dir->errorString()));
    m_savedCurrent = QDir::currentPath();
    QDir(m_dir->path()).mkdir(QStringLiteral("cwd"));
    QDir::setCurrent(m_dir->filePath(QStringLiteral("cwd")));
    m_window = new MainWindow;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void tst_MainWindow::cleanup()
{
    // The window writes nothing in the current directory, whatever happened.
    QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    QDir::setCurrent(m_savedCurrent);
    delete m_window;
    m_window = nullptr;
    delete m_dir;
    m_dir = nullptr;
}

static QStringList recordedWarnings;

static void recordWarning(QtMsgType, const QMessageLogContext &, const QString &message)
{
    recordedWarnings.append(message);
}

void tst_MainWindow::connectionsResolve()
{
    recordedWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordWarning);
    {
        MainWindow window;
    }
    qInstallMessageHandler(previous);
    QCOMPARE(recordedWarnings, QStringList());

    // and each of the five slots answers its button
    QAbstractButton *start = buttonNamed(*m_window, QStringLiteral("Convertir"));
    User user;
    user.reads();
    QTest::mouseClick(start, Qt::LeftButton);
    QTRY_VERIFY(user.done());
    QCOMPARE(user.unexpected(), QStringList());
    QCOMPARE(user.boxes().value(0).text, noChoice);
}

void tst_MainWindow::fixedSizeAndTitle()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Quorvale"));
    QCOMPARE(m_window->size(), QSize(550, 300));
    m_window->resize(800, 600);
    QCOMPARE(m_window->size(), QSize(550, 300));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
}

void tst_MainWindow::clickReachesEachButton()
{
    const QStringList texts = {QStringLiteral("Rechercher"), QStringLiteral("Selectionner"),
                               QStringLiteral("Convertir vers XMl"), QStringLiteral("Convertir vers Excel"),
                               QStringLiteral("Quitter"), QStringLiteral("Convertir")};
    QCOMPARE(m_window->findChildren<QAbstractButton *>().size(), texts.size());
    for (const QString &text : texts) {
        QAbstractButton *button = buttonNamed(*m_window, text);
        QVERIFY2(button, qPrintable(text));
        QVERIFY(button->isVisible());
        const QPoint centre = button->geometry().center();
        QCOMPARE(m_window->childAt(centre), button);
    }
}

void tst_MainWindow::overlapGoesToExcel()
{
    QAbstractButton *xml = buttonNamed(*m_window, QStringLiteral("Convertir vers XMl"));
    QAbstractButton *excel = buttonNamed(*m_window, QStringLiteral("Convertir vers Excel"));
    const QRect overlap = xml->geometry() & excel->geometry();
    QVERIFY(!overlap.isEmpty());
    for (int x = overlap.left(); x <= overlap.right(); x += 3) {
        for (int y = overlap.top(); y <= overlap.bottom(); y += 3)
            QCOMPARE(m_window->childAt(x, y), excel);
    }
    const QPoint p = overlap.center();
    QTest::mouseClick(excel, Qt::LeftButton, {}, excel->mapFrom(m_window, p));
    QVERIFY(excel->isChecked());
    QVERIFY(!xml->isChecked());
    QCOMPARE(extensionLabel(*m_window)->text(), QStringLiteral(".csv"));
}

void tst_MainWindow::tabFollowsCreationOrder()
{
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QWidget *first = buttonNamed(*m_window, QStringLiteral("Rechercher"));
    first->setFocus(Qt::TabFocusReason);
    QStringList order;
    for (int i = 0; i < 8; ++i) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        if (auto button = qobject_cast<QAbstractButton *>(focus))
            order.append(button->text());
        else if (focus == fieldAt(*m_window, 2))
            order.append(QStringLiteral("name field"));
        else
            order.append(QString::fromLatin1(focus->metaObject()->className()));
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    // The two radio buttons are one stop, as Qt makes an exclusive pair;
    // the arrow keys move between them.
    QCOMPARE(order, QStringList({QStringLiteral("Rechercher"), QStringLiteral("Selectionner"),
                                 QStringLiteral("name field"), QStringLiteral("Convertir vers XMl"),
                                 QStringLiteral("Quitter"), QStringLiteral("Convertir"),
                                 QStringLiteral("Rechercher"), QStringLiteral("Selectionner")}));
    QAbstractButton *xml = button("Convertir vers XMl");
    xml->setFocus(Qt::TabFocusReason);
    QTest::keyClick(xml, Qt::Key_Right);
    QCOMPARE(QApplication::focusWidget(), button("Convertir vers Excel"));
}

void tst_MainWindow::pathFieldsTakeNoInput()
{
    for (int i = 0; i < 2; ++i) {
        QLineEdit *field = fieldAt(*m_window, i);
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClicks(field, QStringLiteral("typed"));
        QVERIFY(!field->hasFocus());
        QCOMPARE(field->text(), QString());
        const QImage image = field->grab().toImage();
        QCOMPARE(QColor(image.pixel(image.width() / 2, image.height() / 2)), QColor(Qt::white));
    }
    QLineEdit *name = fieldAt(*m_window, 2);
    QTest::mouseClick(name, Qt::LeftButton);
    QTest::keyClicks(name, QStringLiteral("app"));
    QCOMPARE(name->text(), QStringLiteral("app"));
    QVERIFY(!m_window->findChild<QProgressBar *>()->isVisible());
}

void tst_MainWindow::quitEndsTheLoop_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::newRow("Quitter") << true;
    QTest::newRow("window closed") << false;
}

void tst_MainWindow::quitEndsTheLoop()
{
    QFETCH(bool, byButton);
    QTimer::singleShot(0, m_window, [this, byButton] {
        if (byButton)
            QTest::mouseClick(buttonNamed(*m_window, QStringLiteral("Quitter")), Qt::LeftButton);
        else
            m_window->close();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    QCOMPARE(QApplication::exec(), 0);
}


void tst_MainWindow::chooseInput_data()
{
    QTest::addColumn<QString>("name");      // empty: the dialog is cancelled
    QTest::addColumn<QString>("message");   // empty: accepted
    QTest::addColumn<bool>("xmlChecked");
    QTest::addColumn<bool>("excelChecked");
    QTest::addColumn<QString>("extension");

    QTest::newRow("table saved as text") << "table.txt" << QString() << true << false << ".ts";
    QTest::newRow("TS file") << "app.ts" << QString() << false << true << ".csv";
    QTest::newRow("the export's own table") << "app.csv" << csvRefused << false << false << "";
    QTest::newRow("upper-case TXT") << "TABLE.TXT" << invalidFile << false << false << "";
    QTest::newRow("upper-case TS") << "APP.TS" << invalidFile << false << false << "";
    QTest::newRow("only the end counts") << "table.txt.bak" << invalidFile << false << false << "";
    QTest::newRow("cancelled") << QString() << invalidFile << false << false << "";
}

void tst_MainWindow::chooseInput()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QFETCH(bool, xmlChecked);
    QFETCH(bool, excelChecked);
    QFETCH(QString, extension);

    QAbstractButton *xml = button("Convertir vers XMl");
    QAbstractButton *excel = button("Convertir vers Excel");
    QAbstractButton *startButton = button("Convertir");
    const QString path = name.isEmpty() ? QString() : m_dir->filePath(name);
    if (!path.isEmpty())
        QVERIFY(Peers::writeFile(path, "not read here"));

    User user;
    if (path.isEmpty())
        user.cancels();
    else
        user.picks(path);
    if (!message.isEmpty()) {
        // A ".csv" name changes the window before the box opens, any other
        // refused name only after it is closed.
        const bool before = name.endsWith(QLatin1String(".csv"));
        user.reads([=] {
            QCOMPARE(xml->isEnabled(), !before);
            QCOMPARE(excel->isEnabled(), !before);
            QCOMPARE(startButton->isVisible(), !before);
        });
    }
    QTest::mouseClick(button("Rechercher"), Qt::LeftButton);
    QTRY_VERIFY(user.done());
    QCOMPARE(user.unexpected(), QStringList());

    QCOMPARE(fieldAt(*m_window, 0)->text(), path);
    QCOMPARE(user.boxes().size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(user.boxes().at(0).title, QStringLiteral("Erreur"));
        QCOMPARE(user.boxes().at(0).text, message);
        QVERIFY(user.boxesHaveOneOkButton());
    }
    QCOMPARE(xml->isChecked(), xmlChecked);
    QCOMPARE(excel->isChecked(), excelChecked);
    QCOMPARE(xml->isEnabled(), xmlChecked);
    QCOMPARE(excel->isEnabled(), excelChecked);
    QCOMPARE(startButton->isVisible(), message.isEmpty());
    QCOMPARE(extensionLabel(*m_window)->text(), extension);
    QVERIFY(!m_window->findChild<QProgressBar *>()->isVisible());
}

void tst_MainWindow::refusedInputKeepsTheMark()
{
    const QString ts = m_dir->filePath(QStringLiteral("app.ts"));
    const QString other = m_dir->filePath(QStringLiteral("notes.doc"));
    const QString table = m_dir->filePath(QStringLiteral("table.txt"));
    QVERIFY(Peers::writeFile(ts, ""));
    QVERIFY(Peers::writeFile(other, ""));
    QVERIFY(Peers::writeFile(table, ""));
    QAbstractButton *xml = button("Convertir vers XMl");
    QAbstractButton *excel = button("Convertir vers Excel");

    UserSteps::chooseInput(*m_window, ts);
    UserSteps::chooseInput(*m_window, other, true);
    QVERIFY(excel->isChecked());   // greyed, but still marked
    QVERIFY(!excel->isEnabled());
    QVERIFY(!xml->isEnabled());
    QVERIFY(!button("Convertir")->isVisible());
    QCOMPARE(extensionLabel(*m_window)->text(), QStringLiteral(".csv"));

    UserSteps::chooseInput(*m_window, table);
    QVERIFY(xml->isChecked());
    QVERIFY(!excel->isChecked());
    QVERIFY(button("Convertir")->isVisible());
}

void tst_MainWindow::txtAfterTs()
{
    const QString ts = m_dir->filePath(QStringLiteral("app.ts"));
    const QString table = m_dir->filePath(QStringLiteral("table.txt"));
    QVERIFY(Peers::writeFile(ts, ""));
    QVERIFY(Peers::writeFile(table, ""));
    UserSteps::chooseInput(*m_window, ts);
    UserSteps::chooseInput(*m_window, table);
    QVERIFY(button("Convertir vers XMl")->isEnabled());
    QVERIFY(button("Convertir vers XMl")->isChecked());
    QVERIFY(!button("Convertir vers Excel")->isEnabled());
    QVERIFY(!button("Convertir vers Excel")->isChecked());
    QCOMPARE(extensionLabel(*m_window)->text(), QStringLiteral(".ts"));
}

void tst_MainWindow::outputFolderCancelEmptiesIt()
{
    UserSteps::chooseFolder(*m_window, m_dir->path());
    QCOMPARE(QDir(fieldAt(*m_window, 1)->text()), QDir(m_dir->path()));
    UserSteps::chooseFolder(*m_window, QString());   // and no box follows
    QCOMPARE(fieldAt(*m_window, 1)->text(), QString());
}

void tst_MainWindow::startNeedsChoiceAndName_data()
{
    QTest::addColumn<QString>("input");   // "" at start-up
    QTest::addColumn<QString>("radio");   // clicked before starting, if any
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");

    QTest::newRow("start-up, nothing chosen") << "" << "" << "app" << "Erreur" << noChoice;
    QTest::newRow("TS chosen, no name") << "app.ts" << "" << "" << "Erreur" << noChoice;
    QTest::newRow("table chosen, no name") << "table.txt" << "" << "" << "Erreur" << noChoice;
    QTest::newRow("one blank is a name") << "app.ts" << "" << " " << "Rapport" << exportDone;
    QTest::newRow("table and a name") << "table.txt" << "" << "back" << "Rapport" << importDone;
    QTest::newRow("start-up, direction but no file")
        << "" << "Convertir vers XMl" << "app" << "Erreur" << QString::fromUtf8("Aucun fichier à convertir n'a été choisi.");
}

void tst_MainWindow::startNeedsChoiceAndName()
{
    QFETCH(QString, input);
    QFETCH(QString, radio);
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(QString, text);

    const QString out = m_dir->filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(out));
    if (!input.isEmpty()) {
        QVERIFY(Peers::writeFile(m_dir->filePath(input), input.endsWith(QLatin1String(".txt"))
                                                              ? "a\tb\n"
                                                              : "<TS><message><source>a</source></message></TS>\n"));
        UserSteps::chooseInput(*m_window, m_dir->filePath(input));
    }
    UserSteps::chooseFolder(*m_window, out);
    if (!radio.isEmpty())
        QTest::mouseClick(buttonNamed(*m_window, radio), Qt::LeftButton);
    UserSteps::typeName(*m_window, name);
    const Box box = UserSteps::start(*m_window);
    QCOMPARE(box.title, title);
    QCOMPARE(box.text, text);
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), title == QLatin1String("Rapport") ? 1 : 0);
}

void tst_MainWindow::radioButtonsSetTheExtension()
{
    QAbstractButton *xml = button("Convertir vers XMl");
    QAbstractButton *excel = button("Convertir vers Excel");
    QVERIFY(!xml->isChecked() && !excel->isChecked());
    QTest::mouseClick(excel, Qt::LeftButton);
    QCOMPARE(extensionLabel(*m_window)->text(), QStringLiteral(".csv"));
    QTest::mouseClick(xml, Qt::LeftButton);
    QVERIFY(xml->isChecked());
    QVERIFY(!excel->isChecked());
    QCOMPARE(extensionLabel(*m_window)->text(), QStringLiteral(".ts"));
    QTest::mouseClick(xml, Qt::LeftButton);
    QVERIFY(xml->isChecked());
    xml->setChecked(false);
    QVERIFY(xml->isChecked());
}

void tst_MainWindow::exportThroughTheWindow()
{
    const QString ts = m_dir->filePath(QStringLiteral("sample_fr.ts"));
    QVERIFY(Peers::lupdateTs({QStringLiteral(QUORVALE_TEST_DATA "/sample.cpp")}, ts));
    const QString out = m_dir->filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(out));

    const Box box = UserSteps::convert(*m_window, ts, out, QStringLiteral("sample"));
    QCOMPARE(box.title, QStringLiteral("Rapport"));
    QCOMPARE(box.text, exportDone);
    QCOMPARE(QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("sample.csv")});

    const QString table = out + QStringLiteral("/sample.csv");
    QVERIFY(QFileInfo(table).permissions() & QFile::ReadOwner);
    const QVector<QStringList> rows = Peers::readTable(table);
    QVector<PoMessage> messages;
    QString error;
    QVERIFY2(Peers::readTs(ts, &messages, &error), qPrintable(error));
    QCOMPARE(rows.size(), messages.size() + 1);
    QCOMPARE(rows.at(0), QStringList({QStringLiteral("Origine "), QStringLiteral("Traduction")}));
    for (int i = 0; i < messages.size(); ++i) {
        const QStringList &row = rows.at(i + 1);
        QCOMPARE(row.size(), 2);
        QCOMPARE(Peers::decodeCell(row.at(0)), QStringList{messages.at(i).source});
        QCOMPARE(Peers::decodeCell(row.at(1)), messages.at(i).translation);
    }
}

void tst_MainWindow::importThroughTheWindow_data()
{
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<QString>("lineEnd");
    QTest::newRow("Excel's Unicode Text: UTF-16 with its mark, CR LF") << QByteArray("UTF-16LE") << "\r\n";
    QTest::newRow("Excel for Mac: CR alone, also inside cells") << QByteArray("UTF-8") << "\r";
}

void tst_MainWindow::importThroughTheWindow()
{
    QFETCH(QByteArray, codec);
    QFETCH(QString, lineEnd);
    // A table as a spreadsheet saves it: quoted cells where needed.
    QString text = QString::fromUtf8(
        "Origine \tTraduction\n"
        "Hello\t\xc4\x8d" "au\n"
        "Say &quot;hello&quot;\t\"Dites \"\"bonjour\"\"\"\n"
        "First line&#10;Second line\t\"Premi\xc3\xa8re ligne\nDeuxi\xc3\xa8me\"\n"
        "Tom &amp; Jerry\tTom & Jerry <3\tUTF-8\n"
        "%n file(s)\t<numerusform>%n fichier</numerusform><numerusform>%n fichiers</numerusform>\n");
    text.replace(QLatin1Char('\n'), lineEnd);
    const QString table = m_dir->filePath(QStringLiteral("table.txt"));
    QVERIFY(Peers::writeFile(table, QTextCodec::codecForName(codec)->fromUnicode(text)));   // UTF-16 with its mark
    const QString out = m_dir->filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(out));

    const Box box = UserSteps::convert(*m_window, table, out, QStringLiteral("back"));
    QCOMPARE(box.title, QStringLiteral("Rapport"));
    QCOMPARE(box.text, importDone);

    const QString ts = out + QStringLiteral("/back.ts");
    QVERIFY(Peers::readFile(ts).startsWith("<!DOCTYPE TS><TS>\n<context>\n    <message>\n"));
    QVector<PoMessage> messages;
    QString error;
    QVERIFY2(Peers::readTs(ts, &messages, &error), qPrintable(error));
    QVERIFY2(Peers::compiles(ts, &error), qPrintable(error));
    QCOMPARE(messages.size(), 5);
    const auto s = [](const char *t) { return QString::fromUtf8(t); };
    QCOMPARE(messages.at(0).translation, QStringList{s("\xc4\x8d" "au")});
    QCOMPARE(messages.at(1).source, s("Say \"hello\""));
    QCOMPARE(messages.at(1).translation, QStringList{s("Dites \"bonjour\"")});
    QCOMPARE(messages.at(2).source, s("First line\nSecond line"));
    QCOMPARE(messages.at(2).translation, QStringList{s("Premi\xc3\xa8re ligne\nDeuxi\xc3\xa8me")});
    QCOMPARE(messages.at(3).translation, QStringList{s("Tom & Jerry <3")});
    QCOMPARE(messages.at(4).translation, QStringList({s("%n fichier"), s("%n fichiers")}));
}

namespace {

enum class Fault {
    OutputExists,
    LinkToInput,
    DanglingLink,
    FolderOfThatName,
    FolderRemoved,
    NoFolder,
    InputRemoved,
    ReadOnlyFolder,
    NotUtf8,
};

// Every file below a folder with its content, to see that nothing changed.
QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        files.insert(path, info.isSymLink() ? "link to " + info.symLinkTarget().toUtf8()
                           : info.isDir()   ? QByteArray("folder")
                                            : Peers::readFile(path));
    }
    return files;
}

} // namespace

Q_DECLARE_METATYPE(Fault)

void tst_MainWindow::failuresAreReported_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("named");   // the file that the message names
    QTest::addColumn<QString>("says");

    QTest::newRow("output file exists") << Fault::OutputExists << "out/app.csv" << QString::fromUtf8("existe déjà");
    QTest::newRow("link to the input") << Fault::LinkToInput << "out/app.csv" << QString::fromUtf8("existe déjà");
    QTest::newRow("link to nowhere") << Fault::DanglingLink << "out/app.csv" << QString::fromUtf8("existe déjà");
    QTest::newRow("folder of that name") << Fault::FolderOfThatName << "out/app.csv" << QString::fromUtf8("existe déjà");
    QTest::newRow("output folder removed") << Fault::FolderRemoved << "out/app.csv" << QString::fromUtf8("pas pu être écrit");
    QTest::newRow("no output folder") << Fault::NoFolder << "/app.csv" << QString::fromUtf8("Aucun dossier de sortie");
    QTest::newRow("input removed") << Fault::InputRemoved << "app.ts" << QString::fromUtf8("pas pu être ouvert");
    QTest::newRow("read-only folder") << Fault::ReadOnlyFolder << "out/app.csv" << QString::fromUtf8("pas pu être écrit");
    QTest::newRow("TS file not in UTF-8") << Fault::NotUtf8 << "app.ts" << QString::fromUtf8("pas un texte valide");
}

void tst_MainWindow::failuresAreReported()
{
    QFETCH(Fault, fault);
    QFETCH(QString, named);
    QFETCH(QString, says);

    const QString input = m_dir->filePath(QStringLiteral("app.ts"));
    QVERIFY(Peers::writeFile(input, "<TS><context><message><source>a</source></message></context></TS>\n"));
    const QString out = m_dir->filePath(QStringLiteral("out"));
    const QString target = out + QStringLiteral("/app.csv");
    QVERIFY(QDir().mkpath(out));
    switch (fault) {
    case Fault::NotUtf8:
        QVERIFY(Peers::writeFile(input, "<TS><context><message><source>caf\xe9</source></message></context></TS>\n"));
        break;
    case Fault::OutputExists: QVERIFY(Peers::writeFile(target, "the translator's work")); break;
    case Fault::LinkToInput: QVERIFY(QFile::link(input, target)); break;
    case Fault::DanglingLink: QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("nowhere")), target)); break;
    case Fault::FolderOfThatName: QVERIFY(QDir().mkpath(target)); break;
    case Fault::ReadOnlyFolder:
        QVERIFY(QFile::setPermissions(out, QFile::ReadOwner | QFile::ExeOwner));
        if (QFileInfo(out).isWritable()) {
            QFile::setPermissions(out, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("permissions do not hold for this user (root)");
        }
        break;
    default: break;
    }

    UserSteps::chooseInput(*m_window, input);
    if (fault != Fault::NoFolder)
        UserSteps::chooseFolder(*m_window, out);
    if (fault == Fault::FolderRemoved)
        QVERIFY(QDir(out).removeRecursively());
    if (fault == Fault::InputRemoved)
        QVERIFY(QFile::remove(input));
    UserSteps::typeName(*m_window, QStringLiteral("app"));

    const QMap<QString, QByteArray> before = snapshot(m_dir->path());
    const bool rootHadIt = QFileInfo::exists(QStringLiteral("/app.csv"));
    const Box box = UserSteps::start(*m_window);
    QFile::setPermissions(out, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(box.title, QStringLiteral("Erreur"));
    const QString path = named.startsWith(QLatin1Char('/')) ? named : m_dir->filePath(named);
    QVERIFY2(box.text.contains(QDir::toNativeSeparators(path)), qPrintable(box.text));
    QVERIFY2(box.text.contains(says), qPrintable(box.text));
    QCOMPARE(snapshot(m_dir->path()), before);
    QCOMPARE(QFileInfo::exists(QStringLiteral("/app.csv")), rootHadIt);
}

void tst_MainWindow::workingNameInCurrentDirectoryIsUntouched()
{
    const QString input = m_dir->filePath(QStringLiteral("app.ts"));
    QVERIFY(Peers::writeFile(input, "<TS><context><message><source>a</source><translation>b</translation></message></context></TS>\n"));
    const QString out = m_dir->filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(out));
    const QString precious = QDir::current().filePath(QStringLiteral("app.csv"));
    QVERIFY(Peers::writeFile(precious, "a file of the user's"));

    const Box box = UserSteps::convert(*m_window, input, out, QStringLiteral("app"));
    const QByteArray left = Peers::readFile(precious);
    QFile::remove(precious);
    QCOMPARE(box.text, exportDone);
    QCOMPARE(left, QByteArray("a file of the user's"));
    QCOMPARE(Peers::readFile(out + QStringLiteral("/app.csv")), QByteArray("Origine \tTraduction\na\tb\n"));
}

void tst_MainWindow::outputFolderIsCurrentDirectory()
{
    const QString input = m_dir->filePath(QStringLiteral("table.txt"));
    QVERIFY(Peers::writeFile(input, "a\tb\n"));
    const Box box = UserSteps::convert(*m_window, input, QDir::currentPath(), QStringLiteral("back"));
    const QByteArray written = Peers::readFile(QStringLiteral("back.ts"));
    QFile::remove(QStringLiteral("back.ts"));
    QCOMPARE(box.text, importDone);
    QCOMPARE(written, QByteArray("<!DOCTYPE TS><TS>\n<context>\n    <message>\n        <source>a</source>\n"
                                 "        <translation>b</translation>\n    </message>\n</context>\n</TS>\n"));
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
