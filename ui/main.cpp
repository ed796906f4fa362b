#include "applicationsetup.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    lanshan::setUpApplication();
    lanshan::MainWindow window;
    window.show();
    return QApplication::exec();
}
