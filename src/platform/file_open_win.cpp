// Windows: files open with UTF-16 names.
#include "platform/file_open.h"


#include "platform/win_text.h"

namespace vorel {

std::FILE* open_file(const std::string& name, const char* mode) {
  return ::_wfopen(widen(name).c_str(), widen(mode).c_str());
}

}  // namespace vorel
