#include "sessions/Destination.h"

#include "core/Errors.h"
#include "core/FileOps.h"

#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace Vantrel::Sessions {

namespace {

QString parentOf(const QString& path) {
    const QFileInfo info(path);
    return info.absolutePath();
}

} // namespace

QString alreadyThere(const QString& path, const QString& what) {
    const QFileInfo info(path);
    return QStringLiteral("There is already something named “%1” in “%2”, so the %3 was not "
                          "made; nothing was overwritten.")
        .arg(info.fileName(), info.absolutePath(), what);
}

void checkDestination(const QString& path, const QString& what) {
    const QString folder = parentOf(path);
    struct stat st;
    const QByteArray folderBytes = folder.toUtf8();
    if (::stat(folderBytes.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw Error(QStringLiteral("The folder “%1” does not exist, so the %2 cannot be made "
                                   "there.")
                        .arg(folder, what));
    if (::lstat(path.toUtf8().constData(), &st) == 0)
        throw Error(alreadyThere(path, what));
    if (::access(folderBytes.constData(), W_OK | X_OK) != 0)
        throw Error(QStringLiteral("The folder “%1” cannot be written (%2), so the %3 cannot be "
                                   "made there.")
                        .arg(folder, QString::fromLocal8Bit(std::strerror(errno)), what));
}

void putInPlace(const QString& from, const QString& path, const QString& what) {
    try {
        systemFileOps().move(from, path);
    } catch (const FileError& e) {
        if (e.code() == EEXIST || e.code() == ENOTEMPTY)
            throw Error(alreadyThere(path, what));
        throw;
    }
}

} // namespace Vantrel::Sessions
