#include "base/output.h"

#include <cstring>

#include "base/diag.h"
#include "platform/output_file.h"

namespace vorel {

bool finish_output(std::FILE* stream, const std::string& name) {
  if (output_finish(stream)) return true;
  print_err("ERROR: writing file %s failed.\n", name.c_str());
  return false;
}

void print_open_reason(const std::string& name, int code) {
  print_err("vorelcov: %s: %s\n", name.c_str(), code != 0 ? std::strerror(code) : "cannot be created");
}

}  // namespace vorel
