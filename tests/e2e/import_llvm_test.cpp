// vorelcov-import-llvm end to end: llvm-cov-14's export of
// tests/e2e/data/llvm/shapes.cpp in, vorelcov's figures out, compared with
// llvm-cov-14's own lcov export of the same profile (shapes.llvm-lines);
// bad inputs end with a message naming the file and write nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/harness.h"

namespace {

using e2e::RunResult;
using e2e::TempDir;

std::string llvm_importer() {
  std::string path = e2e::importer_path();
  return path.replace(path.rfind("gcov"), 4, "llvm");
}

std::string data(const std::string& name) {
  return *e2e::read_file(e2e::source_dir() + "/tests/e2e/data/llvm/" + name);
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
  return text;
}

// The DA, LF and LH lines of a tracefile (`kinds`), ended by \n.
std::string line_records(const std::string& info, const std::vector<std::string>& kinds = {"DA:", "LF:", "LH:"}) {
  std::string out;
  for (size_t at = 0; at < info.size();) {
    size_t end = info.find('\n', at);
    if (end == std::string::npos) end = info.size();
    std::string line = info.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();  // Windows text
    for (const std::string& kind : kinds)
      if (line.rfind(kind, 0) == 0) out += line + "\n";
    at = end + 1;
  }
  return out;
}

TEST(ImportLlvm, LinesEqualLlvmCovsLcovExport) {
  TempDir dir;
  e2e::write_file(dir.file("shapes.cpp"), data("shapes.cpp"));
  // The directory as a JSON string (Windows: backslashes).
  const std::string json_dir = replaced(dir.path(), "\\", "\\\\");
  e2e::write_file(dir.file("shapes.json"), replaced(data("shapes.json"), "@DIR@", json_dir));
  RunResult imp = e2e::run_program(llvm_importer(), {"shapes.json"}, dir.path());
  ASSERT_EQ(imp.status, 0) << imp.err;
  // Line 5, a macro's definition, is counted by no routine's region: the
  // line holder (the seventh routine) carries it.
  EXPECT_EQ(imp.out,
            "1 inputs, 1 source files, 7 routines, 21 regions, 20 lines -> zentra.spi, zentra.dpi\n"
            "1 lines counted outside every region of their file's functions\n");
  RunResult r = e2e::run_vorelcov({"-txtlcov", "-nopmeter", "--lcov", "v.info"}, dir.path(), e2e::kHostsOwnRules);
  ASSERT_EQ(r.status, 0) << r.err;
  // Every DA line is llvm-cov's. LH differs by one: llvm-cov sums its line
  // totals over per-function views, which count line 10 (two functions, one
  // never run) as missed once and leave out line 5 (a macro's definition,
  // counted in its DA); vorelcov's totals are those of the DA lines.
  std::string want = replaced(data("shapes.llvm-lines"), "LH:17", "LH:18");
  EXPECT_EQ(line_records(dir.read("v.info")), want);
  // BRDA, BRF, BRH are llvm-cov's ("-": other() never ran; line 19: TWICE's).
  EXPECT_EQ(line_records(dir.read("v.info"), {"BRDA:", "BRF:", "BRH:"}), data("shapes.llvm-branches"));
  // Blocks are regions summed over instantiations: twice<int> and
  // twice<double> one each (llvm-cov report: 20 regions, 6 missed, per group).
  std::string summary = dir.read("CODE_COVERAGE.TXT");
  // Names relative to the project's root, as for the gcov importer's profiles.
  EXPECT_NE(summary.find("\n" + e2e::host_name("shapes.cpp") + "    "), std::string::npos) << summary;
  EXPECT_NE(summary.find("                21       15        6   71.43"), std::string::npos) << summary;
  EXPECT_NE(summary.find("                 6        5        1   83.33"), std::string::npos) << summary;
  // Line 15, `if (i == 100) {`: the loop body and the condition ran (5), the
  // then-region did not: a partly covered line with each region's count.
  r = e2e::run_vorelcov({"-txtlcov", "-blockcounts", "-nopmeter"}, dir.path(), e2e::kHostsOwnRules);
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> views = e2e::list_dir(dir.file("CodeCoverage"));
  ASSERT_EQ(views.size(), 1u);
  std::string view = dir.read("CodeCoverage/" + views[0]);
  EXPECT_NE(view.find("     15-2 of 3 blocks covered"), std::string::npos) << view;
  EXPECT_NE(view.find("           $$$$$:     15-BLOCK "), std::string::npos) << view;
}

// The same program built, run and exported by the importer itself
// (--instr-profile with the raw profile: llvm-profdata merges it).
TEST(ImportLlvm, RunsLlvmCovOnTheBinary) {
  TempDir dir;
  e2e::write_file(dir.file("shapes.cpp"), data("shapes.cpp"));
  const std::string clang = e2e::on_path("clang++-14");
  if (clang.empty() || e2e::on_path("llvm-cov-14").empty() || e2e::on_path("llvm-profdata-14").empty())
    GTEST_SKIP() << "clang++-14, llvm-cov-14 or llvm-profdata-14 is not installed (apt-get install clang-14)";
  RunResult cc =
      e2e::run_program(clang, {"-fprofile-instr-generate", "-fcoverage-mapping", "shapes.cpp", "-o", "shapes"}, dir.path());
  ASSERT_EQ(cc.status, 0) << cc.err;
  RunResult run = e2e::run_program(dir.file("shapes"), {}, dir.path(), {{"LLVM_PROFILE_FILE", "s.profraw"}});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> tools = {"--llvm-cov", "llvm-cov-14", "--llvm-profdata", "llvm-profdata-14"};
  std::vector<std::string> args = tools;
  args.insert(args.end(), {"--instr-profile", "s.profraw", "shapes"});
  RunResult imp = e2e::run_program(llvm_importer(), args, dir.path());
  ASSERT_EQ(imp.status, 0) << imp.err;
  RunResult r = e2e::run_vorelcov({"-txtlcov", "-nopmeter", "--lcov", "v.info"}, dir.path(), e2e::kHostsOwnRules);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(line_records(dir.read("v.info")), replaced(data("shapes.llvm-lines"), "LH:17", "LH:18"));
  // A binary llvm-cov cannot read: its message, status 1, nothing written.
  args = tools;
  args.insert(args.end(), {"--instr-profile", "s.profraw", "--spi", "x.spi", "shapes.cpp"});
  imp = e2e::run_program(llvm_importer(), args, dir.path());
  EXPECT_EQ(imp.status, 1);
  EXPECT_EQ(imp.err.rfind("vorelcov-import-llvm: llvm-cov-14 failed (exit status 1): ", 0), 0u) << imp.err;
  EXPECT_FALSE(e2e::read_file(dir.file("x.spi")));
}

TEST(ImportLlvm, BadInputIsRefusedNamingTheFile) {
  const std::string ok_region = "[1,1,2,1,5,0,0,0]";
  auto doc = [](const std::string& type, const std::string& version, const std::string& region,
                const std::string& segment) {
    return R"({"type":")" + type + R"(","version":")" + version +
           R"(","data":[{"files":[{"filename":"/a.c","segments":[)" + segment +
           R"(]}],"functions":[{"name":"f","count":5,"filenames":["/a.c"],"regions":[)" + region + "]}]}]}";
  };
  const std::string seg = "[1,1,5,true,true,false]";
  struct Case {
    std::string json, reason;
  } cases[] = {
      {doc("llvm.coverage.json.export", "3.0.0", ok_region, seg), "version \"3.0.0\" is not known"},
      {doc("other", "2.0.1", ok_region, seg), "no \"type\": \"llvm.coverage.json.export\""},
      {doc("llvm.coverage.json.export", "2.0.1", "[3,1,2,1,5,0,0,0]", seg), "region runs backwards (3:1 to 2:1)"},
      {doc("llvm.coverage.json.export", "2.0.1", "[1,1,2,1,5,1,0,0]", seg), "function f: file id out of range"},
      {doc("llvm.coverage.json.export", "2.0.1", "[1,1,2,1,18446744073709551616,0,0,0]", seg), "does not fit"},
      {doc("llvm.coverage.json.export", "2.0.1", "[1,1,2,1,-1,0,0,0]", seg), "region count"},
      {doc("llvm.coverage.json.export", "2.0.1", "[1,1,2,1,\"5\",0,0,0]", seg), "region count"},
      {doc("llvm.coverage.json.export", "2.0.1", "[1,1,2,1,5,0,0]", seg), "region with 7 elements"},
      {doc("llvm.coverage.json.export", "2.0.1", ok_region, "[2,1,5,true,true,false],[1,1,0,true,true,false]"),
       "segments out of order"},
      {doc("llvm.coverage.json.export", "2.0.1", ok_region, "[1,1,5,1,true,false]"), "expected"},
      {doc("llvm.coverage.json.export", "2.0.1", ok_region, seg).substr(0, 60), "not llvm-cov export JSON"},
  };
  RunResult none = e2e::run_program(llvm_importer(), {"--llvm-cov", "no-such-llvm-cov", "--instr-profile", "p.profdata",
                                                       "prog"}, e2e::source_dir());
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err.rfind("vorelcov-import-llvm: cannot run no-such-llvm-cov: ", 0), 0u) << none.err;
  EXPECT_NE(none.err.find("(it comes with LLVM; --llvm-cov names another)\n"), std::string::npos) << none.err;
  for (const Case& c : cases) {
    TempDir dir;
    e2e::write_file(dir.file("in.json"), c.json);
    RunResult r = e2e::run_program(llvm_importer(), {"--keep-external", "in.json"}, dir.path());
    EXPECT_EQ(r.status, 1) << c.reason;
    EXPECT_EQ(r.err.rfind("vorelcov-import-llvm: in.json: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    EXPECT_FALSE(e2e::read_file(dir.file("zentra.spi"))) << c.reason;
  }
}

}  // namespace
