#include "viewer_place.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <QFileInfo>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#endif

namespace {

std::optional<QByteArray> resolvedPath(const QString& helpFile) {
#ifdef Q_OS_WIN
    // Windows names are UTF-16, which a QString holds exactly.
    const QString path = QFileInfo(helpFile).canonicalFilePath();
    return path.isEmpty() ? std::nullopt : std::optional(path.toUtf8());
#else
    // On bytes: through text, folders that differ in a byte that is not UTF-8 would be one.
    const std::unique_ptr<char, decltype(&std::free)> path(
        ::realpath(QFile::encodeName(helpFile).constData(), nullptr), &std::free);
    return path ? std::optional(QByteArray(path.get())) : std::nullopt;
#endif
}

std::optional<QString> privateFolder() {
#ifdef Q_OS_WIN
    // Each user's own.
    return QDir::tempPath();
#else
    // Whoever could make the socket first would receive every topic and show none. Not Qt's
    // fallback in /tmp, which another user may have made; and lstat, for a link is anyone's.
    const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    struct stat status {};
    if (!QDir::isAbsolutePath(folder) ||
        ::lstat(QFile::encodeName(folder).constData(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::geteuid() || (status.st_mode & 07777) != 0700)
        return std::nullopt;
    return folder;
#endif
}

} // namespace

std::optional<ViewerPlace> viewerPlace(const QString& helpFile) {
    const std::optional<QByteArray> path = resolvedPath(helpFile);
    const std::optional<QString> folder = privateFolder();
    if (!path || !folder)
        return std::nullopt;
    const QString name =
        QStringLiteral("cardisto-help-") +
        QString::fromLatin1(
            QCryptographicHash::hash(*path, QCryptographicHash::Sha256).toHex().left(16));
    const QString lock = QDir(*folder).filePath(name + QStringLiteral(".lock"));
#ifdef Q_OS_WIN
    // Pipe names are seen by every user.
    return ViewerPlace{name + QLatin1Char('-') + qEnvironmentVariable("USERNAME"), lock};
#else
    return ViewerPlace{QDir(*folder).filePath(name), lock};
#endif
}
