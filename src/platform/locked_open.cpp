#include "platform/locked_open.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "platform/file_open.h"
#include "platform/locked_open_bom.h"
#include "platform/regular_file.h"

namespace vorel {

namespace {

// Translates a C mode string into open(2) flags.
int open_flags(const char* mode, bool* writes) {
  bool read = false, write = false, append = false, plus = false;
  for (const char* p = mode; *p; ++p) {
    switch (*p) {
      case 'r': read = true; break;
      case 'w': write = true; break;
      case 'a': append = true; break;
      case '+': plus = true; break;
      default: break;
    }
  }
  *writes = write || append || plus;
  int flags = 0;
  if (plus) flags = O_RDWR;
  else if (write || append) flags = O_WRONLY;
  else flags = O_RDONLY;
  if (write) flags |= O_CREAT | O_TRUNC;
  if (append) flags |= O_CREAT | O_APPEND;
  (void)read;
  return flags | O_CLOEXEC;
}

// fdopen does not know the 't' flag; drop it.
void stdio_mode(const char* mode, char* out, size_t size) {
  size_t n = 0;
  for (const char* p = mode; *p && n + 1 < size; ++p)
    if (*p != 't') out[n++] = *p;
  out[n] = '\0';
}

}  // namespace

std::FILE* open_with_lock(const char* name, const char* mode, LockWaitNotice on_wait) {
  bool exclusive = false;
  int flags = open_flags(mode, &exclusive);
  // A reader opens regular files only, and without waiting on a FIFO.
  int fd = ::open(name, exclusive ? flags : flags | O_NONBLOCK, 0666);
  if (fd < 0) {
    record_open_errno(errno);
    return nullptr;
  }
  if (!exclusive) {
    if (!descriptor_is_regular(fd)) {
      ::close(fd);
      return nullptr;
    }
    clear_nonblocking(fd);
  }

  struct flock lock {};
  lock.l_type = exclusive ? F_WRLCK : F_RDLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 16;
  // First without waiting: a lock held elsewhere is announced, then awaited.
  int rc;
  do {
    rc = ::fcntl(fd, F_SETLK, &lock);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0 && (errno == EACCES || errno == EAGAIN)) {
    if (on_wait) on_wait(name);
    do {
      rc = ::fcntl(fd, F_SETLKW, &lock);
    } while (rc != 0 && errno == EINTR);
  }
  if (rc != 0) {
    int code = errno;
    std::fprintf(stderr, "ERROR: %s lock of %s failed, code = %d\n\t%s",
                 exclusive ? "exclusive" : "shared", name, code, std::strerror(code));
    std::fprintf(stderr, "\n");
    ::close(fd);
    return nullptr;
  }

  char smode[8];
  stdio_mode(mode, smode, sizeof smode);
  std::FILE* fp = ::fdopen(fd, smode);
  if (!fp) {
    ::close(fd);
    return nullptr;
  }
  if (is_text_mode(mode)) skip_utf8_bom(fp);
  return fp;
}

}  // namespace vorel
