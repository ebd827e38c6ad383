#include "platform/fs.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vorel {

bool make_directory(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

std::optional<std::string> current_directory() {
  std::vector<char> buf(512);
  for (;;) {
    if (::getcwd(buf.data(), buf.size())) return std::string(buf.data());
    if (errno != ERANGE || buf.size() >= (1u << 20)) return std::nullopt;
    buf.resize(buf.size() * 2);
  }
}

std::optional<std::string> get_env(const char* name) {
  const char* value = std::getenv(name);
  if (!value) return std::nullopt;
  return std::string(value);
}

}  // namespace vorel
