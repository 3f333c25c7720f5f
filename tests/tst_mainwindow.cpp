// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window as a user meets it: its widgets, what each of its buttons does
// to it, the dialogs and message boxes it opens, and its conversions.

#include "mainwindow.h"
#include "qttools.h"
#include "user.h"
#include "windowscaling.h"

#include <QAccessible>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

const QString invalidFile = "Erreur: Veuillez Choisir un Fichier Valide (*.txt,*.ts)";
const QString noChoice = "Erreur: Veuillez Choisir un Choix de Conversion ET Choisir un Nom de Fichier";
const QString exported = "Rapport: Conversion Xml -> Excel Effectuée";
const QString imported = "Rapport: Conversion Csv -> Xml Effectuée";
// The files that the user converts, and what each gives (with the drive
// letter of the directory where the test starts, on Windows).
const QString tsCase = QFileInfo(QUORVALE_TEST_DATA "/export/one-element-per-line").absoluteFilePath();
const QString tableCase = QFileInfo(QUORVALE_TEST_DATA "/import/plain-row").absoluteFilePath();
const QString checkedCase = QFileInfo(QUORVALE_TEST_DATA "/import/what-the-translator-typed-is-checked").absoluteFilePath();

// The case of tests/data that a file of the user's holds.
QString caseOf(const QString &name)
{
    return name == "table.txt" ? tableCase : name == "typed.txt" ? checkedCase : tsCase;
}

enum class Setup {
    None, WorkingNameTaken, FolderIsCurrent, OutputExists, DanglingLink, FolderOfThatName, FolderRemoved, NoFolder,
    InputRemoved, InputIsPipe, InputIsDevice
};

} // namespace

Q_DECLARE_METATYPE(Setup)

class tst_MainWindow : public QObject
{
    Q_OBJECT

public:
    static void initMain() { scaleWithTheDisplay(); }   // as the program starts

private slots:
    void init();
    void cleanup();
    void readable();
    void layout();
    void userSteps_data();
    void userSteps();
    void conversions_data();
    void conversions();

private:
    MainWindow *m_window = nullptr;
    QTemporaryDir *m_dir = nullptr;
    QString m_savedCurrent;
};

void tst_MainWindow::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY2(m_dir->isValid(), qPrintable(m_dir->errorString()));
    m_savedCurrent = QDir::currentPath();
    QDir dir(m_dir->path());
    QVERIFY(dir.mkpath("cwd") && dir.mkpath("out"));
    QDir::setCurrent(dir.filePath("cwd"));
    // Distinct names also where names are case-insensitive (Windows).
    for (const QString name : {"app.ts", "table.txt", "app.csv", "NOTES.TXT", "table.txt.bak", "notes.doc", "typed.txt"})
        QVERIFY(QFile::copy(caseOf(name) + (name.endsWith(".txt") ? ".txt" : ".ts"), dir.filePath(name)));
    m_window = new MainWindow;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void tst_MainWindow::cleanup()
{
    // The window writes nothing into the current directory, whatever happened.
    QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    QDir::setCurrent(m_savedCurrent);
    delete m_window;
    delete m_dir;
}

void tst_MainWindow::readable()
{
    // Each text stands whole inside its widget, clear of the widgets that lie
    // above it, at the display's scale (realwindow.sh gives it: 1.5 at
    // 150 %), in a window at least 550 x 300 times that scale, in those
    // proportions.
    const QList<QWidget *> widgets = m_window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (int i = 0; i < widgets.size(); ++i) {
        const QVariant text = widgets.at(i)->property("text");
        if (text.toString().isEmpty() || widgets.at(i)->isHidden())
            continue;
        const QRect area = textArea(widgets.at(i), text.toString());
        QVERIFY2(widgets.at(i)->geometry().contains(area), qPrintable(text.toString()));
        for (QWidget *above : widgets.mid(i + 1))
            QVERIFY2(above->isHidden() || !above->geometry().intersects(area), qPrintable(text.toString()));
    }
    const qreal scale = qEnvironmentVariable("QUORVALE_DISPLAY_SCALE", "1").toDouble();
    const QSize pixels = m_window->size() * m_window->devicePixelRatioF();
    QVERIFY2(pixels.width() >= qFloor(550 * scale) && pixels.height() >= qFloor(300 * scale)
                 && qAbs(pixels.width() * 300 - pixels.height() * 550) <= 550 * 2,
             qPrintable(QString("%1 x %2").arg(pixels.width()).arg(pixels.height())));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());

    // Screen readers name each field by its label, each button by its text.
    QStringList names;
    for (QWidget *widget : widgets)
        if (qobject_cast<QLineEdit *>(widget) || qobject_cast<QAbstractButton *>(widget))
            names += QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    QCOMPARE(names.join(", "), QString("Fichier a Convertir, Rechercher, Dossier de Sortie, Selectionner, Choix Du Nom, "
                                       "Convertir vers XMl, Convertir vers Excel, Quitter, Convertir"));
}

