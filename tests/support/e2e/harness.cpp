#include "e2e/harness.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>

namespace e2e {

namespace {

std::string slurp_fd(int fd) {
  std::string data;
  char buf[65536];
  ::lseek(fd, 0, SEEK_SET);
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) break;
    data.append(buf, static_cast<size_t>(n));
  }
  return data;
}

int temp_fd() {
  char tmpl[] = "/tmp/vorelcov-e2e-XXXXXX";
  int fd = ::mkstemp(tmpl);
  if (fd < 0) throw std::runtime_error("mkstemp failed");
  ::unlink(tmpl);
  return fd;
}

}  // namespace

std::string vorelcov_path() { return VORELCOV_BIN; }
std::string importer_path() { return VORELCOV_IMPORT_BIN; }
std::string source_dir() { return VORELCOV_SOURCE_DIR; }

RunResult run_vorelcov(const std::vector<std::string>& args, const std::string& cwd,
                       const EnvChanges& env) {
  return run_program(vorelcov_path(), args, cwd, env);
}

RunResult run_program(const std::string& bin, const std::vector<std::string>& args, const std::string& cwd,
                      const EnvChanges& env) {
  int out_fd = temp_fd();
  int err_fd = temp_fd();
  std::vector<std::string> words;
  words.push_back(bin);
  words.insert(words.end(), args.begin(), args.end());

  pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    ::dup2(out_fd, 1);
    ::dup2(err_fd, 2);
    int null_fd = ::open("/dev/null", O_RDONLY);
    if (null_fd >= 0) ::dup2(null_fd, 0);
    if (::chdir(cwd.c_str()) != 0) _exit(126);
    ::unsetenv("VOREL_PROF_SRC_ROOT");
    for (const auto& [name, value] : env) {
      if (value) ::setenv(name.c_str(), value->c_str(), 1);
      else ::unsetenv(name.c_str());
    }
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    ::execv(bin.c_str(), argv.data());
    _exit(127);
  }
  int wstatus = 0;
  while (::waitpid(pid, &wstatus, 0) < 0) {
  }
  RunResult r;
  if (WIFEXITED(wstatus)) {
    r.status = WEXITSTATUS(wstatus);
  } else if (WIFSIGNALED(wstatus)) {
    r.signaled = true;
    r.status = 128 + WTERMSIG(wstatus);
  }
  r.out = slurp_fd(out_fd);
  r.err = slurp_fd(err_fd);
  ::close(out_fd);
  ::close(err_fd);
  return r;
}

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string tmpl = std::string(base && *base ? base : "/tmp") + "/vorelcov-test-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const { return path_ + "/" + name; }

std::string TempDir::read(const std::string& name) const {
  return read_file(file(name)).value_or("<missing " + name + ">");
}

std::optional<std::string> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void write_file(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out << content;
}

bool file_exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

std::string xml_lint(const std::string& path) {
  std::string quoted = "'";
  for (char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  quoted += "'";
  std::FILE* p = ::popen(("xmllint --noout " + quoted + " 2>&1").c_str(), "r");
  if (!p) return "xmllint could not be run";
  std::string said;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) said.append(buf, n);
  int status = ::pclose(p);
  if (status != 0 && said.empty()) said = "xmllint failed";
  return said;
}

std::vector<std::string> list_dir(const std::string& path) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(path, ec))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace e2e
