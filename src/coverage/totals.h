// Run totals: counters summed over every processed source file.
#pragma once

#include <cstdint>

namespace vorel {

struct RunTotals {
  int64_t files = 0;
  int64_t covered_files = 0;
  int64_t functions = 0;
  int64_t covered_functions = 0;
  int64_t blocks = 0;
  int64_t covered_blocks = 0;
  int64_t lines = 0;
  int64_t covered_lines = 0;
  double last_function_percent = 0;  // of the file processed last
  double last_block_percent = 0;
};

}  // namespace vorel
