#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

namespace Vantrel::Ui {

// Folders the application is asked to open. The first instance listens on a local socket of
// this user; a later launch hands its folders to it and ends, as a Mac application receives
// open requests while it runs.
class OpenRequests : public QObject {
    Q_OBJECT

public:
    explicit OpenRequests(QObject* parent = nullptr);

    // The socket name for this user.
    static QString serverName();
    // Hands paths (made absolute) to a running instance. True when one took them.
    static bool handToRunning(const QStringList& paths, int timeoutMs = 1000);
    // Listens for later launches; false when another instance already does.
    bool listen();

signals:
    // A later launch asked to open these paths (possibly none: it only wants the window).
    void openRequested(const QStringList& paths);

private:
    QLocalServer* server_;
};

} // namespace Vantrel::Ui
