#include "core/MacClone.h"

#include <cerrno>
#include <sys/clonefile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Vantrel {

int cloneRegularFile(const char* from, const char* to) {
    // CLONE_NOFOLLOW: a link at `from` is cloned as the link it is, never as the file it points
    // to (which could lie anywhere). clonefile() never replaces and leaves nothing behind when
    // it fails.
    if (::clonefile(from, to, CLONE_NOFOLLOW) != 0)
        return errno;
    // What was cloned is what stood at `from` at that moment: anything but a regular file (a
    // link put there since the folder was read) is taken away again.
    struct stat st;
    if (::lstat(to, &st) == 0 && S_ISREG(st.st_mode))
        return 0;
    const int error = S_ISLNK(st.st_mode) ? ELOOP : EINVAL;
    ::unlink(to);
    return error;
}

} // namespace Vantrel
