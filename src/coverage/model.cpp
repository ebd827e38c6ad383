#include "coverage/model.h"

namespace vorel {

void CoverageModel::reset_file() {
  files.reset_file();
  functions.reset();
  scanner = MarkerScanner();
  current_group = {};
}

}  // namespace vorel
