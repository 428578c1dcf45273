#include "core/FileOps.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <utility>
#include <vector>

#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif
#ifdef __APPLE__
#include <sys/attr.h>
#include <sys/clonefile.h>
#endif

namespace Vantrel {

FileOps::~FileOps() = default;

namespace {

QString systemReason(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

FileError twoPathError(const char* verb, const QString& from, const QString& to, int code) {
    const QString reason = systemReason(code);
    return FileError(
        QStringLiteral("Couldn't %1 “%2” to “%3”: %4.").arg(QLatin1String(verb), from, to, reason),
        reason, code);
}

} // namespace

FileError operationError(FileOp kind, const QString& path, const QString& target, int code) {
    switch (kind) {
    case FileOp::makeFolders:
        return FileError::fromErrno(QStringLiteral("Couldn't create the folder"), path, code);
    case FileOp::copy:
        return twoPathError("copy", path, target, code);
    case FileOp::move:
        return twoPathError("move", path, target, code);
    case FileOp::remove:
        return FileError::fromErrno(QStringLiteral("Couldn't remove"), path, code);
    case FileOp::list:
        return FileError::fromErrno(QStringLiteral("Couldn't read the folder"), path, code);
    case FileOp::writeAtomically:
        return FileError::fromErrno(QStringLiteral("Couldn't write"), path, code);
    case FileOp::syncFolder:
        return FileError::fromErrno(QStringLiteral("Couldn't save the folder"), path, code);
    case FileOp::exists:
    case FileOp::clone:
    case FileOp::fileSize:
        break; // these report failure through their result
    }
    return FileError::fromErrno(QStringLiteral("Couldn't use"), path, code);
}

namespace {

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

// Closes a descriptor on every path out of a scope.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd) {
        close();
        fd_ = fd;
    }
    // Closes now; returns 0 or the errno value of a failed close.
    int close() {
        if (fd_ < 0)
            return 0;
        const int rc = ::close(std::exchange(fd_, -1));
        return rc == 0 || errno == EINTR ? 0 : errno;
    }

private:
    int fd_;
};

int openRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do
        fd = ::open(path, flags, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// Flushes a descriptor's data to the disk itself; 0 or an errno value.
int flushToDisk(int fd) {
#ifdef __APPLE__
    // fsync() leaves the data in the drive's cache on macOS.
    if (::fcntl(fd, F_FULLFSYNC) == 0)
        return 0;
#endif
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Writes all of bytes; 0 or an errno value.
int writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= size_t(n);
    }
    return 0;
}

// Copies the rest of in to out with read() and write(); 0 or an errno value.
int copyByReading(int in, int out) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (const int error = writeAll(out, buffer.data(), size_t(n)))
            return error;
    }
}

// Copies the content of in (of the given size) to out, both at their current offsets, in the
// kernel where the file systems allow it; 0 or an errno value.
int copyContent(int in, int out, off_t size) {
#ifdef __linux__
    // Large requests let the kernel copy a whole file in a call or two, as cp does.
    constexpr size_t chunk = size_t(1) << 30;
    off_t done = 0;
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, chunk, 0);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n == 0) {
            // Some file systems report the end too early instead of refusing; read the rest.
            return done < size ? copyByReading(in, out) : 0;
        }
        switch (errno) {
        case EINTR:
            continue;
        case EXDEV:
        case ENOSYS:
        case EINVAL:
        case EOPNOTSUPP:
        case EPERM:
        case EBADF:
        case ETXTBSY:
            // Not possible between these files; the offsets tell where to go on.
            return copyByReading(in, out);
        default:
            return errno;
        }
    }
#else
    (void)size;
    return copyByReading(in, out);
#endif
}