void tst_MainWindow::layout()
{
    // A click at the centre of each button reaches it; where the two radio
    // buttons overlap, it reaches "Convertir vers Excel".
    const QList<QAbstractButton *> buttons = m_window->findChildren<QAbstractButton *>();
    QCOMPARE(buttons.size(), 6);
    for (QAbstractButton *button : buttons)
        QCOMPARE(m_window->childAt(button->geometry().center()), button);
    const QRect overlap = buttonNamed(*m_window, "Convertir vers XMl")->geometry()
                          & buttonNamed(*m_window, "Convertir vers Excel")->geometry();
    QVERIFY(!overlap.isEmpty());
    QWidget *const hit = m_window->childAt(overlap.center());
    QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(m_window, overlap.center()));
    QCOMPARE(stateOf(*m_window, m_dir->path()),
             QString("XMl, Excel checked, extension .csv, Convertir shown, file , folder "));

    // The two path fields take neither clicks nor typing, and stay white;
    // the name field takes what is typed.
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(fieldAt(*m_window, i), Qt::LeftButton);
        QTest::keyClicks(fieldAt(*m_window, i), "app");
        QCOMPARE(fieldAt(*m_window, i)->hasFocus(), i == 2);
        QCOMPARE(fieldAt(*m_window, i)->text(), QString(i == 2 ? "app" : ""));
        const QImage image = fieldAt(*m_window, i)->grab().toImage();
        QCOMPARE(QColor(image.pixel(image.width() / 2, image.height() / 2)), QColor(Qt::white));
    }
}

