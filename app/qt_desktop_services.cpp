#include "app/qt_desktop_services.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QWindow>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shellapi.h>
#else
#include "app/gio_browser.h"
#endif

QString QtDesktopServices::programFolder() const {
    return QCoreApplication::applicationDirPath();
}

void QtDesktopServices::clearClipboard() {
    QGuiApplication::clipboard()->clear();
}

void QtDesktopServices::setClipboardText(const QString& text) {
#ifdef Q_OS_WIN
    QGuiApplication::clipboard()->setText(text);
#else
    // The item file's CR LF would paste as stray carriage returns into terminals and editors.
    QGuiApplication::clipboard()->setText(
        QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
#endif
}

bool QtDesktopServices::startProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

#ifdef Q_OS_WIN

namespace {

// The shell reports success with a value above 32.
bool shellSucceeded(HINSTANCE result) {
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

std::optional<QString> QtDesktopServices::findExecutable(const QString& fileName) {
    // The shell may fill MAX_PATH characters; the byte after them ends the text in any case.
    char path[MAX_PATH + 1] = {};
    const QByteArray file = fileName.toLocal8Bit();
    if (!shellSucceeded(FindExecutableA(file.constData(), nullptr, path)))
        return std::nullopt;
    path[MAX_PATH] = '\0';
    return QString::fromLocal8Bit(path);
}

bool QtDesktopServices::shellExecute(const QString& program, const QString& parameter) {
    QWindow* window = QGuiApplication::focusWindow();
    const HWND owner = window ? reinterpret_cast<HWND>(window->winId()) : nullptr;
    const QByteArray file = program.toLocal8Bit();
    const QByteArray parameters = parameter.toLocal8Bit();
    return shellSucceeded(ShellExecuteA(owner, "open", file.constData(), parameters.constData(),
                                        nullptr, SW_SHOWNORMAL));
}

#else

std::optional<QString> QtDesktopServices::findExecutable(const QString& fileName) {
    return GioBrowser::defaultApplicationFor(fileName);
}

bool QtDesktopServices::shellExecute(const QString& program, const QString& parameter) {
    return GioBrowser::launch(program, parameter);
}

#endif
