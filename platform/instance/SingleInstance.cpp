#include "platform/instance/SingleInstance.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMetaMethod>
#include <QTimer>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int ConnectWaitMs = 1000;

// A socket path has to fit the address structure, terminating zero included.
bool FitsSocketAddress(const QString& path) {
    return QFile::encodeName(path).size() < static_cast<qsizetype>(sizeof(sockaddr_un::sun_path));
}

// The display the program shows on, reduced to characters that are safe in a file name.
QString DisplayTag() {
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    for (QChar& c : display) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'.' && c != u'-')
            c = u'_';
    }
    return display;
}

} // namespace

TSingleInstance::TSingleInstance(QString name, QObject* parent)
    : QObject(parent), ServerName(std::move(name)) {}

TSingleInstance::~TSingleInstance() {
    if (Server)
        Server->close();
}

QString TSingleInstance::RuntimeFolder() {
    const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty())
        return {};
    const QFileInfo info(folder);
    if (!info.isAbsolute() || !info.isDir() || info.ownerId() != ::getuid())
        return {};
    return QDir::cleanPath(folder);
}

QString TSingleInstance::DefaultName() {
    const QString folder = RuntimeFolder();
    if (!folder.isEmpty()) {
        const QString inRuntime = folder + QStringLiteral("/Quilvane");
        if (FitsSocketAddress(inRuntime))
            return inRuntime;
    }
    // No runtime folder: the temporary folder, told apart by user and display.
    QString name = QStringLiteral("Quilvane-%1").arg(static_cast<qulonglong>(::getuid()));
    const QString display = DisplayTag();
    if (!display.isEmpty())
        name += u'-' + display;
    const QString inTemp = QDir::tempPath() + u'/' + name;
    // A bare name lets the toolkit place the socket itself.
    return FitsSocketAddress(inTemp) ? inTemp : name;
}

bool TSingleInstance::Listening() const {
    return Server && Server->isListening();
}

TInstanceClaim TSingleInstance::Claim() {
    if (Listening() || Listen())
        return TInstanceClaim::Runs;
    // The name is taken: either a running copy holds it, or a crashed one left it behind.
    for (int attempt = 0; attempt < 2; ++attempt) {
        switch (AskRunningCopy()) {
        case TAsked::CameForward:
            return TInstanceClaim::OtherCameForward;
        case TAsked::NoAnswer:
            return TInstanceClaim::OtherDidNotAnswer;
        case TAsked::NoCopy:
            break;
        }
        if (attempt == 0) {
            QLocalServer::removeServer(ServerName);
            if (Listen())
                return TInstanceClaim::Runs;
            // A copy that started in the same moment may have won the name since; ask it.
        }
    }
    // Nobody to give way to and no way to listen: run without the guard rather than not at all.
    return TInstanceClaim::Runs;
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

TSingleInstance::TAsked TSingleInstance::AskRunningCopy() {
    QLocalSocket socket;
    socket.connectToServer(ServerName);
    if (!socket.waitForConnected(ConnectWaitMs))
        return TAsked::NoCopy;
    // Connected at all means a copy is running: from here on this one ends either way.
    socket.write(ActivateRequest() + '\n');
    socket.flush();

    // The answer is awaited in an event loop of its own, not by blocking, so that the running
    // copy may live in this very thread (as it does in a test).
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        if (socket.canReadLine())
            loop.quit();
    });
    connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
    timer.start(AnswerWaitMs);
    if (!socket.canReadLine() && socket.state() == QLocalSocket::ConnectedState)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    const bool cameForward = socket.canReadLine() && socket.readLine().trimmed() == CameForwardAnswer();

    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(ConnectWaitMs);
    return cameForward ? TAsked::CameForward : TAsked::NoAnswer;
}

void TSingleInstance::AcceptConnections() {
    while (QLocalSocket* socket = Server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto handle = [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine().trimmed() != ActivateRequest())
                    continue;
                // Nothing connected yet means no window to bring forward (the copy is still
                // starting): the asking copy is told so rather than left to think it worked.
                const bool canComeForward =
                    isSignalConnected(QMetaMethod::fromSignal(&TSingleInstance::ActivateRequested));
                if (canComeForward)
                    emit ActivateRequested();
                socket->write((canComeForward ? CameForwardAnswer() : NotReadyAnswer()) + '\n');
                socket->flush();
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, handle);
        // The request may already be waiting.
        handle();
    }
}
