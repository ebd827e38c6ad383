// Generated test programs of many files and snapshots of the report they
// give, for the tests of whole-or-nothing outputs.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "e2e/program_inputs.h"

namespace e2e {

// `n` sources f<i>.c; f<i> ran `count` times.
inline profile_writer::Program many_files(int n, uint64_t count) {
  profile_writer::Program p;
  for (int i = 0; i < n; ++i) {
    const std::string name = std::string(1, 'f').append(std::to_string(i));
    p.modules.push_back(module(name + ".c", {profile_writer::routine(name, 1, 3, {{2, 3, count, {2}}})}));
  }
  return p;
}

inline std::vector<std::pair<std::string, std::string>> many_sources(int n) {
  std::vector<std::pair<std::string, std::string>> all;
  for (int i = 0; i < n; ++i)
    all.emplace_back(std::string(1, 'f').append(std::to_string(i)).append(".c"), "int f() {\n  return 1;\n}\n");
  return all;
}

// The root page and every file under CodeCoverage/, with their bytes
// (temporary names left out: see temporaries).
inline std::map<std::string, std::string> report_of(const std::string& dir) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> report;
  if (auto root = read_file(dir + "/CODE_COVERAGE.HTML")) report["CODE_COVERAGE.HTML"] = *root;
  std::error_code ec;
  for (const auto& e : fs::recursive_directory_iterator(dir + "/CodeCoverage", ec))
    if (e.path().filename().string().rfind(".vorelcov-", 0) != 0)
      report[fs::relative(e.path(), dir).generic_string()] = read_file(e.path().string()).value_or("?");
  return report;
}

// Names of the temporary files, directories and records of runs under `root`.
inline std::vector<std::string> temporaries(const std::string& root) {
  std::vector<std::string> found;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    if (e.path().filename().string().rfind(".vorelcov-", 0) == 0) found.push_back(e.path().string());
  return found;
}

}  // namespace e2e
