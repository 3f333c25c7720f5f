// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "conversion.h"

#include <QMainWindow>

class QLabel;
class QLineEdit;
class QPushButton;
class QProgressBar;
class QRadioButton;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow();

private slots:
    void btnRepEntree_clicked();
    void btnRepSortie_clicked();
    void btnStart_clicked();
    void btnXml_clicked();
    void btnExcel_clicked();

private:
    void convertXmlToExcel();
    void convertCsvToXml();
    void convert(Conversion::Direction direction, const QString &doneText);
    void resetDirection();
    void takeInputFile(const QString &path);
    void takeDropped(const QString &path, bool folder);

    QLabel *lblEntree;
    QLineEdit *editEntree;
    QPushButton *btnRepEntree;
    QLabel *lblSortie;
    QLineEdit *editSortie;
    QPushButton *btnRepSortie;
    QLabel *lblNom;
    QLabel *lblExtension;
    QLineEdit *editNom;
    QPushButton *btnQuitter;
    QPushButton *btnStart;
    QProgressBar *progressBar;
    QRadioButton *btnXml;
    QRadioButton *btnExcel;
};

#endif // MAINWINDOW_H
