#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    lanshan::MainWindow window;
    window.show();
    return QApplication::exec();
}
