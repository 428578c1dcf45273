// clonefile(2) over Linux's file system, as Apple's manual page describes it: dst must not exist
// (EEXIST); a regular file is cloned with its content and mode; a symbolic link at src is
// followed unless CLONE_NOFOLLOW is given, with which the link itself is cloned. Folders, which
// the real call clones whole, are not needed here and give ENOTSUP. Every call's flags are
// recorded for the tests.

#include "MacCloneDouble.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/clonefile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::uint32_t>& calls() {
    static std::vector<std::uint32_t> flags;
    return flags;
}

int fail(int code) {
    errno = code;
    return -1;
}

} // namespace

namespace Vantrel::MacApiDouble {

std::vector<std::uint32_t> cloneFlags() {
    return calls();
}

void clearCloneFlags() {
    calls().clear();
}

} // namespace Vantrel::MacApiDouble

extern "C" int clonefile(const char* src, const char* dst, uint32_t flags) {
    calls().push_back(flags);
    struct stat st;
    if (::lstat(dst, &st) == 0)
        return fail(EEXIST);
    if (::lstat(src, &st) != 0)
        return -1;
    if (S_ISLNK(st.st_mode) && (flags & CLONE_NOFOLLOW)) {
        std::string target(size_t(st.st_size) + 1, '\0');
        const ssize_t n = ::readlink(src, target.data(), target.size());
        if (n < 0)
            return -1;
        target.resize(size_t(n));
        return ::symlink(target.c_str(), dst);
    }
    if (::stat(src, &st) != 0)
        return -1;
    if (!S_ISREG(st.st_mode))
        return fail(ENOTSUP);
    const int in = ::open(src, O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return -1;
    const int out = ::open(dst, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return fail(error);
    }
    char buffer[65536];
    ssize_t n;
    int error = 0;
    while ((n = ::read(in, buffer, sizeof buffer)) > 0) {
        if (::write(out, buffer, size_t(n)) != n) {
            error = errno ? errno : EIO;
            break;
        }
    }
    if (n < 0)
        error = errno;
    ::close(in);
    ::close(out);
    if (error) {
        ::unlink(dst);
        return fail(error);
    }
    return 0;
}
