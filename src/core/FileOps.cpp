#include "core/FileOps.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#if __has_include(<linux/openat2.h>)
#include <linux/openat2.h>
#endif
#endif
#ifdef __APPLE__
#include "core/MacClone.h"
#endif

namespace Vantrel {

FileOps::~FileOps() = default;

void FileOps::writeInPieces(const QString& path, const Pieces& pieces, bool durable) {
    QByteArray bytes;
    while (pieces(bytes)) {
    }
    writeAtomically(path, bytes, durable);
}

void FileOps::syncFolders(const QStringList& paths) {
    for (const QString& path : paths)
        syncFolder(path);
}

namespace {

QString systemReason(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

FileError twoPathError(const QString& sentence, const QString& from, const QString& to, int code) {
    const QString reason = systemReason(code);
    return FileError(sentence.arg(from, to, reason), reason, code);
}

} // namespace

FileError operationError(FileOp kind, const QString& path, const QString& target, int code) {
    switch (kind) {
    case FileOp::makeFolders:
        return FileError::fromErrno(
            QCoreApplication::translate("Vantrel::Files", "Couldn't create the folder “%1”: %2."),
            path, code);
    case FileOp::copy:
        return twoPathError(
            QCoreApplication::translate("Vantrel::Files", "Couldn't copy “%1” to “%2”: %3."), path,
            target, code);
    case FileOp::move:
        return twoPathError(
            QCoreApplication::translate("Vantrel::Files", "Couldn't move “%1” to “%2”: %3."), path,
            target, code);
    case FileOp::remove:
        return FileError::fromErrno(
            QCoreApplication::translate("Vantrel::Files", "Couldn't remove “%1”: %2."), path, code);
    case FileOp::list:
        return FileError::fromErrno(
            QCoreApplication::translate("Vantrel::Files", "Couldn't read the folder “%1”: %2."),
            path, code);
    case FileOp::writeAtomically:
        return FileError::fromErrno(
            QCoreApplication::translate("Vantrel::Files", "Couldn't write “%1”: %2."), path, code);
    case FileOp::syncFolder:
        return FileError::fromErrno(
            QCoreApplication::translate("Vantrel::Files", "Couldn't save the folder “%1”: %2."),
            path, code);
    case FileOp::exists:
    case FileOp::clone:
    case FileOp::fileSize:
        break; // these report failure through their result
    }
    return FileError::fromErrno(
        QCoreApplication::translate("Vantrel::Files", "Couldn't use “%1”: %2."), path, code);
}

namespace {

QByteArray encoded(const QString& path) {
    // The name's own UTF-8 bytes: QFile::encodeName decomposes (NFD) on macOS, which would
    // name another file there or put a file back under other bytes than it had.
    return path.toUtf8();
}

// Closes a descriptor on every path out of a scope.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd) {
        close();
        fd_ = fd;
    }
    // Gives up ownership without closing.
    void release() { fd_ = -1; }
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
    while (fd < 0 && errno == EINTR && retryAfterInterrupt());
    return fd;
}

// Opens the regular file name of the folder dirFd for reading and fills in st; -1 with errno
// set otherwise. A FIFO or device at the name never blocks the open (it is refused: EINVAL,
// a folder EISDIR), and a symbolic link at the name is refused (ELOOP) instead of followed.
int openSource(int dirFd, const char* name, struct stat* st) {
    const int fd = ::openat(dirFd, name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    int error = 0;
    if (::fstat(fd, st) != 0)
        error = errno;
    else if (S_ISDIR(st->st_mode))
        error = EISDIR;
    else if (!S_ISREG(st->st_mode))
        error = EINVAL;
    else if (const int flags = ::fcntl(fd, F_GETFL);
             flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        error = errno;
    if (error) {
        ::close(fd);
        errno = error;
        return -1;
    }
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
            if (errno == EINTR && retryAfterInterrupt())
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
            if (errno == EINTR && retryAfterInterrupt())
                continue;
            return errno;
        }
        if (const int error = writeAll(out, buffer.data(), size_t(n)))
            return error;
    }
}

// Copies length bytes from offset at of in to the same offset of out; 0 or an errno value.
int copyRange(int in, int out, off_t at, off_t length) {
    std::vector<char> buffer;
    while (length > 0) {
#ifdef __linux__
        off_t inAt = at;
        off_t outAt = at;
        const ssize_t n = ::copy_file_range(in, &inAt, out, &outAt, size_t(length), 0);
        if (n > 0) {
            at += n;
            length -= n;
            continue;
        }
        if (n < 0 && errno == EINTR) {
            if (retryAfterInterrupt())
                continue;
            return EINTR;
        }
#endif
        if (buffer.empty())
            buffer.resize(1 << 20);
        const ssize_t r =
            ::pread(in, buffer.data(), size_t(std::min<off_t>(length, off_t(buffer.size()))), at);
        if (r < 0 && errno == EINTR) {
            if (retryAfterInterrupt())
                continue;
            return EINTR;
        }
        if (r < 0)
            return errno;
        if (r == 0)
            return 0; // the file shrank meanwhile
        for (ssize_t done = 0; done < r;) {
            const ssize_t w = ::pwrite(out, buffer.data() + done, size_t(r - done), at + done);
            if (w < 0 && (errno != EINTR || !retryAfterInterrupt()))
                return errno;
            done += std::max<ssize_t>(w, 0);
        }
        at += r;
        length -= r;
    }
    return 0;
}

// Copies a file with holes: only its data ranges, the holes left as holes; 0, an errno value,
// or -1 when the file system cannot tell where the holes are.
int copySparse(int in, int out, off_t size) {
#ifdef SEEK_HOLE
    const off_t firstHole = ::lseek(in, 0, SEEK_HOLE);
    if (firstHole < 0 || firstHole >= size)
        return -1; // no hole, or no way to know
    for (off_t at = 0; at < size;) {
        const off_t data = ::lseek(in, at, SEEK_DATA);
        if (data < 0)
            return errno == ENXIO ? 0 : errno;
        const off_t hole = ::lseek(in, data, SEEK_HOLE);
        if (hole < 0)
            return errno;
        if (const int error = copyRange(in, out, data, std::min(hole, size) - data))
            return error;
        at = hole;
    }
    return 0;
#else
    (void)in;
    (void)out;
    (void)size;
    return -1;
#endif
}

// Copies the content of in (of the given size) to out, both at their current offsets, in the
// kernel where the file systems allow it, keeping the holes of a sparse file; 0 or an errno
// value.
int copyContent(int in, int out, off_t size) {
    if (const int sparse = copySparse(in, out, size); sparse >= 0) {
        if (sparse == 0 && ::ftruncate(out, size) != 0)
            return errno;
        return sparse;
    }
    ::lseek(in, 0, SEEK_SET);
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
            if (retryAfterInterrupt())
                continue;
            return EINTR;
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

// Whether a failure to carry an attribute over only means the target cannot hold it (a file
// system without extended attributes, a name only a privileged process may set).
bool cannotHoldAttribute(int code) {
    return code == ENOTSUP || code == EOPNOTSUPP || code == EPERM || code == EACCES ||
           code == ERANGE || code == EINVAL;
}

// Gives out, a new copy of in (whose status is st), the permissions (plus read and write for the
// owner, so that the copy can always be changed and removed), the extended attributes and the
// access and modification times of in; 0 or an errno value. Attributes the target cannot hold
// are left out.
int copyMetadata(int in, int out, const struct stat& st) {
#ifdef __linux__
    std::vector<char> names(4096);
    ssize_t size;
    for (;;) {
        size = ::flistxattr(in, names.data(), names.size());
        if (size >= 0 || errno != ERANGE)
            break;
        const ssize_t needed = ::flistxattr(in, nullptr, 0);
        if (needed < 0)
            break;
        names.resize(size_t(needed) + 1);
    }
    if (size < 0 && !cannotHoldAttribute(errno) && errno != ENODATA)
        return errno;
    std::vector<char> value;
    for (ssize_t at = 0; at < size;) {
        const char* name = names.data() + at;
        at += ssize_t(std::strlen(name)) + 1;
        ssize_t length = ::fgetxattr(in, name, nullptr, 0);
        if (length < 0)
            continue; // gone meanwhile, or not readable by us
        value.resize(size_t(length) + 1);
        length = ::fgetxattr(in, name, value.data(), value.size());
        if (length < 0)
            continue;
        if (::fsetxattr(out, name, value.data(), size_t(length), 0) != 0 &&
            !cannotHoldAttribute(errno))
            return errno;
    }
#else
    (void)in;
#endif
    if (::fchmod(out, (st.st_mode & 07777) | S_IRUSR | S_IWUSR) != 0 && !cannotHoldAttribute(errno))
        return errno;
#ifdef __APPLE__
    const struct timespec times[2] = {st.st_atimespec, st.st_mtimespec};
#else
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
#endif
    if (::futimens(out, times) != 0 && !cannotHoldAttribute(errno))
        return errno;
    return 0;
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
    // No hard links either (some network and FAT-style file systems; macOS tells ENOTSUP and
    // EOPNOTSUPP apart). A test followed by a rename could replace a file that came meanwhile:
    // refused.
    if (errno == EPERM || errno == ENOTSUP || errno == EOPNOTSUPP || errno == ENOSYS ||
        errno == EMLINK)
        return ENOTSUP;
    return errno;
}

// Whether name a in folder dirA and name b in folder dirB are one entry: the same file, which no
// other name links to (a folder has only the one). A case-insensitive volume finds "kick.wav"
// under "Kick.wav" too; for the rename that only changes a name's case, the target that
// "exists" is the source itself, not something in the way.
bool sameEntryAt(int dirA, const char* a, int dirB, const char* b) {
    struct stat x;
    struct stat y;
    return ::fstatat(dirA, a, &x, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstatat(dirB, b, &y, AT_SYMLINK_NOFOLLOW) == 0 && x.st_dev == y.st_dev &&
           x.st_ino == y.st_ino && (S_ISDIR(x.st_mode) || x.st_nlink == 1);
}

// A no-replace rename that failed with EEXIST because `to` is `from` under another spelling:
// a plain rename gives the entry the new spelling and replaces nothing, since what is at `to`
// is the entry being renamed. 0 or an errno value (EEXIST when something else is there).
int renameToOtherSpelling(int fromDir, const char* from, int toDir, const char* to) {
    if (!sameEntryAt(fromDir, from, toDir, to))
        return EEXIST;
    return ::renameat(fromDir, from, toDir, to) == 0 ? 0 : errno;
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
        return cloneRegularFile(source.constData(), target.constData()) == 0;
#elif defined(FICLONE)
        struct stat st;
        Fd in(openSource(AT_FDCWD, source.constData(), &st));
        if (!in.valid())
            return false;
        Fd out(openRetrying(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                            (st.st_mode & 0777) | S_IRUSR | S_IWUSR));
        if (!out.valid())
            return false;
        if (::ioctl(out.get(), FICLONE, in.get()) == 0 &&
            copyMetadata(in.get(), out.get(), st) == 0 && out.close() == 0)
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
        const QByteArray source = encoded(from);
        const QByteArray target = encoded(to);
        int error = renameNoReplace(source.constData(), target.constData());
        if (error == EEXIST)
            error =
                renameToOtherSpelling(AT_FDCWD, source.constData(), AT_FDCWD, target.constData());
        if (error)
            throw operationError(FileOp::move, from, to, error);
    }

    bool sameEntry(const QString& a, const QString& b) override {
        return sameEntryAt(AT_FDCWD, encoded(a).constData(), AT_FDCWD, encoded(b).constData());
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
                names.append(QString::fromUtf8(entry->d_name));
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

    std::unique_ptr<FileOps> confinedTo(const QString& folder) override;

    static int syncFolderAt(const QByteArray& path) {
        Fd dir(openRetrying(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!dir.valid())
            return errno;
        return syncDescriptor(dir.get());
    }

    static int syncDescriptor(int dirFd) {
        const int error = flushToDisk(dirFd);
        // EINVAL: the file system keeps no folder data to flush.
        return error == EINVAL ? 0 : error;
    }

private:
    static int copyFile(const QByteArray& from, const QByteArray& to) {
        struct stat st;
        Fd in(openSource(AT_FDCWD, from.constData(), &st));
        if (!in.valid())
            return errno;
        Fd out(openRetrying(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                            (st.st_mode & 0777) | S_IRUSR | S_IWUSR));
        if (!out.valid())
            return errno;
        int error = copyContent(in.get(), out.get(), st.st_size);
        if (!error)
            error = copyMetadata(in.get(), out.get(), st);
        // Network file systems may report a failed write only when the file is closed.
        if (const int closeError = out.close(); !error)
            error = closeError;
        if (error)
            ::unlink(to.constData());
        return error;
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

// Whether confined operations may reach a folder below theirs with openat2(); cleared for good
// the first time the system refuses the call itself.
std::atomic<bool>& openat2Allowed() {
    static std::atomic<bool> allowed{true};
    return allowed;
}

// Renames name of the folder fromDir to name of the folder toDir without ever replacing; 0 or
// an errno value.
int renameAtNoReplace(int fromDir, const char* from, int toDir, const char* to) {
#ifdef __APPLE__
    if (::renameatx_np(fromDir, from, toDir, to, RENAME_EXCL) == 0)
        return 0;
    if (errno != ENOTSUP)
        return errno;
#else
    if (::renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
#endif
    if (::linkat(fromDir, from, toDir, to, 0) == 0) {
        if (::unlinkat(fromDir, from, 0) == 0)
            return 0;
        const int error = errno;
        ::unlinkat(toDir, to, 0);
        return error;
    }
    // As renameNoReplace: never a rename without the no-replace guarantee.
    if (errno == EPERM || errno == ENOTSUP || errno == EOPNOTSUPP || errno == ENOSYS ||
        errno == EMLINK)
        return ENOTSUP;
    return errno;
}

// A folder's descriptor that a Place either owns or borrows from the confining folder.
class FolderRef {
public:
    FolderRef() = default;
    FolderRef(const FolderRef&) = delete;
    FolderRef& operator=(const FolderRef&) = delete;
    FolderRef(FolderRef&& other) noexcept
        : fd_(std::move(other.fd_)), borrowed_(std::exchange(other.borrowed_, -1)) {}
    int get() const { return fd_.valid() ? fd_.get() : shared_ ? shared_->get() : borrowed_; }
    bool valid() const { return get() >= 0; }
    void reset(int fd) {
        borrowed_ = -1;
        shared_.reset();
        fd_.reset(fd);
    }
    void borrow(int fd) {
        fd_.reset(-1);
        shared_.reset();
        borrowed_ = fd;
    }
    // Shares a descriptor that stays open for as long as any holder keeps it.
    void share(std::shared_ptr<Fd> fd) {
        fd_.reset(-1);
        borrowed_ = -1;
        shared_ = std::move(fd);
    }

private:
    Fd fd_;
    std::shared_ptr<Fd> shared_;
    int borrowed_ = -1;
};

// The file operations inside one folder, each made from a descriptor of it, never through a
// symbolic link below it. Holds the folder's lock while it lives.
class ConfinedFileOps final : public FileOps {
public:
    explicit ConfinedFileOps(const QString& folder) : root_(folder) {
        root_ = folder.size() > 1 && folder.endsWith(QLatin1Char('/')) ? folder.chopped(1) : folder;
        prefix_ = root_ == QLatin1String("/") ? root_ : root_ + QLatin1Char('/');
        rootFd_.reset(openRetrying(encoded(root_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!rootFd_.valid())
            throw operationError(FileOp::list, root_, {}, errno);
        // flock() on the folder itself: nothing is left in it, and the lock goes with the
        // descriptor, also when the process dies.
        int rc;
        do
            rc = ::flock(rootFd_.get(), LOCK_EX | LOCK_NB);
        while (rc != 0 && errno == EINTR && retryAfterInterrupt());
        if (rc != 0) {
            if (errno == EWOULDBLOCK)
                throw FolderBusyError(
                    QCoreApplication::translate("Vantrel::Files",
                                                "“%1” is being organized or put back by another "
                                                "Vantrel right now; nothing was changed. Try again "
                                                "when it has finished.")
                        .arg(root_));
            // A volume without locks (some network shares, FAT-style disks): the work goes on
            // unlocked, and the caller tells the user (holdsFolderLock).
            locked_ = false;
        }
    }

    bool locked() const { return locked_; }

    bool exists(const QString& path) override {
        const Place place = placeOf(path);
        struct stat st;
        return place.error == 0 &&
               ::fstatat(place.dir.get(), place.name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    }

    void makeFolders(const QString& path) override {
        const std::optional<QByteArrayList> parts = componentsOf(path);
        if (!parts)
            throw operationError(FileOp::makeFolders, path, {}, EPERM);
        Fd dir(::dup(rootFd_.get()));
        if (!dir.valid())
            throw operationError(FileOp::makeFolders, path, {}, errno);
        for (const QByteArray& part : *parts) {
            if (::mkdirat(dir.get(), part.constData(), 0777) != 0 && errno != EEXIST)
                throw operationError(FileOp::makeFolders, path, {}, errno);
            const int fd = openFolderAt(dir.get(), part.constData());
            if (fd < 0)
                throw operationError(FileOp::makeFolders, path, {}, errno);
            dir.reset(fd);
        }
    }

    bool clone(const QString&, const QString&) override { return false; }

    void copy(const QString& from, const QString& to) override {
        const Place source = placeOf(from);
        const Place target = placeOf(to);
        if (const int error = source.error ? source.error : target.error)
            throw operationError(FileOp::copy, from, to, error);
        struct stat st;
        Fd in(openSource(source.dir.get(), source.name.constData(), &st));
        if (!in.valid())
            throw operationError(FileOp::copy, from, to, errno);
        Fd out(::openat(target.dir.get(), target.name.constData(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        (st.st_mode & 0777) | S_IRUSR | S_IWUSR));
        if (!out.valid())
            throw operationError(FileOp::copy, from, to, errno);
        int error = copyContent(in.get(), out.get(), st.st_size);
        if (!error)
            error = copyMetadata(in.get(), out.get(), st);
        if (const int closeError = out.close(); !error)
            error = closeError;
        if (error) {
            ::unlinkat(target.dir.get(), target.name.constData(), 0);
            throw operationError(FileOp::copy, from, to, error);
        }
    }

    void move(const QString& from, const QString& to) override {
        const Place source = placeOf(from);
        const Place target = placeOf(to);
        int error = source.error ? source.error : target.error;
        if (!error)
            error = renameAtNoReplace(source.dir.get(), source.name.constData(), target.dir.get(),
                                      target.name.constData());
        if (error == EEXIST)
            error = renameToOtherSpelling(source.dir.get(), source.name.constData(),
                                          target.dir.get(), target.name.constData());
        if (error)
            throw operationError(FileOp::move, from, to, error);
    }

    bool sameEntry(const QString& a, const QString& b) override {
        const Place first = placeOf(a);
        const Place second = placeOf(b);
        return first.error == 0 && second.error == 0 &&
               sameEntryAt(first.dir.get(), first.name.constData(), second.dir.get(),
                           second.name.constData());
    }

    void remove(const QString& path) override {
        const Place place = placeOf(path);
        int error = place.error;
        struct stat st;
        if (!error &&
            ::fstatat(place.dir.get(), place.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            error = errno;
        if (!error && ::unlinkat(place.dir.get(), place.name.constData(),
                                 S_ISDIR(st.st_mode) ? AT_REMOVEDIR : 0) != 0)
            error = errno;
        if (error)
            throw operationError(FileOp::remove, path, {}, error);
    }

    QStringList list(const QString& folder) override {
        Fd dir(openFolder(folder));
        if (!dir.valid())
            throw operationError(FileOp::list, folder, {}, errno);
        DIR* stream = ::fdopendir(dir.get());
        if (!stream)
            throw operationError(FileOp::list, folder, {}, errno);
        dir.release(); // closedir() closes it
        QStringList names;
        int error = 0;
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(stream);
            if (!entry) {
                error = errno;
                break;
            }
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.append(QString::fromUtf8(entry->d_name));
        }
        ::closedir(stream);
        if (error)
            throw operationError(FileOp::list, folder, {}, error);
        return names;
    }

    std::optional<qint64> fileSize(const QString& path) override {
        const Place place = placeOf(path);
        struct stat st;
        if (place.error ||
            ::fstatat(place.dir.get(), place.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode))
            return std::nullopt;
        return qint64(st.st_size);
    }

    void writeAtomically(const QString& path, const QByteArray& bytes, bool durable) override {
        bool given = false;
        writeInPieces(
            path,
            [&](QByteArray& piece) {
                if (!given)
                    piece = bytes;
                given = true;
                return false;
            },
            durable);
    }

    void writeInPieces(const QString& path, const Pieces& pieces, bool durable) override {
        const Place place = placeOf(path);
        if (place.error)
            throw operationError(FileOp::writeAtomically, path, {}, place.error);
        if (const int error = writeUnnamed(place, pieces, durable); error >= 0) {
            if (error)
                throw operationError(FileOp::writeAtomically, path, {}, error);
            return;
        }
        QByteArray temp;
        Fd out;
        for (int attempt = 0; attempt < 100 && !out.valid(); ++attempt) {
            temp = '.' + place.name + '.' +
                   QByteArray::number(QRandomGenerator::global()->generate() % 0x1000000, 16) +
                   ".tmp";
            out.reset(::openat(place.dir.get(), temp.constData(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
            if (!out.valid() && errno != EEXIST)
                throw operationError(FileOp::writeAtomically, path, {}, errno);
        }
        if (!out.valid())
            throw operationError(FileOp::writeAtomically, path, {}, EEXIST);
        int error = writePieces(out.get(), pieces);
        if (!error && durable)
            error = flushToDisk(out.get());
        if (const int closeError = out.close(); !error)
            error = closeError;
        if (!error && ::renameat(place.dir.get(), temp.constData(), place.dir.get(),
                                 place.name.constData()) != 0)
            error = errno;
        if (error) {
            ::unlinkat(place.dir.get(), temp.constData(), 0);
            throw operationError(FileOp::writeAtomically, path, {}, error);
        }
        if (durable) {
            if (const int syncError = SystemFileOps::syncDescriptor(place.dir.get()))
                throw operationError(FileOp::writeAtomically, path, {}, syncError);
        }
    }

    void syncFolder(const QString& path) override {
        Fd dir(openFolder(path));
        if (!dir.valid())
            throw operationError(FileOp::syncFolder, path, {}, errno);
        if (const int error = SystemFileOps::syncDescriptor(dir.get()))
            throw operationError(FileOp::syncFolder, path, {}, error);
    }

    // The folders are opened here in order, then flushed by a few threads at once: flushes of
    // one disk that wait together are served by one flush of its cache instead of one each.
    void syncFolders(const QStringList& paths) override {
        const size_t count = size_t(paths.size());
        std::vector<Fd> dirs;
        std::vector<int> errors(count, 0);
        dirs.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            dirs.emplace_back(openFolder(paths[qsizetype(i)]));
            if (!dirs.back().valid())
                errors[i] = errno;
        }
        std::atomic<size_t> next{0};
        const auto work = [&] {
            for (size_t i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
                if (dirs[i].valid())
                    errors[i] = SystemFileOps::syncDescriptor(dirs[i].get());
            }
        };
        std::vector<std::thread> helpers;
        try {
            for (size_t t = 1; t < std::min<size_t>(count, 8); ++t)
                helpers.emplace_back(work);
        } catch (const std::system_error&) {
            // No more threads to be had: the ones there are, this one included, do the rest.
        }
        work();
        for (std::thread& helper : helpers)
            helper.join();
        for (size_t i = 0; i < count; ++i) {
            if (errors[i])
                throw operationError(FileOp::syncFolder, paths[qsizetype(i)], {}, errors[i]);
        }
    }

    std::unique_ptr<FileOps> confinedTo(const QString& folder) override {
        return std::make_unique<ConfinedFileOps>(folder);
    }

private:
    // An entry as its folder's descriptor and its own name, or the errno value that kept the
    // way there from being walked.
    struct Place {
        FolderRef dir;
        QByteArray name;
        int error = 0;
    };

    // Writes bytes into a file without a name (O_TMPFILE) and links it in when whole: at its own
    // name when that is free, which no crash can leave half done, else at a hidden temporary
    // name renamed over it. 0, an errno value, or -1 when the file system has no unnamed files.
    static int writeUnnamed(const Place& place, const Pieces& pieces, bool durable) {
#if defined(__linux__) && defined(O_TMPFILE)
        Fd out(::openat(place.dir.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
        if (!out.valid())
            return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ? -1 : errno;
        int error = writePieces(out.get(), pieces);
        if (!error && durable)
            error = flushToDisk(out.get());
        if (error)
            return error;
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(out.get());
        if (::linkat(AT_FDCWD, self.constData(), place.dir.get(), place.name.constData(),
                     AT_SYMLINK_FOLLOW) != 0) {
            if (errno == ENOENT && ::access("/proc/self/fd", F_OK) != 0)
                return -1; // no /proc to name the file by
            if (errno != EEXIST)
                return errno;
            QByteArray temp;
            for (int attempt = 0; attempt < 100; ++attempt) {
                temp = '.' + place.name + '.' +
                       QByteArray::number(QRandomGenerator::global()->generate() % 0x1000000, 16) +
                       ".tmp";
                if (::linkat(AT_FDCWD, self.constData(), place.dir.get(), temp.constData(),
                             AT_SYMLINK_FOLLOW) == 0)
                    break;
                if (errno != EEXIST)
                    return errno;
                temp.clear();
            }
            if (temp.isEmpty())
                return EEXIST;
            if (::renameat(place.dir.get(), temp.constData(), place.dir.get(),
                           place.name.constData()) != 0) {
                error = errno;
                ::unlinkat(place.dir.get(), temp.constData(), 0);
                return error;
            }
        }
        if (const int closeError = out.close())
            return closeError;
        return durable ? SystemFileOps::syncDescriptor(place.dir.get()) : 0;
#else
        (void)place;
        (void)pieces;
        (void)durable;
        return -1;
#endif
    }

    // Writes every piece that pieces gives to fd as it comes; 0 or an errno value.
    static int writePieces(int fd, const Pieces& pieces) {
        QByteArray piece;
        for (bool more = true; more;) {
            piece.resize(0);
            more = pieces(piece);
            if (const int error = writeAll(fd, piece.constData(), size_t(piece.size())))
                return error;
        }
        return 0;
    }

    static int openFolderAt(int dirFd, const char* name) {
        int fd;
        do
            fd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        while (fd < 0 && errno == EINTR && retryAfterInterrupt());
        if (fd < 0 && errno == ENOTDIR) {
            // A symbolic link in the way is reported as one, not as a file.
            struct stat st;
            if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
                errno = ELOOP;
            else
                errno = ENOTDIR;
        }
        return fd;
    }

    // A descriptor of the folder at path (the confining folder itself included); -1 with errno
    // set when it cannot be reached without a symbolic link or is not a folder.
    int openFolder(const QString& path) const {
        if (path == root_)
            return ::dup(rootFd_.get());
        const Place place = placeOf(path);
        if (place.error) {
            errno = place.error;
            return -1;
        }
        return openFolderAt(place.dir.get(), place.name.constData());
    }

    // Whether part is one step down: not empty, ".", nor "..".
    static bool isStep(QStringView part) {
        return !part.isEmpty() && part != QLatin1String(".") && part != QLatin1String("..");
    }

    // The names on the way from the folder to path; none when path is not strictly inside it
    // or takes a "." or ".." step.
    std::optional<QByteArrayList> componentsOf(const QString& path) const {
        const QString& prefix = prefix_;
        if (!path.startsWith(prefix) || path.size() == prefix.size())
            return std::nullopt;
        QByteArrayList parts;
        for (const QStringView part :
             QStringView(path).mid(prefix.size()).tokenize(QLatin1Char('/'))) {
            if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
                return std::nullopt;
            parts.append(part.toUtf8());
        }
        return parts;
    }

    // The folder holding path, reached without any symbolic link: the folder's own descriptor
    // for an entry directly inside it, else one openat2() confined beneath it (where the system
    // has it), else a walk one component at a time.
    Place placeOf(const QString& path) const {
        Place place;
        // The common ways, an entry of the folder or of a folder directly inside, read in place.
        if (path.startsWith(prefix_) && path.size() > prefix_.size()) {
            const QStringView relative = QStringView(path).mid(prefix_.size());
            const qsizetype slash = relative.indexOf(QLatin1Char('/'));
            const QStringView last = slash < 0 ? relative : relative.mid(slash + 1);
            if (isStep(last) &&
                (slash < 0 || (isStep(relative.left(slash)) && !last.contains(QLatin1Char('/'))))) {
                place.name = last.toUtf8();
                if (slash < 0) {
                    place.dir.borrow(rootFd_.get());
                    return place;
                }
                const QByteArray folder = relative.left(slash).toUtf8();
                if (std::shared_ptr<Fd> known = knownFolder(folder)) {
                    place.dir.share(std::move(known));
                    return place;
                }
            }
        }
        std::optional<QByteArrayList> parts = componentsOf(path);
        if (!parts) {
            place.error = EPERM;
            return place;
        }
        place.name = parts->takeLast();
        if (parts->isEmpty()) {
            place.dir.borrow(rootFd_.get());
            return place;
        }
        // A folder directly inside (a group folder, met once per file) is opened once; its
        // descriptor serves again only while its name still leads to that very folder, no link
        // and nothing put in its place: one fstatat() instead of opening it again.
        const bool child = parts->size() == 1;
        if (child) {
            if (std::shared_ptr<Fd> known = knownFolder(parts->first())) {
                place.dir.share(std::move(known));
                return place;
            }
        }
        if (const int fd = openBeneath(parts->join('/')); fd != -2) {
            place.error = fd < 0 ? errno : 0;
            place.dir.reset(fd);
            if (child && fd >= 0)
                rememberFolder(parts->first(), fd);
            return place;
        }
        place.dir.reset(::dup(rootFd_.get()));
        if (!place.dir.valid())
            place.error = errno;
        for (const QByteArray& part : std::as_const(*parts)) {
            if (!place.dir.valid())
                break;
            const int fd = openFolderAt(place.dir.get(), part.constData());
            place.error = fd < 0 ? errno : 0;
            place.dir.reset(fd);
        }
        if (child && place.dir.valid())
            rememberFolder(parts->first(), place.dir.get());
        return place;
    }

    // The kept descriptor of the folder name directly inside, when that name still is that
    // folder (the same device and inode, reached without a link); none otherwise, and a stale
    // one is let go.
    std::shared_ptr<Fd> knownFolder(const QByteArray& name) const {
        const std::lock_guard<std::mutex> lock(knownMutex_);
        const auto it = known_.find(name);
        if (it == known_.end())
            return nullptr;
        struct stat st;
        if (::fstatat(rootFd_.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISDIR(st.st_mode) && st.st_dev == it->second.dev && st.st_ino == it->second.ino)
            return it->second.fd;
        known_.erase(it);
        return nullptr;
    }

    // Keeps a copy of fd, the folder name directly inside, for knownFolder().
    void rememberFolder(const QByteArray& name, int fd) const {
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode))
            return;
        auto copy = std::make_shared<Fd>(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
        if (!copy->valid())
            return;
        const std::lock_guard<std::mutex> lock(knownMutex_);
        if (known_.size() >= 256)
            known_.clear(); // a folder of many folders: kept ones go, in-flight ones stay open
        known_[name] = KnownFolder{std::move(copy), st.st_dev, st.st_ino};
    }

    // A descriptor of the folder at relative path beneath the folder, opened in one call that
    // refuses every symbolic link and every step out of it; -1 with errno set as the walk sets it
    // (ELOOP for a link in the way, ENOTDIR for a file); -2 when the system has no openat2().
    int openBeneath(const QByteArray& relative) const {
#if defined(__linux__) && defined(SYS_openat2)
        if (!openat2Allowed().load(std::memory_order_relaxed))
            return -2;
        struct open_how how {};
        how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
        how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
        for (int attempt = 0;; ++attempt) {
            const long fd =
                ::syscall(SYS_openat2, rootFd_.get(), relative.constData(), &how, sizeof how);
            if (fd >= 0)
                return int(fd);
            if (errno == EINTR && retryAfterInterrupt())
                continue;
            // EAGAIN: a rename elsewhere on the file system raced the confined lookup.
            if (errno == EAGAIN && attempt < 8)
                continue;
            if (errno == ENOSYS || errno == EPERM || errno == EAGAIN || errno == E2BIG) {
                if (errno != EAGAIN)
                    openat2Allowed().store(false, std::memory_order_relaxed);
                return -2;
            }
            return -1;
        }
#else
        (void)relative;
        return -2;
#endif
    }

    struct KnownFolder {
        std::shared_ptr<Fd> fd;
        dev_t dev;
        ino_t ino;
    };

    QString root_;
    QString prefix_; // root_ and a slash: what every path given starts with
    bool locked_ = true;
    Fd rootFd_;
    mutable std::mutex knownMutex_;
    mutable std::map<QByteArray, KnownFolder> known_;
};

std::unique_ptr<FileOps> SystemFileOps::confinedTo(const QString& folder) {
    return std::make_unique<ConfinedFileOps>(folder);
}

} // namespace

namespace {
// The cancel check of the innermost CancelScope of this thread; none outside any.
thread_local const std::function<bool()>* currentCancel = nullptr;
} // namespace

CancelScope::CancelScope(std::function<bool()> cancelled)
    : cancelled_(std::move(cancelled)), outer_(currentCancel) {
    currentCancel = &cancelled_;
}

CancelScope::~CancelScope() {
    currentCancel = outer_;
}

bool retryAfterInterrupt() {
    // errno stays as the interrupted call left it, whatever the check does.
    const int saved = errno;
    const bool cancelled = currentCancel && *currentCancel && (*currentCancel)();
    errno = saved;
    return !cancelled;
}

bool holdsFolderLock(const FileOps& confined) {
    const auto* c = dynamic_cast<const ConfinedFileOps*>(&confined);
    return !c || c->locked();
}

FileOps& systemFileOps() {
    static SystemFileOps ops;
    return ops;
}

void allowOpenat2(bool allowed) {
    openat2Allowed().store(allowed);
}

} // namespace Vantrel
