#include <QApplication>

#include "mainwindow.h"
#include "windowscaling.h"

int main(int argc, char *argv[])
{
    scaleWithTheDisplay();
    QApplication app(argc, argv);
    MainWindow window;
    window.show();
    return app.exec();
}
