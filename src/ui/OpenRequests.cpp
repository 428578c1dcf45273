#include "ui/OpenRequests.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <optional>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace Vantrel::Ui {

namespace {

// "nobody", or "user 65534" when the system has no name for the id.
QString userName(uid_t uid) {
    passwd entry;
    passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_name &&
        *found->pw_name)
        return QString::fromLocal8Bit(found->pw_name);
    return OpenRequests::tr("user %1").arg(uid);
}

// The user of the process at the other end of a connected local socket.
std::optional<uid_t> peerUser(qintptr descriptor) {
    if (descriptor < 0)
        return std::nullopt;
#if defined(SO_PEERCRED)
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        length != sizeof credentials)
        return std::nullopt;
    return credentials.uid;
#else
    uid_t uid = 0;
    gid_t gid = 0;
    if (::getpeereid(int(descriptor), &uid, &gid) != 0)
        return std::nullopt;
    return uid;
#endif
}

// Why the peer of a connected socket is not to be trusted, as a sentence, or nothing when it runs
// as this user. answeringAt is the socket's path when this side connected to it, empty when the
// peer connected to this side's server.
std::optional<QString> peerProblem(const QLocalSocket& socket, const QString& answeringAt = {}) {
    const std::optional<uid_t> peer = peerUser(socket.socketDescriptor());
    const bool answering = !answeringAt.isEmpty();
    if (!peer)
        return answering ? OpenRequests::tr("The user of the program answering at “%1” could not "
                                            "be told.")
                               .arg(answeringAt)
                         : OpenRequests::tr("The user of the program that connected could not "
                                            "be told.");
    if (*peer != ::geteuid())
        return answering
                   ? OpenRequests::tr("The program answering at “%1” runs as another user (%2).")
                         .arg(answeringAt, userName(*peer))
                   : OpenRequests::tr("The program that connected runs as another user (%1).")
                         .arg(userName(*peer));
    return std::nullopt;
}

// Why folder may not hold the socket: it must be a folder (not a link to one) of this user that
// no one else may enter, read or write.
std::optional<QString> folderProblem(const QString& folder) {
    struct stat st;
    if (::lstat(QFile::encodeName(folder).constData(), &st) != 0)
        return OpenRequests::tr("Its runtime folder “%1” cannot be read (%2).")
            .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISDIR(st.st_mode))
        return OpenRequests::tr("Its runtime folder “%1” is not a folder.").arg(folder);
    if (st.st_uid != ::geteuid())
        return OpenRequests::tr("Its runtime folder “%1” belongs to another user (%2).")
            .arg(folder, userName(st.st_uid));
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return OpenRequests::tr("Its runtime folder “%1” is open to other users (mode %2, not "
                                "700).")
            .arg(folder)
            .arg(st.st_mode & 0777, 3, 8, QLatin1Char('0'));
    return std::nullopt;
}

// The folder Qt would have chosen when it gives none: the environment's, or its own fallback in
// the temporary folder.
QString runtimeCandidate() {
    const QString fromEnvironment = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QDir::tempPath() + QStringLiteral("/runtime-") + userName(::geteuid());
}

// Why the file at path may not be taken for this user's socket; nothing when there is none.
std::optional<QString> socketFileProblem(const QString& path) {
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    if (!S_ISSOCK(st.st_mode))
        return OpenRequests::tr("“%1” holds the place of its socket but is not one.").arg(path);
    if (st.st_uid != ::geteuid())
        return OpenRequests::tr("Its socket “%1” belongs to another user (%2).")
            .arg(path, userName(st.st_uid));
    return std::nullopt;
}

bool socketFileExists(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// The refusals: what does not happen, then, as a sentence of its own, why.
QString handOffRefusal(const QString& problem) {
    return OpenRequests::tr("Vantrel opens on its own without handing its folders to a running "
                            "Vantrel.") +
           QLatin1Char(' ') + problem;
}

QString listenRefusal(const QString& problem) {
    return OpenRequests::tr("A later launch of Vantrel can't hand folders to this window.") +
           QLatin1Char(' ') + problem;
}

} // namespace

OpenRequests::Place OpenRequests::socketPlace() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        // Qt found no folder it accepts; say what is wrong with the one it would have taken.
        if (const auto problem = folderProblem(runtimeCandidate()))
            return {.path = {}, .problem = *problem};
        return {.path = {},
                .problem = OpenRequests::tr("The system gives it no runtime folder of its own.")};
    }
    folder = QDir::cleanPath(folder);
    if (const auto problem = folderProblem(folder))
        return {.path = {}, .problem = *problem};
    // Per configuration home, so that tests with a private home stay apart.
    const QString home = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return {.path = folder + QStringLiteral("/vantrel-%1").arg(qHash(home), 0, 16), .problem = {}};
}

