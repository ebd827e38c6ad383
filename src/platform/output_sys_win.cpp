// Windows: the system calls under the output files, with UTF-16 names.
#include "platform/output_sys.h"

#include <cerrno>
#include <cstdint>
#include <cwctype>
#include <map>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "platform/win_text.h"

namespace vorel::output_sys {

Kind kind_of(const std::string& path, bool follow, unsigned* mode) {
  const std::wstring name = widen(path);
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  if (!follow && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return Kind::kLink;
  struct _stat64 st {};
  if (::_wstat64(name.c_str(), &st) != 0) return Kind::kMissing;
  if (mode) *mode = st.st_mode & 0777;
  if (st.st_mode & _S_IFREG) return Kind::kFile;
  return (st.st_mode & _S_IFDIR) ? Kind::kDirectory : Kind::kOther;
}

// Links are rare on Windows and need privileges: a name is taken as it is;
// what is neither a file nor a directory (NUL, CON) is written directly.
Kind resolve(const std::string& path, std::string* final) {
  *final = path;
  return kind_of(path, true);
}

bool writable(const std::string& path) { return ::_waccess(widen(path).c_str(), 2) == 0; }

std::FILE* open_device(const std::string& path) { return ::_wfopen(widen(path).c_str(), L"w"); }

// Windows has only the read-only attribute, and a read-only target is
// refused before: the new file's default permissions serve.
std::FILE* create_new(const std::string& path, bool, unsigned, bool binary) {
  const int fd = ::_wopen(widen(path).c_str(),
                          _O_WRONLY | _O_CREAT | _O_EXCL | _O_NOINHERIT | (binary ? _O_BINARY : _O_TEXT),
                          _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* stream = ::_fdopen(fd, binary ? "wb" : "w");
  if (!stream) {
    const int saved = errno;
    ::_close(fd);
    ::_wunlink(widen(path).c_str());
    errno = saved;
  }
  return stream;
}

bool rename_over(const std::string& from, const std::string& to) {
  return ::MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

void remove_file(const std::string& path) { ::_wunlink(widen(path).c_str()); }
bool make_directory(const std::string& path, bool, unsigned) { return ::_wmkdir(widen(path).c_str()) == 0; }
unsigned long process_id() { return ::GetCurrentProcessId(); }

std::filesystem::path native(const std::string& path) { return std::filesystem::path(widen(path)); }

namespace {

std::string full_path(const std::string& path) {
  std::wstring full(32768, L'\0');
  const DWORD n = ::GetFullPathNameW(widen(path).c_str(), 32768, full.data(), nullptr);
  return n == 0 || n >= 32768 ? path : narrow(full.c_str());
}

}  // namespace

std::string absolute(const std::string& path) { return full_path(path); }

// The file system ignores case: the canonical form is the upper-case full path.
FileId file_id(const std::string& path, bool) {
  FileId id;
  id.exists = kind_of(path, true) != Kind::kMissing;
  std::wstring full = widen(full_path(path));
  for (wchar_t& c : full) c = static_cast<wchar_t>(std::towupper(c));
  id.canonical = narrow(full.c_str());
  for (const char* device : {"\\\\.\\NUL", "\\\\.\\CON"})
    if (id.canonical == device) id.stream = true;
  return id;
}

namespace {

void (*g_clean)() = nullptr;

// Runs on a thread of its own; FALSE lets the default handler end the process.
BOOL WINAPI console_event(DWORD) {
  if (g_clean) g_clean();
  return FALSE;
}

}  // namespace

void on_stop(void (*clean)()) {
  g_clean = clean;
  ::SetConsoleCtrlHandler(console_event, TRUE);
}

// Directories cannot be locked with LockFileEx: the lock is a named mutex of
// the session whose name comes from the directory's full path (upper case,
// as the file system ignores case). The system releases it with the process.
LockState lock(const std::string& path, bool wait) {
  static std::map<std::wstring, HANDLE> held;  // kept until the process ends
  std::wstring full(32768, L'\0');
  const DWORD n = ::GetFullPathNameW(widen(path).c_str(), 32768, full.data(), nullptr);
  if (n == 0 || n >= 32768) return LockState::kUnsupported;
  uint64_t hash = 14695981039346656037ull;  // FNV-1a of the upper-case UTF-16 path
  for (DWORD i = 0; i < n; ++i) {
    hash ^= static_cast<uint64_t>(std::towupper(full[i]));
    hash *= 1099511628211ull;
  }
  wchar_t name[64];
  ::swprintf(name, 64, L"Local\\vorelcov-dir-%016llx", static_cast<unsigned long long>(hash));
  if (held.count(name)) return LockState::kAcquired;
  HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name);
  if (!mutex) return LockState::kUnsupported;
  switch (::WaitForSingleObject(mutex, wait ? INFINITE : 0)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:
      held[name] = mutex;
      return LockState::kAcquired;
    case WAIT_TIMEOUT:
      ::CloseHandle(mutex);
      return LockState::kBusy;
    default:
      ::CloseHandle(mutex);
      return LockState::kUnsupported;
  }
}

}  // namespace vorel::output_sys
