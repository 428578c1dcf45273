#include "app/SendLog.h"

#include "core/Config.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <exception>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace Vantrel {

QString SendLog::defaultPath() {
    return QFileInfo(Config::filePath()).dir().filePath(QStringLiteral("app-send-log.txt"));
}

SendLog::SendLog(QString path)
    : path_(std::move(path)), encoded_(QFile::encodeName(path_).toStdString()) {}

bool SendLog::start(FileOps& ops) const {
    try {
        ops.makeFolders(QFileInfo(path_).path());
        ops.writeAtomically(path_, QByteArray(), false);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void SendLog::append(const QString& line) const {
    // A missing file is not created: a log that could not be started stays absent.
    const int fd = ::open(encoded_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return;
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break;
        data += written;
        left -= written;
    }
    ::close(fd);
}

} // namespace Vantrel
