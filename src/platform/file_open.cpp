#include "platform/file_open.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "platform/regular_file.h"

namespace vorel {

namespace {

bool read_only(const char* mode) { return mode[0] == 'r' && !std::strchr(mode, '+'); }

}  // namespace

std::FILE* open_file(const std::string& name, const char* mode) {
  if (!read_only(mode)) {
    std::FILE* f = std::fopen(name.c_str(), mode);
    if (!f) record_open_errno(errno);
    return f;
  }
  const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    record_open_errno(errno);
    return nullptr;
  }
  if (!descriptor_is_regular(fd)) {
    const int code = errno;
    ::close(fd);
    errno = code;
    return nullptr;
  }
  clear_nonblocking(fd);
  std::FILE* f = ::fdopen(fd, "r");
  if (!f) {
    record_open_errno(errno);
    ::close(fd);
  }
  return f;
}

}  // namespace vorel
