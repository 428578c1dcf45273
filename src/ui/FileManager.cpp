#include "ui/FileManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace Vantrel::Ui {

namespace {

// How long the file manager may take to answer before the folder is opened instead.
constexpr int answerTimeoutMs = 3000;

// Opens the folder itself, or the folder holding a file.
void openFolder(const QString& path) {
    const QFileInfo info(path);
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(info.isDir() ? info.absoluteFilePath() : info.absolutePath()));
}

} // namespace

void revealInFileManager(const QString& path) {
    revealInFileManager(path, QDBusConnection::sessionBus());
}

void revealInFileManager(const QString& path, const QDBusConnection& bus) {
    if (!bus.isConnected()) {
        openFolder(path);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, answerTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, path] {
        if (watcher->isError())
            openFolder(path);
        watcher->deleteLater();
    });
}

} // namespace Vantrel::Ui
