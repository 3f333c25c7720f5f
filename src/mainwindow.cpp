// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"

#include "fileconversion.h"
#include "filedrops.h"
#include "translationchecks.h"
#include "windowscaling.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTranslator>

namespace {

// Qt's message box names the button that shows its details in English:
// in French here, as every text of the window.
class FrenchDetailsButton : public QTranslator
{
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (qstrcmp(context, "QMessageBox") != 0)
            return QString();
        if (qstrcmp(source, "Show Details...") == 0)
            return QString::fromUtf8("Afficher les détails…");
        if (qstrcmp(source, "Hide Details...") == 0)
            return QString::fromUtf8("Masquer les détails…");
        return QString();
    }
};

QLabel *label(const QString &text, QWidget *window, int x, int y, int width)
{
    auto label = new QLabel(text, window);
    label->setGeometry(x, y, width, 30);
    return label;
}

// A button whose clicks reach the receiver's slot.
template <typename Button>
Button *button(const QString &text, QWidget *window, int x, int y, int width, QObject *receiver, const char *slot)
{
    auto button = new Button(text, window);
    button->setGeometry(x, y, width, 30);
    QObject::connect(button, SIGNAL(clicked(bool)), receiver, slot);
    return button;
}

// A path field: only a dialog fills it, and it stays white although disabled.
QLineEdit *pathField(QWidget *window, int y)
{
    auto field = new QLineEdit(window);
    field->setDisabled(true);
    field->setStyleSheet(QStringLiteral("background-color: white"));
    field->setGeometry(20, y, 400, 30);
    return field;
}

// Every message of the window: the information icon, one Ok button, no
// default; and where it summarises a list, the list behind its details
// button.
void inform(QWidget *window, const QString &title, const QString &text, const QString &details = QString())
{
    if (details.isEmpty()) {
        QMessageBox::information(window, title, text, QMessageBox::Ok, QMessageBox::NoButton);
        return;
    }
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, window);
    box.setDetailedText(details);
    box.exec();
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setFixedSize(550, 300);
    setWindowTitle(QStringLiteral("Quorvale"));

    // The widgets are created in the order of the focus chain; the members are
    // declared in another order, which the header keeps.
    lblEntree = label(QStringLiteral("Fichier a Convertir"), this, 20, 10, 200);
    editEntree = pathField(this, 40);
    btnRepEntree = button<QPushButton>(QStringLiteral("Rechercher"), this, 430, 40, 100, this,
                                       SLOT(btnRepEntree_clicked()));

    lblSortie = label(QStringLiteral("Dossier de Sortie"), this, 20, 80, 200);
    editSortie = pathField(this, 110);
    btnRepSortie = button<QPushButton>(QStringLiteral("Selectionner"), this, 430, 110, 100, this,
                                       SLOT(btnRepSortie_clicked()));

    lblNom = label(QStringLiteral("Choix Du Nom"), this, 20, 150, 150);

    editNom = new QLineEdit(this);
    editNom->setEnabled(true);
    editNom->setGeometry(100, 150, 150, 30);

    lblExtension = label(QString(), this, 250, 150, 150);

    btnXml = button<QRadioButton>(QStringLiteral("Convertir vers XMl"), this, 40, 190, 150, this,
                                  SLOT(btnXml_clicked()));
    btnXml->setChecked(false);
    btnExcel = button<QRadioButton>(QStringLiteral("Convertir vers Excel"), this, 160, 190, 150, this,
                                    SLOT(btnExcel_clicked()));
    btnExcel->setChecked(false);

    progressBar = new QProgressBar(this);
    progressBar->setGeometry(20, 190, 400, 20);
    progressBar->hide();

    btnQuitter = button<QPushButton>(QStringLiteral("Quitter"), this, 430, 250, 100, qApp, SLOT(quit()));
    btnStart = button<QPushButton>(QStringLiteral("Convertir"), this, 210, 250, 100, this, SLOT(btnStart_clicked()));
    btnStart->show();

    // Screen readers name each field by the label that stands beside it.
    lblEntree->setBuddy(editEntree);
    lblSortie->setBuddy(editSortie);
    lblNom->setBuddy(editNom);
    fitToItsTexts(this);
    new FileDrops(this, [this](const QString &path, bool folder) { takeDropped(path, folder); });
    QCoreApplication::installTranslator(new FrenchDetailsButton(this));
}

MainWindow::~MainWindow() = default;

