// -txtlcov end to end: the line-coverage files in CodeCoverage/ and the
// totals table CODE_COVERAGE.TXT, on small programs whose expected outputs
// were worked out by hand (see each test).
#include <gtest/gtest.h>
#include <filesystem>

#include <regex>
#include <string>
#include <vector>

#include "cli_expect.h"
#include "e2e/program_inputs.h"

namespace e2e {
namespace {

namespace pw = profile_writer;
using pw::routine;

// One run of prog: main loops 1,234,567 times, then calls clip 5 times
// with 0..4 (never above 100); never() and unused() are not called.
pw::Program program() {
  pw::Program p;
  p.modules.push_back(module("prog.c", {
      routine("clip", 2, 6, {{4, 5, 5, {4}}, {4, 18, 0, {4}}, {5, 5, 5, {5}}}),
      routine("never", 8, 12, {{10, 5, 0, {10}}, {10, 16, 0, {10}}, {11, 5, 0, {11}}}),
      routine("main", 14, 20, {
          {16, 5, 1, {16, 17}}, {17, 17, 1234568, {17}}, {17, 35, 1234567, {17}},
          {17, 30, 1234567, {17}}, {18, 10, 1, {18}}, {18, 17, 6, {18}}, {18, 29, 5, {18}},
          {18, 24, 5, {18}}, {19, 5, 1, {19}}}),
  }));
  p.modules.push_back(module("unused.c", {routine("unused", 2, 5, {{4, 5, 0, {4}}})}));
  return p;
}

// tests/e2e/data/line_coverage: prog.c starts with a byte-order mark, has a
// CR before the first line feed and no line feed after its last line (20).
void write_inputs(const TempDir& dir, const pw::Program& p) {
  const std::string data = source_dir() + "/tests/e2e/data/line_coverage/";
  write_inputs(dir, p, {{"prog.c", *read_file(data + "prog.c")}, {"unused.c", *read_file(data + "unused.c")}});
}

RunResult run_lcov(const TempDir& dir, std::vector<std::string> extra = {}) {
  extra.push_back("-txtlcov");
  return run_inputs(dir, extra, kHostsOwnRules);
}

// The expected text `name` with the shown source names in the host's form.
std::string expected_text(const std::string& name) {
  return host_names(expected_file("line_coverage/" + name), {"src/prog.c", "src/unused.c"});
}

// The expected line-coverage text `name`. The source's CR LF line keeps its
// CR on POSIX; on Windows the CR is left to the text-mode output, which
// writes CR LF, so the LF form of the line has no CR.
std::string expected_lcov(const std::string& name) {
  std::string text = expected_text(name);
#ifdef _WIN32
  for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
#endif
  return text;
}

// A file's routines are processed sorted by name: clip, main, never. In the
// -txtlcov pass each block adds one record per line of its line map, in
// front of the line's earlier records, so a line's blocks are listed in
// reverse order of the blocks. Line 4: clip's condition ran 5 times, its
// then-part never: "5", 1 of 2, BLOCK 0 $$$$$ (then-part), BLOCK 1 5.
// Line 10: never() did not run: "#####" and only the blocks-covered line.
// Line 17: max 1,234,568; blocks 0..3 are the increment, body, condition,
// entry. Totals of prog.c: functions 2 of 3 (66.67); blocks 11 of 15 (only
// clip's then-part and never's three blocks did not run; 73.33); lines: clip
// {4,5}, never {10,11}, main {16..19}, covered all but never's: 6 of 8.
// unused.c adds 1 function, 1 block, 1 line, none covered. Names are the
// source root "src/" + the short name; rows are padded to the longest
// stored name + 5 (15 and 17).
TEST(LineCoverage, HandCheckedReportWithBlockCounts) {
  TempDir dir;
  write_inputs(dir, program());
  RunResult r = run_lcov(dir, {"-blockcounts"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, kScanDone);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(dir.text("CodeCoverage/SRC_PROG_C.LCOV"),
            expected_lcov("SRC_PROG_C.LCOV"));
  EXPECT_EQ(dir.text("CodeCoverage/SRC_UNUSED_C.LCOV"),
            expected_lcov("SRC_UNUSED_C.LCOV"));
  EXPECT_EQ(dir.text("CODE_COVERAGE.TXT"), expected_text("CODE_COVERAGE.TXT"));
  EXPECT_EQ(list_dir(dir.file("CodeCoverage")),
            (std::vector<std::string>{"SRC_PROG_C.LCOV", "SRC_UNUSED_C.LCOV"}));
}

// Without -blockcounts the same file lacks exactly the detail lines.
TEST(LineCoverage, WithoutBlockCountsNoDetailLines) {
  TempDir dir;
  write_inputs(dir, program());
  RunResult r = run_lcov(dir);
  EXPECT_EQ(r.status, 0);
  const std::regex detail(".*(-BLOCK |blocks covered).*\n");
  const std::string expected = std::regex_replace(expected_lcov("SRC_PROG_C.LCOV"), detail, "");
  EXPECT_EQ(dir.text("CodeCoverage/SRC_PROG_C.LCOV"), expected);
  EXPECT_EQ(dir.text("CODE_COVERAGE.TXT"), expected_text("CODE_COVERAGE.TXT"));
}

// A component file that keeps one file leaves the other table out.
TEST(LineCoverage, OnlyCoveredOrOnlyUncoveredFiles) {
  for (const std::string only : {"PROG", "UNUSED"}) {
    TempDir dir;
    write_inputs(dir, program());
    write_file(dir.file("comp.txt"), only == "PROG" ? "prog\n" : "unused\n");
    EXPECT_EQ(run_lcov(dir, {"-comp", "comp.txt"}).status, 0);
    EXPECT_EQ(dir.text("CODE_COVERAGE.TXT"), expected_text("ONLY_" + only + ".TXT"));
    EXPECT_EQ(list_dir(dir.file("CodeCoverage")).size(), 1u);
  }
}

TEST(LineCoverage, ReportDirectoryThatIsAFileStopsTheRun) {
  TempDir dir;
  write_inputs(dir, program());
  write_file(dir.file("CodeCoverage"), "");
  // POSIX rules: the Windows message joins the report path with '\' but keeps its case.
  RunResult r = run_inputs(dir, {"-txtlcov"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kScanDone + kReportDirectoryInTheWay +
                       "Cannot open CodeCoverage/SRC_PROG_C.LCOV for output!\n");
  EXPECT_FALSE(file_exists(dir.file("CODE_COVERAGE.TXT")));
}

// The run goes on after the message and ends with status 1, putting none of
// its outputs in place.
TEST(LineCoverage, SummaryThatCannotBeCreatedFailsTheRun) {
  TempDir dir;
  write_inputs(dir, program());
  std::filesystem::create_directory(dir.file("CODE_COVERAGE.TXT"));
  RunResult r = run_lcov(dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kScanDone + "Unable to create summary file, Code_Coverage!\n");
  EXPECT_FALSE(file_exists(dir.file("CodeCoverage")));
  EXPECT_EQ(list_dir(dir.path()), (std::vector<std::string>{"CODE_COVERAGE.TXT", "src", "t.dpi", "t.spi"}));
}

}  // namespace
}  // namespace e2e