OpenRequests::HandOff OpenRequests::handToRunning(const QStringList& paths, int timeoutMs) {
    const Place place = socketPlace();
    if (!place.problem.isEmpty())
        return {.taken = false, .refusal = handOffRefusal(place.problem)};
    if (!socketFileExists(place.path))
        return {};
    if (const auto problem = socketFileProblem(place.path))
        return {.taken = false, .refusal = handOffRefusal(*problem)};

    QLocalSocket socket;
    socket.connectToServer(place.path);
    if (!socket.waitForConnected(timeoutMs))
        return {}; // left by an instance that ended without closing it
    if (const auto problem = peerProblem(socket, place.path)) {
        socket.abort();
        return {.taken = false, .refusal = handOffRefusal(*problem)};
    }

    // The running instance loads only the first folder; more than the bound are not sent.
    QByteArray request = "OPEN\n";
    for (const QString& path : paths.mid(0, maxPaths)) {
        const QByteArray line = QFile::encodeName(QFileInfo(path).absoluteFilePath()) + '\n';
        if (request.size() + line.size() > maxRequestBytes)
            break;
        request += line;
    }
    socket.write(request);
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return {.taken = true, .refusal = {}};
}

OpenRequests::OpenRequests(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection())
            accept(socket);
    });
}

OpenRequests::~OpenRequests() {
    server_->close();
}

OpenRequests::Listening OpenRequests::listen() {
    const Place place = socketPlace();
    if (!place.problem.isEmpty())
        return {.listening = false, .refusal = listenRefusal(place.problem)};
    if (socketFileExists(place.path)) {
        if (const auto problem = socketFileProblem(place.path))
            return {.listening = false, .refusal = listenRefusal(*problem)};
        QLocalSocket probe;
        probe.connectToServer(place.path);
        if (probe.waitForConnected(300)) {
            const auto problem = peerProblem(probe, place.path);
            probe.abort();
            if (problem)
                return {.listening = false, .refusal = listenRefusal(*problem)};
            return {}; // another instance of this user listens
        }
        // Nobody answers: a socket of this user left by an instance that ended without closing.
        QFile::remove(place.path);
    }
    // Without socket options the listen binds the name itself and fails when it is taken, where
    // the options would rename over it; the folder already keeps everyone else out.
    server_->setSocketOptions(QLocalServer::NoOptions);
    if (!server_->listen(place.path)) {
        if (server_->serverError() == QAbstractSocket::AddressInUseError)
            return {}; // another launch got there first
        return {.listening = false,
                .refusal = listenRefusal(tr("Its socket “%1” could not be made (%2).")
                                             .arg(place.path, server_->errorString()))};
    }
    ::chmod(QFile::encodeName(place.path).constData(), S_IRUSR | S_IWUSR);
    return {.listening = true, .refusal = {}};
}

void OpenRequests::accept(QLocalSocket* socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (const auto problem = peerProblem(*socket)) {
        ignore(socket, *problem);
        return;
    }
    // The buffer stops growing one byte past the bound, which is enough to know it was passed.
    socket->setReadBufferSize(maxRequestBytes + 1);
    auto* timer = new QTimer(socket);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, socket, [this, socket] {
        ignore(socket,
               tr("The request did not end within %n seconds.", nullptr, requestTimeoutMs / 1000));
    });
    timer->start(requestTimeoutMs);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (socket->bytesAvailable() > maxRequestBytes)
            ignore(socket, tr("The request is longer than %1 bytes.").arg(maxRequestBytes));
    });
    connect(socket, &QLocalSocket::readChannelFinished, this, [this, socket] { finish(socket); });
}

void OpenRequests::finish(QLocalSocket* socket) {
    if (socket->property("done").toBool())
        return;
    const QByteArray data = socket->readAll();
    // A connection that says nothing (a probe) asks for nothing.
    if (data.isEmpty()) {
        socket->setProperty("done", true);
        return;
    }
    if (data.size() > maxRequestBytes) {
        ignore(socket, tr("The request is longer than %1 bytes.").arg(maxRequestBytes));
        return;
    }
    QList<QByteArray> lines = data.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.isEmpty() || lines.takeFirst() != "OPEN") {
        ignore(socket, tr("It is not a request to open folders."));
        return;
    }
    if (lines.size() > maxPaths) {
        ignore(socket, tr("The request names more than %1 paths.").arg(maxPaths));
        return;
    }
    QStringList folders;
    for (const QByteArray& line : std::as_const(lines)) {
        const QString path = QFile::decodeName(line);
        if (!path.isEmpty() && QDir::isAbsolutePath(path) && QFileInfo(path).isDir())
            folders.append(QDir::cleanPath(path));
    }
    socket->setProperty("done", true);
    emit openRequested(folders);
}

void OpenRequests::ignore(QLocalSocket* socket, const QString& reason) {
    if (socket->property("done").toBool())
        return;
    socket->setProperty("done", true);
    qWarning().noquote() << tr("Vantrel ignored a request to open folders.") + QLatin1Char(' ') +
                                reason;
    emit requestIgnored(reason);
    socket->abort();
}

} // namespace Vantrel::Ui
