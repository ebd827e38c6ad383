// The Windows half of the harness: processes, temporary directories, copies.
#ifdef _WIN32
#include "e2e/harness.h"

#include <windows.h>

#include <filesystem>
#include <random>
#include <stdexcept>

namespace e2e {

namespace {

std::wstring widen(const std::string& s) {
  if (s.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

// One word of a command line, quoted as the C runtime splits it again.
void append_word(std::wstring& line, const std::wstring& word) {
  if (!line.empty()) line.push_back(L' ');
  if (!word.empty() && word.find_first_of(L" \t\"") == std::wstring::npos) {
    line += word;
    return;
  }
  line.push_back(L'"');
  size_t slashes = 0;
  for (wchar_t c : word) {
    if (c == L'\\') {
      ++slashes;
      continue;
    }
    line.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
    slashes = 0;
    line.push_back(c);
  }
  line.append(slashes * 2, L'\\');
  line.push_back(L'"');
}

// The environment block of the child: this process's, VOREL_PROF_SRC_ROOT
// removed, the changes applied.
std::wstring environment_block(const EnvChanges& env) {
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> changes;
  changes.push_back({L"VOREL_PROF_SRC_ROOT", std::nullopt});
  bool rules_chosen = false;
  for (const auto& [name, value] : env) rules_chosen |= name == "VORELCOV_HOST_RULES";
  if (!rules_chosen) changes.push_back({L"VORELCOV_HOST_RULES", L"posix"});
  for (const auto& [name, value] : env)
    changes.push_back({widen(name), value ? std::optional<std::wstring>(widen(*value)) : std::nullopt});
  std::wstring block;
  wchar_t* all = GetEnvironmentStringsW();
  for (const wchar_t* p = all; *p; p += wcslen(p) + 1) {
    std::wstring entry = p;
    size_t eq = entry.find(L'=', 1);
    std::wstring name = entry.substr(0, eq);
    bool changed = false;
    for (const auto& c : changes)
      if (_wcsicmp(c.first.c_str(), name.c_str()) == 0) changed = true;
    if (!changed) block += entry + L'\0';
  }
  FreeEnvironmentStringsW(all);
  for (const auto& [name, value] : changes)
    if (value) block += name + L'=' + *value + L'\0';
  block.push_back(L'\0');
  return block;
}

HANDLE capture_file(const std::filesystem::path& path) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create a capture file");
  return h;
}

// A run that takes longer than this is a hang: it is ended and fails.
constexpr DWORD kRunLimitMs = 120 * 1000;
constexpr int kStartTries = 5;

}  // namespace

RunResult run_program(const std::string& bin, const std::vector<std::string>& args, const std::string& cwd,
                      const EnvChanges& env) {
  TempDir capture;
  const std::filesystem::path out_path = std::filesystem::path(capture.path()) / "out";
  const std::filesystem::path err_path = std::filesystem::path(capture.path()) / "err";
  HANDLE out = capture_file(out_path), err = capture_file(err_path);
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                          OPEN_EXISTING, 0, nullptr);

  std::wstring line;
  append_word(line, widen(bin));
  for (const std::string& a : args) append_word(line, widen(a));
  std::wstring block = environment_block(env);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in;
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi{};
  std::wstring dir = widen(cwd);
  // Under wine a start can fail now and then when the machine is busy (seen
  // once in 70 quick starts in CI); a few spaced tries tell that apart from a
  // start that cannot work.
  DWORD start_error = 0;
  for (int attempt = 0; attempt < kStartTries; ++attempt) {
    if (attempt > 0) Sleep(250 * attempt);
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                       block.data(), dir.c_str(), &si, &pi)) {
      start_error = 0;
      break;
    }
    start_error = GetLastError();
  }
  if (start_error != 0) {
    CloseHandle(out);
    CloseHandle(err);
    if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
    throw std::runtime_error("CreateProcess failed " + std::to_string(kStartTries) + " times, error " +
                             std::to_string(start_error));
  }
  const bool hung = WaitForSingleObject(pi.hProcess, kRunLimitMs) == WAIT_TIMEOUT;
  if (hung) {
    TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, INFINITE);
  }
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  CloseHandle(out);
  CloseHandle(err);
  if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
  RunResult r;
  r.status = hung ? -1 : static_cast<int>(code);
  r.out = text_form(read_file(capture.file("out")).value_or(""));
  r.err = text_form(read_file(capture.file("err")).value_or(""));
  if (hung) r.err += "<ended after " + std::to_string(kRunLimitMs / 1000) + " s>";
  return r;
}

TempDir::TempDir() {
  std::filesystem::path base = std::filesystem::temp_directory_path();
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path p = base / ("vorelcov-test-" + std::to_string(rd() % 100000000u));
    std::error_code ec;
    if (std::filesystem::create_directory(p, ec)) {
      // The native form, as the program's working directory reads.
      std::u8string u = p.u8string();
      path_.assign(u.begin(), u.end());
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary directory");
}

// No xmllint under Windows: the Linux run of the same tests checks the
// well-formedness of the same documents (they differ only in line ends).
std::string xml_lint(const std::string&) { return ""; }

bool place_demo(const std::string& to) {
  std::error_code ec;
  std::string from = source_dir() + "/examples/demo";
  std::filesystem::copy(std::filesystem::path(std::u8string(from.begin(), from.end())),
                        std::filesystem::path(std::u8string(to.begin(), to.end())),
                        std::filesystem::copy_options::recursive, ec);
  return !ec;
}

}  // namespace e2e
#endif
