#include "platform/instance/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace {
constexpr int ConnectWaitMs = 1000;
} // namespace

TSingleInstance::TSingleInstance(QString name, QObject* parent)
    : QObject(parent), ServerName(std::move(name)) {}

TSingleInstance::~TSingleInstance() {
    if (Server)
        Server->close();
}

QString TSingleInstance::DefaultName() {
    return QStringLiteral("Quilvane-%1").arg(static_cast<qulonglong>(::getuid()));
}

bool TSingleInstance::Listening() const {
    return Server && Server->isListening();
}

bool TSingleInstance::Claim() {
    if (Listening())
        return true;
    if (Listen())
        return true;
    // The name is taken: either a running copy holds it, or a crashed one left it behind.
    if (AskRunningCopy())
        return false;
    QLocalServer::removeServer(ServerName);
    if (Listen())
        return true;
    // A copy that started in the same moment may have won the name since; give way to it.
    if (AskRunningCopy())
        return false;
    // Nobody to give way to and no way to listen: run without the guard rather than not at all.
    return true;
}

bool TSingleInstance::Listen() {
    if (!Server) {
        Server = new QLocalServer(this);
        // No access options: with them the toolkit binds elsewhere and renames the socket over
        // the name, which would take the name from a copy that is already running.
        connect(Server, &QLocalServer::newConnection, this, &TSingleInstance::AcceptConnections);
    }
    return Server->listen(ServerName);
}

bool TSingleInstance::AskRunningCopy() {
    QLocalSocket socket;
    socket.connectToServer(ServerName);
    if (!socket.waitForConnected(ConnectWaitMs))
        return false;
    socket.write(ActivateRequest() + '\n');
    socket.waitForBytesWritten(ConnectWaitMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(ConnectWaitMs);
    // Connected at all means a copy is running: this one ends even if the request got lost.
    return true;
}

void TSingleInstance::AcceptConnections() {
    while (QLocalSocket* socket = Server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto handle = [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine().trimmed() == ActivateRequest())
                    emit ActivateRequested();
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, handle);
        // The request may already be waiting.
        handle();
    }
}
