#include "qt_desktop_services.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QWindow>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shellapi.h>
#else
#include "gio_browser.h"

#include <cerrno>
#include <unistd.h>
#endif

QByteArray QtDesktopServices::programFolder(QString& error) const {
#ifdef Q_OS_LINUX
    // applicationDirPath() goes through text, which changes a name that is not valid UTF-8, and
    // gives nothing at all for a path longer than PATH_MAX.
    QByteArray path(4096, Qt::Uninitialized);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0) {
            error = qt_error_string(errno);
            return {};
        }
        if (length < path.size()) {
            path.truncate(length);
            break;
        }
        path.resize(2 * path.size());
    }
    path.truncate(qMax(path.lastIndexOf('/'), qsizetype(1)));
    return path;
#else
    const QString folder = QCoreApplication::applicationDirPath();
    if (folder.isEmpty())
        error = QStringLiteral("The program's own file cannot be found.");
    return QFile::encodeName(folder);
#endif
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
