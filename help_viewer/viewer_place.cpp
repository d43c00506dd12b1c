#include "viewer_place.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <QFileInfo>
#else
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

} // namespace

std::optional<ViewerPlace> viewerPlace(const QString& helpFile) {
    const std::optional<QByteArray> path = resolvedPath(helpFile);
    if (!path)
        return std::nullopt;
    const QString name =
        QStringLiteral("cardisto-help-") +
        QString::fromLatin1(
            QCryptographicHash::hash(*path, QCryptographicHash::Sha256).toHex().left(16));
#ifdef Q_OS_WIN
    // Pipe names are seen by every user.
    return ViewerPlace{name + QLatin1Char('-') + qEnvironmentVariable("USERNAME")};
#else
    // The user's own runtime folder, which no other user can reach; Qt falls back to /tmp.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return ViewerPlace{folder.isEmpty() ? name : QDir(folder).filePath(name)};
#endif
}
