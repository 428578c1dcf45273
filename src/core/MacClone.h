#pragma once

// The copy-on-write clone of macOS (clonefile), for the file operations. Built on macOS, and on
// other systems against a double of the call for its tests.

namespace Vantrel {

// Makes `to` a clone of the regular file `from`: 0, or an errno value with nothing made at `to`.
// Never replaces (EEXIST), and never follows nor clones a symbolic link at `from` (ELOOP), as
// the file operations refuse links elsewhere.
int cloneRegularFile(const char* from, const char* to);

} // namespace Vantrel
