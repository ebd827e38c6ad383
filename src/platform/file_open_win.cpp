// Windows: files open with UTF-16 names.
#include "platform/file_open.h"

#include <cerrno>
#include <cstring>

#include "platform/regular_file.h"
#include "platform/win_text.h"

namespace vorel {

std::FILE* open_file(const std::string& name, const char* mode) {
  std::FILE* f = ::_wfopen(widen(name).c_str(), widen(mode).c_str());
  if (!f) {
    record_open_errno(errno);
    return nullptr;
  }
  if (mode[0] == 'r' && !std::strchr(mode, '+') && !descriptor_is_regular(_fileno(f))) {
    std::fclose(f);
    errno = EINVAL;
    return nullptr;
  }
  return f;
}

}  // namespace vorel