void tst_MainWindow::userSteps_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("state");
    const QString csvRefused = "Erreur: Le Fichier choisi doit etre de type .txt et genéré par Excel .Veuillez suivre "
                               "la procédure de convertion Svp (Convertir hidden)";
    const QString startUp = "XMl, Excel, extension , Convertir shown, file , folder ";
    const QString tableInput = "XMl checked, Excel disabled, extension .ts, Convertir shown, file table.txt, folder ";
    const QString tsInput = "XMl disabled, Excel checked, extension .csv, Convertir shown, file app.ts, folder ";
    const QString refused = "XMl disabled, Excel disabled, extension , Convertir hidden, file %1, folder ";
    using L = QStringList;

    QTest::newRow("start-up") << L() << L() << startUp;
    QTest::newRow("table saved as text") << L{"Rechercher:table.txt"} << L() << tableInput;
    QTest::newRow("TS file") << L{"Rechercher:app.ts"} << L() << tsInput;
    QTest::newRow("the export's own table: refused, the window changed first")
        << L{"Rechercher:app.csv"} << L{csvRefused} << refused.arg("app.csv");
    QTest::newRow("upper-case TXT: refused once the box is closed")
        << L{"Rechercher:NOTES.TXT"} << L{invalidFile} << refused.arg("NOTES.TXT");
    QTest::newRow("only the end counts") << L{"Rechercher:table.txt.bak"} << L{invalidFile} << refused.arg("table.txt.bak");
    QTest::newRow("dialog cancelled") << L{"Rechercher:"} << L{invalidFile} << refused.arg("");
    QTest::newRow("a refused file after a TS file leaves the mark, greyed")
        << L{"Rechercher:app.ts", "Rechercher:notes.doc"} << L{invalidFile}
        << "XMl disabled, Excel checked disabled, extension .csv, Convertir hidden, file notes.doc, folder ";
    QTest::newRow("a table after a TS file") << L{"Rechercher:app.ts", "Rechercher:table.txt"} << L() << tableInput;
    QTest::newRow("folder chosen") << L{"Selectionner:out"} << L() << startUp + "out";
    QTest::newRow("folder dialog cancelled empties the field") << L{"Selectionner:out", "Selectionner:"} << L() << startUp;
    QTest::newRow("Excel then XMl at start-up") << L{"Convertir vers Excel", "Convertir vers XMl"} << L()
                                                << "XMl checked, Excel, extension .ts, Convertir shown, file , folder ";
    QTest::newRow("XMl clicked again with a table") << L{"Rechercher:table.txt", "Convertir vers XMl"} << L() << tableInput;
    QTest::newRow("Convertir at start-up") << L{"Nom:app", "Convertir"} << L{noChoice} << startUp + ", name app";
    QTest::newRow("Convertir without a name") << L{"Rechercher:app.ts", "Convertir"} << L{noChoice} << tsInput;
    QTest::newRow("a blank is a name") << L{"Rechercher:app.ts", "Selectionner:out", "Nom: ", "Convertir"}
                                       << L{exported} << tsInput + "out, name  ";
    QTest::newRow("a table and a name") << L{"Rechercher:table.txt", "Selectionner:out", "Nom:back", "Convertir"}
                                        << L{imported} << tableInput + "out, name back";
    QTest::newRow("a direction and a name, but no file")
        << L{"Convertir vers XMl", "Nom:app", "Selectionner:out", "Convertir"}
        << L{"Erreur: Aucun fichier à convertir n'a été choisi."}
        << "XMl checked, Excel, extension .ts, Convertir shown, file , folder out, name app";

    // Dragged from the file manager and dropped anywhere on the window.
    QTest::newRow("a TS file dropped on its field") << L{"Drop:app.ts>file"} << L() << tsInput;
    QTest::newRow("a table dropped on a label") << L{"Drop:table.txt>Dossier de Sortie"} << L() << tableInput;
    QTest::newRow("the export's table dropped: refused") << L{"Drop:app.csv>Convertir"} << L{csvRefused} << refused.arg("app.csv");
    QTest::newRow("a folder dropped") << L{"Drop:out>Choix Du Nom"} << L() << startUp + "out";
    QTest::newRow("a file dropped on the name field is not its text")
        << L{"Nom:app", "Drop:app.ts>name"} << L() << tsInput + ", name app";
    QTest::newRow("two files dropped: nothing") << L{"Drop:app.ts,table.txt>Quitter"} << L{"drop refused"} << startUp;
    QTest::newRow("a web address dropped: nothing") << L{"Drop:https://example.org/app.ts>name"} << L{"drop refused"} << startUp;
}

void tst_MainWindow::userSteps()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, boxes);
    QFETCH(QString, state);
    QCOMPARE(User(*m_window, m_dir->path()).act(steps).join(" | "), boxes.join(" | "));
    QCOMPARE(stateOf(*m_window, m_dir->path()), state);
}

void tst_MainWindow::conversions_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("box");     // its title and text, or the start of an error's; %1 is the file that it names
    QTest::addColumn<QString>("named");
    const QString there = "Erreur: Le fichier %1 existe déjà";

    const QString findings = "ligne 2 : « %1 » manque dans la traduction\nligne 3 : la source a un raccourci (&), pas la "
                             "traduction\nligne 4 : « %n » manque dans la forme 1";
    QTest::newRow("translations to look at, named in the report")
        << Setup::None << "typed.txt"
        << imported + "\n\n3 traductions sont à revoir :\n" + findings + " [Afficher les détails… " + findings + "]" << "";
    QTest::newRow("the current directory holds a file of the output's name")
        << Setup::WorkingNameTaken << "app.ts" << exported << "";
    QTest::newRow("the output folder is the current directory") << Setup::FolderIsCurrent << "table.txt" << imported << "";
    QTest::newRow("output file exists") << Setup::OutputExists << "app.ts" << there << "out/app.csv";
    QTest::newRow("link to nowhere") << Setup::DanglingLink << "app.ts" << there << "out/app.csv";
    QTest::newRow("folder of that name") << Setup::FolderOfThatName << "table.txt" << there << "out/app.ts";
    QTest::newRow("output folder removed") << Setup::FolderRemoved << "app.ts"
                                           << "Erreur: Le fichier %1 n'a pas pu être écrit" << "out/app.csv";
    QTest::newRow("no output folder") << Setup::NoFolder << "app.ts"
                                      << "Erreur: Aucun dossier de sortie n'a été choisi : le fichier %1" << "/app.csv";
    QTest::newRow("input removed") << Setup::InputRemoved << "app.ts" << "Erreur: Le fichier %1 n'a pas pu être ouvert" << "app.ts";
    const QString notAFile = "Erreur: Le fichier %1 n'a pas pu être ouvert (ce n'est pas un fichier ordinaire";
    QTest::newRow("input made a named pipe, that no program writes") << Setup::InputIsPipe << "app.ts" << notAFile << "app.ts";
    QTest::newRow("input made a link to a device that never ends") << Setup::InputIsDevice << "app.ts" << notAFile << "app.ts";
}

