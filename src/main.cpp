// SPDX-FileCopyrightText: 2026 The Quorvale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QApplication>
#include <QIcon>

#include "mainwindow.h"
#include "windowscaling.h"

int main(int argc, char *argv[])
{
    scaleWithTheDisplay();
    QApplication app(argc, argv);
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quorvale-%1.png").arg(size));
    app.setWindowIcon(icon);
    MainWindow window;
    window.show();
    return app.exec();
}
