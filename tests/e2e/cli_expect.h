// Expected texts shared by the command-line end-to-end tests.
#pragma once

#include <sstream>
#include <string>
#include <vector>

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

// The rows of a table under tests/e2e/expected/: a row a line, its fields
// split at tabs, "\n" in a field standing for a line feed.
inline std::vector<std::vector<std::string>> expected_rows(const std::string& name) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(expected_file(name));
  for (std::string line; std::getline(in, line);) {
    rows.emplace_back(1);
    for (size_t i = 0; i < line.size(); ++i)
      if (line[i] == '\t') rows.back().emplace_back();
      else if (line.compare(i, 2, "\\n") == 0) rows.back().back() += '\n', ++i;
      else rows.back().back() += line[i];
  }
  return rows;
}

// The words of a field, split at spaces.
inline std::vector<std::string> words(const std::string& field) {
  std::vector<std::string> out;
  std::istringstream in(field);
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// The usage text for the program path of the harness.
inline std::string expected_usage() {
  std::string text = expected_file("usage.txt");
  return text.replace(text.find("%s"), 2, vorelcov_path());
}

}  // namespace e2e
