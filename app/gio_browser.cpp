// GIO's headers use names that Qt defines as macros, so they come first.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "gio_browser.h"

#include <QFile>
#include <QtGlobal>

#include <memory>

namespace {

struct GObjectDeleter {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectDeleter>;

struct GErrorDeleter {
    void operator()(GError* error) const { g_error_free(error); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;

constexpr QLatin1String DesktopFileSuffix(".desktop");

GObjectPtr<GAppInfo> applicationNamed(const QString& application) {
    if (application.endsWith(DesktopFileSuffix)) {
        return GObjectPtr<GAppInfo>(
            G_APP_INFO(g_desktop_app_info_new(application.toUtf8().constData())));
    }
    // Quoted, so that a path with blanks stays one word.
    gchar* quoted = g_shell_quote(QFile::encodeName(application).constData());
    GError* error = nullptr;
    GObjectPtr<GAppInfo> info(g_app_info_create_from_commandline(
        quoted, nullptr, G_APP_INFO_CREATE_SUPPORTS_URIS, &error));
    g_free(quoted);
    GErrorPtr owned(error);
    return info;
}

} // namespace

namespace GioBrowser {

std::optional<QString> defaultApplicationFor(const QString& filePath) {
    GObjectPtr<GFile> file(g_file_new_for_path(QFile::encodeName(filePath).constData()));
    GError* error = nullptr;
    GObjectPtr<GAppInfo> handler(g_file_query_default_handler(file.get(), nullptr, &error));
    GErrorPtr owned(error);
    if (!handler)
        return std::nullopt;
    if (const char* id = g_app_info_get_id(handler.get()))
        return QString::fromUtf8(id);
    if (const char* executable = g_app_info_get_executable(handler.get()))
        return QFile::decodeName(executable);
    return std::nullopt;
}

bool launch(const QString& application, const QString& address) {
    const GObjectPtr<GAppInfo> info = applicationNamed(application);
    if (!info)
        return false;
    const QByteArray uri = address.toUtf8();
    GList uris{};
    uris.data = const_cast<char*>(uri.constData());
    GError* error = nullptr;
    const bool started = g_app_info_launch_uris(info.get(), &uris, nullptr, &error);
    GErrorPtr owned(error);
    if (!started)
        qWarning("Could not start %s: %s", qPrintable(application), error ? error->message : "");
    return started;
}

} // namespace GioBrowser
