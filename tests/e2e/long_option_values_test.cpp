// GNU long options take their value as the next word or after '=', in the
// reporter and the importer alike; numbers are decimal digits only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/program_inputs.h"

namespace e2e {
namespace {

namespace pw = profile_writer;

const char* const kJson =
    R"({"format_version": "1", "current_working_directory": "/w", "data_file": "t.gcda", "files": [
        {"file": "t.c", "functions": [{"name": "main", "start_line": 1, "start_column": 1,
          "end_line": 2, "end_column": 1, "execution_count": 1}],
         "lines": [{"line_number": 1, "count": 1, "function_name": "main"}]}]})";

TEST(LongOptionValues, AttachedValuesEqualSeparateOnesAndNumbersAreDecimal) {
  TempDir dir;
  pw::Program p;
  p.modules = {module("m.c", {pw::routine("main", 1, 2, {{1, 1, 1, {1}}, {2, 1, 0, {2}}})})};
  write_inputs(dir, p, {{"m.c", "int main() {\n}\n"}});
  write_file(dir.file("t.gcov.json"), kJson);

  // Each pair runs the same options in both spellings: same status, messages, outputs.
  const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> same = {
      {{"--jobs=2", "--lcov=a.info"}, {"--jobs", "2", "--lcov", "a.info"}},
      {{"--fail-under-line=75.5", "--summary"}, {"--fail-under-line", "75.5", "--summary"}},
      {{"--fail-under-block=50"}, {"--fail-under-block", "50"}},
  };
  for (const auto& [attached, separate] : same) {
    SCOPED_TRACE(attached[0]);
    RunResult a = run_inputs(dir, attached);
    const std::string info = dir.read("a.info");
    RunResult b = run_inputs(dir, separate);
    EXPECT_TRUE(a.status == 0 || a.status == 3) << a.err;
    EXPECT_EQ(a.status, b.status);
    EXPECT_EQ(a.err, b.err);
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(info, dir.read("a.info"));
  }
  RunResult gate = run_inputs(dir, {"--fail-under-line=75.5"});
  EXPECT_EQ(gate.status, 3);  // 1 of 2 lines: 50 %

  const std::string threads = "ERROR: option --jobs needs a number of threads from 1 to 256, not ";
  const std::string percent = "ERROR: option --fail-under-line needs a percentage from 0 to 100, not ";
  const std::string runs = "vorelcov-import-gcov: --runs needs a number from 1 to 4294967295, not ";
  struct Bad {
    std::vector<std::string> args;  // "import" first: the importer
    std::string err;
  } bad[] = {
      {{"--jobs=0x4"}, threads + "\"0x4\".\n"},
      {{"--jobs", "+4"}, threads + "\"+4\".\n"},
      {{"--jobs= 4"}, threads + "\" 4\".\n"},
      {{"--fail-under-line=1e1"}, percent + "\"1e1\".\n"},
      {{"--fail-under-line=0x10"}, percent + "\"0x10\".\n"},
      {{"--fail-under-line=-0"}, percent + "\"-0\".\n"},
      {{"--summary=yes"}, "ERROR: option --summary takes no value.\n"},
      {{"import", "--runs=0x2", "t.gcov.json"}, runs + "'0x2'\n"},
      {{"import", "--runs", "+2", "t.gcov.json"}, runs + "'+2'\n"},
  };
  for (const Bad& c : bad) {
    SCOPED_TRACE(c.args.back());
    RunResult r = c.args[0] == "import"
                      ? run_program(importer_path(), {c.args.begin() + 1, c.args.end()}, dir.path())
                      : run_inputs(dir, c.args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, c.err);
  }

  RunResult imp = run_program(importer_path(), {"--runs=2", "--spi=i.spi", "--dpi=i.dpi", "t.gcov.json"},
                              dir.path());
  EXPECT_EQ(imp.status, 0) << imp.err;
  EXPECT_EQ(imp.out, "1 units, 1 source files, 1 routines, 1 lines -> i.spi, i.dpi\n");
}

}  // namespace
}  // namespace e2e
