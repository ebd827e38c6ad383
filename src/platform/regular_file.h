// The platform's check that an opened input is a regular file.
#pragma once

namespace vorel {

// True when descriptor `fd` is a regular file; otherwise records the reason
// (last_open_failure) and returns false. The descriptor stays open.
bool descriptor_is_regular(int fd);

// The descriptor back in blocking mode after an O_NONBLOCK open (POSIX).
void clear_nonblocking(int fd);

}  // namespace vorel
