// The window as a user meets it: its widgets, what each of its buttons does
// to it, the dialogs and message boxes it opens, and its conversions.

#include "mainwindow.h"
#include "qttools.h"
#include "user.h"

#include <QDirIterator>
#include <QTemporaryDir>

namespace {

const QString invalidFile = QStringLiteral("Erreur: Veuillez Choisir un Fichier Valide (*.txt,*.ts)");
const QString noChoice =
    QStringLiteral("Erreur: Veuillez Choisir un Choix de Conversion ET Choisir un Nom de Fichier");
const QString exported = QString::fromUtf8("Rapport: Conversion Xml -> Excel Effectuée");
const QString imported = QString::fromUtf8("Rapport: Conversion Csv -> Xml Effectuée");
const QByteArray ts = "<TS><context><message><source>a</source><translation>b</translation></message></context></TS>\n";

// The line ends that a text file has on this system.
QByteArray platformText(QByteArray text)
{
#ifdef Q_OS_WIN
    text.replace('\n', "\r\n");
#endif
    return text;
}

// Every file below a folder with its content, to see that nothing changed.
QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        files.insert(info.filePath(), info.isSymLink() ? "link to " + info.symLinkTarget().toUtf8()
                                      : info.isDir()   ? QByteArray("folder")
                                                       : QtTools::readFile(info.filePath()));
    }
    return files;
}

// A small file system of the test's own as the output folder, where the
// machine lets it mount one (root may); unmounted at the end.
class Mount
{
public:
    Mount(const QString &dir, const QString &options) : m_dir(dir)
    {
        m_mounted = !options.isEmpty()
                    && QtTools::run(QStringLiteral("mount"),
                                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), options,
                                     QStringLiteral("tmpfs"), dir});
    }
    ~Mount()
    {
        if (m_mounted)
            QtTools::run(QStringLiteral("umount"), {m_dir});
    }
    bool mounted() const { return m_mounted; }

private:
    QString m_dir;
    bool m_mounted = false;
};

enum class Setup {
    Nothing, WorkingNameTaken, FolderIsCurrent, OutputExists, LinkToInput, DanglingLink, FolderOfThatName,
    FolderRemoved, NoFolder, InputRemoved, ReadOnlyFolder, NotUtf8, FullDisk, ReadOnlyDisk
};

} // namespace

Q_DECLARE_METATYPE(Setup)

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layout();
    void fields();
    void tabOrder();
    void quitEndsTheLoop_data();
    void quitEndsTheLoop();
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
    QVERIFY(dir.mkpath(QStringLiteral("cwd")) && dir.mkpath(QStringLiteral("out")));
    QDir::setCurrent(dir.filePath(QStringLiteral("cwd")));
    // Distinct names also where names are case-insensitive (Windows).
    for (const char *name : {"app.ts", "table.txt", "app.csv", "NOTES.TXT", "OLD.TS", "table.txt.bak", "notes.doc"})
        QVERIFY(QtTools::writeFile(dir.filePath(QLatin1String(name)), QByteArray(name).endsWith(".txt") ? "a\tb\n" : ts));
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

void tst_MainWindow::layout()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Quorvale"));
    m_window->resize(800, 600);
    QCOMPARE(m_window->size(), QSize(550, 300));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());

    // A click at the centre of each button reaches it; where the two radio
    // buttons overlap, it reaches "Convertir vers Excel".
    const QList<QAbstractButton *> buttons = m_window->findChildren<QAbstractButton *>();
    QCOMPARE(buttons.size(), 6);
    for (QAbstractButton *button : buttons)
        QCOMPARE(m_window->childAt(button->geometry().center()), button);
    QAbstractButton *xml = buttonNamed(*m_window, QStringLiteral("Convertir vers XMl"));
    QAbstractButton *excel = buttonNamed(*m_window, QStringLiteral("Convertir vers Excel"));
    const QRect overlap = xml->geometry() & excel->geometry();
    QVERIFY(!overlap.isEmpty());
    for (int x = overlap.left(); x <= overlap.right(); x += 3) {
        for (int y = overlap.top(); y <= overlap.bottom(); y += 3)
            QCOMPARE(m_window->childAt(x, y), excel);
    }
    QTest::mouseClick(excel, Qt::LeftButton, {}, excel->mapFrom(m_window, overlap.center()));
    QCOMPARE(stateOf(*m_window, m_dir->path()),
             QStringLiteral("XMl, Excel checked, extension .csv, Convertir shown, file , folder "));
}

