// vorelcov-import-llvm follows the gcov importer's rules: data/llvm/rules.cases, run in order.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "e2e/harness.h"

using namespace e2e;

TEST(ImportLlvmRules, SharedWithTheGcovImporter) {
  TempDir dir;
  auto data = [](const std::string& name) { return *read_file(source_dir() + "/tests/e2e/data/llvm/" + name); };
  for (const char* name : {"one.json", "nl.json", "zero-byte.json"}) write_file(dir.file(name), data(name));
  write_file(dir.file("huge.json"), "");
  std::filesystem::resize_file(dir.file("huge.json"), (uintmax_t{256} << 20) + 1);  // sparse
  std::filesystem::create_directory(dir.file("d.dpi"));
  std::string importer = importer_path(), spi;
  importer.replace(importer.rfind("gcov"), 4, "llvm");
  std::istringstream cases(data("rules.cases"));
  for (std::string line; std::getline(cases, line);) {
    if (line.empty() || line[0] == '#') continue;
    const size_t bar = line.find('|', 2);
    std::vector<std::string> args;
    std::istringstream words(line.substr(bar + 1));
    for (std::string w; words >> w;) args.push_back(w.find("<CR>") ? w : '\r' + w.substr(4));  // leading only
    RunResult r = run_program(importer, args, dir.path());
    EXPECT_EQ(r.status, line[0] - '0') << line;
    EXPECT_EQ(r.err, bar == 2 ? "" : "vorelcov-import-llvm: " + line.substr(2, bar - 2) + "\n") << line;
    if (spi.empty()) spi = dir.read("t.spi");
  }
  EXPECT_EQ(dir.read("t.spi"), spi);  // the failed dynamic file left it as it was
  EXPECT_EQ(dir.read("one.json") + (read_file(dir.file("zentra.spi")) ? "written" : ""), data("one.json"));
}
