#pragma once

// The process listing of macOS's libproc as the Mac backend calls it (libproc.h), for the Linux
// build of the backend against the test double (macapi/).

#include <stdint.h>
#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

#define PROC_PIDPATHINFO_MAXSIZE (4 * 1024)

// Fills buffer with the process ids of every process (with a null buffer: returns how many
// there are); returns the number of ids, or -1 with errno set.
int proc_listallpids(void* buffer, int buffersize);
// The path of the process's executable; returns its length, or 0 with errno set.
int proc_pidpath(int pid, void* buffer, uint32_t buffersize);

#ifdef __cplusplus
}
#endif
