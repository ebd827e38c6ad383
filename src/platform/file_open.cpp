#include "platform/file_open.h"


namespace vorel {

std::FILE* open_file(const std::string& name, const char* mode) {
  return std::fopen(name.c_str(), mode);
}

}  // namespace vorel