void MainWindow::btnRepEntree_clicked()
{
    resetDirection();
    takeInputFile(QFileDialog::getOpenFileName(this, QStringLiteral("Selectionner le Fichier a Traduire"),
                                               QStringLiteral("/home"), QString(), nullptr, QFileDialog::Options()));
}

// Both directions offered again, before a new input file chooses one.
// Auto-exclusive radio buttons refuse to uncheck the checked one; the calls
// are kept so that a pair with nothing checked stays that way.
void MainWindow::resetDirection()
{
    btnExcel->setEnabled(true);
    btnXml->setEnabled(true);
    btnExcel->setChecked(false);
    btnXml->setChecked(false);
}

// The file chosen in the dialog or dropped on the window; its name alone
// sets the direction.
void MainWindow::takeInputFile(const QString &path)
{
    editEntree->setText(path);

    if (path.endsWith(QLatin1String(".txt"), Qt::CaseSensitive)) {
        btnExcel->setDisabled(true);
        btnXml->setChecked(true);
        lblExtension->setText(QStringLiteral(".ts"));
        btnStart->show();
    } else if (path.endsWith(QLatin1String(".ts"), Qt::CaseSensitive)) {
        btnXml->setDisabled(true);
        btnExcel->setChecked(true);
        lblExtension->setText(QStringLiteral(".csv"));
        btnStart->show();
    } else if (path.endsWith(QLatin1String(".csv"), Qt::CaseSensitive)) {
        btnXml->setDisabled(true);
        btnExcel->setDisabled(true);
        btnExcel->setChecked(false);
        btnXml->setChecked(false);
        btnStart->hide();
        inform(this, QStringLiteral("Erreur"),
               QString::fromUtf8("Le Fichier choisi doit etre de type .txt et genéré par Excel .Veuillez suivre la "
                                 "procédure de convertion Svp"));
    } else {
        inform(this, QStringLiteral("Erreur"), QStringLiteral("Veuillez Choisir un Fichier Valide (*.txt,*.ts)"));
        btnExcel->setDisabled(true);
        btnXml->setDisabled(true);
        btnStart->hide();
    }
}

// A file dropped on the window is taken as "Rechercher" takes the one chosen
// in its dialog, a folder as "Selectionner" takes it.
void MainWindow::takeDropped(const QString &path, bool folder)
{
    if (folder) {
        editSortie->setText(path);
    } else {
        resetDirection();
        takeInputFile(path);
    }
}

void MainWindow::btnRepSortie_clicked()
{
    editSortie->setText(QFileDialog::getExistingDirectory(this, QStringLiteral("Selectionner le Dossier de Sortie"),
                                                          QStringLiteral("/home"),
                                                          QFileDialog::ShowDirsOnly
                                                              | QFileDialog::DontResolveSymlinks));
}

void MainWindow::btnStart_clicked()
{
    const bool named = editNom->text().length() > 0;
    if (btnXml->isChecked() && named)
        convertCsvToXml();
    else if (btnExcel->isChecked() && named)
        convertXmlToExcel();
    else
        inform(this, QStringLiteral("Erreur"),
               QStringLiteral("Veuillez Choisir un Choix de Conversion ET Choisir un Nom de Fichier"));
}

// Converts the file that the window names and tells the user how it went.
void MainWindow::convert(Conversion::Direction direction, const QString &doneText)
{
    const QString outputFolder = editSortie->text();
    const Conversion::FileResult result = Conversion::convertFile(
        editEntree->text(), outputFolder,
        Conversion::outputFileName(outputFolder, editNom->text(), lblExtension->text()), direction);
    if (!result.ok)
        inform(this, QStringLiteral("Erreur"), result.error);
    else if (result.findings.count == 0)
        inform(this, QStringLiteral("Rapport"), doneText);
    else   // what the translator typed, to be looked at
        inform(this, QStringLiteral("Rapport"),
               doneText + QLatin1String("\n\n") + Conversion::findingsSummary(result.findings),
               Conversion::findingsDetails(result.findings));
}

void MainWindow::convertXmlToExcel()
{
    convert(Conversion::tsToTable, QString::fromUtf8("Conversion Xml -> Excel Effectuée"));
}

void MainWindow::convertCsvToXml()
{
    convert(Conversion::tableToTs, QString::fromUtf8("Conversion Csv -> Xml Effectuée"));
}

void MainWindow::btnXml_clicked()
{
    lblExtension->setText(QStringLiteral(".ts"));
}

void MainWindow::btnExcel_clicked()
{
    lblExtension->setText(QStringLiteral(".csv"));
}
