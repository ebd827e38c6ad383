// Expected texts shared by the command-line end-to-end tests.
#pragma once

#include <string>

#include "e2e/harness.h"

namespace e2e {

inline const std::string kBanner =
    "Vorel(R) Code Coverage Tool, Version 1.0.0\n"
    "Copyright (C) 2026 Vorel Corporation. All rights reserved.\n";
inline const std::string kBannerVxWorks7 =
    "Vorel(R) Code Coverage Tool for VxWorks 7 targets, Version 1.0.0\n"
    "Copyright (C) 2026 Vorel Corporation. All rights reserved.\n";

// What stderr starts with after a successful option scan.
inline const std::string kScanDone = kBanner + "\n";

// The reason printed when a file stands where the report directory goes.
inline const std::string kReportDirectoryInTheWay =
    "vorelcov: cannot make directory CodeCoverage: a file of that name is in the way\n";

inline std::string expected_file(const std::string& name) {
  auto text = read_file(source_dir() + "/tests/e2e/expected/" + name);
  return text ? *text : "<missing expected file " + name + ">";
}

// The usage text for the program path of the harness.
inline std::string expected_usage() {
  std::string text = expected_file("usage.txt");
  return text.replace(text.find("%s"), 2, vorelcov_path());
}

}  // namespace e2e
