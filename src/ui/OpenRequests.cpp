#include "ui/OpenRequests.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace Vantrel::Ui {

OpenRequests::OpenRequests(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // One request: the line "OPEN", then UTF-8 paths, one per line, ended by the client
            // closing its side. A connection that says nothing (a probe) asks for nothing.
            connect(socket, &QLocalSocket::readChannelFinished, this, [this, socket] {
                QStringList lines = QString::fromUtf8(socket->readAll())
                                        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
                if (lines.isEmpty() || lines.takeFirst() != QLatin1String("OPEN"))
                    return;
                emit openRequested(lines);
            });
        }
    });
}

QString OpenRequests::serverName() {
    // Per user, and per configuration home so that tests with a private home stay apart.
    const QString home = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QStringLiteral("vantrel-%1-%2").arg(getuid()).arg(qHash(home), 0, 16);
}

bool OpenRequests::handToRunning(const QStringList& paths, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray request = "OPEN\n";
    for (const QString& path : paths)
        request += QFileInfo(path).absoluteFilePath().toUtf8() + '\n';
    socket.write(request);
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return true;
}

bool OpenRequests::listen() {
    // Ask first: listening with access options replaces an existing socket file silently.
    QLocalSocket probe;
    probe.connectToServer(serverName());
    if (probe.waitForConnected(300))
        return false;
    // Nobody answers: a socket file left by an instance that ended without closing it.
    QLocalServer::removeServer(serverName());
    return server_->listen(serverName());
}

} // namespace Vantrel::Ui
