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
#include <cstdlib>
#include <dlfcn.h>
#include <sys/auxv.h>
#include <unistd.h>
#endif

#ifdef Q_OS_LINUX
namespace {

// The program's own file, by its bytes: applicationFilePath() goes through text, which changes a
// name that is not valid UTF-8, and gives nothing at all for a path longer than PATH_MAX.
QByteArray programFile(QString& error) {
    // Started through the dynamic loader ("ld.so cardisto"), /proc/self/exe is the loader, which
    // the kernel then started without an interpreter; the loader knows the file it loaded.
    Dl_info loaded{};
    if (::getauxval(AT_BASE) == 0 && ::dladdr(reinterpret_cast<void*>(&programFile), &loaded) &&
        loaded.dli_fname && *loaded.dli_fname) {
        if (char* path = ::realpath(loaded.dli_fname, nullptr)) {
            const QByteArray file(path);
            std::free(path);
            return file;
        }
        error = qt_error_string(errno);
        return {};
    }
    QByteArray path(4096, Qt::Uninitialized);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0) {
            error = qt_error_string(errno);
            return {};
        }
        if (length < path.size())
            return path.first(length);
        path.resize(2 * path.size());
    }
}

} // namespace
#endif

QByteArray QtDesktopServices::programFolder(QString& error) const {
#ifdef Q_OS_LINUX
    QByteArray path = programFile(error);
    if (!path.isEmpty())
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

std::optional<QString> QtDesktopServices::programForFile(const QString& fileName) {
    // The shell may fill MAX_PATH characters; the byte after them ends the text in any case.
    char path[MAX_PATH + 1] = {};
    const QByteArray file = fileName.toLocal8Bit();
    if (!shellSucceeded(FindExecutableA(file.constData(), nullptr, path)))
        return std::nullopt;
    path[MAX_PATH] = '\0';
    return QString::fromLocal8Bit(path);
}

bool QtDesktopServices::startProgramWith(const QString& program, const QString& parameter) {
    QWindow* window = QGuiApplication::focusWindow();
    const HWND owner = window ? reinterpret_cast<HWND>(window->winId()) : nullptr;
    const QByteArray file = program.toLocal8Bit();
    const QByteArray parameters = parameter.toLocal8Bit();
    return shellSucceeded(ShellExecuteA(owner, "open", file.constData(), parameters.constData(),
                                        nullptr, SW_SHOWNORMAL));
}

#else

std::optional<QString> QtDesktopServices::programForFile(const QString& fileName) {
    return GioBrowser::defaultApplicationFor(fileName);
}

bool QtDesktopServices::startProgramWith(const QString& program, const QString& parameter) {
    return GioBrowser::launch(program, parameter);
}

#endif