void tst_MainWindow::fields()
{
    // The two path fields take neither clicks nor typing, and stay white.
    for (int i = 0; i < 2; ++i) {
        QLineEdit *field = fieldAt(*m_window, i);
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClicks(field, QStringLiteral("typed"));
        QVERIFY(!field->hasFocus());
        QCOMPARE(field->text(), QString());
        const QImage image = field->grab().toImage();
        QCOMPARE(QColor(image.pixel(image.width() / 2, image.height() / 2)), QColor(Qt::white));
    }
    QTest::mouseClick(fieldAt(*m_window, 2), Qt::LeftButton);
    QTest::keyClicks(fieldAt(*m_window, 2), QStringLiteral("app"));
    QCOMPARE(fieldAt(*m_window, 2)->text(), QStringLiteral("app"));
}

void tst_MainWindow::tabOrder()
{
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    buttonNamed(*m_window, QStringLiteral("Rechercher"))->setFocus(Qt::TabFocusReason);
    QStringList order;
    for (int i = 0; i < 7; ++i) {
        QWidget *focus = QApplication::focusWidget();
        auto button = qobject_cast<QAbstractButton *>(focus);
        order += button ? button->text() : focus == fieldAt(*m_window, 2) ? QStringLiteral("name") : QString();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    // Qt makes the two radio buttons one stop; the arrow keys move between them.
    QCOMPARE(order, QStringList({QStringLiteral("Rechercher"), QStringLiteral("Selectionner"), QStringLiteral("name"),
                                 QStringLiteral("Convertir vers XMl"), QStringLiteral("Quitter"),
                                 QStringLiteral("Convertir"), QStringLiteral("Rechercher")}));
    buttonNamed(*m_window, QStringLiteral("Convertir vers XMl"))->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QCOMPARE(QApplication::focusWidget(), buttonNamed(*m_window, QStringLiteral("Convertir vers Excel")));
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
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(99); });
    QCOMPARE(QApplication::exec(), 0);
}

void tst_MainWindow::userSteps_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("state");
    const QString csvRefused = QString::fromUtf8("Erreur: Le Fichier choisi doit etre de type .txt et genéré par Excel "
                                                 ".Veuillez suivre la procédure de convertion Svp (Convertir hidden)");
    const QString tableInput = QStringLiteral("XMl checked, Excel disabled, extension .ts, Convertir shown, file table.txt, folder ");
    const QString tsInput = QStringLiteral("XMl disabled, Excel checked, extension .csv, Convertir shown, file app.ts, folder ");
    const QString refused = QStringLiteral("XMl disabled, Excel disabled, extension , Convertir hidden, file %1, folder ");
    using L = QStringList;

    QTest::newRow("start-up") << L() << L() << "XMl, Excel, extension , Convertir shown, file , folder ";
    QTest::newRow("table saved as text") << L{"Rechercher:table.txt"} << L() << tableInput;
    QTest::newRow("TS file") << L{"Rechercher:app.ts"} << L() << tsInput;
    QTest::newRow("the export's own table: refused, the window changed first")
        << L{"Rechercher:app.csv"} << L{csvRefused} << refused.arg("app.csv");
    QTest::newRow("upper-case TXT: refused once the box is closed")
        << L{"Rechercher:NOTES.TXT"} << L{invalidFile} << refused.arg("NOTES.TXT");
    QTest::newRow("upper-case TS") << L{"Rechercher:OLD.TS"} << L{invalidFile} << refused.arg("OLD.TS");
    QTest::newRow("only the end counts") << L{"Rechercher:table.txt.bak"} << L{invalidFile} << refused.arg("table.txt.bak");
    QTest::newRow("dialog cancelled") << L{"Rechercher:"} << L{invalidFile} << refused.arg("");
    QTest::newRow("a refused file after a TS file leaves the mark, greyed")
        << L{"Rechercher:app.ts", "Rechercher:notes.doc"} << L{invalidFile}
        << "XMl disabled, Excel checked disabled, extension .csv, Convertir hidden, file notes.doc, folder ";
    QTest::newRow("a table after a TS file") << L{"Rechercher:app.ts", "Rechercher:table.txt"} << L() << tableInput;
    QTest::newRow("a table after a refused file")
        << L{"Rechercher:app.ts", "Rechercher:notes.doc", "Rechercher:table.txt"} << L{invalidFile} << tableInput;
    QTest::newRow("folder chosen") << L{"Selectionner:out"} << L()
                                   << "XMl, Excel, extension , Convertir shown, file , folder out";
    QTest::newRow("folder dialog cancelled empties the field")
        << L{"Selectionner:out", "Selectionner:"} << L() << "XMl, Excel, extension , Convertir shown, file , folder ";
    QTest::newRow("Excel then XMl at start-up") << L{"Convertir vers Excel", "Convertir vers XMl"} << L()
                                                << "XMl checked, Excel, extension .ts, Convertir shown, file , folder ";
    QTest::newRow("XMl clicked again with a table") << L{"Rechercher:table.txt", "Convertir vers XMl"} << L() << tableInput;
    QTest::newRow("Convertir at start-up") << L{"Nom:app", "Convertir"} << L{noChoice}
                                           << "XMl, Excel, extension , Convertir shown, file , folder ";
    QTest::newRow("Convertir without a name") << L{"Rechercher:app.ts", "Convertir"} << L{noChoice} << tsInput;
    QTest::newRow("Convertir with a table, without a name")
        << L{"Rechercher:table.txt", "Convertir"} << L{noChoice} << tableInput;
    QTest::newRow("a blank is a name") << L{"Rechercher:app.ts", "Selectionner:out", "Nom: ", "Convertir"}
                                       << L{exported} << tsInput + "out";
    QTest::newRow("a table and a name") << L{"Rechercher:table.txt", "Selectionner:out", "Nom:back", "Convertir"}
                                        << L{imported} << tableInput + "out";
    QTest::newRow("a direction and a name, but no file")
        << L{"Convertir vers XMl", "Nom:app", "Selectionner:out", "Convertir"}
        << L{QString::fromUtf8("Erreur: Aucun fichier à convertir n'a été choisi.")}
        << "XMl checked, Excel, extension .ts, Convertir shown, file , folder out";
}

