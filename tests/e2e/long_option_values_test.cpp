// GNU long options take their value as the next word or after '=', in the
// reporter and the importer alike; numbers are decimal digits only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/program_inputs.h"

namespace e2e {
namespace {

TEST(LongOptionValues, AttachedValuesEqualSeparateOnesAndNumbersAreDecimal) {
  TempDir dir;
  profile_writer::Program p;
  p.modules = {module("m.c", {profile_writer::routine("main", 1, 2, {{1, 1, 1, {1}}, {2, 1, 0, {2}}})})};
  write_inputs(dir, p, {{"m.c", "int main() {\n}\n"}});

  // Both spellings: same status (3: 1 of 2 lines is below 75.5 %), messages and outputs.
  RunResult a = run_inputs(dir, {"--jobs=2", "--lcov=a.info", "--fail-under-line=75.5"});
  const std::string info = dir.read("a.info");
  RunResult b = run_inputs(dir, {"--jobs", "2", "--lcov", "a.info", "--fail-under-line", "75.5"});
  EXPECT_EQ(a.status, 3) << a.err;
  EXPECT_EQ(a.status, b.status);
  EXPECT_EQ(a.err, b.err);
  EXPECT_EQ(info, dir.read("a.info"));

  const std::string threads = "ERROR: option --jobs needs a number of threads from 1 to 256, not ";
  const std::string percent = "ERROR: option --fail-under-line needs a percentage from 0 to 100, not ";
  const std::string runs = "vorelcov-import-gcov: --runs needs a number from 1 to 4294967295, not ";
  const std::string missing = "vorelcov-import-gcov: no.json: cannot read: No such file or directory\n";
  struct Case {
    std::vector<std::string> args;  // "import" first: the importer
    std::string err;
  } cases[] = {
      {{"--jobs=0x4"}, threads + "\"0x4\".\n"},
      {{"--jobs", "+4"}, threads + "\"+4\".\n"},
      {{"--fail-under-line=1e1"}, percent + "\"1e1\".\n"},
      {{"--fail-under-line=-0"}, percent + "\"-0\".\n"},
      {{"--summary=yes"}, "ERROR: option --summary takes no value.\n"},
      {{"import", "--runs=0x2", "no.json"}, runs + "'0x2'\n"},
      {{"import", "--runs", "+2", "no.json"}, runs + "'+2'\n"},
      {{"import", "--runs=2", "--spi=a.spi", "--dpi=a.dpi", "no.json"}, missing},  // values taken
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[c.args.size() > 1 ? 1 : 0]);
    RunResult r = c.args[0] == "import"
                      ? run_program(importer_path(), {c.args.begin() + 1, c.args.end()}, dir.path())
                      : run_inputs(dir, c.args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, c.err);
  }
}

}  // namespace
}  // namespace e2e
