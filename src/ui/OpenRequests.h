#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace Vantrel::Ui {

// Folders the application is asked to open. The first instance listens on a local socket in the
// user's runtime folder; a later launch hands its folders to it and ends, as a Mac application
// receives open requests while it runs.
//
// Nothing crosses to or from another user: both sides refuse a runtime folder that is not the
// user's own and closed to others, a socket file that is not the user's, and a peer whose user
// differs (checked on the connected socket before anything is sent or acted on). A request is
// the line "OPEN", then at most maxPaths absolute UTF-8 paths, one per line, ended by the client
// closing its side, in at most maxRequestBytes; only existing folders are passed on.
class OpenRequests : public QObject {
    Q_OBJECT

public:
    static constexpr int maxPaths = 16;
    static constexpr qsizetype maxRequestBytes = 8 + maxPaths * (4096 + 1);
    // A connection that has not finished its request by then is dropped.
    static constexpr int requestTimeoutMs = 5000;

    // Where the socket lives, or why it may live nowhere: problem is then a clause for a sentence
    // ("its runtime folder “…” belongs to another user (nobody)") and path is empty.
    struct Place {
        QString path;
        QString problem;
    };
    static Place socketPlace();

    struct HandOff {
        // A running instance of this user took the folders; this launch can end.
        bool taken = false;
        // Why the folders were not offered at all, as a sentence for the user; empty when no
        // instance runs (or none answers), which is no fault.
        QString refusal;
    };
    // Hands paths (made absolute) to a running instance of this user.
    static HandOff handToRunning(const QStringList& paths, int timeoutMs = 1000);

    struct Listening {
        bool listening = false;
        // Why this instance does not listen, as a sentence for the user; empty when another
        // instance of this user already does.
        QString refusal;
    };

    explicit OpenRequests(QObject* parent = nullptr);
    // Closes the socket and removes its file.
    ~OpenRequests() override;

    // Listens for later launches, replacing a socket file of this user that nobody answers on.
    Listening listen();

signals:
    // A later launch of this user asked to open these folders (possibly none: it only wants the
    // window).
    void openRequested(const QStringList& folders);
    // A connection was dropped without acting on it, and why (another user, too long, too many
    // paths, not a request).
    void requestIgnored(const QString& reason);

private:
    void accept(QLocalSocket* socket);
    void finish(QLocalSocket* socket);
    void ignore(QLocalSocket* socket, const QString& reason);

    QLocalServer* server_;
};

} // namespace Vantrel::Ui
