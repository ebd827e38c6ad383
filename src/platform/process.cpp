// POSIX: posix_spawnp with both output streams on pipes, read with poll.
#include "platform/process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vorel {

namespace {

std::string reason(int code) { return std::strerror(code); }

void close_pair(int fds[2]) {
  for (int i = 0; i < 2; ++i)
    if (fds[i] >= 0) ::close(fds[i]);
}

// Reads both pipes until both are closed; false when `out` grew beyond
// `max_out`.
bool drain(int out_fd, int err_fd, size_t max_out, std::string* out, std::string* err) {
  pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
  std::string* sinks[2] = {out, err};
  char buffer[65536];
  int open = 2;
  while (open > 0) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        fds[i].fd = -1;
        --open;
        continue;
      }
      sinks[i]->append(buffer, static_cast<size_t>(n));
      if (i == 0 && out->size() > max_out) return false;
    }
  }
  return true;
}

}  // namespace

bool run_process(const std::vector<std::string>& argv, const std::string& cwd, size_t max_out,
                 ProcessOutput* result, std::string* error) {
  *result = ProcessOutput{};
  if (argv.empty() || argv[0].empty()) {
    *error = "no program named";
    return false;
  }
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  int out_pipe[2] = {-1, -1}, err_pipe[2] = {-1, -1};
  if (::pipe2(out_pipe, O_CLOEXEC) != 0 || ::pipe2(err_pipe, O_CLOEXEC) != 0) {
    *error = reason(errno);
    close_pair(out_pipe);
    close_pair(err_pipe);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  pid_t pid = -1;
  int spawned = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  if (spawned != 0) {
    ::close(out_pipe[0]);
    ::close(err_pipe[0]);
    *error = reason(spawned);
    return false;
  }
  bool complete = drain(out_pipe[0], err_pipe[0], max_out, &result->out, &result->err);
  if (!complete) ::kill(pid, SIGKILL);
  ::close(out_pipe[0]);
  ::close(err_pipe[0]);
  int wstatus = 0;
  while (::waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(wstatus)) {
    result->exited = complete;
    result->status = WEXITSTATUS(wstatus);
  } else {
    result->status = WIFSIGNALED(wstatus) ? WTERMSIG(wstatus) : -1;
  }
  return true;
}

ScratchDirectory::~ScratchDirectory() {
  if (path_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

bool ScratchDirectory::create(std::string* error) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vorelcov-XXXXXX";
  if (!::mkdtemp(pattern.data())) {
    *error = pattern.substr(0, pattern.size() - 6) + "...: " + reason(errno);
    return false;
  }
  path_ = pattern;
  return true;
}

}  // namespace vorel
