// The POSIX half of the harness: processes, temporary directories, links.
#ifndef _WIN32
#include "e2e/harness.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

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

bool place_demo(const std::string& to) {
  return ::symlink((source_dir() + "/examples/demo").c_str(), to.c_str()) == 0;
}

}  // namespace e2e
#endif
