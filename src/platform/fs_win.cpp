// Windows: directories, working directory and environment with UTF-16 names.
#include "platform/fs.h"

#include <cstdlib>
#include <direct.h>
#include <vector>

#include "platform/win_text.h"

namespace vorel {

bool make_directory(const std::string& path) { return ::_wmkdir(widen(path).c_str()) == 0; }

std::optional<std::string> current_directory() {
  wchar_t* cwd = ::_wgetcwd(nullptr, 0);
  if (!cwd) return std::nullopt;
  std::string out = narrow(cwd);
  std::free(cwd);
  return out;
}

std::optional<std::string> get_env(const char* name) {
  const wchar_t* value = ::_wgetenv(widen(name).c_str());
  if (!value) return std::nullopt;
  return narrow(value);
}

}  // namespace vorel
