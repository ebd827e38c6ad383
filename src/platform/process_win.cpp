// Windows: CreateProcessW with both output streams on pipes; a helper
// thread reads standard error while this one reads standard output.
#include "platform/process.h"

#include <filesystem>
#include <thread>
#include <windows.h>

#include "platform/win_text.h"

namespace vorel {

namespace {

// One argument quoted for CommandLineToArgvW and the C run-time's parser.
void append_quoted(std::wstring* line, const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
    *line += arg;
    return;
  }
  *line += L'"';
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line->append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    *line += c;
  }
  line->append(backslashes * 2, L'\\');
  *line += L'"';
}

void read_all(HANDLE from, std::string* into, size_t limit, bool* over) {
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(from, buffer, sizeof buffer, &n, nullptr) && n > 0) {
    into->append(buffer, n);
    if (into->size() > limit) {
      *over = true;
      return;
    }
  }
}

}  // namespace

bool run_process(const std::vector<std::string>& argv, const std::string& cwd, size_t max_out,
                 ProcessOutput* result, std::string* error) {
  *result = ProcessOutput{};
  if (argv.empty() || argv[0].empty()) {
    *error = "no program named";
    return false;
  }
  std::wstring line;
  for (const std::string& a : argv) {
    if (!line.empty()) line += L' ';
    append_quoted(&line, widen(a));
  }
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE out_read = nullptr, out_write = nullptr, err_read = nullptr, err_write = nullptr;
  if (!CreatePipe(&out_read, &out_write, &inherit, 0) || !CreatePipe(&err_read, &err_write, &inherit, 0)) {
    *error = windows_error_text(GetLastError());
    for (HANDLE h : {out_read, out_write}) if (h) CloseHandle(h);
    return false;
  }
  SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(err_read, HANDLE_FLAG_INHERIT, 0);
  HANDLE null_in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                               nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = null_in;
  startup.hStdOutput = out_write;
  startup.hStdError = err_write;
  PROCESS_INFORMATION process{};
  std::wstring dir = widen(cwd);
  BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                cwd.empty() ? nullptr : dir.c_str(), &startup, &process);
  DWORD start_error = GetLastError();
  CloseHandle(out_write);
  CloseHandle(err_write);
  if (null_in != INVALID_HANDLE_VALUE) CloseHandle(null_in);
  if (!started) {
    CloseHandle(out_read);
    CloseHandle(err_read);
    *error = windows_error_text(start_error);
    return false;
  }
  bool err_over = false, out_over = false;
  std::thread err_reader(read_all, err_read, &result->err, max_out, &err_over);
  read_all(out_read, &result->out, max_out, &out_over);
  if (out_over) TerminateProcess(process.hProcess, 1);
  CloseHandle(out_read);
  err_reader.join();
  CloseHandle(err_read);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  result->exited = !out_over;
  result->status = static_cast<int>(code);
  return true;
}

ScratchDirectory::~ScratchDirectory() {
  if (path_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(std::filesystem::path(widen(path_)), ec);
}

bool ScratchDirectory::create(std::string* error) {
  wchar_t base[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, base);
  if (n == 0 || n > MAX_PATH) {
    *error = "no temporary directory: " + windows_error_text(GetLastError());
    return false;
  }
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    std::wstring dir = std::wstring(base) + L"vorelcov-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                       std::to_wstring(GetTickCount() + attempt);
    if (CreateDirectoryW(dir.c_str(), nullptr)) {
      path_ = narrow(dir.c_str());
      return true;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  *error = "cannot make a directory in " + narrow(base) + ": " + windows_error_text(GetLastError());
  return false;
}

}  // namespace vorel
