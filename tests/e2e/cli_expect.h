// Expected texts shared by the command-line end-to-end tests.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
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

// The lines of `text` that hold `what`, each with its line feed.
inline std::string lines_with(const std::string& text, const std::string& what) {
  std::string out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.find(what) != std::string::npos) out += line.substr(0, line.find_last_not_of('\r') + 1) + "\n";
  return out;
}

// `text` with every "{name}" of `values` replaced by its value.
inline std::string filled(std::string text, const std::vector<std::pair<std::string, std::string>>& values) {
  for (const auto& [name, value] : values) {
    const std::string key = std::string("{").append(name).append("}");
    for (size_t at = 0; (at = text.find(key, at)) != std::string::npos; at += value.size())
      text.replace(at, key.size(), value);
  }
  return text;
}

// Checks the outputs under `dir` against the rows of the table `table` whose
// first field is `group`: an output file, then a text it holds ("^file": it
// starts with the text, "!file": it does not hold it), "{key}" in the text
// standing for its value.
inline void expect_outputs(const std::string& dir, const std::string& table, const std::string& group,
                           const std::vector<std::pair<std::string, std::string>>& values = {}) {
  int checked = 0;
  for (const auto& row : expected_rows(table)) {
    if (row.at(0) != group) continue;
    ++checked;
    const std::string file = row.at(1), part = filled(row.at(2), values);
    const bool mark = file[0] == '^' || file[0] == '!';
    const size_t at = text_form(read_file(dir + "/" + file.substr(mark)).value_or("")).find(part);
    EXPECT_TRUE(file[0] == '^' ? at == 0 : file[0] == '!' ? at == std::string::npos : at != std::string::npos)
        << file << ": " << part;
  }
  EXPECT_GT(checked, 0) << "no rows " << group << " in " << table;
}

// The usage text for the program path of the harness.
inline std::string expected_usage() {
  std::string text = expected_file("usage.txt");
  return text.replace(text.find("%s"), 2, vorelcov_path());
}

}  // namespace e2e
