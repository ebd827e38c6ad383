#include "coverage/source_path.h"

namespace vorel {

std::string source_path(std::string_view name, const std::string& source_dir) {
  const bool absolute = !name.empty() && (name[0] == '/' || name[0] == '\\' ||
                                          (name.size() > 1 && name[1] == ':'));
  if (source_dir.empty() || absolute) return std::string(name);
  return source_dir + std::string(name);
}

}  // namespace vorel