void tst_MainWindow::userSteps()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, boxes);
    QFETCH(QString, state);
    User user(*m_window, m_dir->path());
    QCOMPARE(user.act(steps), boxes);
    QCOMPARE(stateOf(*m_window, m_dir->path()), state);
}

void tst_MainWindow::conversions_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("says");    // the box's title and a part of its text
    QTest::addColumn<QString>("named");   // the file that an "Erreur" box names

    QTest::newRow("export") << Setup::Nothing << "app.ts" << exported << "";
    QTest::newRow("import") << Setup::Nothing << "table.txt" << imported << "";
    QTest::newRow("the current directory holds a file of the output's name")
        << Setup::WorkingNameTaken << "app.ts" << exported << "";
    QTest::newRow("the output folder is the current directory") << Setup::FolderIsCurrent << "table.txt" << imported << "";
    const QString there = QString::fromUtf8("Erreur: Le fichier %1 existe déjà");
    const QString notWritten = QString::fromUtf8("Erreur: Le fichier %1 n'a pas pu être écrit");
    QTest::newRow("output file exists") << Setup::OutputExists << "app.ts" << there << "out/app.csv";
    QTest::newRow("link to the input") << Setup::LinkToInput << "app.ts" << there << "out/app.csv";
    QTest::newRow("link to nowhere") << Setup::DanglingLink << "app.ts" << there << "out/app.csv";
    QTest::newRow("folder of that name") << Setup::FolderOfThatName << "table.txt" << there << "out/app.ts";
    QTest::newRow("output folder removed") << Setup::FolderRemoved << "app.ts" << notWritten << "out/app.csv";
    QTest::newRow("read-only folder") << Setup::ReadOnlyFolder << "table.txt" << notWritten << "out/app.ts";
    QTest::newRow("full file system") << Setup::FullDisk << "app.ts" << notWritten << "out/app.csv";
    QTest::newRow("read-only file system") << Setup::ReadOnlyDisk << "app.ts" << notWritten << "out/app.csv";
    QTest::newRow("no output folder") << Setup::NoFolder << "app.ts"
                                      << QString::fromUtf8("Erreur: Aucun dossier de sortie n'a été choisi : le fichier %1")
                                      << "/app.csv";
    QTest::newRow("input removed") << Setup::InputRemoved << "app.ts"
                                   << QString::fromUtf8("Erreur: Le fichier %1 n'a pas pu être ouvert") << "app.ts";
    QTest::newRow("TS file not in its encoding") << Setup::NotUtf8 << "app.ts"
                                                 << QString::fromUtf8("Erreur: Le fichier %1 n'est pas un texte valide")
                                                 << "app.ts";
}

