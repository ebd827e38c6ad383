#include "platform/regular_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/file_open.h"

namespace vorel {

bool descriptor_is_regular(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    record_open_errno(errno);
    return false;
  }
  if (S_ISREG(st.st_mode)) return true;
  record_not_regular(S_ISDIR(st.st_mode)    ? "a directory"
                     : S_ISCHR(st.st_mode)  ? "a character device"
                     : S_ISBLK(st.st_mode)  ? "a block device"
                     : S_ISFIFO(st.st_mode) ? "a FIFO"
                     : S_ISSOCK(st.st_mode) ? "a socket"
                                            : "an unknown kind of file");
  errno = EINVAL;
  return false;
}

void clear_nonblocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

}  // namespace vorel
