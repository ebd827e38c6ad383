// The input of a file-reading fuzz target, written to one temporary file per
// process (made on first use, removed at exit).
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz_input {

inline std::string g_path;

inline void remove_file() { std::remove(g_path.c_str()); }

// Writes the input to the file and returns its path.
inline const std::string& write(const uint8_t* data, size_t size) {
  if (g_path.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_input_XXXXXX";
    int fd = ::mkstemp(path.data());
    if (fd < 0) std::abort();
    ::close(fd);
    g_path = path;
    std::atexit(remove_file);
  }
  std::FILE* fp = std::fopen(g_path.c_str(), "wb");
  if (!fp || (size && std::fwrite(data, 1, size, fp) != size) || std::fclose(fp) != 0) std::abort();
  return g_path;
}

}  // namespace fuzz_input
