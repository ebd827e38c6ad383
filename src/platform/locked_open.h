// Opening a profile file under a byte-range lock on its first 16 bytes.
#pragma once

#include <cstdio>

namespace vorel {

// Opens `name` with the C mode string `mode` ("rb", "rt", "w", ...) and waits
// for a lock on bytes 0-15: shared when the mode has none of '+', 'a', 'w',
// exclusive otherwise. Returns nullptr when the file cannot be opened
// (silently; last_open_failure() in platform/file_open.h says why) or
// locked (after printing the lock failure on stderr). A read mode opens
// regular files only, as open_file does.
// A text-mode stream ('t' without 'b') skips a leading UTF-8 byte-order mark.
// When another process holds a conflicting lock, `on_wait` (if given) is
// called once with `name` before the open starts waiting, so that the caller
// can say why nothing happens.
using LockWaitNotice = void (*)(const char* name);
std::FILE* open_with_lock(const char* name, const char* mode, LockWaitNotice on_wait = nullptr);

}  // namespace vorel
