#include "help_arguments.h"
#include "help_file_lookup.h"
#include "help_window.h"
#include "single_viewer.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QMessageBox>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString title = QStringLiteral("Cardisto Help");

    const HelpArguments arguments = parseHelpArguments(QApplication::arguments());
    if (!arguments.error.isEmpty()) {
        QMessageBox::critical(nullptr, title, arguments.error);
        return 2;
    }
    const std::optional<QString> path = findHelpFile(arguments.file);
    if (!path) {
        QMessageBox::critical(
            nullptr, title,
            QStringLiteral("The help file \"%1\" was not found.")
                .arg(QDir::toNativeSeparators(QDir::current().absoluteFilePath(arguments.file))));
        return 1;
    }
    std::unique_ptr<QLockFile> turn = takeStartTurn(*path);
    if (handOverToRunningViewer(*path, arguments.topic))
        return 0;
    HelpWindow window;
    QString error;
    if (!window.load(*path, error)) {
        turn.reset(); // a later start need not wait for the message to be read
        QMessageBox::critical(nullptr, title, error);
        return 1;
    }
    acceptLaterStarts(*path, window);
    turn.reset();
    const bool topicFound = !arguments.topic || window.showTopic(*arguments.topic);
    if (arguments.near)
        window.placeBeside(*arguments.near);
    window.show();
    if (!topicFound) {
        QMessageBox::warning(&window, title,
                             QStringLiteral("The help file has no topic %1; it is shown from the "
                                            "start.")
                                 .arg(*arguments.topic));
    }
    return QApplication::exec();
}
