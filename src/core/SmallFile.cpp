#include "core/SmallFile.h"

#include "core/Errors.h"
#include "core/FileOps.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Vantrel {

namespace {

QString readSentence() {
    return QCoreApplication::translate("Vantrel::Files", "Couldn't read “%1”: %2.");
}

FileError readError(const QString& path, const QString& reason, int code) {
    return FileError(readSentence().arg(path, reason), reason, code);
}

} // namespace

QByteArray readSmallFile(const QString& path, qint64 cap) {
    // O_NONBLOCK: opening a FIFO for reading would wait for a writer.
    const int fd =
        ::open(path.toUtf8().constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        throw FileError::fromErrno(readSentence(), path, code);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int code = errno;
        throw FileError::fromErrno(readSentence(), path, code);
    }
    if (!S_ISREG(st.st_mode))
        throw readError(path,
                        QCoreApplication::translate("Vantrel::Files", "it is not a regular file"),
                        EINVAL);
    const auto tooLarge = [&] {
        return readError(
            path,
            QCoreApplication::translate("Vantrel::Files", "it is larger than %1 bytes").arg(cap),
            EFBIG);
    };
    if (st.st_size > cap)
        throw tooLarge();
    // The size is a hint only: the file may grow or shrink while it is read.
    QByteArray bytes;
    bytes.resize(qsizetype(st.st_size) + 1);
    qsizetype done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (done > cap)
                throw tooLarge();
            bytes.resize(std::min<qsizetype>(bytes.size() * 2, qsizetype(cap) + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR && retryAfterInterrupt())
                continue;
            const int code = errno;
            throw FileError::fromErrno(readSentence(), path, code);
        }
        done += n;
    }
    if (done > cap)
        throw tooLarge();
    bytes.truncate(done);
    return bytes;
}

} // namespace Vantrel
