#include "single_viewer.h"

#include "help_window.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

// Long enough for a viewer that is busy drawing; a hung one must not stop the next start.
constexpr int AnswerMilliseconds = 3000;

QString serverName(const QString& helpFile) {
    const QFileInfo file(helpFile);
    const QString path =
        file.canonicalFilePath().isEmpty() ? file.absoluteFilePath() : file.canonicalFilePath();
    const QByteArray key =
        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    const QString name = QStringLiteral("cardisto-help-") + QString::fromLatin1(key);
#ifdef Q_OS_WIN
    // Pipe names are seen by every user.
    return name + QLatin1Char('-') + qEnvironmentVariable("USERNAME");
#else
    // The user's own runtime folder, which no other user can reach; Qt falls back to /tmp.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
#endif
}

} // namespace

bool handOverToRunningViewer(const QString& helpFile, std::optional<int> topic) {
    QLocalSocket socket;
    socket.connectToServer(serverName(helpFile));
    if (!socket.waitForConnected(AnswerMilliseconds))
        return false;
    socket.write((topic ? QByteArray::number(*topic) : QByteArray()) + '\n');
    // The answer says the request was shown; without it this start shows the help itself.
    return socket.waitForBytesWritten(AnswerMilliseconds) &&
           socket.waitForReadyRead(AnswerMilliseconds);
}

void acceptLaterStarts(const QString& helpFile, HelpWindow& window) {
    auto* server = new QLocalServer(&window);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = serverName(helpFile);
    if (!server->listen(name)) {
        // Left behind by a viewer that crashed: no viewer answered before this one started.
        QLocalServer::removeServer(name);
        if (!server->listen(name))
            return;
    }
    QObject::connect(server, &QLocalServer::newConnection, &window, [server, &window] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, &window, [socket, &window] {
                if (!socket->canReadLine())
                    return;
                bool ok = false;
                const int topic = socket->readLine().trimmed().toInt(&ok);
                window.showRequest(ok ? std::optional(topic) : std::nullopt);
                socket->write("\n");
            });
        }
    });
}
