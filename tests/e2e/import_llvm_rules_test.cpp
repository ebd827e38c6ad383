// vorelcov-import-llvm follows the gcov importer's rules: its two outputs are
// one transaction, long options take "=value", inputs are read under the
// size cap and names a profile cannot store are refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/harness.h"
#include "report_snapshot.h"

namespace e2e {
namespace {

std::string llvm_importer() {
  std::string path = importer_path();
  return path.replace(path.rfind("gcov"), 4, "llvm");
}

// One function of one line in `file`, run 5 times.
std::string export_of(const std::string& file) {
  return R"({"type":"llvm.coverage.json.export","version":"2.0.1","data":[{"files":[{"filename":")" + file +
         R"(","segments":[[1,1,5,true,true,false],[1,9,0,false,false,false]]}],"functions":[{"name":"f","count":5,)"
         R"("filenames":[")" + file + R"("],"regions":[[1,1,1,9,5,0,0,0]]}]}]})";
}

TEST(ImportLlvmRules, OutputsAreOneTransaction) {
  TempDir dir;
  write_file(dir.file("in.json"), export_of("/a.c"));
  const std::vector<std::string> base = {"--keep-external", "--no-markers", "--spi", "t.spi"};
  std::vector<std::string> args = base;
  args.insert(args.end(), {"--dpi", "t.dpi", "in.json"});
  ASSERT_EQ(run_program(llvm_importer(), args, dir.path()).status, 0);
  const std::string spi = dir.read("t.spi");
  // A dynamic file that cannot be written leaves the static one as it was.
  std::filesystem::create_directory(dir.file("d.dpi"));
  args = base;
  args.insert(args.end(), {"--dpi", "d.dpi", "in.json"});
  RunResult r = run_program(llvm_importer(), args, dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "vorelcov-import-llvm: cannot write d.dpi: Is a directory\n");
  EXPECT_EQ(dir.read("t.spi"), spi);
  EXPECT_EQ(temporaries(dir.path()), std::vector<std::string>{});
  // An output that is an input is refused before anything is read.
  args = base;
  args.insert(args.end(), {"--dpi", "in.json", "in.json"});
  r = run_program(llvm_importer(), args, dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "vorelcov-import-llvm: --dpi in.json and the input in.json are one file\n");
  EXPECT_EQ(dir.read("in.json"), export_of("/a.c"));
}

// "--name=value" is "--name value"; a switch or --help given a value, and a
// count that is not plain decimal digits, are refused.
TEST(ImportLlvmRules, LongOptionsTakeAttachedValues) {
  TempDir dir;
  write_file(dir.file("in.json"), export_of("/a.c"));
  const std::string runs = "vorelcov-import-llvm: --runs needs a number from 1 to 4294967295, not ";
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"--help=x"}, "vorelcov-import-llvm: option --help takes no value\n"},
      {{"--no-markers=1", "in.json"}, "vorelcov-import-llvm: option --no-markers takes no value\n"},
      {{"--keep-external=", "in.json"}, "vorelcov-import-llvm: option --keep-external takes no value\n"},
      {{"--runs=0x2", "in.json"}, runs + "'0x2'\n"},
      {{"--runs", "+2", "in.json"}, runs + "'+2'\n"},
      {{"--llvm-cov=", "--instr-profile=p", "b"}, "vorelcov-import-llvm: --llvm-cov needs a command\n"},
      {{"--keep-external", "--no-markers", "--runs=2", "--spi=a.spi", "--dpi=a.dpi", "in.json"}, ""},
  };
  for (const Case& c : cases) {
    RunResult r = run_program(llvm_importer(), c.args, dir.path());
    EXPECT_EQ(r.status, c.err.empty() ? 0 : 1) << c.args[0];
    EXPECT_EQ(r.err, c.err);
  }
  EXPECT_EQ(list_dir(dir.path()), (std::vector<std::string>{"a.dpi", "a.spi", "in.json"}));
}

// A name a profile cannot store, and an input above the size cap, end the
// import naming the input; nothing is written.
TEST(ImportLlvmRules, BadNamesAndHugeInputsAreRefused) {
  TempDir dir;
  std::string nul_function = export_of("/a.c");
  nul_function.replace(nul_function.find(R"("name":"f")"), 10, R"("name":"f\u0000g")");
  write_file(dir.file("nl.json"), export_of("/a\\nb.c"));
  write_file(dir.file("nul.json"), nul_function);
  write_file(dir.file("huge.json"), "");
  std::filesystem::resize_file(dir.file("huge.json"), (uintmax_t{256} << 20) + 1);  // sparse
  const std::string cannot = " holds a line end or a zero byte, which profile files cannot store\n";
  const std::pair<std::string, std::string> cases[] = {
      {"nl.json", R"(nl.json: source file "/a\nb.c")" + cannot},
      {"nul.json", R"(nul.json: function "f\x00g")" + cannot},
      {"huge.json", "huge.json: cannot read: larger than the limit of 268435456 bytes\n"},
  };
  RunResult r = run_program(llvm_importer(), {"a\rb.json"}, dir.path());
  EXPECT_EQ(r.err, "vorelcov-import-llvm: input \"a\\rb.json\"" + cannot);
  for (const auto& [input, err] : cases) {
    r = run_program(llvm_importer(), {"--keep-external", "--no-markers", input}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorelcov-import-llvm: " + err);
  }
  EXPECT_FALSE(read_file(dir.file("zentra.spi")));
}

}  // namespace
}  // namespace e2e
