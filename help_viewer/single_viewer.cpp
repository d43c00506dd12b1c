#include "single_viewer.h"

#include "help_window.h"
#include "viewer_place.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace {

// Long enough for a viewer that is busy drawing; a hung one must not stop the next start.
constexpr int AnswerMilliseconds = 3000;
// A turn lasts at most one hand-over to a hung viewer and the loading of the file.
constexpr int TurnMilliseconds = 4 * AnswerMilliseconds;
// A later start sends one topic line of a few bytes and waits; more is none of ours.
constexpr qint64 RequestBytes = 64;

} // namespace

std::unique_ptr<QLockFile> takeStartTurn(const QString& helpFile) {
    const std::optional<ViewerPlace> place = viewerPlace(helpFile);
    if (!place)
        return nullptr;
    auto lock = std::make_unique<QLockFile>(place->lock);
    return lock->tryLock(TurnMilliseconds) ? std::move(lock) : nullptr;
}

bool handOverToRunningViewer(const QString& helpFile, std::optional<int> topic) {
    const std::optional<ViewerPlace> place = viewerPlace(helpFile);
    if (!place)
        return false;
    QLocalSocket socket;
    socket.connectToServer(place->server);
    if (!socket.waitForConnected(AnswerMilliseconds))
        return false;
    socket.write((topic ? QByteArray::number(*topic) : QByteArray()) + '\n');
    // The answer says the request was shown; without it this start shows the help itself.
    return socket.waitForBytesWritten(AnswerMilliseconds) &&
           socket.waitForReadyRead(AnswerMilliseconds);
}

void acceptLaterStarts(const QString& helpFile, HelpWindow& window) {
    const std::optional<ViewerPlace> place = viewerPlace(helpFile);
    if (!place)
        return;
    auto* server = new QLocalServer(&window);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(place->server)) {
        // Left behind by a viewer that crashed: no viewer answered before this one started.
        QLocalServer::removeServer(place->server);
        if (!server->listen(place->server))
            return;
    }
    QObject::connect(server, &QLocalServer::newConnection, &window, [server, &window] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, &window, [socket, &window] {
                if (socket->bytesAvailable() > RequestBytes) {
                    socket->abort();
                    return;
                }
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
