#include "coverage/model.h"

namespace vorel {

void CoverageModel::reset_file() {
  files.reset_file();
  functions.reset();
  scanner = MarkerScanner();
  current_group = {};
}

CoverageModel CoverageModel::take_file() {
  CoverageModel file;
  file.components.non_printable_name = components.non_printable_name;
  file.files = files.take_file();
  file.functions = std::move(functions);
  file.scanner = std::move(scanner);
  file.current_group = current_group;
  reset_file();
  return file;
}

}  // namespace vorel
