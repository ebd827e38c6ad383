// Starting a program without waiting for it, for tests that stop it
// part-way or run it in a namespace of its own (POSIX only).
#pragma once
#ifndef _WIN32

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace e2e {

// Starts `bin` with `args` in `cwd`: standard output to the file `out`,
// standard input and error from and to /dev/null. Returns the process id.
inline pid_t spawn(const std::string& bin, const std::vector<std::string>& args, const std::string& cwd,
                   const std::string& out = "/dev/null") {
  std::vector<std::string> words = {bin};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  const int null_fd = ::open("/dev/null", O_RDWR);
  const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (null_fd < 0 || out_fd < 0 || ::chdir(cwd.c_str()) != 0) ::_exit(126);
  ::dup2(null_fd, 0);
  ::dup2(out_fd, 1);
  ::dup2(null_fd, 2);
  ::unsetenv("VOREL_PROF_SRC_ROOT");
  ::execv(bin.c_str(), argv.data());
  ::_exit(127);
}

// The exit status of `pid`; 128 + the signal's number when a signal ended it.
inline int wait_for(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
  }
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

}  // namespace e2e

#endif
