#include "app/qt_desktop_services.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>

QString QtDesktopServices::programFolder() const {
    return QCoreApplication::applicationDirPath();
}

void QtDesktopServices::clearClipboard() {
    QGuiApplication::clipboard()->clear();
}

void QtDesktopServices::setClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

bool QtDesktopServices::startProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

std::optional<QString> QtDesktopServices::findExecutable(const QString&) {
    return std::nullopt;
}

bool QtDesktopServices::shellExecute(const QString&, const QString&) {
    return false;
}
