#include "app/main_window.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    MainWindow window;
    window.form().Form_Load();
    window.show();
    return QApplication::exec();
}
