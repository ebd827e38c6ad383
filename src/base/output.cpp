#include "base/output.h"

#include "base/diag.h"
#include "platform/output_file.h"

namespace vorel {

bool finish_output(std::FILE* stream, const std::string& name) {
  if (output_finish(stream)) return true;
  print_err("ERROR: writing file %s failed.\n", name.c_str());
  return false;
}

}  // namespace vorel
