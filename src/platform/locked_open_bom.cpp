#include "platform/locked_open_bom.h"

#include <cstring>

namespace vorel {

bool is_text_mode(const char* mode) {
  return std::strchr(mode, 'b') == nullptr && std::strchr(mode, 't') != nullptr;
}

void skip_utf8_bom(std::FILE* fp) {
  unsigned char bom[3];
  const size_t got = std::fread(bom, 1, 3, fp);
  if (got != 3 || bom[0] != 0xEF || bom[1] != 0xBB || bom[2] != 0xBF) {
    std::clearerr(fp);
    std::fseek(fp, 0, SEEK_SET);
  }
}

}  // namespace vorel
