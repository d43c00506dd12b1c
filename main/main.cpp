#include "main_window.h"
#include "qt_desktop_services.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QtDesktopServices desktop;
    MainWindow window(desktop);
    window.load();
    window.show();
    return QApplication::exec();
}
