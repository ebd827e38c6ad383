// Windows: a FIFO cannot be opened by name; devices (NUL, CON) and
// directories are refused by their type.
#include "platform/regular_file.h"

#include <cerrno>
#include <sys/stat.h>
#include <sys/types.h>

#include "platform/file_open.h"

namespace vorel {

bool descriptor_is_regular(int fd) {
  struct _stat64 st {};
  if (::_fstat64(fd, &st) != 0) {
    record_open_errno(errno);
    return false;
  }
  if (st.st_mode & _S_IFREG) return true;
  record_not_regular((st.st_mode & _S_IFDIR) ? "a directory" : (st.st_mode & _S_IFCHR) ? "a character device" : "an unknown kind of file");
  errno = EINVAL;
  return false;
}

void clear_nonblocking(int) {}

}  // namespace vorel
