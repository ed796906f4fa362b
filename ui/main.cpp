#include "mainwindow.h"
#include "version.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Lets the desktop match the window to its desktop entry and icon (the Wayland app id).
    QGuiApplication::setDesktopFileName(QString::fromLatin1(lanshan::appId));
    lanshan::MainWindow window;
    window.show();
    return QApplication::exec();
}