// Removes the entry name of the folder dirFd: a folder with its content, anything else by
// unlinking it. Continues after errors; 0 or the first errno value.
int removeAt(int dirFd, const char* name) {
    struct stat st;
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode))
        return ::unlinkat(dirFd, name, 0) == 0 ? 0 : errno;

    int firstError = 0;
    {
        const int fd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return errno;
        DIR* dir = ::fdopendir(fd);
        if (!dir) {
            const int error = errno;
            ::close(fd);
            return error;
        }
        // Collect first: removing entries while reading the folder may skip some.
        std::vector<QByteArray> names;
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(dir);
            if (!entry) {
                if (errno != 0)
                    firstError = errno;
                break;
            }
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.emplace_back(entry->d_name);
        }
        for (const QByteArray& child : names) {
            const int error = removeAt(::dirfd(dir), child.constData());
            if (!firstError)
                firstError = error;
        }
        ::closedir(dir);
    }
    if (::unlinkat(dirFd, name, AT_REMOVEDIR) != 0 && !firstError)
        firstError = errno;
    return firstError;
}

// Renames without ever replacing; 0 or an errno value.
int renameNoReplace(const char* from, const char* to) {
#ifdef __APPLE__
    if (::renamex_np(from, to, RENAME_EXCL) == 0)
        return 0;
    if (errno != ENOTSUP)
        return errno;
#else
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
#endif
    // The file system cannot rename exclusively. A new link fails if the name is taken, as
    // the rename should; then the old name goes.
    if (::link(from, to) == 0) {
        if (::unlink(from) == 0)
            return 0;
        const int error = errno;
        ::unlink(to);
        return error;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS && errno != EMLINK)
        return errno;
    // No hard links either (some network and FAT-style file systems): test, then rename.
    struct stat st;
    if (::lstat(to, &st) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return ::rename(from, to) == 0 ? 0 : errno;
}

// Creates the folder path and its missing parents; 0 or an errno value.
int makeFoldersAt(const QByteArray& path) {
    if (::mkdir(path.constData(), 0777) == 0)
        return 0;
    int error = errno;
    if (error == ENOENT) {
        const qsizetype slash = path.lastIndexOf('/');
        if (slash > 0) {
            if (const int parentError = makeFoldersAt(path.left(slash)))
                return parentError;
            if (::mkdir(path.constData(), 0777) == 0)
                return 0;
            error = errno;
        }
    }
    if (error == EEXIST) {
        struct stat st;
        if (::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode))
            return 0;
    }
    return error;
}

