// Running another program and collecting what it prints: the importer runs
// gcov this way. A scratch directory gives the program a private working
// directory, so nothing it might write lands beside the user's files.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vorel {

struct ProcessOutput {
  bool exited = false;  // ended by itself (else killed by a signal)
  int status = -1;      // exit status, or the signal number when killed
  std::string out;      // its standard output
  std::string err;      // its standard error
};

// Runs `argv[0]` (looked up in PATH when it names no directory) with the
// other words as arguments, in directory `cwd`, standard input empty.
// Standard output beyond `max_out` bytes ends the program (killed, reported
// as not exited). False with `*error` (the system's reason) when it could
// not be started at all.
bool run_process(const std::vector<std::string>& argv, const std::string& cwd, size_t max_out,
                 ProcessOutput* result, std::string* error);

// A fresh directory of this process under the system's temporary
// directory, removed with everything in it when the object goes.
class ScratchDirectory {
 public:
  ScratchDirectory() = default;
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  // False with `*error` when it cannot be made.
  bool create(std::string* error);
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace vorel
