#include "app/busy_cursor.h"
#include "app/main_window.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    MainWindow window;
    {
        const BusyCursor busy;
        window.form().Form_Load();
    }
    window.show();
    return QApplication::exec();
}
