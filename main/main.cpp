#include "busy_cursor.h"
#include "main_window.h"
#include "record_file.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    letWritesFailBeyondTheSizeLimit();
    QApplication app(argc, argv);
    MainWindow window;
    {
        const BusyCursor busy;
        window.form().Form_Load();
    }
    window.show();
    return QApplication::exec();
}