QString parentFolder(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

class SystemFileOps final : public FileOps {
public:
    bool exists(const QString& path) override {
        struct stat st;
        return ::lstat(encoded(path).constData(), &st) == 0;
    }

    void makeFolders(const QString& path) override {
        QByteArray name = encoded(path);
        while (name.size() > 1 && name.endsWith('/'))
            name.chop(1);
        if (const int error = makeFoldersAt(name))
            throw operationError(FileOp::makeFolders, path, {}, error);
    }

    bool clone(const QString& from, const QString& to) override {
        const QByteArray source = encoded(from);
        const QByteArray target = encoded(to);
#ifdef __APPLE__
        // clonefile() never replaces and leaves nothing behind when it fails.
        return ::clonefile(source.constData(), target.constData(), 0) == 0;
#elif defined(FICLONE)
        Fd in(openRetrying(source.constData(), O_RDONLY | O_CLOEXEC));
        struct stat st;
        if (!in.valid() || ::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        Fd out(openRetrying(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                            (st.st_mode & 0777) | S_IRUSR | S_IWUSR));
        if (!out.valid())
            return false;
        if (::ioctl(out.get(), FICLONE, in.get()) == 0 && out.close() == 0)
            return true;
        out.close();
        ::unlink(target.constData());
        return false;
#else
        (void)source;
        (void)target;
        return false;
#endif
    }

    void copy(const QString& from, const QString& to) override {
        if (const int error = copyFile(encoded(from), encoded(to)))
            throw operationError(FileOp::copy, from, to, error);
    }

    void move(const QString& from, const QString& to) override {
        if (const int error = renameNoReplace(encoded(from).constData(), encoded(to).constData()))
            throw operationError(FileOp::move, from, to, error);
    }

    void remove(const QString& path) override {
        if (const int error = removeAt(AT_FDCWD, encoded(path).constData()))
            throw operationError(FileOp::remove, path, {}, error);
    }

    QStringList list(const QString& folder) override {
        DIR* dir = ::opendir(encoded(folder).constData());
        if (!dir) {
            const int error = errno;
            throw operationError(FileOp::list, folder, {}, error);
        }
        QStringList names;
        int error = 0;
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(dir);
            if (!entry) {
                error = errno;
                break;
            }
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.append(QFile::decodeName(entry->d_name));
        }
        ::closedir(dir);
        if (error)
            throw operationError(FileOp::list, folder, {}, error);
        return names;
    }

    std::optional<qint64> fileSize(const QString& path) override {
        struct stat st;
        if (::stat(encoded(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
            return std::nullopt;
        return qint64(st.st_size);
    }

    void writeAtomically(const QString& path, const QByteArray& bytes, bool durable) override {
        if (const int error = writeReplacing(path, bytes, durable))
            throw operationError(FileOp::writeAtomically, path, {}, error);
    }

    void syncFolder(const QString& path) override {
        if (const int error = syncFolderAt(encoded(path)))
            throw operationError(FileOp::syncFolder, path, {}, error);
    }

private:
    static int copyFile(const QByteArray& from, const QByteArray& to) {
        Fd in(openRetrying(from.constData(), O_RDONLY | O_CLOEXEC));
        if (!in.valid())
            return errno;
        struct stat st;
        if (::fstat(in.get(), &st) != 0)
            return errno;
        if (S_ISDIR(st.st_mode))
            return EISDIR;
        if (!S_ISREG(st.st_mode))
            return EINVAL;
        Fd out(openRetrying(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                            (st.st_mode & 0777) | S_IRUSR | S_IWUSR));
        if (!out.valid())
            return errno;
        int error = copyContent(in.get(), out.get(), st.st_size);
        // Network file systems may report a failed write only when the file is closed.
        if (const int closeError = out.close(); !error)
            error = closeError;
        if (error)
            ::unlink(to.constData());
        return error;
    }

    static int syncFolderAt(const QByteArray& path) {
        Fd dir(openRetrying(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!dir.valid())
            return errno;
        const int error = flushToDisk(dir.get());
        // EINVAL: the file system keeps no folder data to flush.
        return error == EINVAL ? 0 : error;
    }

    static int writeReplacing(const QString& path, const QByteArray& bytes, bool durable) {
        const QString folder = parentFolder(path);
        const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        // A hidden name, so that a folder holding only a leftover of a crash counts as empty.
        QByteArray temp;
        Fd out;
        for (int attempt = 0; attempt < 100 && !out.valid(); ++attempt) {
            const QString suffix =
                QString::number(QRandomGenerator::global()->generate() % 0x1000000, 16);
            temp = encoded(QStringLiteral("%1/.%2.%3.tmp").arg(folder, name, suffix));
            out.reset(
                openRetrying(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            if (!out.valid() && errno != EEXIST)
                return errno;
        }
        if (!out.valid())
            return EEXIST;

        int error = writeAll(out.get(), bytes.constData(), size_t(bytes.size()));
        if (!error && durable)
            error = flushToDisk(out.get());
        if (const int closeError = out.close(); !error)
            error = closeError;
        if (!error && ::rename(temp.constData(), encoded(path).constData()) != 0)
            error = errno;
        if (error) {
            ::unlink(temp.constData());
            return error;
        }
        return durable ? syncFolderAt(encoded(folder)) : 0;
    }
};

} // namespace

FileOps& systemFileOps() {
    static SystemFileOps ops;
    return ops;
}

} // namespace Vantrel
