#pragma once

// clonefile(2) of macOS 10.12 and later, as <sys/clonefile.h> declares it, for the double of
// Apple's interfaces (MacCloneDouble.cpp).

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Don't follow the source if it is a symbolic link: the link itself is cloned.
#define CLONE_NOFOLLOW 0x0001
// Don't copy ownership information from the source.
#define CLONE_NOOWNERCOPY 0x0002

// Clones src to a new dst (which must not exist: EEXIST); 0, or -1 with errno set.
int clonefile(const char* src, const char* dst, uint32_t flags);

#ifdef __cplusplus
}
#endif
