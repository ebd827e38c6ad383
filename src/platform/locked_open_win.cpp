// Windows: the locked open with LockFileEx on the same byte range (0-15).
#include "platform/locked_open.h"

#include <cerrno>
#include <cstring>
#include <io.h>
#include <windows.h>

#include "platform/file_open.h"
#include "platform/locked_open_bom.h"
#include "platform/regular_file.h"
#include "platform/win_text.h"

namespace vorel {

namespace {

bool writes(const char* mode) {
  return std::strpbrk(mode, "+aw") != nullptr;
}

// Profile files are read in binary mode on every host: the readers drop a
// CR before LF themselves, and binary offsets are exact (text-mode ftell of
// the C runtime is not). "rt" thus opens "rb" and skips the byte-order mark.
std::wstring binary_mode(const char* mode) {
  std::wstring out;
  for (const char* p = mode; *p; ++p)
    if (*p != 't' && *p != 'b') out.push_back(static_cast<wchar_t>(*p));
  out.push_back(L'b');
  return out;
}

}  // namespace

std::FILE* open_with_lock(const char* name, const char* mode, LockWaitNotice on_wait) {
  const bool exclusive = writes(mode);
  std::FILE* fp = ::_wfopen(widen(name).c_str(), binary_mode(mode).c_str());
  if (!fp) {
    record_open_errno(errno);
    return nullptr;
  }
  if (!exclusive && !descriptor_is_regular(::_fileno(fp))) {
    std::fclose(fp);
    return nullptr;
  }

  HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(fp)));
  OVERLAPPED at {};
  const DWORD flags = exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0;
  // First without waiting: a lock held elsewhere is announced, then awaited.
  bool locked = ::LockFileEx(h, flags | LOCKFILE_FAIL_IMMEDIATELY, 0, 16, 0, &at);
  if (!locked && ::GetLastError() == ERROR_LOCK_VIOLATION) {
    if (on_wait) on_wait(name);
    locked = ::LockFileEx(h, flags, 0, 16, 0, &at);
  }
  if (!locked) {
    DWORD code = ::GetLastError();
    std::fprintf(stderr, "ERROR: %s lock of %s failed, code = %lu\n\t%s",
                 exclusive ? "exclusive" : "shared", name, static_cast<unsigned long>(code),
                 windows_error_text(code).c_str());
    std::fprintf(stderr, "\n");
    std::fclose(fp);
    return nullptr;
  }
  // The lock goes with the handle when the stream is closed.
  if (is_text_mode(mode)) skip_utf8_bom(fp);
  return fp;
}

}  // namespace vorel
