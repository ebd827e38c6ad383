// What the modern HTML report reads of the run: where it goes, the rating
// thresholds and how source-file names are shown.
#pragma once

#include <cstdint>
#include <string>

namespace vorel {

struct ModernOptions {
  std::string dir;              // the report directory (made by the driver)
  int64_t medium = 7500;        // rating thresholds in hundredths of a percent
  int64_t high = 9000;
  std::string prefix;           // common directory of the run's files, cut from shown names
  char separator = '/';         // the host's path separator (besides '/')
  bool differential = false;    // -ref: newly covered lines and functions are marked
  std::string version;          // the tool's version, in the index footer
  int64_t timestamp = 0;        // seconds since the epoch, in the index footer
};

// The path of page `page` inside the report directory.
std::string modern_path(const ModernOptions& options, const std::string& page);

}  // namespace vorel
