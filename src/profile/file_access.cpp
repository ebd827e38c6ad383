#include "profile/file_access.h"

#include <cerrno>
#include <cstring>

#include "base/diag.h"
#include "platform/locked_open.h"

namespace vorel {

namespace {

// The shared line buffer: starts at 2000 bytes, grows in 2000-byte steps.
constexpr size_t kLineStep = 2000;
std::string g_line;
size_t g_line_capacity = 0;

// perror-style text for the current error, then the fatal message.
[[noreturn]] void io_fatal(const char* what, const char* name) {
  int code = errno;
  // As perror(name) prints it.
  if (name && *name)
    std::fprintf(stderr, "%s: %s\n", name, std::strerror(code));
  else
    std::fprintf(stderr, "%s\n", std::strerror(code));
  if (name)
    std::fprintf(stderr, "FATAL ERROR: %s on file %s failed\n", what, name);
  else
    std::fprintf(stderr, "FATAL ERROR: %s on file failed\n", what);
  std::fflush(stderr);
  fatal_exit(1);
}

void ensure_capacity(size_t needed) {
  if (g_line_capacity == 0) g_line_capacity = kLineStep;
  while (g_line_capacity < needed) g_line_capacity += kLineStep;
  if (g_line.capacity() < g_line_capacity) g_line.reserve(g_line_capacity);
}

// One line on stderr, so that a wait for another process is not silent.
void announce_lock_wait(const char* name) {
  std::fprintf(stderr, "vorelcov: waiting for %s locked by another process\n", name);
  std::fflush(stderr);
}

#if defined(_WIN32)
// One byte of a stream that only this thread reads, without the stream lock.
int read_byte(std::FILE* fp) { return _getc_nolock(fp); }
#else
// The buffer getdelim fills, kept for the next line like the line itself.
char* g_raw = nullptr;
size_t g_raw_size = 0;
#endif

}  // namespace

std::FILE* profile_open(const char* name, const char* mode) {
  return open_with_lock(name, mode, announce_lock_wait);
}

size_t checked_read(void* buf, size_t size, size_t count, std::FILE* fp, const char* name) {
  if (count == 0 || size == 0) return count;
  errno = 0;
  size_t got = std::fread(buf, size, count, fp);
  if (got != count) {
    if (errno == 0) errno = EIO;
    io_fatal("fread", name);
  }
  return got;
}

void checked_seek(std::FILE* fp, int32_t offset, int origin, const char* name) {
  if (std::fseek(fp, offset, origin) != 0) io_fatal("fseek", name);
}

void checked_seek64(std::FILE* fp, uint64_t offset, const char* name) {
  if (offset > static_cast<uint64_t>(INT64_MAX) ||
      fseeko(fp, static_cast<off_t>(offset), SEEK_SET) != 0) {
    if (errno == 0) errno = EINVAL;
    io_fatal("zentra_fseek64", name);
  }
}

int32_t checked_tell(std::FILE* fp, const char* name) {
  off_t pos = ftello(fp);
  if (pos < 0 || pos > INT32_MAX) {
    if (pos > INT32_MAX) errno = EOVERFLOW;
    io_fatal("ftell", name);
  }
  return static_cast<int32_t>(pos);
}

uint64_t checked_tell64(std::FILE* fp, const char* name) {
  off_t pos = ftello(fp);
  if (pos < 0) io_fatal("ftell64", name);
  return static_cast<uint64_t>(pos);
}

const std::string& read_line(LineMode mode, std::FILE* fp) {
  ensure_capacity(kLineStep);
  g_line.clear();
  int c = EOF;
#if defined(_WIN32)
  // Bytes are gathered in a small block and appended a block at a time.
  char block[512];
  size_t n = 0;
  while ((c = read_byte(fp)) != EOF && c != '\n') {
    block[n++] = static_cast<char>(c);
    if (n == sizeof block) {
      ensure_capacity(g_line.size() + n + 1);
      g_line.append(block, n);
      n = 0;
    }
  }
  if (n != 0) {
    ensure_capacity(g_line.size() + n + 1);
    g_line.append(block, n);
  }
#else
  // One library call per line (bytes of value 0 included); the capacity
  // grows as if the bytes were appended one by one.
  const ssize_t got = getdelim(&g_raw, &g_raw_size, '\n', fp);
  if (got > 0) {
    size_t n = static_cast<size_t>(got);
    if (g_raw[n - 1] == '\n') {
      c = '\n';
      --n;
    }
    ensure_capacity(n + 1);
    g_line.assign(g_raw, n);
  }
#endif
  // Text mode reads files written with CR LF line ends like LF ones.
  if (mode == LineMode::kText && c == '\n' && !g_line.empty() && g_line.back() == '\r')
    g_line.pop_back();
  return g_line;
}

size_t line_buffer_capacity() { return g_line_capacity; }

void assertx_fail(const char* path, int line, const char* condition) {
  std::fprintf(stderr, "%s:%d ASSERTX(%s)\n", path, line, condition);
  std::fflush(stderr);
  fatal_exit(1);
}

}  // namespace vorel
