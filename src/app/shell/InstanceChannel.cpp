#include "app/shell/InstanceChannel.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <memory>

#include "core/shell/InstanceHandOver.h"

namespace kelvane {

QString InstanceServerNameFor(const QString& dataFolder) {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("LOGNAME");
    return QString::fromStdString(InstanceServerName(
        user.toStdString(), std::filesystem::path(QDir::cleanPath(dataFolder).toStdU16String())));
}

TInstanceServer::TInstanceServer(QObject* parent) : QObject(parent), FServer(new QLocalServer(this)) {
    // Only this user's starts may hand files over.
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(FServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = FServer->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            auto received = std::make_shared<QByteArray>();
            connect(socket, &QLocalSocket::readyRead, this, [this, socket, received] {
                received->append(socket->readAll());
                const auto files = DecodeHandOver(std::string_view(received->constData(), received->size()));
                if (!files) return;
                socket->write(HandOverTaken.data(), static_cast<qint64>(HandOverTaken.size()));
                socket->flush();
                QStringList paths;
                for (const std::string& file : *files) paths << QString::fromStdString(file);
                emit FilesHandedOver(paths);
            });
        }
    });
}

bool TInstanceServer::Listen(const QString& name) {
    // Asked first: listening with access options would replace a running
    // copy's name rather than fail. Nobody answering means a crashed copy's
    // leftover, if anything.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(1000)) return false;
    QLocalServer::removeServer(name);
    return FServer->listen(name);
}

THandOver HandOverToRunningCopy(const QString& name, const QStringList& files, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs)) {
        const QLocalSocket::LocalSocketError error = socket.error();
        return error == QLocalSocket::ServerNotFoundError || error == QLocalSocket::ConnectionRefusedError
                   ? THandOver::NoRunningCopy
                   : THandOver::Failed;
    }
    std::vector<std::string> paths;
    // The running copy works in another folder.
    for (const QString& file : files) paths.push_back(QFileInfo(file).absoluteFilePath().toStdString());
    socket.write(QByteArray::fromStdString(EncodeHandOver(paths)));
    socket.flush();
    QByteArray answer;
    while (answer.size() < static_cast<qsizetype>(HandOverTaken.size())) {
        if (!socket.waitForReadyRead(timeoutMs)) return THandOver::Failed;
        answer += socket.readAll();
    }
    return answer.startsWith(QByteArray(HandOverTaken.data(), static_cast<qsizetype>(HandOverTaken.size())))
               ? THandOver::HandedOver
               : THandOver::Failed;
}

}  // namespace kelvane