void tst_MainWindow::conversions()
{
    QFETCH(Setup, setup);
    QFETCH(QString, input);
    QFETCH(QString, says);
    QFETCH(QString, named);
    const QDir dir(m_dir->path());
    const QString out = dir.filePath(QStringLiteral("out"));
    const QString output = out + (input == QLatin1String("app.ts") ? QStringLiteral("/app.csv") : QStringLiteral("/app.ts"));
    const QString taken = QDir::current().filePath(QFileInfo(output).fileName());
    Mount mount(out, setup == Setup::FullDisk ? QStringLiteral("size=64k")
                     : setup == Setup::ReadOnlyDisk ? QStringLiteral("ro,size=64k") : QString());
    switch (setup) {
    case Setup::WorkingNameTaken: QVERIFY(QtTools::writeFile(taken, "a file of the user's")); break;
    case Setup::OutputExists: QVERIFY(QtTools::writeFile(output, "the translator's work")); break;
    case Setup::LinkToInput: QVERIFY(QFile::link(dir.filePath(input), output)); break;
    case Setup::DanglingLink: QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), output)); break;
    case Setup::FolderOfThatName: QVERIFY(dir.mkpath(output)); break;
    case Setup::NotUtf8: QVERIFY(QtTools::writeFile(dir.filePath(input), "<TS><message><source>caf\xe9</source>")); break;
    case Setup::FullDisk:
    case Setup::ReadOnlyDisk:
        if (!mount.mounted())
            QSKIP("this machine does not let the test mount a small file system");
        QVERIFY(QtTools::writeFile(dir.filePath(input), ts.repeated(20000)));
        break;
    case Setup::ReadOnlyFolder:
        QFile::setPermissions(out, QFile::ReadOwner | QFile::ExeOwner);
        if (QFileInfo(out).isWritable()) {
            QFile::setPermissions(out, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("permissions do not hold for this user");
        }
        break;
    default: break;
    }

    User user(*m_window, dir);
    const QString folder = setup == Setup::FolderIsCurrent ? QDir::currentPath() : out;
    QCOMPARE(user.act({QStringLiteral("Rechercher:") + input,
                       setup == Setup::NoFolder ? QStringLiteral("Nom:app") : QStringLiteral("Selectionner:") + folder}),
             QStringList());
    if (setup == Setup::FolderRemoved)
        QVERIFY(QDir(out).removeRecursively());
    if (setup == Setup::InputRemoved)
        QVERIFY(QFile::remove(dir.filePath(input)));
    const QMap<QString, QByteArray> before = snapshot(dir.path());
    const bool rootHadIt = QFileInfo::exists(QStringLiteral("/app.csv"));
    const QStringList boxes = user.act({QStringLiteral("Nom:app"), QStringLiteral("Convertir")});
    QFile::setPermissions(out, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString result = setup == Setup::FolderIsCurrent ? QFileInfo(output).fileName() : output;
    const QByteArray written = QtTools::readFile(result);
    const QByteArray left = QtTools::readFile(taken);
    if (setup == Setup::WorkingNameTaken || setup == Setup::FolderIsCurrent)
        QVERIFY(QFile::remove(taken));

    QCOMPARE(boxes.size(), 1);
    const QString path = named.startsWith(QLatin1Char('/')) ? named : dir.filePath(named);
    QVERIFY2(boxes.at(0).startsWith(named.isEmpty() ? says : says.arg(QDir::toNativeSeparators(path))),
             qPrintable(boxes.at(0)));
    if (named.isEmpty()) {
        QCOMPARE(written, platformText(input == QLatin1String("app.ts")
                                           ? "Origine \tTraduction\na\tb\n"
                                           : "<!DOCTYPE TS><TS>\n<context>\n    <message>\n        <source>a</source>\n"
                                             "        <translation>b</translation>\n    </message>\n</context>\n</TS>\n"));
        if (setup == Setup::WorkingNameTaken)
            QCOMPARE(left, QByteArray("a file of the user's"));
    } else {
        QCOMPARE(snapshot(dir.path()), before);
        QCOMPARE(QFileInfo::exists(QStringLiteral("/app.csv")), rootHadIt);
    }
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
