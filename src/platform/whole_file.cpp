#include "platform/whole_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstring>

#include <sys/stat.h>
#include <sys/types.h>

#include "platform/file_open.h"
#include "platform/output_file.h"

namespace vorel {

namespace {

std::string reason() { return std::strerror(errno); }

// The size of an open regular file; 0 when unknown.
uint64_t stream_size(std::FILE* in) {
#if defined(_WIN32)
  struct _stat64 st {};
  if (_fstat64(_fileno(in), &st) == 0 && (st.st_mode & _S_IFREG) && st.st_size > 0)
    return static_cast<uint64_t>(st.st_size);
#else
  struct stat st {};
  if (::fstat(::fileno(in), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    return static_cast<uint64_t>(st.st_size);
#endif
  return 0;
}

}  // namespace

std::string read_rest(std::FILE* in) {
  std::string bytes;
  // Room for the whole of a regular file at once: a large source is not
  // copied again each time the text outgrows its buffer.
#if defined(_WIN32)
  struct _stat64 st {};
  if (_fstat64(_fileno(in), &st) == 0 && (st.st_mode & _S_IFREG) && st.st_size > 0)
    bytes.reserve(static_cast<size_t>(st.st_size));
#else
  struct stat st {};
  if (::fstat(::fileno(in), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    bytes.reserve(static_cast<size_t>(st.st_size));
#endif
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, n);
  return bytes;
}

bool read_whole_file(const std::string& path, std::string* out, std::string* error, size_t limit) {
  std::FILE* in = open_file(path, "rb");
  if (!in) {
    *error = last_open_failure().reason;
    return false;
  }
  const std::string too_large = "larger than the limit of " + std::to_string(limit) + " bytes";
  const uint64_t size = stream_size(in);
  if (size > limit) {
    std::fclose(in);
    *error = too_large;
    return false;
  }
  out->clear();
  out->reserve(static_cast<size_t>(size));
  char buffer[65536];
  size_t n;
  bool ok = true;
  // A file that grows while it is read stops at the limit too.
  while (ok && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
    if (n > limit - out->size()) {
      ok = false;
      *error = too_large;
    } else {
      out->append(buffer, n);
    }
  }
  if (ok && std::ferror(in)) {
    ok = false;
    *error = reason();
  }
  std::fclose(in);
  return ok;
}

bool write_whole_file(const std::string& path, std::string_view bytes, std::string* error) {
  std::FILE* out = output_open_binary(path, true);
  if (!out) {
    *error = reason();
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  const int saved = errno;
  if (output_finish(out) && written) return true;
  *error = written ? reason() : std::strerror(saved);
  return false;
}

}  // namespace vorel

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace vorel {

bool list_files_recursively(const std::string& dir, std::vector<std::string>* out, std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::recursive_directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    if (it->is_regular_file(type_ec)) out->push_back(it->path().string());
  }
  if (ec) {
    *error = ec.message();
    return false;
  }
  std::sort(out->begin(), out->end());
  return true;
}

bool is_directory(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

std::string absolute_path(const std::string& path) {
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(path, ec);
  return ec ? path : full.lexically_normal().string();
}

}  // namespace vorel