void tst_MainWindow::conversions()
{
    QFETCH(Setup, setup);
    QFETCH(QString, input);
    QFETCH(QString, box);
    QFETCH(QString, named);
    const QDir dir(m_dir->path());
    const QString out = dir.filePath("out");
    const QString output = out + (input == "app.ts" ? "/app.csv" : "/app.ts");
    const QString taken = QDir::current().filePath(QFileInfo(output).fileName());
    switch (setup) {
    case Setup::WorkingNameTaken: QVERIFY(QtTools::writeFile(taken, "a file of the user's")); break;
    case Setup::OutputExists: QVERIFY(QtTools::writeFile(output, "the translator's work")); break;
    case Setup::DanglingLink: QVERIFY(QFile::link(dir.filePath("nowhere"), output)); break;
    case Setup::FolderOfThatName: QVERIFY(dir.mkpath(output)); break;
    default: break;
    }

    User user(*m_window, dir);
    const QString folder = setup == Setup::FolderIsCurrent ? QDir::currentPath() : "out";
    QCOMPARE(user.act({"Rechercher:" + input, setup == Setup::NoFolder ? "Nom:app" : "Selectionner:" + folder}),
             QStringList());
    QVERIFY(setup != Setup::FolderRemoved || QDir(out).removeRecursively());
    if (setup == Setup::InputRemoved || setup == Setup::InputIsPipe || setup == Setup::InputIsDevice)
        QVERIFY(QFile::remove(dir.filePath(input)));
#ifdef Q_OS_UNIX
    QVERIFY(setup != Setup::InputIsPipe || ::mkfifo(QFile::encodeName(dir.filePath(input)).constData(), 0600) == 0);
    QVERIFY(setup != Setup::InputIsDevice || QFile::link("/dev/zero", dir.filePath(input)));
#else
    if (setup == Setup::InputIsPipe || setup == Setup::InputIsDevice)
        QSKIP("named pipes and devices in the file system are Unix's");
#endif
    const QMap<QString, QByteArray> before = snapshot(dir.path());
    const bool rootHadIt = QFileInfo::exists("/app.csv");
    const QStringList boxes = user.act({"Nom:app", "Convertir"});
    const QByteArray written = QtTools::readFile(setup == Setup::FolderIsCurrent ? taken : output);
    const QByteArray left = QtTools::readFile(taken);
    QFile::remove(setup == Setup::WorkingNameTaken || setup == Setup::FolderIsCurrent ? taken : QString());

    const QString path = named.startsWith('/') ? named : dir.filePath(named);
    QCOMPARE(boxes.size(), 1);   // and no other dialog
    // A report is whole; an error names the file, and may say more.
    QVERIFY2(named.isEmpty() ? boxes.at(0) == box : boxes.at(0).startsWith(box.arg(QDir::toNativeSeparators(path))),
             qPrintable(boxes.at(0)));
    if (!named.isEmpty()) {
        QCOMPARE(snapshot(dir.path()), before);
        QCOMPARE(QFileInfo::exists("/app.csv"), rootHadIt);
        return;
    }
    QCOMPARE(written, QtTools::platformText(QtTools::readFile(caseOf(input) + (input == "app.ts" ? ".csv" : ".ts"))));
    if (setup == Setup::WorkingNameTaken)
        QCOMPARE(left, QByteArray("a file of the user's"));
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
