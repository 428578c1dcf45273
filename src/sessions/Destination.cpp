#include "sessions/Destination.h"

#include "core/Errors.h"
#include "core/FileOps.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace Vantrel::Sessions {

namespace {

QString parentOf(const QString& path) {
    const QFileInfo info(path);
    return info.absolutePath();
}

} // namespace

QString alreadyThere(const QString& path, SessionKind kind) {
    const QFileInfo info(path);
    return (kind == SessionKind::ardourSession
                ? QCoreApplication::translate("Vantrel::SessionExport",
                                              "There is already something named “%1” in “%2”, "
                                              "so the Ardour session was not made; nothing was "
                                              "overwritten.")
                : QCoreApplication::translate("Vantrel::SessionExport",
                                              "There is already something named “%1” in “%2”, "
                                              "so the DAWproject file was not made; nothing was "
                                              "overwritten."))
        .arg(info.fileName(), info.absolutePath());
}

void checkDestination(const QString& path, SessionKind kind) {
    const bool ardour = kind == SessionKind::ardourSession;
    const QString folder = parentOf(path);
    struct stat st;
    const QByteArray folderBytes = folder.toUtf8();
    if (::stat(folderBytes.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw Error((ardour ? QCoreApplication::translate(
                                  "Vantrel::SessionExport",
                                  "The folder “%1” does not exist, so the Ardour session cannot "
                                  "be made there.")
                            : QCoreApplication::translate(
                                  "Vantrel::SessionExport",
                                  "The folder “%1” does not exist, so the DAWproject file cannot "
                                  "be made there."))
                        .arg(folder));
    if (::lstat(path.toUtf8().constData(), &st) == 0)
        throw Error(alreadyThere(path, kind));
    if (::access(folderBytes.constData(), W_OK | X_OK) != 0)
        throw Error((ardour ? QCoreApplication::translate(
                                  "Vantrel::SessionExport",
                                  "The folder “%1” cannot be written (%2), so the Ardour session "
                                  "cannot be made there.")
                            : QCoreApplication::translate(
                                  "Vantrel::SessionExport",
                                  "The folder “%1” cannot be written (%2), so the DAWproject file "
                                  "cannot be made there."))
                        .arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
}

void putInPlace(const QString& from, const QString& path, SessionKind kind) {
    try {
        systemFileOps().move(from, path);
    } catch (const FileError& e) {
        if (e.code() == EEXIST || e.code() == ENOTEMPTY)
            throw Error(alreadyThere(path, kind));
        throw;
    }
}

} // namespace Vantrel::Sessions
