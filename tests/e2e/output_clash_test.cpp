// Two outputs with one path, or an output that is an input, are refused at
// start-up: a message naming both uses, status 1, nothing written.
#include <gtest/gtest.h>

#include "cli_expect.h"
#include "e2e/program_inputs.h"

namespace e2e {
namespace {

namespace pw = profile_writer;

TEST(OutputClash, OutputsThatAreOneFileAreRefused) {
  TempDir dir;
  write_inputs(dir, pw::Program{{module("f.c", {pw::routine("f", 1, 2, {{1, 1, 1, {1}}})})}}, {{"f.c", "f\n"}});
  write_file(dir.file("L"), "old list");
  std::filesystem::create_directory(dir.file("sub"));
  const std::string json = source_dir() + "/tests/e2e/data/import_outputs/one.gcov.json";
  write_file(dir.file("in.gcov.json"), read_file(json).value_or(""));
#ifndef _WIN32
  std::filesystem::create_symlink("L", dir.file("link"));
#endif
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"--lcov", "X", "--cobertura", "./X"}, "--cobertura ./X and --lcov X are one file."},
      {{"--lcov", "CODE_COVERAGE.HTML"}, "--lcov CODE_COVERAGE.HTML and the report's CODE_COVERAGE.HTML are one file."},
      {{"-txtlcov", "--lcov", "CODE_COVERAGE.TXT"},
       "--lcov CODE_COVERAGE.TXT and the report's CODE_COVERAGE.TXT are one file."},
      {{"-txtfcvrg", "L", "--lcov", "sub/../L"}, "-txtfcvrg L and --lcov sub/../L are one file."},
      {{"-xmlbcvrg", "t.dpi"}, "-dpi t.dpi and -xmlbcvrg t.dpi are one file."},
      {{"--json-summary", "CodeCoverage/j.json"}, "--json-summary CodeCoverage/j.json is inside the report directory CodeCoverage."},
#ifndef _WIN32
      {{"-txtfcvrg", "L", "-txtdcg", "link"}, "-txtfcvrg L and -txtdcg link are one file."},
#endif
  };
  const std::vector<std::string> before = list_dir(dir.path());
  for (const auto& c : cases) {
    RunResult r = run_inputs(dir, c.args);
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_EQ(r.err, kScanDone + "ERROR: " + c.message + "\n");
    EXPECT_EQ(list_dir(dir.path()), before) << c.message;
  }
  EXPECT_EQ(dir.read("L"), "old list");

  const struct {
    std::vector<std::string> args;
    std::string message;
  } imports[] = {
      {{"--spi", "P", "--dpi", "./P", json}, "--spi P and --dpi ./P are one file"},
      {{"--dpi", "in.gcov.json", "in.gcov.json"}, "--dpi in.gcov.json and the input in.gcov.json are one file"},
  };
  for (const auto& c : imports) {
    RunResult r = run_program(importer_path(), c.args, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorelcov-import-gcov: " + c.message + "\n");
  }
  EXPECT_EQ(list_dir(dir.path()), before);
}

}  // namespace
}  // namespace e2e
